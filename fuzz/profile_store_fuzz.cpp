// The profile store: a fuzzed record saved into a fuzzed store loads back as it was saved
// (its texts unchanged where the file can hold them); saving what was loaded changes at most
// the exclusion list (a save drops its empty lines, which a stored ";;" loads as), and a
// second such save nothing; every other profile loads as before; no temporary file is left.
#include <map>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/strings.h"
#include "fuzz_support.h"
#include "profiles/profile_store.h"

namespace {

using lanvoy::ProfileRecord;

std::string Text(FuzzedDataProvider& in) {
  return in.ConsumeRandomLengthString(20);
}

ProfileRecord Record(FuzzedDataProvider& in) {
  ProfileRecord r;
  for (std::string* s : {&r.LongLANDescription,
                         &r.IP,
                         &r.Subnet,
                         &r.IP2,
                         &r.Subnet2,
                         &r.Gateway,
                         &r.DNS,
                         &r.DNS2,
                         &r.WINS,
                         &r.LongLANDescriptionLan2,
                         &r.IPLan2,
                         &r.SubnetLan2,
                         &r.IP2Lan2,
                         &r.Subnet2Lan2,
                         &r.GatewayLan2,
                         &r.DNSLan2,
                         &r.DNS2Lan2,
                         &r.WINSLan2,
                         &r.Proxy,
                         &r.ProxyPort,
                         &r.ProxyNotUsed,
                         &r.OLEXPPOP,
                         &r.OLEXPSMTP,
                         &r.OLEXPIMAP,
                         &r.DefPrinter,
                         &r.HostName})
    *s = Text(in);
  for (bool* b : {&r.DHCP_DNS, &r.DHCP_WINS, &r.DHCP_DNSLan2, &r.DHCP_WINSLan2, &r.EnableProxy,
                  &r.ProxyNoLocal, &r.IncludeOLExp, &r.IncludeDefPrint, &r.IncludeHostModification,
                  &r.IncludeHostName, &r.IncludeSript, &r.ConfirmKeep})
    *b = in.ConsumeBool();
  r.DHCP = in.ConsumeIntegralInRange(-1, 1);
  r.DHCPLan2 = in.ConsumeIntegralInRange(-1, 1);
  r.ScriptKind = in.ConsumeIntegralInRange(-1, 3);
  r.ConfirmSeconds = in.ConsumeIntegralInRange(1, 255);
  r.Hosts.clear();
  // A host row's address and name hold no blank, tab or "#": the stored line separates its
  // parts by them, so such a row reads back as other parts (the format's limit, not the
  // store's).
  auto part = [&in] {
    std::string s = Text(in);
    std::erase_if(s, [](char c) { return c == ' ' || c == '\t' || c == '#'; });
    return s;
  };
  for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) {
    std::string host = part(), address = part();
    r.Hosts.push_back({host, address, Text(in)});
  }
  for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) r.ScriptLines.push_back(Text(in));
  return r;
}

bool HasLineBreak(const std::string& s) {
  return s.find_first_of("\r\n") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const auto& folder = lanvoy::fuzz::WorkFolder();
  const std::string path = (folder / "Lanvoy.INI").string();
  const std::string name = in.ConsumeRandomLengthString(16);
  const ProfileRecord record = Record(in);
  const std::string file = in.ConsumeRemainingBytesAsString();
  LANVOY_CHECK(lanvoy::WriteFileAtomic(path, file));

  lanvoy::TProfileStore store(path);
  std::map<std::string, ProfileRecord> others;
  for (const std::string& other : store.ProfileNames())
    if (!lanvoy::SameText(other, name))
      others.emplace(lanvoy::UpperCase(other), store.LoadProfile(other));

  bool saved = true;
  try {
    store.SaveProfile(name, record);
  } catch (const lanvoy::Error&) {
    // A name the store cannot hold, or a text with a line break: nothing was written.
    saved = false;
    LANVOY_CHECK(lanvoy::ReadFileBytes(path) == file);
  }
  if (saved) {
    const ProfileRecord loaded = store.LoadProfile(name);
    for (auto [given, back] : {std::pair{&record.IP, &loaded.IP},
                               {&record.Subnet, &loaded.Subnet},
                               {&record.Gateway, &loaded.Gateway},
                               {&record.DNS2, &loaded.DNS2},
                               {&record.LongLANDescription, &loaded.LongLANDescription},
                               {&record.Proxy, &loaded.Proxy},
                               {&record.HostName, &loaded.HostName},
                               {&record.DefPrinter, &loaded.DefPrinter}})
      LANVOY_CHECK(HasLineBreak(*given) || *given == *back);
    for (std::size_t i = 0; i < record.ScriptLines.size(); ++i)
      LANVOY_CHECK(loaded.ScriptLines.at(i) == record.ScriptLines[i] ||
                   HasLineBreak(record.ScriptLines[i]));
    LANVOY_CHECK(loaded.DHCP == record.DHCP && loaded.ScriptKind == record.ScriptKind);
    store.SaveProfile(name, loaded);
    const ProfileRecord again = store.LoadProfile(name);
    ProfileRecord expected = loaded;
    expected.ProxyNotUsed = again.ProxyNotUsed;
    LANVOY_CHECK(again == expected);
    store.SaveProfile(name, again);
    LANVOY_CHECK(store.LoadProfile(name) == again);
  }
  for (const auto& [upper, before] : others) LANVOY_CHECK(store.LoadProfile(upper) == before);
  LANVOY_CHECK(lanvoy::fuzz::FilesIn(folder) == 1);
  return 0;
}
