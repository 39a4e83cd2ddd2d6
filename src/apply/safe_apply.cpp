#include "apply/safe_apply.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <type_traits>

#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/netsh_script.h"
#include "apply/preflight.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "base/files.h"
#include "base/strings.h"
#include "platform/file_system.h"
#include "profiles/ini_file.h"

namespace lanvoy {

namespace {

using platform::RootKey;
using platform::ValueType;

// The values the stages write, by the parts of the profile that include them.
std::vector<SavedValue> Places(const ProfileRecord& p, platform::Registry& registry) {
  std::vector<SavedValue> places;
  for (const char* name : {"ProxyServer", "ProxyEnable", "ProxyOverride"})
    places.push_back({RootKey::CurrentUser, kInternetSettingsKey, name, std::nullopt});
  if (p.IncludeOLExp)
    if (auto account = DefaultMailAccountKey(registry))
      for (const char* name : {"IMAP Server", "POP3 Server", "SMTP Server"})
        places.push_back({RootKey::CurrentUser, *account, name, std::nullopt});
  if (p.IncludeHostName) {
    places.push_back({RootKey::LocalMachine, kComputerNameKey, "ComputerName", std::nullopt});
    places.push_back({RootKey::LocalMachine, kActiveComputerNameKey, "ComputerName", std::nullopt});
    places.push_back({RootKey::LocalMachine, kTcpipParametersKey, "Hostname", std::nullopt});
    places.push_back({RootKey::LocalMachine, kTcpipParametersKey, "NV Hostname", std::nullopt});
  }
  return places;
}

std::optional<platform::RegistryValue> Read(platform::Registry& registry, const SavedValue& at) {
  auto key = registry.Open(at.root, at.key, false);
  return key ? key->Query(at.name) : std::nullopt;
}

const TNetworkInfo* Named(const TNetworkInfoSet& table, const std::string& name) {
  for (const TNetworkInfo& info : table)
    if (info.LongLANDescription == name) return &info;
  return nullptr;
}

// Compares as the dump parser reads: letters in upper case, a cleared server as "NONE".
void Compare(std::vector<std::string>& out, const std::string& where, const char* what,
             const std::string& is, const std::string& asked) {
  auto read = [](const std::string& text) {
    const std::string upper = UpperCase(text);
    return upper == "NONE" ? std::string() : upper;
  };
  if (read(is) == read(asked)) return;
  out.push_back(where + ": " + what + " is " + (is.empty() ? "empty" : is) +
                ", the profile asks for " + (asked.empty() ? "none" : asked));
}

// The hosts file's bytes, up to the size an undo keeps.
void KeepHosts(Snapshot& s, platform::Platform& platform, const std::string& windowsDirectory) {
  const std::string native = platform.system().NativePath(HostsFilePath(windowsDirectory));
  std::error_code ec;
  const auto size = std::filesystem::file_size(native, ec);
  if (!ec && size > kHostsKept) {
    s.hostsTooLarge = true;
    return;
  }
  s.hosts = ReadFileBytes(native);
}

std::string ValueText(const std::optional<platform::RegistryValue>& v) {
  if (!v) return "missing";
  if (v->type == ValueType::DWord) return std::to_string(v->dword);
  return "\"" + v->text + "\"";
}

}  // namespace

std::string NowText() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm local = *std::localtime(&now);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

Snapshot TakeSnapshot(const ProfileRecord& p, SafeApplyContext& ctx) {
  platform::Platform& platform = ctx.platform;
  Snapshot s;
  s.taken = NowText();
  const TNetworkInfoSet table = ctx.readConnections ? ctx.readConnections() : TNetworkInfoSet{};
  for (const ConnectionSettings& c : ConnectionsOf(p))
    if (const TNetworkInfo* info = Named(table, c.LongLANDescription))
      s.connections.push_back(*info);
  for (SavedValue& place : s.registry = Places(p, platform.registry()))
    place.value = Read(platform.registry(), place);
  if ((s.hasHosts = p.IncludeHostModification)) KeepHosts(s, platform, ctx.windowsDirectory);
  if ((s.hasPrinter = p.IncludeDefPrint)) s.printer = CurrentDefaultPrinter(platform.printers());
  return s;
}

Snapshot TakeSnapshotLike(const Snapshot& like, SafeApplyContext& ctx) {
  platform::Platform& platform = ctx.platform;
  Snapshot s;
  s.taken = NowText();
  const TNetworkInfoSet table = ctx.readConnections ? ctx.readConnections() : TNetworkInfoSet{};
  for (const TNetworkInfo& was : like.connections)
    if (const TNetworkInfo* info = Named(table, was.LongLANDescription))
      s.connections.push_back(*info);
  for (SavedValue& place : s.registry = like.registry)
    place.value = Read(platform.registry(), place);
  if ((s.hasHosts = like.hasHosts)) KeepHosts(s, platform, ctx.windowsDirectory);
  if ((s.hasPrinter = like.hasPrinter)) s.printer = CurrentDefaultPrinter(platform.printers());
  return s;
}

namespace {

std::string ModeText(int32_t mode) {
  return mode == kIPv6Static ? "static" : mode == kIPv6Automatic ? "automatic" : "not set";
}

// The settings of Vista and later that the machine does not hold as the profile asks.
void VerifyNewer(const ConnectionSettings& c, const TNetworkInfo& is,
                 std::vector<std::string>& out) {
  const std::string& name = c.LongLANDescription;
  if (c.AdapterState == kAdapterDisabled) {
    if (is.AdapterState != kAdapterDisabled)
      out.push_back(name + ": the adapter is on, the profile switches it off");
    return;  // an adapter that is off has no settings to compare
  }
  if (is.AdapterState == kAdapterDisabled) {
    out.push_back(name + ": the adapter is off" +
                  (c.AdapterState == kAdapterEnabled ? ", the profile switches it on" : ""));
    return;
  }
  if (c.IPv6Mode != kModeNone) {
    if (is.IPv6Mode != c.IPv6Mode) {
      out.push_back(name + ": IPv6 is " + ModeText(is.IPv6Mode) + ", the profile asks for " +
                    ModeText(c.IPv6Mode));
    } else if (c.IPv6Mode == kIPv6Static) {
      auto compare = [&](const char* what, const std::string& was, const std::string& asked) {
        if (!SameIPv6(was, asked))
          out.push_back(name + ": " + what + " is " + (was.empty() ? "empty" : was) +
                        ", the profile asks for " + (asked.empty() ? "none" : asked));
      };
      auto withPrefix = [](const std::string& a, const std::string& n) {
        return a.empty() ? a : a + "/" + (n.empty() ? "64" : n);
      };
      if (withPrefix(is.IPv6, is.IPv6Prefix) != withPrefix(c.IPv6, c.IPv6Prefix) ||
          !SameIPv6(is.IPv6, c.IPv6))
        compare("the IPv6 address", withPrefix(is.IPv6, is.IPv6Prefix),
                withPrefix(c.IPv6, c.IPv6Prefix));
      if (!SameIPv6(is.IPv6_2, c.IPv6_2)) compare("the second IPv6 address", is.IPv6_2, c.IPv6_2);
      compare("the IPv6 gateway", is.IPv6Gateway, c.IPv6Gateway);
    }
    if (c.DHCP_IPv6DNS && !is.DHCP_IPv6DNS)
      out.push_back(name + ": IPv6 DNS is " + is.IPv6DNS + ", the profile asks for DHCP");
    if (!c.DHCP_IPv6DNS && (!SameIPv6(is.IPv6DNS, c.IPv6DNS) || !SameIPv6(is.IPv6DNS2, c.IPv6DNS2)))
      out.push_back(name + ": IPv6 DNS is " + (is.IPv6DNS.empty() ? "empty" : is.IPv6DNS) +
                    (is.IPv6DNS2.empty() ? "" : " " + is.IPv6DNS2) + ", the profile asks for " +
                    (c.IPv6DNS.empty() ? "none" : c.IPv6DNS) +
                    (c.IPv6DNS2.empty() ? "" : " " + c.IPv6DNS2));
  }
  if (!c.DNSMore.empty() && !c.DHCP_DNS && SplitList(is.DNSMore) != SplitList(c.DNSMore))
    out.push_back(name + ": the further DNS servers are " +
                  (is.DNSMore.empty() ? "none" : is.DNSMore) + ", the profile asks for " +
                  c.DNSMore);
  if (!c.DNSSuffix.empty()) Compare(out, name, "the DNS suffix", is.DNSSuffix, c.DNSSuffix);
  if (!c.GatewayMetric.empty() && c.DHCP == kModeStatic && !c.Gateway.empty())
    Compare(out, name, "the gateway metric", is.GatewayMetric, c.GatewayMetric);
  if (!c.WlanProfile.empty() && is.WlanProfile != c.WlanProfile)
    out.push_back(name + ": the Wi-Fi network is " +
                  (is.WlanProfile.empty() ? "none" : "\"" + is.WlanProfile + "\"") +
                  ", the profile asks for \"" + c.WlanProfile + "\"");
}

}  // namespace

std::vector<std::string> VerifyApplied(const ProfileRecord& p, SafeApplyContext& ctx) {
  std::vector<std::string> out;
  platform::Platform& platform = ctx.platform;
  const TNetworkInfoSet table = ctx.readConnections ? ctx.readConnections() : TNetworkInfoSet{};
  // Windows 5 applies none of the later settings (the checks said so).
  const bool newer = !platform.system().WindowsVersion().Windows5();
  for (const ConnectionSettings& c : ConnectionsOf(p)) {
    if (newer && ctx.readConnections && !c.LongLANDescription.empty() && c.HasNewerSettings())
      if (const TNetworkInfo* is = Named(table, c.LongLANDescription)) {
        VerifyNewer(c, *is, out);
        if (c.AdapterState == kAdapterDisabled) continue;
      }
    if (!ctx.readConnections || !c.Configured()) continue;
    const std::string& name = c.LongLANDescription;
    const TNetworkInfo* is = Named(table, name);
    if (!is) {
      out.push_back(name + ": this computer has no connection of that name");
      continue;
    }
    if (c.DHCP == kModeDhcp) {
      if (is->DHCP != kModeDhcp)
        out.push_back(name + ": the address is static, the profile asks for DHCP");
    } else if (is->DHCP == kModeDhcp) {
      out.push_back(name + ": the address comes from DHCP, the profile asks for " + c.IP);
    } else {
      Compare(out, name, "the IP address", is->IP, c.IP);
      Compare(out, name, "the subnet mask", is->Subnet, c.Subnet);
      if (!c.IP2.empty()) {
        Compare(out, name, "the second IP address", is->IP2, c.IP2);
        Compare(out, name, "the second subnet mask", is->Subnet2, c.Subnet2);
      }
      // Without a gateway of its own the profile leaves the present one.
      if (!c.Gateway.empty()) Compare(out, name, "the gateway", is->Gateway, c.Gateway);
    }
    if (c.DHCP_DNS) {
      if (!is->DHCP_DNS)
        out.push_back(name + ": DNS is " + is->DNS + ", the profile asks for DHCP");
    } else if (!c.DNS.empty() || name == p.LongLANDescription) {
      Compare(out, name, "DNS", is->DNS, c.DNS);
      if (!c.DNS2.empty()) Compare(out, name, "the second DNS", is->DNS2, c.DNS2);
    }
    if (c.DHCP_WINS) {
      if (!is->DHCP_WINS)
        out.push_back(name + ": WINS is " + is->WINS + ", the profile asks for DHCP");
    } else if (!c.WINS.empty()) {
      Compare(out, name, "WINS", is->WINS, c.WINS);
    }
  }
  // The proxy as its writer writes it.
  const std::pair<const char*, platform::RegistryValue> proxy[] = {
      {"ProxyServer", {ValueType::String, p.Proxy + ":" + p.ProxyPort, 0, 0, {}}},
      {"ProxyEnable", {ValueType::DWord, "", p.EnableProxy ? 1u : 0u, 0, {}}},
      {"ProxyOverride",
       {ValueType::String,
        BuildProxyOverride(SplitLines(p.ProxyNotUsed), p.ProxyNoLocal),
        0,
        0,
        {}}}};
  for (const auto& [name, asked] : proxy) {
    auto is = Read(platform.registry(), {RootKey::CurrentUser, kInternetSettingsKey, name, {}});
    // As the program reads it: an expandable string of that text counts.
    if (!is || is->type != asked.type || is->text != asked.text || is->dword != asked.dword)
      out.push_back(std::string("Proxy: ") + name + " is " + ValueText(is) +
                    ", the profile asks for " + ValueText(asked));
  }
  if (p.IncludeOLExp)
    if (auto mail = ReadMailServers(platform.registry())) {
      Compare(out, "Mail", "the SMTP server", mail->Smtp, p.OLEXPSMTP);
      if (!mail->Imap.empty()) Compare(out, "Mail", "the IMAP server", mail->Imap, p.OLEXPIMAP);
      if (!mail->Pop.empty()) Compare(out, "Mail", "the POP3 server", mail->Pop, p.OLEXPPOP);
    }
  if (p.IncludeHostModification) {
    auto bytes = ReadFileBytes(platform.system().NativePath(HostsFilePath(ctx.windowsDirectory)));
    if (!bytes || *bytes != JoinLines(HostsFileLines(p.Hosts)))
      out.push_back("Hosts file: it does not hold the profile's table");
  }
  if (p.IncludeDefPrint)
    Compare(out, "Printer", "the default printer",
            CurrentDefaultPrinter(platform.printers()).value_or(""), p.DefPrinter);
  if (p.IncludeHostName)
    Compare(out, "Computer name", "the name", ReadComputerName(platform.registry()),
            p.HostName.empty() ? "PC" : p.HostName);
  return out;
}

std::vector<std::string> VerifyRestored(const Snapshot& s, SafeApplyContext& ctx) {
  std::vector<std::string> out;
  platform::Platform& platform = ctx.platform;
  const TNetworkInfoSet table = ctx.readConnections ? ctx.readConnections() : TNetworkInfoSet{};
  for (const TNetworkInfo& was : s.connections) {
    const TNetworkInfo* is = Named(table, was.LongLANDescription);
    // The settings, not the interface index, which no undo sets.
    if (!is || !(static_cast<const ConnectionSettings&>(*is) == was) ||
        is->GatewayMetric != was.GatewayMetric)
      out.push_back(was.LongLANDescription + ": the settings are not those before the apply");
  }
  for (const SavedValue& v : s.registry)
    if (Read(platform.registry(), v) != v.value)
      out.push_back("Registry: " + v.name + " is " + ValueText(Read(platform.registry(), v)) +
                    ", before the apply it was " + ValueText(v.value));
  if (s.hasHosts && !s.hostsTooLarge &&
      ReadFileBytes(platform.system().NativePath(HostsFilePath(ctx.windowsDirectory))) != s.hosts)
    out.push_back("Hosts file: it is not the file before the apply");
  if (s.hasPrinter && CurrentDefaultPrinter(platform.printers()) != s.printer)
    out.push_back("Printer: the default printer is not the one before the apply");
  return out;
}

std::vector<std::string> RestoreScript(const Snapshot& s, NetshTarget target) {
  // Two connections to a record, as a profile holds them; the blocks of every further pair
  // join the first pair's script before its closing "popd", on Vista and later its whole
  // script follows (a snapshot that puts back several applies may hold more).
  std::vector<std::string> script;
  for (size_t first = 0; first == 0 || first < s.connections.size(); first += kConnections) {
    ProfileRecord p;
    // Without a connection of its own the first stays unnamed: no line is written for it.
    ConnectionSettings none;
    none.DHCP = kModeNone;
    none.DHCP_DNS = true;
    SetConnection(p, 0, none);
    for (size_t i = first; i < s.connections.size() && i < first + kConnections; ++i) {
      ConnectionSettings c = s.connections[i];
      if (target.ipv4Grammar) {
        // An adapter that was on is switched on again; one that was off only off, as it has
        // no settings to give back.
        if (c.AdapterState == kAdapterDisabled) {
          ConnectionSettings off = none;
          off.LongLANDescription = c.LongLANDescription;
          off.AdapterState = kAdapterDisabled;
          c = off;
        } else {
          c.AdapterState = kAdapterEnabled;
        }
      }
      // A server that was cleared is cleared again: the line that sets none is written.
      if (c.DHCP != kModeNone && !c.DHCP_DNS && c.DNS.empty()) c.DNS = "none";
      if (c.DHCP != kModeNone && !c.DHCP_WINS && c.WINS.empty()) c.WINS = "none";
      SetConnection(p, static_cast<int>(i - first), c);
      // The gateway's metric as it was, not the script's 1.
      if (!s.connections[i].GatewayMetric.empty())
        target.gatewayMetric[c.LongLANDescription] = s.connections[i].GatewayMetric;
    }
    std::vector<std::string> pair = BuildNetshScript(p, target);
    if (script.empty())
      script = std::move(pair);
    else if (target.ipv4Grammar)  // each pair's contexts whole: they switch adapters around them
      script.insert(script.end(), pair.begin(), pair.end());
    else
      script.insert(script.end() - 1, pair.begin() + 1, pair.end() - 1);
  }
  return script;
}

ApplyOutcome RestoreSnapshot(const Snapshot& s, ApplyContext& ctx) {
  platform::Platform& platform = ctx.platform;
  ApplyOutcome outcome;
  if (!s.connections.empty()) outcome = RunNetshScript(RestoreScript(s, ctx.netsh), ctx);
  if (ctx.netsh.ipv4Grammar) {
    // Each suffix that the apply changed as it was, an empty one too.
    std::vector<std::pair<std::string, std::string>> suffixes;
    const std::vector<platform::NetworkAdapter> now = platform.network().Adapters();
    for (const TNetworkInfo& c : s.connections)
      for (const platform::NetworkAdapter& a : now)
        if (a.name == c.LongLANDescription && a.enabled && a.dnsSuffix != c.DNSSuffix)
          suffixes.emplace_back(c.LongLANDescription, c.DNSSuffix);
    SetDnsSuffixes(platform, suffixes, outcome);
  }
  std::string failure;
  for (const SavedValue& v : s.registry) {
    // A key the value lived in exists again; a value that did not exist goes.
    auto key = platform.registry().Open(v.root, v.key, v.value.has_value());
    const bool restored = v.value ? key && key->SetRaw(v.name, *v.value)
                                  : !key || !key->Query(v.name) || key->DeleteValue(v.name);
    if (!restored) {
      outcome.stageProblems.push_back("Registry: " + v.name + " could not be put back.");
      failure = outcome.stageProblems.back();
    }
  }
  if (!s.registry.empty())
    outcome.stages.push_back({"registry", failure.empty() ? "done" : "failed", failure});
  if (s.hasHosts && !s.hostsTooLarge) {
    const std::string native = platform.system().NativePath(HostsFilePath(ctx.windowsDirectory));
    if (s.hosts ? !WriteFileAtomic(native, *s.hosts) : FileExists(native) && !DeleteFileAt(native))
      outcome.hostsError = "Cannot create file " + HostsFilePath(ctx.windowsDirectory);
    outcome.stages.push_back(
        {"hosts", outcome.hostsError.empty() ? "done" : "failed", outcome.hostsError});
  }
  if (s.hasPrinter && s.printer) {
    SetDefaultPrinter(platform, *s.printer);
    outcome.stages.push_back({"printer", "done", ""});
  }
  return outcome;
}

namespace {

// What a snapshot says about the state before the applies it stands for.
const Snapshot& Origin(const Snapshot& s) {
  return s.putBack.empty() ? s : s.putBack.front();
}

// Oldest first; the first entry's own values when `firstOwn`.
Snapshot Merged(const std::vector<Snapshot>& since, bool firstOwn) {
  Snapshot before;
  if (since.empty()) return before;
  before.taken = since.front().taken;
  before.profile = since.front().profile;
  for (size_t i = 0; i < since.size(); ++i) {
    const Snapshot& s = i == 0 && firstOwn ? since[i] : Origin(since[i]);
    for (const TNetworkInfo& c : s.connections)
      if (!Named(before.connections, c.LongLANDescription)) before.connections.push_back(c);
    for (const SavedValue& v : s.registry)
      if (std::none_of(before.registry.begin(), before.registry.end(), [&](const SavedValue& b) {
            return b.root == v.root && SameText(b.key, v.key) && SameText(b.name, v.name);
          }))
        before.registry.push_back(v);
    if (s.hasHosts && !before.hasHosts) {
      before.hasHosts = true;
      before.hosts = s.hosts;
      before.hostsTooLarge = s.hostsTooLarge;
    }
    if (s.hasPrinter && !before.hasPrinter) {
      before.hasPrinter = true;
      before.printer = s.printer;
    }
  }
  return before;
}

}  // namespace

Snapshot StateBefore(const std::vector<Snapshot>& since) {
  return Merged(since, true);
}

Snapshot StateBeforeAll(const std::vector<Snapshot>& since) {
  return Merged(since, false);
}

std::string ApplyCalled(const Snapshot& s, const std::string& now) {
  const std::string what =
      s.profile.rfind("undo of ", 0) == 0 ? "the " + s.profile : "the apply of " + s.profile;
  // "2026-12-09 13:48:00": the day, then the time to the minute.
  if (s.taken.size() < 16) return what + " at " + s.taken;
  const std::string day = s.taken.substr(0, 10);
  return what + (now.compare(0, 10, day) == 0 ? "" : " on " + day) + " at " + s.taken.substr(11, 5);
}

// ---------------------------------------------------------------- the snapshot file

namespace {

constexpr const char* kUndoFileHead = "LANVOY UNDO 2";

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

uint64_t Checksum(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

std::string ValueText(const platform::RegistryValue& v) {
  std::string text = v.type == ValueType::DWord    ? "dword:" + std::to_string(v.dword)
                     : v.type == ValueType::String ? "sz:" + Hex(v.text)
                                                   : std::string("other");
  if (!v.raw.empty()) text += ";raw:" + std::to_string(v.rawType) + ":" + Hex(v.raw);
  return text;
}

std::string Body(const Snapshot& s) {
  std::string b;
  auto line = [&](const std::string& key, const std::string& value) {
    b += key + "=" + value + kCRLF;
  };
  line("Taken", Hex(s.taken));
  line("Profile", Hex(s.profile));
  line("Connections", std::to_string(s.connections.size()));
  for (size_t i = 0; i < s.connections.size(); ++i) {
    const TNetworkInfo& c = s.connections[i];
    std::string joined;
    for (const std::string* f : {&c.LongLANDescription, &c.IP, &c.Subnet, &c.IP2, &c.Subnet2,
                                 &c.Gateway, &c.DNS, &c.DNS2, &c.WINS})
      joined += Hex(*f) + ",";
    // The settings of Vista and later as a twelfth field, those not at their default only;
    // a connection without them is written as before they were known.
    std::string newer;
    ForEachNewerConnectionField([&](const char* key, auto member, auto, auto) {
      const auto& value = c.*member;
      if (value == ConnectionSettings().*member) return;
      std::string text;
      if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, std::string>)
        text = value;
      else
        text = std::to_string(value);
      newer += (newer.empty() ? "" : ";") + std::string(key) + ":" + Hex(text);
    });
    line("C" + std::to_string(i + 1), joined + (c.DHCP == kModeDhcp ? "1" : "0") +
                                          (c.DHCP_DNS ? "1" : "0") + (c.DHCP_WINS ? "1" : "0") +
                                          "," + Hex(c.GatewayMetric) +
                                          (newer.empty() ? "" : "," + newer));
  }
  line("Values", std::to_string(s.registry.size()));
  for (size_t i = 0; i < s.registry.size(); ++i) {
    const SavedValue& v = s.registry[i];
    line("V" + std::to_string(i + 1),
         std::string(v.root == RootKey::LocalMachine ? "HKLM," : "HKCU,") + Hex(v.key) + "," +
             Hex(v.name) + "," + (v.value ? ValueText(*v.value) : "none"));
  }
  if (s.hasHosts)
    line("Hosts", s.hostsTooLarge ? "large" : s.hosts ? "file:" + Hex(*s.hosts) : "none");
  if (s.hasPrinter) line("Printer", s.printer ? "name:" + Hex(*s.printer) : "none");
  if (!s.putBack.empty()) line("PutBack", Hex(Body(s.putBack.front())));
  return b;
}

// Reads one snapshot's body strictly; a fault raises with what it was.
class BodyReader {
 public:
  explicit BodyReader(std::string_view body) {
    size_t start = 0;
    while (start < body.size()) {
      const size_t end = body.find(kCRLF, start);
      if (end == std::string_view::npos) Fail("a line without its end");
      std::string_view l = body.substr(start, end - start);
      const size_t equals = l.find('=');
      if (equals == std::string_view::npos) Fail("a line without \"=\"");
      lines_.emplace_back(std::string(l.substr(0, equals)), std::string(l.substr(equals + 1)));
      start = end + 2;
    }
  }
  // The next line, which must have this key.
  std::string Next(const std::string& key) {
    if (at_ >= lines_.size() || lines_[at_].first != key) Fail("no " + key);
    return lines_[at_++].second;
  }
  std::optional<std::string> Optional(const std::string& key) {
    if (at_ < lines_.size() && lines_[at_].first == key) return lines_[at_++].second;
    return std::nullopt;
  }
  bool Done() const { return at_ == lines_.size(); }
  [[noreturn]] static void Fail(const std::string& what) { throw ESnapshotDamaged(what); }
  static std::string Unhex(std::string_view hex) {
    if (hex.size() % 2) Fail("bytes of odd length");
    auto digit = [](char c) {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      Fail("a byte that is no hex number");
    };
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2)
      out += static_cast<char>(digit(hex[i]) << 4 | digit(hex[i + 1]));
    return out;
  }
  static uint64_t Number(std::string_view text, uint64_t limit) {
    uint64_t n = 0;
    if (text.empty() || text.size() > 20) Fail("a number that is none");
    for (char c : text) {
      if (c < '0' || c > '9') Fail("a number that is none");
      n = n * 10 + static_cast<uint64_t>(c - '0');
      if (n > limit) Fail("a number out of range");
    }
    return n;
  }
  static std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(by, start)) != std::string::npos; start = at + 1)
      parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
  }

 private:
  std::vector<std::pair<std::string, std::string>> lines_;
  size_t at_ = 0;
};

