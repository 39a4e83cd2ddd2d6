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

struct Connection {
  const std::string& Name;
  int32_t Mode;
  const std::string &IP, &Subnet, &IP2, &Subnet2, &Gateway;
  bool DnsFromDhcp;
  const std::string &DNS, &DNS2;
  bool WinsFromDhcp;
  const std::string& WINS;
};

Connection First(const ProfileRecord& p) {
  return {p.LongLANDescription, p.DHCP, p.IP,   p.Subnet,    p.IP2, p.Subnet2, p.Gateway,
          p.DHCP_DNS,           p.DNS,  p.DNS2, p.DHCP_WINS, p.WINS};
}

Connection Second(const ProfileRecord& p) {
  return {p.LongLANDescriptionLan2,
          p.DHCPLan2,
          p.IPLan2,
          p.SubnetLan2,
          p.IP2Lan2,
          p.Subnet2Lan2,
          p.GatewayLan2,
          p.DHCP_DNSLan2,
          p.DNSLan2,
          p.DNS2Lan2,
          p.DHCP_WINSLan2,
          p.WINSLan2};
}

bool HasSecond(const ProfileRecord& p) {
  return !p.LongLANDescriptionLan2.empty();
}

std::string Quote(const std::string& name) {
  return "\"" + name + "\"";
}

void AddAddressLines(Block& block, const Connection& c) {
  const std::string name = Quote(c.Name);
  if (c.Mode == kModeStatic) {
    block.Add("set address name = " + name + " static addr = " + c.IP + " mask = " + c.Subnet);
    if (!c.IP2.empty())
      block.Add("add address name = " + name + " addr = " + c.IP2 + " mask = " + c.Subnet2);
    if (!c.Gateway.empty())
      block.Add("set address name = " + name + " gateway = " + c.Gateway + " gwmetric = 1");
  } else if (c.Mode == kModeDhcp) {
    block.Add("set address name = " + name + " Source = dhcp");
  }
}

// Connection 1 always gets its static line, connection 2 only with a first DNS server.
void AddDnsLines(Block& block, const Connection& c, bool first) {
  const std::string name = Quote(c.Name);
  if (c.DnsFromDhcp) {
    block.Add("set dns name = " + name + " source=dhcp");
    return;
  }
  if (!first && c.DNS.empty()) return;
  block.Add("set dns name = " + name + " source = static addr = " + c.DNS);
  if (!c.DNS2.empty()) block.Add("add dns name = " + name + " addr = " + c.DNS2);
}

void AddWinsLines(Block& block, const Connection& c) {
  const std::string name = Quote(c.Name);
  if (c.WinsFromDhcp)
    block.Add("set wins name = " + name + " source = dhcp");
  else if (!c.WINS.empty())
    block.Add("set wins name =  " + name + " source = static addr = " + c.WINS);
}

}  // namespace

std::string BuildAddressCommands(const ProfileRecord& profile) {
  Block block;
  AddAddressLines(block, First(profile));
  if (HasSecond(profile)) {
    block.StartSecondConnection();
    AddAddressLines(block, Second(profile));
  }
  return block.Take();
}

std::string BuildDnsCommands(const ProfileRecord& profile) {
  Block block;
  AddDnsLines(block, First(profile), true);
  if (HasSecond(profile)) {
    block.StartSecondConnection();
    AddDnsLines(block, Second(profile), false);
  }
  return block.Take();
}

std::string BuildWinsCommands(const ProfileRecord& profile) {
  Block block;
  AddWinsLines(block, First(profile));
  if (HasSecond(profile)) {
    block.StartSecondConnection();
    AddWinsLines(block, Second(profile));
  }
  return block.Take();
}

std::vector<std::string> BuildNetshScript(const ProfileRecord& profile) {
  return {"pushd interface\r\nreset all\r\npopd\r\npushd interface ip",
          BuildAddressCommands(profile), BuildDnsCommands(profile), BuildWinsCommands(profile),
          "popd"};
}

void WriteNetshScript(const std::string& path, const std::vector<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) bytes.append(entry).append(kCRLF);
  if (!WriteFileAtomic(path, bytes, Durability::kLazy)) throw EFCreateError(path);
}

}  // namespace lanvoy
