#include "standin/netsh_script.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "apply/preflight.h"
#include "base/strings.h"
#include "standin/netsh_dump.h"

namespace lanvoy::standin {

namespace {

constexpr const char* kSyntaxError =
    "The syntax supplied for this command is not valid. Check help for the correct syntax.";
constexpr const char* kMissingParameter = "One or more essential parameters not specified";
constexpr const char* kMissingParameter10 =
    "One or more essential parameters were not entered.\r\n"
    "Verify the required parameters, and reenter them.";
// Windows 10's answer to a name that is neither a connection's nor an interface index.
constexpr const char* kUnknownInterface10 =
    "The filename, directory name, or volume label syntax is incorrect.";

// The tags of Windows 10's commands in the order untagged values fill them, every documented
// tag, so that an abbreviation matches what it matches there; those the simulation has no
// use for (type, store, subinterface, lifetimes, skipassource) are taken and change nothing.
const std::vector<std::string> kSetAddressTags = {
    "name", "source", "address", "mask", "gateway", "gwmetric", "type", "subinterface", "store"};
const std::vector<std::string> kAddAddressTags = {
    "name",          "address",           "mask",         "type",  "gateway",     "gwmetric",
    "validlifetime", "preferredlifetime", "subinterface", "store", "skipassource"};
const std::vector<std::string> kSetDnsTags = {"name", "source", "address", "register", "validate"};
const std::vector<std::string> kAddDnsTags = {"name", "address", "index", "validate"};
const std::vector<std::string> kSetWinsTags = {"name", "source", "address"};
const std::vector<std::string> kAddWinsTags = {"name", "address", "index"};
// The objects of "set" and "add" in Windows 10's ipv4 context: "set dns" is "set dnsservers"
// because "dns" starts no other.
const std::vector<std::string> kSetObjects = {
    "address",   "compartment", "dnsservers", "dynamicportrange", "global",
    "interface", "neighbors",   "route",      "subinterface",     "winsservers"};
const std::vector<std::string> kAddObjects = {"address",   "dnsservers", "excludedportrange",
                                              "neighbors", "route",      "winsservers"};

// The word of a list that key names: the word itself, or with prefixes allowed also the one
// word it starts (netsh's MatchToken; an ambiguous prefix names none). "" for none.
std::string Match(std::string_view key, const std::vector<std::string>& words, bool prefixes) {
  if (key.empty()) return {};
  for (const auto& word : words)
    if (word == key) return word;
  if (!prefixes) return {};
  std::string found;
  for (const auto& word : words) {
    if (!word.starts_with(key)) continue;
    if (!found.empty()) return {};
    found = word;
  }
  return found;
}

std::optional<uint32_t> ParseAddress(std::string_view text) {
  uint32_t value = 0;
  int parts = 0;
  std::size_t at = 0;
  while (true) {
    std::size_t dot = text.find('.', at);
    std::string_view part =
        text.substr(at, dot == std::string_view::npos ? std::string_view::npos : dot - at);
    if (part.empty() || part.size() > 3) return std::nullopt;
    unsigned number = 0;
    for (char ch : part) {
      if (ch < '0' || ch > '9') return std::nullopt;
      number = number * 10 + static_cast<unsigned>(ch - '0');
    }
    if (number > 255 || ++parts > 4) return std::nullopt;
    value = (value << 8) | number;
    if (dot == std::string_view::npos) break;
    at = dot + 1;
  }
  if (parts != 4) return std::nullopt;
  return value;
}

bool IsNone(std::string_view text) {
  return SameText(text, "none");
}

std::optional<std::string> Get(const std::vector<std::pair<std::string, std::string>>& params,
                               std::string_view key) {
  for (const auto& [k, v] : params)
    if (k == key) return v;
  return std::nullopt;
}

// A decimal number within limit; nullopt for anything else.
std::optional<int> ParseNumber(std::string_view text, int limit) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + (ch - '0');
  }
  if (value > limit) return std::nullopt;
  return value;
}

}  // namespace

bool IsIpv6Address(std::string_view text) {
  return ParseIPv6(text).has_value();
}

bool IsIpAddress(std::string_view text) {
  return ParseAddress(text).has_value();
}