platform::RegistryValue ValueOf(const std::string& text) {
  platform::RegistryValue v;
  std::string main = text;
  if (const size_t raw = text.find(";raw:"); raw != std::string::npos) {
    main = text.substr(0, raw);
    const std::vector<std::string> f = BodyReader::Split(text.substr(raw + 5), ':');
    if (f.size() != 2) BodyReader::Fail("a registry value's bytes");
    v.rawType = static_cast<uint32_t>(BodyReader::Number(f[0], 0xFFFFFFFFu));
    v.raw = BodyReader::Unhex(f[1]);
  }
  if (main.rfind("sz:", 0) == 0) {
    v.type = ValueType::String;
    v.text = BodyReader::Unhex(main.substr(3));
  } else if (main.rfind("dword:", 0) == 0) {
    v.type = ValueType::DWord;
    v.dword = static_cast<uint32_t>(BodyReader::Number(main.substr(6), 0xFFFFFFFFu));
  } else if (main == "other") {
    v.type = ValueType::Other;
  } else {
    BodyReader::Fail("a registry value of no known kind");
  }
  return v;
}

Snapshot Parse(std::string_view body) {
  BodyReader r(body);
  Snapshot s;
  s.taken = BodyReader::Unhex(r.Next("Taken"));
  s.profile = BodyReader::Unhex(r.Next("Profile"));
  // An undo's own snapshot holds what all the applies it put back touched.
  const uint64_t connections =
      BodyReader::Number(r.Next("Connections"), kConnections * kSnapshotsKept);
  for (uint64_t i = 1; i <= connections; ++i) {
    const std::vector<std::string> f = BodyReader::Split(r.Next("C" + std::to_string(i)), ',');
    if ((f.size() != 11 && f.size() != 12) || f[9].size() != 3 ||
        f[9].find_first_not_of("01") != std::string::npos)
      BodyReader::Fail("a connection of the wrong form");
    TNetworkInfo c;
    std::string* texts[] = {&c.LongLANDescription,
                            &c.IP,
                            &c.Subnet,
                            &c.IP2,
                            &c.Subnet2,
                            &c.Gateway,
                            &c.DNS,
                            &c.DNS2,
                            &c.WINS};
    for (size_t t = 0; t < 9; ++t) *texts[t] = BodyReader::Unhex(f[t]);
    c.DHCP = f[9][0] == '1' ? kModeDhcp : kModeStatic;
    c.DHCP_DNS = f[9][1] == '1';
    c.DHCP_WINS = f[9][2] == '1';
    c.GatewayMetric = BodyReader::Unhex(f[10]);
    if (f.size() == 12)
      for (const std::string& pair : BodyReader::Split(f[11], ';')) {
        const size_t colon = pair.find(':');
        bool known = false;
        ForEachNewerConnectionField([&](const char* key, auto member, auto, auto) {
          if (colon == std::string::npos || pair.compare(0, colon, key) != 0) return;
          known = true;
          const std::string text = BodyReader::Unhex(pair.substr(colon + 1));
          auto& field = c.*member;
          using T = std::remove_cvref_t<decltype(field)>;
          if constexpr (std::is_same_v<T, std::string>)
            field = text;
          else
            field = static_cast<T>(BodyReader::Number(text, 1));
        });
        if (!known) BodyReader::Fail("a connection of the wrong form");
      }
    s.connections.push_back(c);
  }
  const uint64_t values = BodyReader::Number(r.Next("Values"), 64 * kSnapshotsKept);
  for (uint64_t i = 1; i <= values; ++i) {
    const std::vector<std::string> f = BodyReader::Split(r.Next("V" + std::to_string(i)), ',');
    if (f.size() != 4 || (f[0] != "HKLM" && f[0] != "HKCU"))
      BodyReader::Fail("a registry value of the wrong form");
    SavedValue v{f[0] == "HKLM" ? RootKey::LocalMachine : RootKey::CurrentUser,
                 BodyReader::Unhex(f[1]), BodyReader::Unhex(f[2]), std::nullopt};
    if (f[3] != "none") v.value = ValueOf(f[3]);
    s.registry.push_back(v);
  }
  if (auto hosts = r.Optional("Hosts")) {
    s.hasHosts = true;
    if (*hosts == "large")
      s.hostsTooLarge = true;
    else if (hosts->rfind("file:", 0) == 0)
      s.hosts = BodyReader::Unhex(hosts->substr(5));
    else if (*hosts != "none")
      BodyReader::Fail("a hosts file of the wrong form");
  }
  if (auto printer = r.Optional("Printer")) {
    s.hasPrinter = true;
    if (printer->rfind("name:", 0) == 0)
      s.printer = BodyReader::Unhex(printer->substr(5));
    else if (*printer != "none")
      BodyReader::Fail("a printer of the wrong form");
  }
  if (auto putBack = r.Optional("PutBack")) {
    s.putBack.push_back(Parse(BodyReader::Unhex(*putBack)));
    // One level only: what was put back is plain.
    if (!s.putBack.front().putBack.empty()) BodyReader::Fail("a put-back inside a put-back");
  }
  if (!r.Done()) BodyReader::Fail("lines after its end");
  return s;
}

