// The profile record: every setting of one profile, one field per key of the profile
// store, named after its key. The main window's controls hold the record being shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apply/hosts_lines.h"

namespace lanvoy {

// Address modes as the mode selector holds them.
inline constexpr int32_t kModeNone = -1;
inline constexpr int32_t kModeStatic = 0;
inline constexpr int32_t kModeDhcp = 1;

// The kinds of script by ScriptKind value.
inline constexpr const char* kScriptKindNames[4] = {"Batchfile (bat)", "Visual Basic Script (vbs)",
                                                    "Java Script (js)", "Win Script (ws)"};

struct ProfileRecord {
  // Connection 1.
  std::string LongLANDescription;
  int32_t DHCP = kModeStatic;  // kModeNone, kModeStatic or kModeDhcp
  std::string IP, Subnet, IP2, Subnet2, Gateway, DNS, DNS2, WINS;
  bool DHCP_DNS = false;
  bool DHCP_WINS = false;

  // Connection 2; an empty name means the profile has none.
  std::string LongLANDescriptionLan2;
  int32_t DHCPLan2 = kModeStatic;
  std::string IPLan2, SubnetLan2, IP2Lan2, Subnet2Lan2, GatewayLan2, DNSLan2, DNS2Lan2, WINSLan2;
  bool DHCP_DNSLan2 = false;
  bool DHCP_WINSLan2 = false;

  // Internet proxy.
  std::string Proxy;
  std::string ProxyPort = "8080";
  bool EnableProxy = false;
  bool ProxyNoLocal = false;
  // The exclusion field's text: one address per line, lines separated by CR LF.
  std::string ProxyNotUsed;

  // Mail servers of the default account.
  std::string OLEXPPOP, OLEXPSMTP, OLEXPIMAP;
  bool IncludeOLExp = false;

  // Default printer.
  bool IncludeDefPrint = false;
  std::string DefPrinter;

  // Hosts table: the grid's data rows (it always has at least one, possibly empty).
  bool IncludeHostModification = false;
  std::vector<HostRow> Hosts{HostRow{}};

  // Computer name.
  bool IncludeHostName = false;
  std::string HostName;

  // Script: the lines of the script field, and the kind (-1 when none is selected).
  bool IncludeSript = false;
  std::vector<std::string> ScriptLines;
  int32_t ScriptKind = 0;

  // Keep or revert: after an apply the settings stay only when the user confirms them
  // within the time (seconds); else the apply is undone.
  bool ConfirmKeep = false;
  int32_t ConfirmSeconds = 15;

  bool operator==(const ProfileRecord&) const = default;
};

}  // namespace lanvoy