bool IsSubnetMask(std::string_view text) {
  auto value = ParseAddress(text);
  if (!value || *value == 0) return false;
  const uint32_t hostBits = ~*value;
  return (hostBits & (hostBits + 1)) == 0;
}

NetshVersion NetshVersionFor(uint32_t windowsMajorVersion) {
  return windowsMajorVersion >= 6 ? NetshVersion::kWindows10 : NetshVersion::kWindowsXp;
}

NetshInterpreter::NetshInterpreter(NetworkState& state, NetshVersion version)
    : state_(state), version_(version), addr_(Xp() ? "addr" : "address") {}

bool NetshInterpreter::Enter(Context from, std::string_view word, Context& to) const {
  if (from == Context::Root && word == "interface")
    to = Context::Interface;
  else if (from == Context::Interface && (word == "ip" || word == "ipv4"))
    to = Context::InterfaceIp;
  else if (from == Context::Interface && word == "ipv6" && !Xp())
    to = Context::InterfaceIpv6;
  else if (from == Context::Root && word == "wlan" && !Xp())
    to = Context::Wlan;
  else
    return false;
  return true;
}

bool NetshInterpreter::SetContext(std::string_view context) {
  Context target = Context::Root;
  for (const auto& lexeme : Lex(context))
    if (!Enter(target, LowerCase(lexeme.text), target))
      return Fail("The following command was not found: " + std::string(context) + ".");
  context_ = target;
  return true;
}

std::vector<NetshInterpreter::Lexeme> NetshInterpreter::Lex(std::string_view line) {
  std::vector<Lexeme> out;
  std::string current;
  bool have = false;
  auto flush = [&] {
    if (have) out.push_back({current, false});
    current.clear();
    have = false;
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char ch = line[i];
    if (ch == ' ' || ch == '\t') {
      flush();
    } else if (ch == '=') {
      flush();
      out.push_back({"=", true});
    } else if (ch == '"') {
      // A quoted part may hold blanks and "="; an unclosed quote runs to the end.
      have = true;
      std::size_t close = line.find('"', i + 1);
      std::size_t end = close == std::string_view::npos ? line.size() : close;
      current += line.substr(i + 1, end - i - 1);
      i = end;
    } else {
      current += ch;
      have = true;
    }
  }
  flush();
  return out;
}

bool NetshInterpreter::Fail(const std::string& message) {
  output_ += message;
  output_ += kCRLF;
  return false;
}

bool NetshInterpreter::FailMissing() {
  return Fail(Xp() ? kMissingParameter : kMissingParameter10);
}

bool NetshInterpreter::Changed() {
  // Windows 10's netsh says nothing when a command succeeds.
  if (Xp()) {
    output_ += "Ok.";
    output_ += kCRLF;
  }
  changed_ = true;
  return true;
}

bool NetshInterpreter::Bind(const std::vector<Lexeme>& lexemes, std::size_t from,
                            const std::vector<std::string>& order, Params& params) {
  auto bound = [&](const std::string& key) { return Get(params, key).has_value(); };
  for (std::size_t k = from; k < lexemes.size();) {
    if (lexemes[k].equals) return Fail(kSyntaxError);
    if (k + 1 < lexemes.size() && lexemes[k + 1].equals) {
      // A tag with no value ("addr = " at the end of a line) leaves the command incomplete.
      if (k + 2 >= lexemes.size() || lexemes[k + 2].equals) return FailMissing();
      const std::string key = Match(LowerCase(lexemes[k].text), order, !Xp());
      if (key.empty() || bound(key)) return Fail(kSyntaxError);
      params.emplace_back(key, lexemes[k + 2].text);
      k += 3;
      continue;
    }
    // An untagged value fills the next parameter not yet given, in the command's order.
    auto next = std::find_if(order.begin(), order.end(),
                             [&](const std::string& key) { return !bound(key); });
    if (next == order.end()) return Fail(kSyntaxError);
    params.emplace_back(*next, lexemes[k].text);
    ++k;
  }
  return true;
}

