// The Windows services Lanvoy calls, one small interface each. Core code reaches the
// machine only through these; a backend (sim: a simulated host kept in a folder, win32:
// the real API) implements them. No OS header may appear here.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanvoy::platform {

// ---------------------------------------------------------------- registry

enum class RootKey { CurrentUser, LocalMachine };

// REG_SZ, REG_DWORD, or any other type (which the program refuses to read).
enum class ValueType { String, DWord, Other };

struct RegistryValue {
  ValueType type = ValueType::String;
  std::string text;    // REG_SZ data, without its terminating NUL
  uint32_t dword = 0;  // REG_DWORD data
  // The value as the registry holds it, to be put back exactly where it is no plain REG_SZ
  // or REG_DWORD (REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY ...): on Windows its type and
  // bytes; on the simulated host its spelling in the export file (rawType 0). Empty else.
  uint32_t rawType = 0;
  std::string raw;
  bool operator==(const RegistryValue&) const = default;
};

// A key opened with full access (KEY_ALL_ACCESS); destroying it closes it.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // nullopt when the value does not exist.
  virtual std::optional<RegistryValue> Query(const std::string& name) = 0;
  virtual bool SetString(const std::string& name, const std::string& data) = 0;
  virtual bool SetDWord(const std::string& name, uint32_t data) = 0;
  // The value exactly as Query gave it: its raw form where it has one.
  virtual bool SetRaw(const std::string& name, const RegistryValue& value) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // path as the program writes it ("\Software\..."; a leading backslash is allowed and
  // ignored, names compare without regard to case). With create, missing keys are made
  // (RegCreateKeyExA); without, only an existing key opens (RegOpenKeyExA).
  // nullptr when the key cannot be opened.
  virtual std::unique_ptr<RegistryKey> Open(RootKey root, const std::string& path, bool create) = 0;
};

// ---------------------------------------------------------------- processes and pipes

// An anonymous pipe (CreatePipe) whose handles are inheritable. The child gets one end;
// the program keeps the other.
class Pipe {
 public:
  virtual ~Pipe() = default;  // closes whatever end is still open
  // PeekNamedPipe on the read end: copies up to size bytes without removing them; copied
  // receives the bytes copied, available the bytes waiting in all. false on failure.
  virtual bool Peek(char* buffer, uint32_t size, uint32_t& copied, uint32_t& available) = 0;
  // ReadFile on the read end; blocks until at least one byte or the end arrives.
  virtual bool Read(char* buffer, uint32_t size, uint32_t& got) = 0;
  // WriteFile on the write end.
  virtual bool Write(const char* data, uint32_t size, uint32_t& written) = 0;
  virtual void CloseReadEnd() = 0;
  virtual void CloseWriteEnd() = 0;
};

struct StartInfo {
  std::string commandLine;        // CreateProcessA's command line, no separate program name
  uint16_t showWindow = 1;        // STARTF_USESHOWWINDOW with this show command
  uint32_t creationFlags = 0x30;  // CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS
  // With both set: STARTF_USESTDHANDLES, handles inherited; the child reads stdinPipe's read
  // end and writes stdout and stderr into stdoutPipe's write end.
  Pipe* stdinPipe = nullptr;
  Pipe* stdoutPipe = nullptr;
};

inline constexpr uint32_t kStillActive = 259;  // STILL_ACTIVE
inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

// A started process; destroying it closes its handles (the process goes on).
class Process {
 public:
  virtual ~Process() = default;
  virtual uint32_t Handle() const = 0;
  // WaitForSingleObject: true when the process has ended within timeoutMs.
  virtual bool Wait(uint32_t timeoutMs) = 0;
  // GetExitCodeProcess: kStillActive while it runs.
  virtual uint32_t ExitCode() = 0;
  virtual bool Terminate(uint32_t exitCode) = 0;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // CreateProcessA. nullptr on failure, with error set to the system error code
  // (2 when the program cannot be found).
  virtual std::unique_ptr<Process> Start(const StartInfo& info, uint32_t& error) = 0;
  // CreatePipe with inheritable handles (a NULL DACL on Windows NT). nullptr on failure.
  virtual std::unique_ptr<Pipe> CreatePipe(uint32_t& error) = 0;
  // SetCurrentDirectory; false with a message on failure.
  virtual bool SetCurrentDirectory(const std::string& dir, std::string& message) = 0;
};

// ---------------------------------------------------------------- scratch files

// A folder made for one apply that only the administrators and SYSTEM may enter (on the
// simulated host: only its user), for the files the apply hands to another program (the
// netsh script, the profile's script). Each file is made new, never over an existing name
// or through a link, and held open so that nobody can change or delete it while it is
// read. Destroyed, the folder goes with its files.
class ScratchFolder {
 public:
  virtual ~ScratchFolder() = default;
  // As the program names it: a Windows path with its trailing backslash.
  virtual const std::string& Path() const = 0;
  // false when the file cannot be made new there.
  virtual bool Create(const std::string& name, const std::string& bytes) = 0;
  // The folder stays when destroyed, for a program that may still read from it (a script
  // started and not waited for); a later folder removes it once its maker has ended.
  virtual void Keep() = 0;
};

