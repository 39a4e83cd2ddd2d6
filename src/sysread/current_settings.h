// Get Current: the computer's present settings, read in a fixed order and handed to a sink
// (the main window) piece by piece, so that what was shown before a failure stays shown.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "apply/hosts_lines.h"
#include "sysread/network_info.h"

namespace lanvoy {

struct ProxySettings {
  std::string Server;
  std::string Port;
  std::vector<std::string> Exceptions;  // one address per line
  bool NoLocal = false;
  bool Enable = false;
  bool operator==(const ProxySettings&) const = default;
};

struct MailServers {
  std::string Imap;
  std::string Smtp;
  std::string Pop;
  bool operator==(const MailServers&) const = default;
};

// What Get Current fills, in the order it is called.
class CurrentSettingsSink {
 public:
  virtual ~CurrentSettingsSink() = default;
  virtual void ClearInputFields() = 0;
  virtual void ShowProxy(const ProxySettings& proxy) = 0;
  // Only called when the default mail account's key opens; otherwise the fields keep their text.
  virtual void ShowMail(const MailServers& mail) = 0;
  virtual void ShowComputerName(const std::string& name) = 0;
  // Only called when there is a name to show (the default, else the first installed printer).
  virtual void ShowDefaultPrinter(const std::string& name) = 0;
  virtual void ShowHosts(const std::vector<HostRow>& rows) = 0;
  // The whole connection table: the first two entries fill connections 1 and 2, and every
  // name becomes an item of both connection-name selectors. Called with an empty table when
  // Get Current starts (the table is emptied), and with the parsed table at its end.
  virtual void ShowConnections(const TNetworkInfoSet& table) = 0;
  // What kept a connection out of the table, one message each; after ShowConnections.
  virtual void ShowProblems(const std::vector<std::string>& problems) = 0;
};

}  // namespace lanvoy