ConnectionState* NetshInterpreter::Connection(const Params& params) {
  auto name = Get(params, "name");
  if (!name) {
    FailMissing();
    return nullptr;
  }
  if (!Xp()) {
    // Windows 10 takes a number for the interface index first.
    if (auto index = ParseNumber(*name, 999999999))
      if (ConnectionState* c = state_.FindIndex(*index); c && c->enabled) return c;
  }
  ConnectionState* c = state_.Find(*name);
  // An adapter switched off has no IP interface.
  if (c && !c->enabled && !Xp()) c = nullptr;
  if (!c) Fail(Xp() ? "Invalid interface \"" + *name + "\" specified." : kUnknownInterface10);
  return c;
}

bool NetshInterpreter::Execute(std::string_view rawLine) {
  const std::string line = Trim(rawLine);
  if (line.empty() || line[0] == '#') return true;
  const auto lexemes = Lex(line);
  if (lexemes.empty()) return true;
  auto notFound = [&] { return Fail("The following command was not found: " + line + "."); };

  std::size_t i = 0;
  const std::string first = LowerCase(lexemes[0].text);
  const bool push = first == "pushd";
  if (push) {
    i = 1;
  } else if (first == "popd") {
    if (lexemes.size() > 1) return notFound();
    if (stack_.empty()) return Fail("The context stack is empty: popd has no pushd to return to.");
    context_ = stack_.back();
    stack_.pop_back();
    return true;
  } else if (first == "exit" || first == "quit" || first == "bye") {
    finished_ = true;
    return true;
  }

  // Leading context names lead from the current context into its subcontexts.
  Context context = context_;
  for (; i < lexemes.size() && !lexemes[i].equals; ++i)
    if (!Enter(context, LowerCase(lexemes[i].text), context)) break;
  if (push) {
    if (i != lexemes.size()) return notFound();
    stack_.push_back(context_);
    context_ = context;
    return true;
  }
  if (i == lexemes.size()) {  // a context name alone enters that context
    context_ = context;
    return true;
  }

  const std::string verb = LowerCase(lexemes[i].text);
  const std::string object = i + 1 < lexemes.size() ? LowerCase(lexemes[i + 1].text) : "";
  if (context == Context::InterfaceIpv6) {
    if (verb == "dump") return notFound();  // known, but not modelled
    if (auto done = Ipv6Command(verb, object, lexemes, i + 2)) return *done;
    return notFound();
  }
  if (context == Context::Wlan) {
    Params params;
    if (verb != "connect") return notFound();
    return Bind(lexemes, i + 1, {"name", "ssid", "interface"}, params) && WlanConnect(params);
  }
  if (!Xp() && context == Context::Interface && verb == "set" && object == "interface") {
    Params params;
    return Bind(lexemes, i + 2, {"name", "admin", "connect", "newname"}, params) &&
           SetInterfaceAdmin(params);
  }
  if (verb == "dump") {
    if (i + 1 != lexemes.size()) return Fail(kSyntaxError);
    const bool ip = context == Context::InterfaceIp;
    if (Xp())
      output_ += ip ? InterfaceIpDump(state_) : InterfaceDump(state_);
    else
      output_ += ip ? Windows10Ipv4Dump(state_) : Windows10InterfaceDump(state_);
    return true;
  }
  // Only XP's interface context has "reset all".
  if (Xp() && context == Context::Interface && verb == "reset" && object == "all" &&
      i + 2 == lexemes.size()) {
    // Resets the interface configuration the simulation does not model (tunnels, demand-dial
    // interfaces); the TCP/IP settings of the connections stay as they are.
    output_ += "Ok.";
    output_ += kCRLF;
    return true;
  }
  if (context != Context::InterfaceIp || (verb != "set" && verb != "add")) return notFound();

  Params params;
  const bool set = verb == "set";
  auto run = [&](const std::vector<std::string>& tags,
                 bool (NetshInterpreter::*command)(const Params&)) {
    return Bind(lexemes, i + 2, tags, params) && (this->*command)(params);
  };
  if (Xp()) {
    if (set && object == "address")
      return run({"name", "source", "addr", "mask", "gateway", "gwmetric"},
                 &NetshInterpreter::SetAddress);
    if (!set && object == "address")
      return run({"name", "addr", "mask", "gateway", "gwmetric"}, &NetshInterpreter::AddAddress);
    if (set && object == "dns")
      return run({"name", "source", "addr", "register"}, &NetshInterpreter::SetDns);
    if (!set && object == "dns") return run({"name", "addr", "index"}, &NetshInterpreter::AddDns);
    if (set && object == "wins") return run({"name", "source", "addr"}, &NetshInterpreter::SetWins);
    return notFound();
  }
  const std::string command = Match(object, set ? kSetObjects : kAddObjects, true);
  if (command == "address")
    return set ? run(kSetAddressTags, &NetshInterpreter::SetAddress)
               : run(kAddAddressTags, &NetshInterpreter::AddAddress);
  if (command == "dnsservers")
    return set ? run(kSetDnsTags, &NetshInterpreter::SetDns)
               : run(kAddDnsTags, &NetshInterpreter::AddDns);
  if (command == "winsservers")
    return set ? run(kSetWinsTags, &NetshInterpreter::SetWins)
               : run(kAddWinsTags, &NetshInterpreter::AddWins);
  return notFound();
}