// Held while one apply, undo or reading of the connections runs: one at a time per machine.
class MachineLock {
 public:
  virtual ~MachineLock() = default;
};

// ---------------------------------------------------------------- shell, printers, system

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteA with the verb "open"; returns its result (above 32 means success).
  virtual int Open(const std::string& file, const std::string& parameters,
                   const std::string& directory, int showCommand) = 0;
  // Whether a program is registered to "open" files of this extension (".vbs"), as
  // AssocQueryStringA finds it.
  virtual bool CanOpen(const std::string& extension) = 0;

  // A program run with an administrator's rights, and how it ended.
  struct ElevatedRun {
    bool started = false;
    bool refused = false;   // the user did not give the permission: nothing ran
    uint32_t error = 0;     // the system error code of a failed start
    uint32_t exitCode = 0;  // when started: its exit code
  };
  // ShellExecuteExA with the verb "runas" (Windows asks the user for the administrator's
  // permission), its window hidden; waits for its end. The program gets the handover's bytes
  // on a channel only it and this process share: its parameters end with "--handover TOKEN",
  // and it reads them with ReceiveHandover(TOKEN) (win32: a named pipe of this process,
  // whose server it checks; sim: its standard input).
  virtual ElevatedRun RunElevated(const std::string& program, const std::string& parameters,
                                  const std::string& handover) = 0;
  // What the process that started this one handed over; nullopt when the channel cannot be
  // read or is not the starter's own.
  virtual std::optional<std::string> ReceiveHandover(const std::string& token) = 0;
};

class Printers {
 public:
  virtual ~Printers() = default;
  // EnumPrintersA over local printers and printer connections, in the system's order.
  virtual std::vector<std::string> Installed() = 0;
  // The system's default printer, nullopt when the lookup fails.
  virtual std::optional<std::string> DefaultPrinter() = 0;
  // WriteProfileStringA into the user profile (win.ini).
  virtual bool WriteProfileString(const std::string& section, const std::string& key,
                                  const std::string& value) = 0;
  // SendMessage(HWND_BROADCAST, WM_WININICHANGE, 0, section); waits for every window.
  virtual void BroadcastSettingChange(const std::string& section) = 0;
  // SetDefaultPrinterA; false when the printer is not installed or the call fails.
  virtual bool SetDefault(const std::string& name) = 0;
};

class System {
 public:
  virtual ~System() = default;
  // GetWindowsDirectoryA; "" when it fails.
  virtual std::string WindowsDirectory() = 0;
  // GetSystemDirectoryA: where Windows' own programs are (netsh.exe, cmd.exe ...). They are
  // started from there by their full path, never by a bare name, which Windows would look
  // for in the program's own folder first.
  virtual std::string SystemDirectory() = 0;
  // A new scratch folder below the Windows directory's Temp; nullptr, with the reason in
  // message, when it cannot be made.
  virtual std::unique_ptr<ScratchFolder> MakeScratchFolder(std::string& message) = 0;
  // The machine's apply lock (a named mutex in the Global\ namespace; on the simulated host
  // a lock file of the host), waited for up to wait; nullptr when another held it so long.
  virtual std::unique_ptr<MachineLock> LockApplies(std::chrono::milliseconds wait) = 0;
  // FindWindowA by class name alone: does such a top-level window exist?
  virtual bool FindWindowByClass(const std::string& className) = 0;
  // OpenProcessToken, LookupPrivilegeValueA, AdjustTokenPrivileges on the own process;
  // false when the lookup or the adjustment fails.
  virtual bool AdjustPrivilege(const std::string& name, bool enable) = 0;
  // ExitWindowsEx.
  virtual bool ExitWindows(uint32_t flags, uint32_t reason) = 0;
  // GetModuleFileNameA of the running program.
  virtual std::string ExecutablePath() = 0;
  // The fixed file version of a program file (four numbers), nullopt without one.
  virtual std::optional<std::array<uint16_t, 4>> FileVersion(const std::string& path) = 0;
  // The one conversion of paths the program builds with backslashes (the hosts file, the
  // program directory) into a path the file functions of this machine open.
  virtual std::string NativePath(const std::string& path) = 0;
  // The machine's code pages for 8-bit text (GetACP / GetOEMCP): ANSI for the store, the
  // netsh script, the dump and the registry; OEM for console output.
  virtual uint32_t AnsiCodePage() = 0;
  virtual uint32_t OemCodePage() = 0;
  // 8-bit text in a code page to UTF-8 and back (MultiByteToWideChar /
  // WideCharToMultiByte); a character the code page lacks becomes "?".
  virtual std::string ToUtf8(std::string_view text, uint32_t codePage) = 0;
  virtual std::string FromUtf8(std::string_view utf8, uint32_t codePage) = 0;
  // Whether this process has an administrator's rights (an elevated token).
  virtual bool Elevated() = 0;
  // The running Windows' version, as the system reports it (not as a manifest makes it).
  struct Version {
    uint32_t major = 5, minor = 1, build = 2600;
    // Windows 2000 and XP, whose ways the program keeps there exactly.
    bool Windows5() const { return major <= 5; }
    bool operator==(const Version&) const = default;
  };
  virtual Version WindowsVersion() = 0;
  // InternetSetOptionA with INTERNET_OPTION_SETTINGS_CHANGED, then INTERNET_OPTION_REFRESH:
  // running programs take the proxy written to the registry without a restart.
  virtual void InternetSettingsChanged() = 0;
  // SetComputerNameExA(ComputerNamePhysicalDnsHostname): the name after the next restart.
  // false with the system's error text in message when Windows refuses it.
  virtual bool SetComputerName(const std::string& name, std::string& message) = 0;
};

