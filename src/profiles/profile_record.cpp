#include "profiles/profile_record.h"

namespace lanvoy {

ConnectionSettings ConnectionOf(const ProfileRecord& record, int i) {
  ConnectionSettings c;
  ForEachConnectionField([&](const char*, auto member, auto first, auto second) {
    c.*member = record.*(i == 0 ? first : second);
  });
  return c;
}

void SetConnection(ProfileRecord& record, int i, const ConnectionSettings& c) {
  ForEachConnectionField([&](const char*, auto member, auto first, auto second) {
    record.*(i == 0 ? first : second) = c.*member;
  });
}

std::vector<ConnectionSettings> ConnectionsOf(const ProfileRecord& record) {
  std::vector<ConnectionSettings> list{ConnectionOf(record, 0)};
  if (!record.LongLANDescriptionLan2.empty()) list.push_back(ConnectionOf(record, 1));
  return list;
}

}  // namespace lanvoy