bool NetshInterpreter::RunScript(std::string_view text) {
  bool ok = true;
  for (const auto& line : SplitLines(text)) {
    if (!Execute(line)) ok = false;
    if (finished_) break;
  }
  return ok;
}

namespace {

// Checks a gateway and its metric; the message names the first bad one.
std::optional<std::string> CheckGateway(const std::optional<std::string>& gateway,
                                        const std::optional<std::string>& metric) {
  if (gateway && !IsNone(*gateway) && !IsIpAddress(*gateway))
    return "Invalid gateway parameter (" + *gateway + ").";
  if (metric && !ParseNumber(*metric, 9999)) return "Invalid gwmetric parameter (" + *metric + ").";
  return std::nullopt;
}

std::optional<std::string> CheckAddressAndMask(const char* tag, const std::string& addr,
                                               const std::string& mask) {
  if (!IsIpAddress(addr)) return "Invalid " + std::string(tag) + " parameter (" + addr + ").";
  if (!IsSubnetMask(mask)) return "Invalid mask parameter (" + mask + ").";
  return std::nullopt;
}

// Windows 10 takes "address=A/n" for an address and its mask.
std::optional<std::string> SplitPrefixLength(std::optional<std::string>& addr,
                                             std::optional<std::string>& mask) {
  const std::size_t slash = addr ? addr->find('/') : std::string::npos;
  if (slash == std::string::npos) return std::nullopt;
  const auto length = ParseNumber(std::string_view(*addr).substr(slash + 1), 32);
  if (!length || *length == 0 || mask) return "Invalid address parameter (" + *addr + ").";
  const uint32_t bits = ~uint32_t{0} << (32 - *length);
  mask = std::to_string(bits >> 24) + "." + std::to_string((bits >> 16) & 255) + "." +
         std::to_string((bits >> 8) & 255) + "." + std::to_string(bits & 255);
  addr->erase(slash);
  return std::nullopt;
}

// A value of a tag that takes one of a few words; the message when it is none of them.
std::optional<std::string> CheckChoice(const std::vector<std::pair<std::string, std::string>>& p,
                                       std::string_view tag,
                                       std::initializer_list<std::string_view> choices) {
  const auto value = Get(p, tag);
  if (!value) return std::nullopt;
  for (auto choice : choices)
    if (SameText(*value, choice)) return std::nullopt;
  return "'" + *value + "' is not an acceptable value for " + std::string(tag) + ".";
}

void SetGateway(ConnectionState& c, const std::string& gateway,
                const std::optional<std::string>& metric) {
  c.gateway = IsNone(gateway) ? std::string() : gateway;
  c.gatewayMetric = c.gateway.empty() ? 0 : metric ? *ParseNumber(*metric, 9999) : 0;
}

}  // namespace

