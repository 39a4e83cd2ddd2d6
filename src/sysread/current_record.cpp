#include "sysread/current_record.h"

#include "base/strings.h"

namespace lanvoy {

namespace {

// Fills a record as Get Current fills the window's fields.
class RecordSink : public CurrentSettingsSink {
 public:
  RecordSink(ProfileRecord& record, std::vector<std::string>& problems)
      : record_(record), problems_(problems) {}
  void ClearInputFields() override {
    for (int i = 0; i < kConnections; ++i) SetConnection(record_, i, ConnectionSettings{});
  }
  void ShowProxy(const ProxySettings& proxy) override {
    record_.Proxy = proxy.Server;
    record_.ProxyPort = proxy.Port;
    record_.EnableProxy = proxy.Enable;
    record_.ProxyNoLocal = proxy.NoLocal;
    std::string text;
    for (const std::string& line : proxy.Exceptions) text += (text.empty() ? "" : kCRLF) + line;
    record_.ProxyNotUsed = text;
  }
  void ShowMail(const MailServers& mail) override {
    record_.OLEXPPOP = mail.Pop;
    record_.OLEXPSMTP = mail.Smtp;
    record_.OLEXPIMAP = mail.Imap;
  }
  void ShowComputerName(const std::string& name) override { record_.HostName = name; }
  void ShowDefaultPrinter(const std::string& name) override { record_.DefPrinter = name; }
  void ShowHosts(const std::vector<HostRow>& rows) override { record_.Hosts = rows; }
  // The first two connections of the table fill connections 1 and 2.
  void ShowConnections(const TNetworkInfoSet& table) override {
    for (size_t i = 0; i < table.size() && i < kConnections; ++i)
      SetConnection(record_, static_cast<int>(i), table[i]);
  }
  void ShowProblems(const std::vector<std::string>& problems) override { problems_ = problems; }

 private:
  ProfileRecord& record_;
  std::vector<std::string>& problems_;
};

}  // namespace

ProfileRecord ReadCurrentRecord(ReadContext& context, std::vector<std::string>& problems) {
  ProfileRecord record;
  RecordSink sink(record, problems);
  ReadCurrentSettings(context, sink);
  if (record.Hosts.empty()) record.Hosts.push_back(HostRow{});  // the grid keeps one row
  return record;
}

}  // namespace lanvoy
