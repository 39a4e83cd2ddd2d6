#include "apply/safe_apply.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <thread>

#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/netsh_script.h"
#include "apply/preflight.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "base/files.h"
#include "base/strings.h"
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

// Compares as the dump parser reads: letters in upper case.
void Compare(std::vector<std::string>& out, const std::string& where, const char* what,
             const std::string& is, const std::string& asked) {
  if (UpperCase(is) == UpperCase(asked)) return;
  out.push_back(where + ": " + what + " is " + (is.empty() ? "empty" : is) +
                ", the profile asks for " + (asked.empty() ? "none" : asked));
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
  if ((s.hasHosts = p.IncludeHostModification))
    s.hosts = ReadFileBytes(platform.system().NativePath(HostsFilePath(ctx.windowsDirectory)));
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
  if ((s.hasHosts = like.hasHosts))
    s.hosts = ReadFileBytes(platform.system().NativePath(HostsFilePath(ctx.windowsDirectory)));
  if ((s.hasPrinter = like.hasPrinter)) s.printer = CurrentDefaultPrinter(platform.printers());
  return s;
}

std::vector<std::string> VerifyApplied(const ProfileRecord& p, SafeApplyContext& ctx) {
  std::vector<std::string> out;
  platform::Platform& platform = ctx.platform;
  const TNetworkInfoSet table = ctx.readConnections ? ctx.readConnections() : TNetworkInfoSet{};
  for (const ConnectionSettings& c : ConnectionsOf(p)) {
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
      {"ProxyServer", {ValueType::String, p.Proxy + ":" + p.ProxyPort, 0}},
      {"ProxyEnable", {ValueType::DWord, "", p.EnableProxy ? 1u : 0u}},
      {"ProxyOverride",
       {ValueType::String, BuildProxyOverride(SplitLines(p.ProxyNotUsed), p.ProxyNoLocal), 0}}};
  for (const auto& [name, asked] : proxy) {
    auto is = Read(platform.registry(), {RootKey::CurrentUser, kInternetSettingsKey, name, {}});
    if (!is || !(*is == asked))
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
  if (s.hasHosts &&
      ReadFileBytes(platform.system().NativePath(HostsFilePath(ctx.windowsDirectory))) != s.hosts)
    out.push_back("Hosts file: it is not the file before the apply");
  if (s.hasPrinter && CurrentDefaultPrinter(platform.printers()) != s.printer)
    out.push_back("Printer: the default printer is not the one before the apply");
  return out;
}

std::vector<std::string> RestoreScript(const Snapshot& s, NetshTarget target) {
  ProfileRecord p;
  // Without a connection of its own the first stays unnamed: no line is written for it.
  ConnectionSettings none;
  none.DHCP = kModeNone;
  none.DHCP_DNS = true;
  SetConnection(p, 0, none);
  for (size_t i = 0; i < s.connections.size() && i < kConnections; ++i) {
    ConnectionSettings c = s.connections[i];
    // A server that was cleared is cleared again: the line that sets none is written.
    if (!c.DHCP_DNS && c.DNS.empty()) c.DNS = "none";
    if (!c.DHCP_WINS && c.WINS.empty()) c.WINS = "none";
    SetConnection(p, static_cast<int>(i), c);
    // The gateway's metric as it was, not the script's 1.
    if (!s.connections[i].GatewayMetric.empty())
      target.gatewayMetric[c.LongLANDescription] = s.connections[i].GatewayMetric;
  }
  return BuildNetshScript(p, target);
}

ApplyOutcome RestoreSnapshot(const Snapshot& s, ApplyContext& ctx) {
  platform::Platform& platform = ctx.platform;
  ApplyOutcome outcome;
  if (!s.connections.empty()) outcome = RunNetshScript(RestoreScript(s, ctx.netsh), ctx);
  for (const SavedValue& v : s.registry) {
    // A key the value lived in exists again; a value that did not exist goes.
    auto key = platform.registry().Open(v.root, v.key, v.value.has_value());
    if (!key) continue;
    if (!v.value)
      key->DeleteValue(v.name);
    else if (v.value->type == ValueType::String)
      key->SetString(v.name, v.value->text);
    else if (v.value->type == ValueType::DWord)
      key->SetDWord(v.name, v.value->dword);
  }
  if (s.hasHosts) {
    const std::string native = platform.system().NativePath(HostsFilePath(ctx.windowsDirectory));
    if (s.hosts ? !WriteFileAtomic(native, *s.hosts) : FileExists(native) && !DeleteFileAt(native))
      outcome.hostsError = "Cannot create file " + HostsFilePath(ctx.windowsDirectory);
  }
  if (s.hasPrinter && s.printer) SetDefaultPrinter(platform, *s.printer);
  return outcome;
}

// ---------------------------------------------------------------- the snapshot file

namespace {

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Unhex(const std::string& hex) {
  auto value = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out += static_cast<char>(value(hex[i]) << 4 | value(hex[i + 1]));
  return out;
}

IniFile::Entries Entries(const Snapshot& s) {
  IniFile::Entries e{{"Taken", s.taken},
                     {"Profile", Hex(s.profile)},
                     {"Connections", std::to_string(s.connections.size())}};
  for (size_t i = 0; i < s.connections.size(); ++i) {
    const TNetworkInfo& c = s.connections[i];
    const std::string n = "C" + std::to_string(i + 1);
    const std::string fields[] = {
        c.LongLANDescription, c.IP, c.Subnet, c.IP2, c.Subnet2, c.Gateway, c.DNS, c.DNS2, c.WINS};
    std::string joined;
    for (const std::string& f : fields) joined += Hex(f) + ",";
    e.push_back({n, joined + (c.DHCP == kModeDhcp ? "1" : "0") + (c.DHCP_DNS ? "1" : "0") +
                        (c.DHCP_WINS ? "1" : "0") + "," + Hex(c.GatewayMetric)});
  }
  e.push_back({"Values", std::to_string(s.registry.size())});
  for (size_t i = 0; i < s.registry.size(); ++i) {
    const SavedValue& v = s.registry[i];
    std::string data = !v.value ? "none"
                       : v.value->type == ValueType::DWord
                           ? "dword:" + std::to_string(v.value->dword)
                       : v.value->type == ValueType::String ? "sz:" + Hex(v.value->text)
                                                            : "other";
    e.push_back({"V" + std::to_string(i + 1),
                 std::string(v.root == RootKey::LocalMachine ? "HKLM," : "HKCU,") + Hex(v.key) +
                     "," + Hex(v.name) + "," + data});
  }
  if (s.hasHosts) e.push_back({"Hosts", s.hosts ? "file:" + Hex(*s.hosts) : "none"});
  if (s.hasPrinter) e.push_back({"Printer", s.printer ? "name:" + Hex(*s.printer) : "none"});
  return e;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    parts.push_back(text.substr(start, comma - start));
  parts.push_back(text.substr(start));
  return parts;
}

Snapshot Parse(const IniFile& ini, const std::string& section) {
  Snapshot s;
  s.taken = ini.ReadString(section, "Taken", "");
  s.profile = Unhex(ini.ReadString(section, "Profile", ""));
  const int connections = ini.ReadInteger(section, "Connections", 0);
  for (int i = 1; i <= connections; ++i) {
    std::vector<std::string> f = Split(ini.ReadString(section, "C" + std::to_string(i), ""));
    if (f.size() < 10 || f.size() > 11 || f[9].size() != 3) continue;
    TNetworkInfo c;
    c.LongLANDescription = Unhex(f[0]);
    c.DHCP = f[9][0] == '1' ? kModeDhcp : kModeStatic;
    std::string* texts[] = {&c.IP,      &c.Subnet, &c.IP2,  &c.Subnet2,
                            &c.Gateway, &c.DNS,    &c.DNS2, &c.WINS};
    for (size_t t = 0; t < 8; ++t) *texts[t] = Unhex(f[t + 1]);
    c.DHCP_DNS = f[9][1] == '1';
    c.DHCP_WINS = f[9][2] == '1';
    if (f.size() == 11) c.GatewayMetric = Unhex(f[10]);
    s.connections.push_back(c);
  }
  const int values = ini.ReadInteger(section, "Values", 0);
  for (int i = 1; i <= values; ++i) {
    std::vector<std::string> f = Split(ini.ReadString(section, "V" + std::to_string(i), ""));
    if (f.size() != 4) continue;
    SavedValue v{f[0] == "HKLM" ? RootKey::LocalMachine : RootKey::CurrentUser, Unhex(f[1]),
                 Unhex(f[2]), std::nullopt};
    if (f[3].rfind("sz:", 0) == 0)
      v.value = platform::RegistryValue{ValueType::String, Unhex(f[3].substr(3)), 0};
    else if (f[3].rfind("dword:", 0) == 0)
      v.value = platform::RegistryValue{ValueType::DWord, "",
                                        static_cast<uint32_t>(std::stoul(f[3].substr(6)))};
    else if (f[3] != "none")
      continue;  // a value of another type was left alone, and is put back by nobody
    s.registry.push_back(v);
  }
  const std::string hosts = ini.ReadString(section, "Hosts", "");
  if ((s.hasHosts = !hosts.empty()) && hosts.rfind("file:", 0) == 0)
    s.hosts = Unhex(hosts.substr(5));
  const std::string printer = ini.ReadString(section, "Printer", "");
  if ((s.hasPrinter = !printer.empty()) && printer.rfind("name:", 0) == 0)
    s.printer = Unhex(printer.substr(5));
  return s;
}

std::string Beside(const std::string& storePath, const char* extension) {
  const size_t dot = storePath.find_last_of('.');
  return (dot == std::string::npos ? storePath : storePath.substr(0, dot)) + "." + extension;
}

}  // namespace

std::string SnapshotFile::PathFor(const std::string& storePath) {
  return Beside(storePath, "undo");
}

void SnapshotFile::Push(const Snapshot& snapshot) {
  IniFile ini(path_);
  const std::vector<std::string> sections = ini.ReadSections();
  int last = 0;
  for (const std::string& name : sections) last = std::max(last, IniFile::IntegerOf(name, 0));
  ini.ReplaceSection(std::to_string(last + 1), Entries(snapshot));
  for (size_t i = 0; i + kSnapshotsKept < sections.size() + 1; ++i) ini.EraseSection(sections[i]);
}

std::vector<Snapshot> SnapshotFile::All() const {
  IniFile ini(path_);
  std::vector<Snapshot> all;
  for (const std::string& section : ini.ReadSections()) all.push_back(Parse(ini, section));
  return all;
}

std::optional<Snapshot> SnapshotFile::Last() const {
  IniFile ini(path_);
  const std::vector<std::string> sections = ini.ReadSections();
  if (sections.empty()) return std::nullopt;
  return Parse(ini, sections.back());
}

void SnapshotFile::PopLast() {
  IniFile ini(path_);
  const std::vector<std::string> sections = ini.ReadSections();
  if (!sections.empty()) ini.EraseSection(sections.back());
}

// ---------------------------------------------------------------- keep or revert

std::string KeepFilePath(const std::string& storePath) {
  return Beside(storePath, "keep");
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

void ApplyHistory::Add(const std::string& event, const std::vector<std::string>& details) {
  std::string line = NowText() + "  " + event;
  for (size_t i = 0; i < details.size(); ++i) line += (i ? "; " : ": ") + details[i];
  // One line: a detail cannot break it.
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::ofstream out(path_, std::ios::binary | std::ios::app);
  out << line << "\r\n";
}

std::vector<std::string> ApplyHistory::Lines() const {
  auto bytes = ReadFileBytes(path_);
  return bytes ? SplitLines(*bytes) : std::vector<std::string>{};
}

}  // namespace lanvoy