bool NetshInterpreter::SetAddress(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  const auto source = Get(p, "source");
  auto addr = Get(p, addr_);
  auto mask = Get(p, "mask");
  const auto gateway = Get(p, "gateway");
  const auto metric = Get(p, "gwmetric");
  if (!Xp())
    if (auto error = SplitPrefixLength(addr, mask)) return Fail(*error);
  if (auto error = CheckGateway(gateway, metric)) return Fail(*error);
  if (metric && !gateway) return FailMissing();

  if (!source) {
    // Windows 10 sets a gateway only together with a static address.
    if (addr || mask || !gateway || !Xp()) return FailMissing();
    if (c->dhcp)
      return Fail("The gateway of \"" + c->name +
                  "\" comes from DHCP; set a static address first (source=static).");
    SetGateway(*c, *gateway, metric);
    return Changed();
  }
  if (SameText(*source, "dhcp")) {
    if (addr || mask || gateway) return Fail(kSyntaxError);
    c->dhcp = true;
    c->addresses.clear();
    c->gateway.clear();
    c->gatewayMetric = 0;
    return Changed();
  }
  if (!SameText(*source, "static"))
    return Fail("'" + *source + "' is not an acceptable value for source.");
  if (!addr || !mask) return FailMissing();
  if (auto error = CheckAddressAndMask(addr_, *addr, *mask)) return Fail(*error);
  c->dhcp = false;
  c->addresses = {{*addr, *mask}};
  // A static address set anew replaces the old static settings, the gateway with them; a
  // dump of a connection without a gateway names none.
  SetGateway(*c, gateway.value_or("none"), metric);
  return Changed();
}

bool NetshInterpreter::AddAddress(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  auto addr = Get(p, addr_);
  auto mask = Get(p, "mask");
  const auto gateway = Get(p, "gateway");
  const auto metric = Get(p, "gwmetric");
  if (!Xp())
    if (auto error = SplitPrefixLength(addr, mask)) return Fail(*error);
  if (!addr || !mask) return FailMissing();
  if (auto error = CheckAddressAndMask(addr_, *addr, *mask)) return Fail(*error);
  if (auto error = CheckGateway(gateway, metric)) return Fail(*error);
  if (c->dhcp) {
    if (Xp())
      return Fail("\"" + c->name +
                  "\" gets its address from DHCP; set a static address first (source=static).");
    // Windows 10 turns DHCP off for the interface: the new address is its only one.
    c->dhcp = false;
    c->addresses.clear();
    c->gateway.clear();
    c->gatewayMetric = 0;
  }
  for (const auto& a : c->addresses)
    if (a.address == *addr) return Fail("The object already exists.");
  c->addresses.push_back({*addr, *mask});
  if (gateway) SetGateway(*c, *gateway, metric);
  return Changed();
}

bool NetshInterpreter::SetServers(const Params& p, bool& fromDhcp,
                                  std::vector<std::string>& servers) {
  const auto source = Get(p, "source");
  const auto addr = Get(p, addr_);
  if (SameText(*source, "dhcp")) {
    if (addr) return Fail(kSyntaxError);
    fromDhcp = true;
    servers.clear();
    return Changed();
  }
  if (!SameText(*source, "static"))
    return Fail("'" + *source + "' is not an acceptable value for source.");
  if (!addr) return FailMissing();
  if (!IsNone(*addr) && !IsIpAddress(*addr))
    return Fail("Invalid " + std::string(addr_) + " parameter (" + *addr + ").");
  fromDhcp = false;
  servers.clear();
  if (!IsNone(*addr)) servers.push_back(*addr);
  return Changed();
}

bool NetshInterpreter::AddServer(const Params& p, bool& fromDhcp,
                                 std::vector<std::string>& servers) {
  const auto addr = Get(p, addr_);
  const auto index = Get(p, "index");
  if (!addr) return FailMissing();
  if (!IsIpAddress(*addr))
    return Fail("Invalid " + std::string(addr_) + " parameter (" + *addr + ").");
  std::optional<int> position;
  if (index) {
    position = ParseNumber(*index, 999);
    if (!position || *position == 0) return Fail("Invalid index parameter (" + *index + ").");
  }
  if (!fromDhcp && std::find(servers.begin(), servers.end(), *addr) != servers.end())
    return Fail("The object is already in the list.");
  // A server added to those from DHCP starts a static list.
  if (fromDhcp) servers.clear();
  fromDhcp = false;
  const std::size_t at =
      position ? std::min<std::size_t>(static_cast<std::size_t>(*position - 1), servers.size())
               : servers.size();
  servers.insert(servers.begin() + static_cast<std::ptrdiff_t>(at), *addr);
  return Changed();
}