// The snapshots of the file's bytes; a missing file holds none.
std::vector<Snapshot> ReadSnapshots(const std::string& path) {
  const std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes || bytes->empty()) return {};
  const std::string head = std::string(kUndoFileHead) + kCRLF;
  if (bytes->compare(0, head.size(), head) != 0)
    throw ESnapshotDamaged("The undo file " + path + " holds no snapshots Lanvoy wrote.");
  std::vector<Snapshot> all;
  size_t at = head.size();
  for (int n = 1; at < bytes->size(); ++n) {
    const std::string which =
        "The undo file " + path + " is damaged at snapshot " + std::to_string(n) + ": ";
    try {
      // "[snapshot <length> <checksum>]" and the body of that length.
      const size_t end = bytes->find(kCRLF, at);
      if (end == std::string::npos) BodyReader::Fail("its head is cut short");
      const std::string line = bytes->substr(at, end - at);
      const std::vector<std::string> f = BodyReader::Split(line, ' ');
      if (f.size() != 3 || f[0] != "[snapshot" || f[2].empty() || f[2].back() != ']')
        BodyReader::Fail("its head is of the wrong form");
      const uint64_t length = BodyReader::Number(f[1], bytes->size());
      const uint64_t sum = BodyReader::Number(f[2].substr(0, f[2].size() - 1), UINT64_MAX);
      at = end + 2;
      if (bytes->size() - at < length) BodyReader::Fail("it is cut short");
      const std::string_view body(bytes->data() + at, static_cast<size_t>(length));
      if (Checksum(body) != sum) BodyReader::Fail("its checksum does not match");
      all.push_back(Parse(body));
      at += static_cast<size_t>(length);
    } catch (const ESnapshotDamaged& e) {
      throw ESnapshotDamaged(which + e.what() + ".");
    }
  }
  return all;
}

