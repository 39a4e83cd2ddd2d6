// Checks of a profile before it is applied: what would make the apply fail or cut the
// connection (errors), and what is probably unintended (warnings), each with a message a
// user can act on.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profiles/profile_record.h"
#include "sysread/network_info.h"

namespace lanvoy {

// A dotted IPv4 address of four decimal numbers 0 to 255, nothing else.
std::optional<uint32_t> ParseIPv4(std::string_view text);
// An IPv6 address as Windows writes it: up to eight groups of one to four hex digits, one
// "::" for a run of zero groups, the last two groups also as a dotted IPv4 address.
using IPv6Groups = std::array<uint16_t, 8>;
std::optional<IPv6Groups> ParseIPv6(std::string_view text);
// Whether two texts name the same IPv6 address ("2001:DB8::1", "2001:db8:0:0::1").
bool SameIPv6(std::string_view a, std::string_view b);
// Whether the address lies in the prefix of that length.
bool InIPv6Prefix(const IPv6Groups& address, const IPv6Groups& prefix, int length);

// A mask: ones from the top, then zeros (0.0.0.0 is no mask for an address).
bool IsSubnetMask(uint32_t mask);

// The kinds of a connection's address fields, for what each may hold.
enum class AddressKind { Address, Mask, Wins };
// Whether a field of that kind may hold the text: empty (not set), or a value of its kind;
// a WINS field also "none", as Get Current reads it.
bool ValidAddressText(AddressKind kind, std::string_view text);

struct Finding {
  enum Level { Error, Warning };
  Finding(Level l, std::string m, std::string c = "")
      : level(l), message(std::move(m)), connection(std::move(c)) {}
  Level level;
  std::string message;
  std::string connection;  // the connection it is about; "" for the profile's other parts
  bool operator==(const Finding&) const = default;
};

// What the checks need to know of the machine.
struct MachineFacts {
  TNetworkInfoSet connections;   // from the interface dump
  bool connectionsKnown = true;  // false: the dump was not read, connections are not checked
  std::string hostsPath;
  bool hostsWritable = true;
  bool hostsMapsLocalhost = false;  // a line of the hosts file, not a remark, names localhost
  std::vector<std::string> printers;
  // Whether a program is registered for a script's extension (".vbs" ...).
  std::function<bool(const std::string& extension)> scriptRunner;
  // Windows 2000 or XP: the checks of later Windows' ways do not apply.
  bool windows5 = true;
  bool mailAccount = true;             // the default account of Outlook Express exists
  bool windowsManagesPrinter = false;  // "Let Windows manage my default printer" is on
};

// Why Windows would refuse the computer name ("" when it would take it): empty, longer
// than 15 characters, characters other than letters, digits and hyphens, digits only.
std::string ComputerNameProblem(const std::string& name);

std::vector<Finding> PreflightChecks(const ProfileRecord& profile, const MachineFacts& machine);
// The part of the checks that needs nothing of the machine: the connections' addresses,
// masks, gateways and servers. A profile is checked with them when it is saved.
std::vector<Finding> ValueChecks(const ProfileRecord& profile);
bool HasErrors(const std::vector<Finding>& findings);
// "Error: ..." / "Warning: ...", one line each.
std::string FindingsText(const std::vector<Finding>& findings);

}  // namespace lanvoy