bool NetshInterpreter::SetDns(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  if (!Get(p, "source")) return FailMissing();
  if (auto error = CheckChoice(p, "register", {"none", "primary", "both"})) return Fail(*error);
  // validate=yes asks Windows to try the server; the simulation has no network to try it on
  // and takes it as validate=no does.
  if (auto error = CheckChoice(p, "validate", {"yes", "no"})) return Fail(*error);
  return SetServers(p, c->dnsFromDhcp, c->dnsServers);
}

bool NetshInterpreter::AddDns(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  if (auto error = CheckChoice(p, "validate", {"yes", "no"})) return Fail(*error);
  return AddServer(p, c->dnsFromDhcp, c->dnsServers);
}

bool NetshInterpreter::SetWins(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  if (!Get(p, "source")) return FailMissing();
  return SetServers(p, c->winsFromDhcp, c->winsServers);
}

bool NetshInterpreter::AddWins(const Params& p) {
  ConnectionState* c = Connection(p);
  return c && AddServer(p, c->winsFromDhcp, c->winsServers);
}

// ---------------------------------------------------------------- Windows 10's later commands

namespace {

constexpr const char* kElementNotFound = "Element not found.";
const std::vector<std::string> kIpv6AddAddressTags = {
    "interface", "address", "type", "validlifetime", "preferredlifetime", "store", "skipassource"};
const std::vector<std::string> kIpv6DeleteAddressTags = {"interface", "address", "store"};
const std::vector<std::string> kIpv6SetInterfaceTags = {
    "interface", "forwarding",      "advertise",      "mtu",           "siteid", "metric",
    "nud",       "routerdiscovery", "managedaddress", "otherstateful", "store"};
const std::vector<std::string> kIpv6AddRouteTags = {
    "prefix",        "interface",         "nexthop", "siteprefixlength", "metric", "publish",
    "validlifetime", "preferredlifetime", "store"};
const std::vector<std::string> kIpv6DeleteRouteTags = {"prefix", "interface", "nexthop", "store"};
const std::vector<std::string> kIpv6SetObjects = {"address", "dnsservers", "interface", "route"};
const std::vector<std::string> kIpv6AddObjects = {"address", "dnsservers", "route"};
const std::vector<std::string> kIpv6DeleteObjects = {"address", "dnsservers", "route"};

}  // namespace

ConnectionState* NetshInterpreter::Interface(const Params& params, const char* tag) {
  Params named;
  if (auto value = Get(params, tag)) named.emplace_back("name", *value);
  return Connection(named);
}

std::optional<bool> NetshInterpreter::Ipv6Command(const std::string& verb,
                                                  const std::string& object,
                                                  const std::vector<Lexeme>& lexemes,
                                                  std::size_t from) {
  const std::vector<std::string>* objects = verb == "set"      ? &kIpv6SetObjects
                                            : verb == "add"    ? &kIpv6AddObjects
                                            : verb == "delete" ? &kIpv6DeleteObjects
                                                               : nullptr;
  if (!objects) return std::nullopt;
  const std::string command = Match(object, *objects, true);
  Params p;
  auto run = [&](const std::vector<std::string>& tags, auto action) {
    return Bind(lexemes, from, tags, p) && action();
  };
  if (command == "address" && verb == "add")
    return run(kIpv6AddAddressTags, [&] { return AddIpv6Address(p); });
  if (command == "address" && verb == "delete")
    return run(kIpv6DeleteAddressTags, [&] { return DeleteIpv6Address(p); });
  if (command == "interface")
    return run(kIpv6SetInterfaceTags, [&] { return SetIpv6Interface(p); });
  if (command == "route")
    return run(verb == "add" ? kIpv6AddRouteTags : kIpv6DeleteRouteTags,
               [&] { return Ipv6Route(p, verb == "add"); });
  if (command == "dnsservers" && verb == "set")
    return run(kSetDnsTags, [&] { return SetIpv6Dns(p); });
  if (command == "dnsservers" && verb == "add")
    return run(kAddDnsTags, [&] { return AddIpv6Dns(p); });
  return std::nullopt;
}