std::string Beside(const std::string& storePath, const char* extension) {
  const size_t dot = storePath.find_last_of('.');
  return (dot == std::string::npos ? storePath : storePath.substr(0, dot)) + "." + extension;
}

}  // namespace

std::string SnapshotFile::PathFor(const std::string& storePath) {
  return Beside(storePath, "undo");
}

std::vector<Snapshot> SnapshotFile::All() const {
  return ReadSnapshots(path_);
}

std::optional<Snapshot> SnapshotFile::Last() const {
  std::vector<Snapshot> all = All();
  if (all.empty()) return std::nullopt;
  return all.back();
}

void SnapshotFile::Write(const std::vector<Snapshot>& snapshots) const {
  std::string bytes = std::string(kUndoFileHead) + kCRLF;
  for (const Snapshot& s : snapshots) {
    const std::string body = Body(s);
    bytes += "[snapshot " + std::to_string(body.size()) + " " + std::to_string(Checksum(body)) +
             "]" + kCRLF + body;
  }
  if (!WriteFileAtomic(path_, bytes)) throw EFCreateError(path_);
}

std::string SnapshotFile::Push(const Snapshot& snapshot) {
  if (LinksRefused() && platform::IsLink(path_))
    throw Error("The undo file " + path_ +
                " is a link: Lanvoy with an administrator's rights writes no file through a "
                "link. Remove it; nothing was changed.");
  std::string said;
  std::vector<Snapshot> all;
  try {
    all = All();
  } catch (const ESnapshotDamaged& e) {
    // Kept for whoever wants to look into it; the undo goes on with a new file.
    std::string time = NowText();
    for (char& c : time)
      if (c == ' ' || c == ':') c = c == ' ' ? '_' : '-';
    const std::string aside = path_ + ".bad-" + time;
    std::error_code ec;
    std::filesystem::rename(path_, aside, ec);
    if (ec) throw EFCreateError(aside);
    said = std::string(e.what()) + " It was moved to " + aside + "; a new one was started.";
  }
  all.push_back(snapshot);
  if (all.size() > kSnapshotsKept) all.erase(all.begin(), all.end() - kSnapshotsKept);
  Write(all);
  return said;
}

