#include "apply/netsh_script.h"

#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"

#include <utility>

namespace lanvoy {

namespace {

// The lines of one block: connection 1's first line opens the block, every other line
// (connection 2's first one too) is preceded by CR LF.
class Block {
 public:
  void Add(const std::string& line) {
    if (started_) text_ += kCRLF;
    text_ += line;
    started_ = true;
  }
  // Connection 2 begins on a line of its own even when connection 1 gave none.
  void StartSecondConnection() { started_ = true; }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
  bool started_ = false;
};

std::string Quote(const std::string& name) {
  return "\"" + name + "\"";
}

void AddAddressLines(Block& block, const ConnectionSettings& c, const std::string& metric) {
  const std::string name = Quote(c.LongLANDescription);
  if (c.DHCP == kModeStatic) {
    block.Add("set address name = " + name + " static addr = " + c.IP + " mask = " + c.Subnet);
    if (!c.IP2.empty())
      block.Add("add address name = " + name + " addr = " + c.IP2 + " mask = " + c.Subnet2);
    if (!c.Gateway.empty())
      block.Add("set address name = " + name + " gateway = " + c.Gateway + " gwmetric = " + metric);
  } else if (c.DHCP == kModeDhcp) {
    block.Add("set address name = " + name + " Source = dhcp");
  }
}

// Connection 1 always gets its static line, connection 2 only with a first DNS server.
void AddDnsLines(Block& block, const ConnectionSettings& c, bool first) {
  const std::string name = Quote(c.LongLANDescription);
  if (c.DHCP_DNS) {
    block.Add("set dns name = " + name + " source=dhcp");
    return;
  }
  if (!first && c.DNS.empty()) return;
  // netsh refuses a line without an address; "none" clears the servers as the profile asks.
  block.Add("set dns name = " + name +
            " source = static addr = " + (c.DNS.empty() ? "none" : c.DNS));
  if (!c.DNS2.empty()) block.Add("add dns name = " + name + " addr = " + c.DNS2);
}

void AddWinsLines(Block& block, const ConnectionSettings& c) {
  const std::string name = Quote(c.LongLANDescription);
  if (c.DHCP_WINS)
    block.Add("set wins name = " + name + " source = dhcp");
  else if (!c.WINS.empty())
    block.Add("set wins name =  " + name + " source = static addr = " + c.WINS);
}

// One block: the lines of each connection the profile has, connection 1's first.
template <class Lines>
std::string BuildBlock(const ProfileRecord& profile, Lines lines) {
  Block block;
  const std::vector<ConnectionSettings> connections = ConnectionsOf(profile);
  for (size_t i = 0; i < connections.size(); ++i) {
    if (i > 0) block.StartSecondConnection();
    lines(block, connections[i], i == 0);
  }
  return block.Take();
}

}  // namespace

std::string BuildAddressCommands(const ProfileRecord& profile, const NetshTarget& target) {
  return BuildBlock(profile, [&](Block& block, const ConnectionSettings& c, bool) {
    AddAddressLines(block, c, target.MetricOf(c.LongLANDescription));
  });
}

std::string BuildDnsCommands(const ProfileRecord& profile) {
  return BuildBlock(profile, AddDnsLines);
}

std::string BuildWinsCommands(const ProfileRecord& profile) {
  return BuildBlock(
      profile, [](Block& block, const ConnectionSettings& c, bool) { AddWinsLines(block, c); });
}

namespace {

// The "interface ipv4" lines of one connection.
class Ipv4Lines {
 public:
  Ipv4Lines(const NetshTarget& target) : target_(target) {}
  std::string Name(const ConnectionSettings& c) const {
    auto it = target_.interfaceIndex.find(c.LongLANDescription);
    return it != target_.interfaceIndex.end() ? std::to_string(it->second)
                                              : Quote(c.LongLANDescription);
  }
  void Address(Block& block, const ConnectionSettings& c) const {
    const std::string name = Name(c);
    if (c.DHCP == kModeStatic) {
      // A static address replaces every address and the default gateway: the gateway goes
      // into the same line, or none.
      block.Add(
          "set address name=" + name + " source=static address=" + c.IP + " mask=" + c.Subnet +
          (c.Gateway.empty()
               ? " gateway=none"
               : " gateway=" + c.Gateway + " gwmetric=" + target_.MetricOf(c.LongLANDescription)));
      if (!c.IP2.empty())
        block.Add("add address name=" + name + " address=" + c.IP2 + " mask=" + c.Subnet2);
    } else if (c.DHCP == kModeDhcp) {
      block.Add("set address name=" + name + " source=dhcp");
    }
  }
  // Without validate=no netsh first asks each server, which takes seconds when it is far.
  void Dns(Block& block, const ConnectionSettings& c, bool first) const {
    const std::string name = Name(c);
    if (c.DHCP_DNS) {
      block.Add("set dnsservers name=" + name + " source=dhcp");
      return;
    }
    if (!first && c.DNS.empty()) return;
    block.Add("set dnsservers name=" + name + " source=static address=" +
              (c.DNS.empty() ? std::string("none") : c.DNS) + " register=primary validate=no");
    if (!c.DNS2.empty())
      block.Add("add dnsservers name=" + name + " address=" + c.DNS2 + " index=2 validate=no");
  }
  void Wins(Block& block, const ConnectionSettings& c) const {
    const std::string name = Name(c);
    if (c.DHCP_WINS)
      block.Add("set winsservers name=" + name + " source=dhcp");
    else if (!c.WINS.empty())
      block.Add("set winsservers name=" + name + " source=static address=" + c.WINS);
  }

 private:
  const NetshTarget& target_;
};

}  // namespace

std::vector<std::string> BuildNetshScript(const ProfileRecord& profile, const NetshTarget& target) {
  if (!target.ipv4Grammar)
    return {"pushd interface\r\nreset all\r\npopd\r\npushd interface ip",
            BuildAddressCommands(profile, target), BuildDnsCommands(profile),
            BuildWinsCommands(profile), "popd"};
  const Ipv4Lines lines(target);
  return {
      "pushd interface ipv4",
      BuildBlock(profile,
                 [&](Block& b, const ConnectionSettings& c, bool) { lines.Address(b, c); }),
      BuildBlock(profile, [&](Block& b, const ConnectionSettings& c,
                              bool first) { lines.Dns(b, c, first); }),
      BuildBlock(profile, [&](Block& b, const ConnectionSettings& c, bool) { lines.Wins(b, c); }),
      "popd"};
}

std::vector<std::string> BuildNetshScript(const ProfileRecord& profile) {
  return BuildNetshScript(profile, NetshTarget{});
}

std::string NetshScriptText(const std::vector<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) bytes.append(entry).append(kCRLF);
  return bytes;
}

void WriteNetshScript(const std::string& path, const std::vector<std::string>& entries) {
  if (!WriteFileAtomic(path, NetshScriptText(entries), Durability::kLazy))
    throw EFCreateError(path);
}

}  // namespace lanvoy