// ---------------------------------------------------------------- network connections

struct IPv4Address {
  std::string address, mask;
  bool operator==(const IPv4Address&) const = default;
};

struct IPv6Address {
  std::string address;
  uint32_t prefixLength = 64;
  bool manual = false;  // set by hand, not from the router or DHCPv6
  bool operator==(const IPv6Address&) const = default;
};

// IfType values of the connections Windows lists (and of those it does not).
inline constexpr uint32_t kIfTypeEthernet = 6;
inline constexpr uint32_t kIfTypeLoopback = 24;
inline constexpr uint32_t kIfTypeWifi = 71;
inline constexpr uint32_t kIfTypeTunnel = 131;

// A network connection as Windows knows it on Vista and later (GetAdaptersAddresses and the
// interface's registry values); its text in the ANSI code page.
struct NetworkAdapter {
  std::string name;  // the connection's name ("Ethernet", "LAN-Verbindung")
  // The name in UTF-8 when the ANSI code page cannot hold it (name is then not exact).
  std::string unmappableName;
  uint32_t index = 0;  // the IPv4 interface index
  uint32_t type = kIfTypeEthernet;
  bool hidden = false;  // a hidden virtual adapter, not in Network Connections
  bool dhcp = false;    // the address comes from DHCP
  std::vector<IPv4Address> addresses;
  std::string gateway;                   // the default gateway; "" for none
  uint32_t gatewayMetric = 0;            // the default route's metric
  std::vector<std::string> dnsServers;   // those in effect
  bool dnsStatic = false;                // set by hand, not from DHCP
  std::vector<std::string> winsServers;  // those in effect
  bool winsStatic = false;
  // Switched off in Network Connections: Windows then gives no address or server of it.
  bool enabled = true;
  std::string dnsSuffix;  // the connection's own, set by hand; "" for none
  // IPv6: global addresses (no link-local one), the default gateway, the DNS servers.
  bool ipv6 = false;  // IPv6 is bound to the adapter
  bool ipv6RouterDiscovery = true;
  std::vector<IPv6Address> ipv6Addresses;
  std::string ipv6Gateway;
  bool ipv6GatewayManual = false;  // a default route set by hand
  std::vector<std::string> ipv6DnsServers;
  bool ipv6DnsStatic = false;
  // A Wi-Fi adapter: the machine's Wi-Fi profiles for it and the one it is connected with.
  std::vector<std::string> wlanProfiles;
  std::string wlanConnected;
  bool operator==(const NetworkAdapter&) const = default;
};

class Network {
 public:
  virtual ~Network() = default;
  // Every network interface, in the order Windows lists them; Error when they cannot be read.
  virtual std::vector<NetworkAdapter> Adapters() = 0;
  // Sets the connection's own DNS suffix ("" clears it); Error with a message a user can
  // act on when Windows refuses.
  virtual void SetDnsSuffix(const std::string& connection, const std::string& suffix) = 0;
};

// ---------------------------------------------------------------- the whole machine

class Platform {
 public:
  virtual ~Platform() = default;
  virtual Registry& registry() = 0;
  virtual Processes& processes() = 0;
  virtual Shell& shell() = 0;
  virtual Printers& printers() = 0;
  virtual System& system() = 0;
  virtual Network& network() = 0;
};

// The backend this build links: the simulated host of LANVOY_HOST (else host/ beside the
// program) on the sim backend, the running Windows on win32.
std::unique_ptr<Platform> CreatePlatform();

// The program's arguments after its name, in the machine's ANSI code page as Windows hands
// them to a program: on the simulated host a terminal passes them in its locale's UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv, System& system);

// The code page a program's console output is read in: the console's (GetConsoleOutputCP),
// or the OEM code page, as console programs write to a pipe or file, when the process has no
// console; on the simulated host the terminal locale's UTF-8 (65001), else the ANSI code page
// (the bytes as they are).
uint32_t ConsoleCodePage(System& system);

}  // namespace lanvoy::platform