bool SnapshotFile::HoldsAny() const {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path_, ec);
  return !ec && size > std::string(kUndoFileHead).size() + 2;
}

void SnapshotFile::ReplaceNewest(size_t count, const Snapshot& snapshot) {
  std::vector<Snapshot> all = All();
  all.erase(all.end() - static_cast<std::ptrdiff_t>(std::min(count, all.size())), all.end());
  all.push_back(snapshot);
  Write(all);
}

// ---------------------------------------------------------------- keep or revert

std::string KeepFilePath(const std::string& storePath) {
  return Beside(storePath, "keep");
}

KeepWait::KeepWait(const std::string& storePath) : path_(Beside(storePath, "waiting")) {
  WriteFileAtomic(path_, std::to_string(platform::CurrentProcessId()), Durability::kLazy);
}

KeepWait::~KeepWait() {
  DeleteFileAt(path_);
}

bool KeepWaiting(const std::string& storePath) {
  const auto pid = ReadFileBytes(Beside(storePath, "waiting"));
  return pid && !pid->empty() &&
         platform::ProcessRuns(static_cast<uint32_t>(std::strtoul(pid->c_str(), nullptr, 10)));
}

Clock& SystemClock() {
  static class : public Clock {
    std::chrono::steady_clock::time_point Now() override {
      return std::chrono::steady_clock::now();
    }
    void Sleep(std::chrono::milliseconds duration) override {
      std::this_thread::sleep_for(duration);
    }
  } clock;
  return clock;
}

