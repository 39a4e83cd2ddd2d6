// Recording stand-ins for the window: what an apply showed, and what Get Current filled.
#pragma once

#include <string>
#include <vector>

#include "apply/apply_sequence.h"
#include "sysread/current_settings.h"

namespace lanvoy::test {

class RecordingObserver : public ApplyObserver {
 public:
  struct Stage {
    int position;
    std::string label;
    bool visible;
  };
  void SetBusyCursor(bool busy) override { cursor.push_back(busy); }
  void ProgressRange(int minimum, int maximum) override {
    rangeMin = minimum;
    rangeMax = maximum;
  }
  void ProgressStage(int position, const std::string& label, bool visible) override {
    stages.push_back({position, label, visible});
  }
  void ProgressClose() override { ++closed; }
  void ShowMailClientWarning(const std::string& text) override { warnings.push_back(text); }
  void RunBrowserRestartNotice() override { ++browserNotices; }

  std::vector<bool> cursor;
  int rangeMin = 0, rangeMax = 0, closed = 0, browserNotices = 0;
  std::vector<Stage> stages;
  std::vector<std::string> warnings;
};

class RecordingSink : public CurrentSettingsSink {
 public:
  void ClearInputFields() override { calls.push_back("clear"); }
  void ShowProxy(const ProxySettings& p) override {
    calls.push_back("proxy");
    proxy = p;
  }
  void ShowMail(const MailServers& m) override {
    calls.push_back("mail");
    mail = m;
  }
  void ShowComputerName(const std::string& name) override {
    calls.push_back("name");
    computerName = name;
  }
  void ShowDefaultPrinter(const std::string& name) override {
    calls.push_back("printer");
    printer = name;
  }
  void ShowHosts(const std::vector<HostRow>& rows) override {
    calls.push_back("hosts");
    hosts = rows;
  }
  void ShowProblems(const std::vector<std::string>& found) override {
    calls.push_back("problems");
    problems = found;
  }
  void ShowConnections(const TNetworkInfoSet& table) override {
    calls.push_back("connections");
    connections = table;
  }

  std::vector<std::string> calls;
  ProxySettings proxy;
  MailServers mail;
  std::string computerName, printer;
  std::vector<HostRow> hosts;
  TNetworkInfoSet connections;
  std::vector<std::string> problems;
};

}  // namespace lanvoy::test
