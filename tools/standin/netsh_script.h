// The command interpreter of the netsh stand-in: contexts ("interface", "interface ip"),
// pushd/popd, and the commands that change the stand-ins' network state. Parameters are
// taken as netsh takes them: "key = value", "key=value" or by position, keys and keywords
// in any letter case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standin/network_state.h"

namespace lanvoy::standin {

// Whose netsh the interpreter plays. Windows XP's: the "interface ip" context, "Ok." after
// each change. Windows 10's: "interface ipv4" (with "ip" as its other name), the commands of
// its documentation with abbreviated tags and object names, an interface named by its index
// too, and nothing printed on success.
enum class NetshVersion { kWindowsXp, kWindows10 };

// Windows Vista (6) and later have the netsh of Windows 10.
NetshVersion NetshVersionFor(uint32_t windowsMajorVersion);

class NetshInterpreter {
 public:
  explicit NetshInterpreter(NetworkState& state, NetshVersion version = NetshVersion::kWindowsXp);

  // The starting context as netsh's "-c" names it ("interface", "interface ip", "" for the
  // top level); false (with a message in output) for an unknown one.
  bool SetContext(std::string_view context);

  // Runs one line. Messages (and "Ok." on XP) go to output (CR LF line ends). False when the
  // line was refused; comment and empty lines are accepted and print nothing.
  bool Execute(std::string_view line);

  // A script's lines in order; every line is run even after a refused one. True when no
  // line was refused. Stops early at "exit", "quit" or "bye".
  bool RunScript(std::string_view text);

  bool changed() const { return changed_; }
  bool finished() const { return finished_; }
  const std::string& output() const { return output_; }

 private:
  enum class Context { Root, Interface, InterfaceIp, InterfaceIpv6, Wlan };
  struct Lexeme {
    std::string text;
    bool equals = false;  // an "=" outside quotes
  };
  using Params = std::vector<std::pair<std::string, std::string>>;

  bool Xp() const { return version_ == NetshVersion::kWindowsXp; }
  bool Enter(Context from, std::string_view word, Context& to) const;
  static std::vector<Lexeme> Lex(std::string_view line);
  bool Bind(const std::vector<Lexeme>& lexemes, std::size_t from,
            const std::vector<std::string>& order, Params& params);
  bool Fail(const std::string& message);
  bool FailMissing();
  bool Changed();
  ConnectionState* Connection(const Params& params);

  bool SetAddress(const Params& p);
  bool AddAddress(const Params& p);
  bool SetDns(const Params& p);
  bool AddDns(const Params& p);
  bool SetWins(const Params& p);
  bool AddWins(const Params& p);
  // What set and add do to the DNS or WINS servers (fromDhcp and servers of one kind); set
  // needs "source" given.
  bool SetServers(const Params& p, bool& fromDhcp, std::vector<std::string>& servers);
  bool AddServer(const Params& p, bool& fromDhcp, std::vector<std::string>& servers);

  // Windows 10's: "interface set interface", the "interface ipv6" commands Lanvoy uses, and
  // "wlan connect".
  ConnectionState* Interface(const Params& params, const char* tag);
  bool SetInterfaceAdmin(const Params& p);
  // nullopt for a command the context does not have.
  std::optional<bool> Ipv6Command(const std::string& verb, const std::string& object,
                                  const std::vector<Lexeme>& lexemes, std::size_t from);
  bool AddIpv6Address(const Params& p);
  bool DeleteIpv6Address(const Params& p);
  bool SetIpv6Interface(const Params& p);
  bool Ipv6Route(const Params& p, bool add);
  bool SetIpv6Dns(const Params& p);
  bool AddIpv6Dns(const Params& p);
  bool WlanConnect(const Params& p);

  NetworkState& state_;
  NetshVersion version_;
  const char* addr_;  // the address tag: XP's "addr", Windows 10's "address"
  Context context_ = Context::Root;
  std::vector<Context> stack_;
  std::string output_;
  bool changed_ = false;
  bool finished_ = false;
};

// An IPv6 address as netsh takes it.
bool IsIpv6Address(std::string_view text);

// A dotted IPv4 address: four decimal numbers 0..255.
bool IsIpAddress(std::string_view text);
// An address whose one bits are contiguous from the top.
bool IsSubnetMask(std::string_view text);

}  // namespace lanvoy::standin