bool NetshInterpreter::AddIpv6Address(const Params& p) {
  ConnectionState* c = Interface(p, "interface");
  if (!c) return false;
  auto address = Get(p, "address");
  if (!address) return FailMissing();
  int length = 64;
  if (const std::size_t slash = address->find('/'); slash != std::string::npos) {
    const auto n = ParseNumber(std::string_view(*address).substr(slash + 1), 128);
    if (!n || *n == 0) return Fail("Invalid address parameter (" + *address + ").");
    length = *n;
    address->erase(slash);
  }
  if (!IsIpv6Address(*address)) return Fail("Invalid address parameter (" + *address + ").");
  if (auto error = CheckChoice(p, "type", {"unicast", "anycast"})) return Fail(*error);
  if (auto error = CheckChoice(p, "store", {"active", "persistent"})) return Fail(*error);
  for (const auto& a : c->EffectiveIpv6Addresses())
    if (SameIPv6(a.address, *address)) return Fail("The object already exists.");
  c->ipv6 = true;
  c->ipv6Addresses.push_back({*address, length});
  return Changed();
}

bool NetshInterpreter::DeleteIpv6Address(const Params& p) {
  ConnectionState* c = Interface(p, "interface");
  if (!c) return false;
  const auto address = Get(p, "address");
  if (!address) return FailMissing();
  if (!IsIpv6Address(*address)) return Fail("Invalid address parameter (" + *address + ").");
  auto& list = c->ipv6Addresses;
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const Ipv6Entry& a) { return SameIPv6(a.address, *address); });
  if (it == list.end()) return Fail(kElementNotFound);
  list.erase(it);
  return Changed();
}

bool NetshInterpreter::SetIpv6Interface(const Params& p) {
  ConnectionState* c = Interface(p, "interface");
  if (!c) return false;
  for (const char* tag : {"forwarding", "advertise", "nud", "managedaddress", "otherstateful"})
    if (auto error = CheckChoice(p, tag, {"enabled", "disabled"})) return Fail(*error);
  if (auto error = CheckChoice(p, "routerdiscovery", {"enabled", "disabled", "dhcp"}))
    return Fail(*error);
  if (auto error = CheckChoice(p, "store", {"active", "persistent"})) return Fail(*error);
  for (const char* tag : {"mtu", "siteid", "metric"})
    if (auto value = Get(p, tag); value && !ParseNumber(*value, 999999999))
      return Fail("Invalid " + std::string(tag) + " parameter (" + *value + ").");
  if (auto discovery = Get(p, "routerdiscovery")) {
    c->ipv6 = true;
    c->routerDiscovery = !SameText(*discovery, "disabled");
  }
  return Changed();
}

bool NetshInterpreter::Ipv6Route(const Params& p, bool add) {
  const auto prefix = Get(p, "prefix");
  if (!prefix || !Get(p, "interface")) return FailMissing();
  ConnectionState* c = Interface(p, "interface");
  if (!c) return false;
  const std::size_t slash = prefix->find('/');
  if (slash == std::string::npos || !IsIpv6Address(prefix->substr(0, slash)) ||
      !ParseNumber(std::string_view(*prefix).substr(slash + 1), 128))
    return Fail("Invalid prefix parameter (" + *prefix + ").");
  const auto nexthop = Get(p, "nexthop");
  if (nexthop && !IsIpv6Address(*nexthop))
    return Fail("Invalid nexthop parameter (" + *nexthop + ").");
  if (auto error = CheckChoice(p, "store", {"active", "persistent"})) return Fail(*error);
  // Only the default route is modelled; another prefix is refused rather than taken and lost.
  if (!SameIPv6(prefix->substr(0, slash), "::") || prefix->substr(slash + 1) != "0")
    return Fail("The simulated host models only the default route ::/0.");
  if (add) {
    if (!nexthop) return FailMissing();
    if (!c->ipv6Gateway.empty()) return Fail("The object already exists.");
    c->ipv6 = true;
    c->ipv6Gateway = *nexthop;
    return Changed();
  }
  if (c->ipv6Gateway.empty() || (nexthop && !SameIPv6(c->ipv6Gateway, *nexthop)))
    return Fail(kElementNotFound);
  c->ipv6Gateway.clear();
  return Changed();
}