bool WaitForKeep(const std::string& keepFile, std::chrono::milliseconds within, Clock& clock) {
  const auto deadline = clock.Now() + within;
  for (;;) {
    if (FileExists(keepFile)) {
      DeleteFileAt(keepFile);
      return true;
    }
    if (clock.Now() >= deadline) return false;
    clock.Sleep(std::chrono::milliseconds(50));
  }
}

// ---------------------------------------------------------------- history

std::string ApplyHistory::PathFor(const std::string& storePath) {
  return Beside(storePath, "log");
}

bool ApplyHistory::Add(const std::string& event, const std::vector<std::string>& details) {
  // One line: each line of a detail is a detail of its own.
  std::vector<std::string> parts;
  for (const std::string& detail : details)
    for (const std::string& part : SplitLines(detail))
      if (!Trim(part).empty()) parts.push_back(Trim(part));
  std::string line = NowText() + "  " + event;
  for (size_t i = 0; i < parts.size(); ++i) line += (i ? "; " : ": ") + parts[i];
  return AppendToFile(path_, line + "\r\n");
}

std::vector<std::string> ApplyHistory::Lines() const {
  auto bytes = ReadFileBytes(path_);
  return bytes ? SplitLines(*bytes) : std::vector<std::string>{};
}

}  // namespace lanvoy
