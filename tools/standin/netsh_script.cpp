#include "standin/netsh_script.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "base/strings.h"
#include "standin/netsh_dump.h"

namespace lanvoy::standin {

namespace {

constexpr const char* kSyntaxError =
    "The syntax supplied for this command is not valid. Check help for the correct syntax.";
constexpr const char* kMissingParameter = "One or more essential parameters not specified";

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

bool IsIpAddress(std::string_view text) {
  return ParseAddress(text).has_value();
}

bool IsSubnetMask(std::string_view text) {
  auto value = ParseAddress(text);
  if (!value || *value == 0) return false;
  const uint32_t hostBits = ~*value;
  return (hostBits & (hostBits + 1)) == 0;
}

NetshInterpreter::NetshInterpreter(NetworkState& state) : state_(state) {}

bool NetshInterpreter::SetContext(std::string_view context) {
  Context target = Context::Root;
  for (const auto& lexeme : Lex(context)) {
    const std::string word = LowerCase(lexeme.text);
    if (target == Context::Root && word == "interface")
      target = Context::Interface;
    else if (target == Context::Interface && (word == "ip" || word == "ipv4"))
      target = Context::InterfaceIp;
    else
      return Fail("The following command was not found: " + std::string(context) + ".");
  }
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

bool NetshInterpreter::Ok() {
  output_ += "Ok.";
  output_ += kCRLF;
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
      if (k + 2 >= lexemes.size() || lexemes[k + 2].equals) return Fail(kMissingParameter);
      const std::string key = LowerCase(lexemes[k].text);
      if (std::find(order.begin(), order.end(), key) == order.end() || bound(key))
        return Fail(kSyntaxError);
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
    Fail(kMissingParameter);
    return nullptr;
  }
  ConnectionState* c = state_.Find(*name);
  if (!c) Fail("Invalid interface \"" + *name + "\" specified.");
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
  for (; i < lexemes.size() && !lexemes[i].equals; ++i) {
    const std::string word = LowerCase(lexemes[i].text);
    if (context == Context::Root && word == "interface")
      context = Context::Interface;
    else if (context == Context::Interface && (word == "ip" || word == "ipv4"))
      context = Context::InterfaceIp;
    else
      break;
  }
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
  if (verb == "dump") {
    if (i + 1 != lexemes.size()) return Fail(kSyntaxError);
    output_ += context == Context::InterfaceIp ? InterfaceIpDump(state_) : InterfaceDump(state_);
    return true;
  }
  if (context == Context::Interface && verb == "reset" && object == "all" &&
      i + 2 == lexemes.size()) {
    // Resets the interface configuration the simulation does not model (tunnels, demand-dial
    // interfaces); the TCP/IP settings of the connections stay as they are.
    output_ += "Ok.";
    output_ += kCRLF;
    return true;
  }
  if (context != Context::InterfaceIp || (verb != "set" && verb != "add")) return notFound();

  Params params;
  if (verb == "set" && object == "address") {
    return Bind(lexemes, i + 2, {"name", "source", "addr", "mask", "gateway", "gwmetric"},
                params) &&
           SetAddress(params);
  }
  if (verb == "add" && object == "address") {
    return Bind(lexemes, i + 2, {"name", "addr", "mask", "gateway", "gwmetric"}, params) &&
           AddAddress(params);
  }
  if (verb == "set" && object == "dns")
    return Bind(lexemes, i + 2, {"name", "source", "addr", "register"}, params) && SetDns(params);
  if (verb == "add" && object == "dns")
    return Bind(lexemes, i + 2, {"name", "addr", "index"}, params) && AddDns(params);
  if (verb == "set" && object == "wins")
    return Bind(lexemes, i + 2, {"name", "source", "addr"}, params) && SetWins(params);
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

std::optional<std::string> CheckAddressAndMask(const std::string& addr, const std::string& mask) {
  if (!IsIpAddress(addr)) return "Invalid addr parameter (" + addr + ").";
  if (!IsSubnetMask(mask)) return "Invalid mask parameter (" + mask + ").";
  return std::nullopt;
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
  const auto addr = Get(p, "addr");
  const auto mask = Get(p, "mask");
  const auto gateway = Get(p, "gateway");
  const auto metric = Get(p, "gwmetric");
  if (auto error = CheckGateway(gateway, metric)) return Fail(*error);
  if (metric && !gateway) return Fail(kMissingParameter);

  if (!source) {
    if (addr || mask) return Fail(kMissingParameter);
    if (!gateway) return Fail(kMissingParameter);
    if (c->dhcp)
      return Fail("The gateway of \"" + c->name +
                  "\" comes from DHCP; set a static address first (source=static).");
    SetGateway(*c, *gateway, metric);
    return Ok();
  }
  if (SameText(*source, "dhcp")) {
    if (addr || mask || gateway) return Fail(kSyntaxError);
    c->dhcp = true;
    c->addresses.clear();
    c->gateway.clear();
    c->gatewayMetric = 0;
    return Ok();
  }
  if (!SameText(*source, "static"))
    return Fail("'" + *source + "' is not an acceptable value for source.");
  if (!addr || !mask) return Fail(kMissingParameter);
  if (auto error = CheckAddressAndMask(*addr, *mask)) return Fail(*error);
  c->dhcp = false;
  c->addresses = {{*addr, *mask}};
  // A static address set anew replaces the old static settings, the gateway with them; a
  // dump of a connection without a gateway names none.
  SetGateway(*c, gateway.value_or("none"), metric);
  return Ok();
}

bool NetshInterpreter::AddAddress(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  const auto addr = Get(p, "addr");
  const auto mask = Get(p, "mask");
  const auto gateway = Get(p, "gateway");
  const auto metric = Get(p, "gwmetric");
  if (!addr || !mask) return Fail(kMissingParameter);
  if (auto error = CheckAddressAndMask(*addr, *mask)) return Fail(*error);
  if (auto error = CheckGateway(gateway, metric)) return Fail(*error);
  if (c->dhcp)
    return Fail("\"" + c->name +
                "\" gets its address from DHCP; set a static address first (source=static).");
  for (const auto& a : c->addresses)
    if (a.address == *addr) return Fail("The object already exists.");
  c->addresses.push_back({*addr, *mask});
  if (gateway) SetGateway(*c, *gateway, metric);
  return Ok();
}

bool NetshInterpreter::SetDns(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  const auto source = Get(p, "source");
  const auto addr = Get(p, "addr");
  const auto reg = Get(p, "register");
  if (!source) return Fail(kMissingParameter);
  if (reg && !SameText(*reg, "none") && !SameText(*reg, "primary") && !SameText(*reg, "both"))
    return Fail("'" + *reg + "' is not an acceptable value for register.");
  if (SameText(*source, "dhcp")) {
    if (addr) return Fail(kSyntaxError);
    c->dnsFromDhcp = true;
    c->dnsServers.clear();
    return Ok();
  }
  if (!SameText(*source, "static"))
    return Fail("'" + *source + "' is not an acceptable value for source.");
  if (!addr) return Fail(kMissingParameter);
  if (!IsNone(*addr) && !IsIpAddress(*addr)) return Fail("Invalid addr parameter (" + *addr + ").");
  c->dnsFromDhcp = false;
  c->dnsServers.clear();
  if (!IsNone(*addr)) c->dnsServers.push_back(*addr);
  return Ok();
}

bool NetshInterpreter::AddDns(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  const auto addr = Get(p, "addr");
  const auto index = Get(p, "index");
  if (!addr) return Fail(kMissingParameter);
  if (!IsIpAddress(*addr)) return Fail("Invalid addr parameter (" + *addr + ").");
  std::optional<int> position;
  if (index) {
    position = ParseNumber(*index, 999);
    if (!position || *position == 0) return Fail("Invalid index parameter (" + *index + ").");
  }
  if (!c->dnsFromDhcp &&
      std::find(c->dnsServers.begin(), c->dnsServers.end(), *addr) != c->dnsServers.end())
    return Fail("The object is already in the list.");
  if (c->dnsFromDhcp) c->dnsServers.clear();
  c->dnsFromDhcp = false;
  const std::size_t at = position ? std::min<std::size_t>(static_cast<std::size_t>(*position - 1),
                                                          c->dnsServers.size())
                                  : c->dnsServers.size();
  c->dnsServers.insert(c->dnsServers.begin() + static_cast<std::ptrdiff_t>(at), *addr);
  return Ok();
}

bool NetshInterpreter::SetWins(const Params& p) {
  ConnectionState* c = Connection(p);
  if (!c) return false;
  const auto source = Get(p, "source");
  const auto addr = Get(p, "addr");
  if (!source) return Fail(kMissingParameter);
  if (SameText(*source, "dhcp")) {
    if (addr) return Fail(kSyntaxError);
    c->winsFromDhcp = true;
    c->winsServers.clear();
    return Ok();
  }
  if (!SameText(*source, "static"))
    return Fail("'" + *source + "' is not an acceptable value for source.");
  if (!addr) return Fail(kMissingParameter);
  if (!IsNone(*addr) && !IsIpAddress(*addr)) return Fail("Invalid addr parameter (" + *addr + ").");
  c->winsFromDhcp = false;
  c->winsServers.clear();
  if (!IsNone(*addr)) c->winsServers.push_back(*addr);
  return Ok();
}

}  // namespace lanvoy::standin