bool NetshInterpreter::SetIpv6Dns(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  const auto source = Get(p, "source");
  if (!source) return FailMissing();
  if (auto error = CheckChoice(p, "register", {"none", "primary", "both"})) return Fail(*error);
  if (auto error = CheckChoice(p, "validate", {"yes", "no"})) return Fail(*error);
  const auto address = Get(p, "address");
  if (address && !IsNone(*address) && !IsIpv6Address(*address))
    return Fail("Invalid address parameter (" + *address + ").");
  Params v4 = p;  // the same rules as IPv4's once the address is known to be IPv6
  for (auto& [key, value] : v4)
    if (key == "address" && !IsNone(value)) value = "0.0.0.0";
  std::vector<std::string> servers;
  bool fromDhcp = c->ipv6DnsFromDhcp;
  if (!SetServers(v4, fromDhcp, servers)) return false;
  c->ipv6 = true;
  c->ipv6DnsFromDhcp = fromDhcp;
  c->ipv6DnsServers.clear();
  if (!fromDhcp && address && !IsNone(*address)) c->ipv6DnsServers.push_back(*address);
  return true;
}

bool NetshInterpreter::AddIpv6Dns(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  if (auto error = CheckChoice(p, "validate", {"yes", "no"})) return Fail(*error);
  const auto address = Get(p, "address");
  if (!address) return FailMissing();
  if (!IsIpv6Address(*address)) return Fail("Invalid address parameter (" + *address + ").");
  const auto index = Get(p, "index");
  std::optional<int> position;
  if (index) {
    position = ParseNumber(*index, 999);
    if (!position || *position == 0) return Fail("Invalid index parameter (" + *index + ").");
  }
  auto& servers = c->ipv6DnsServers;
  if (!c->ipv6DnsFromDhcp)
    for (const auto& s : servers)
      if (SameIPv6(s, *address)) return Fail("The object is already in the list.");
  if (c->ipv6DnsFromDhcp) servers.clear();
  c->ipv6DnsFromDhcp = false;
  c->ipv6 = true;
  const std::size_t at =
      position ? std::min<std::size_t>(static_cast<std::size_t>(*position - 1), servers.size())
               : servers.size();
  servers.insert(servers.begin() + static_cast<std::ptrdiff_t>(at), *address);
  return Changed();
}

bool NetshInterpreter::SetInterfaceAdmin(const Params& p) {
  const auto name = Get(p, "name");
  if (!name) return FailMissing();
  // This command takes the connection's name only, switched off or not.
  ConnectionState* c = state_.Find(*name);
  if (!c) return Fail("An interface with this name is not registered with the router.");
  if (auto error = CheckChoice(p, "admin", {"enabled", "disabled"})) return Fail(*error);
  if (auto error = CheckChoice(p, "connect", {"connected", "disconnected"})) return Fail(*error);
  if (Get(p, "newname")) return Fail("Renaming is not modelled by the simulated host.");
  const auto admin = Get(p, "admin");
  if (!admin) return FailMissing();
  c->enabled = SameText(*admin, "enabled");
  if (!c->enabled) c->wlanConnected.clear();
  return Changed();
}

bool NetshInterpreter::WlanConnect(const Params& p) {
  const auto name = Get(p, "name");
  if (!name) return FailMissing();
  const auto interfaceName = Get(p, "interface");
  ConnectionState* c = nullptr;
  if (interfaceName) {
    c = state_.Find(*interfaceName);
    if (!c || !c->wireless || !c->enabled)
      return Fail("There is no such wireless interface on the system.");
  } else {
    for (auto& candidate : state_.connections)
      if (candidate.wireless && candidate.enabled) {
        // With more than one wireless interface netsh wants it named.
        if (c)
          return Fail(
              "There are more than one wireless interface on the system. Please "
              "specify the interface name.");
        c = &candidate;
      }
    if (!c) return Fail("There is no wireless interface on the system.");
  }
  auto it = std::find(c->wlanProfiles.begin(), c->wlanProfiles.end(), *name);
  if (it == c->wlanProfiles.end())
    return Fail("There is no profile \"" + *name + "\" assigned to the specified interface.");
  c->wlanConnected = *name;
  output_ += "Connection request was completed successfully.";
  output_ += kCRLF;
  changed_ = true;
  return true;
}

}  // namespace lanvoy::standin
