// The TCP/IP configuration of the machine the stand-ins play: "network.ini" in the host root, one
// section per network connection, in the order Windows lists them. The stand-ins for netsh,
// ipconfig and Rundll32 read it; only netsh changes it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"

namespace lanvoy::standin {

inline constexpr const char* kNetworkStateFileName = "network.ini";

// network.ini holds a value the stand-ins cannot use.
class ENetworkStateError : public Error {
 public:
  using Error::Error;
};

struct AddressEntry {
  std::string address;
  std::string mask;
  bool operator==(const AddressEntry&) const = default;
};

struct Ipv6Entry {
  std::string address;
  int prefixLength = 64;
  bool operator==(const Ipv6Entry&) const = default;
};

struct ConnectionState {
  std::string name;
  int index = 0;                // the interface index, which names it as well on Windows 10
  std::string description;      // the adapter, as ipconfig shows it
  std::string physicalAddress;  // "00-0C-29-4F-8E-35"

  bool dhcp = false;
  std::vector<AddressEntry> addresses;  // static mode: the first and any further addresses
  std::string gateway;                  // static mode; empty = none
  int gatewayMetric = 0;

  bool dnsFromDhcp = false;
  std::vector<std::string> dnsServers;  // when not from DHCP
  bool winsFromDhcp = false;
  std::vector<std::string> winsServers;  // when not from DHCP

  // What the DHCP server on this adapter's network hands out; used while dhcp is set (and
  // for DNS and WINS while they come from DHCP).
  AddressEntry dhcpLease;
  std::string dhcpGateway;
  std::string dhcpServer;
  std::vector<std::string> dhcpDnsServers;
  std::string dhcpWinsServer;

  // Vista and later. An adapter switched off is not on the network: Windows lists no
  // address, netsh knows no interface of it.
  bool enabled = true;
  std::string dnsSuffix;  // the connection's own
  // IPv6, where the file models it (a file of before has none of it).
  bool ipv6 = false;
  bool routerDiscovery = true;           // addresses and a gateway from the router
  std::vector<Ipv6Entry> ipv6Addresses;  // those set by hand
  std::string ipv6Gateway;               // a default route set by hand; empty = none
  bool ipv6DnsFromDhcp = true;
  std::vector<std::string> ipv6DnsServers;  // when not from DHCP
  // What the router and DHCPv6 of this adapter's network hand out.
  Ipv6Entry routerAddress;
  std::string routerGateway;
  std::vector<std::string> dhcpIpv6DnsServers;
  // A Wi-Fi adapter: the profiles of the machine for it, and the one it is connected with.
  bool wireless = false;
  std::vector<std::string> wlanProfiles;
  std::string wlanConnected;

  // The values in effect, whichever source they come from.
  std::vector<AddressEntry> EffectiveAddresses() const;
  std::string EffectiveGateway() const;
  std::vector<std::string> EffectiveDnsServers() const;
  std::vector<std::string> EffectiveWinsServers() const;
  std::vector<Ipv6Entry> EffectiveIpv6Addresses() const;
  std::string EffectiveIpv6Gateway() const;
  std::vector<std::string> EffectiveIpv6DnsServers() const;

  bool operator==(const ConnectionState&) const = default;
};

struct NetworkState {
  std::vector<ConnectionState> connections;

  // Windows compares connection names without regard to case; nullptr when there is none.
  ConnectionState* Find(std::string_view name);
  const ConnectionState* Find(std::string_view name) const;
  ConnectionState* FindIndex(int index);

  // A freshly installed machine: a static wired connection and a DHCP wireless one.
  static NetworkState Default();

  // Reads the file; a missing file is created with the default machine first.
  static NetworkState LoadOrCreate(const std::filesystem::path& file);
  // Throws ENetworkStateError for a file that cannot be read or holds unusable values.
  // Connections without an index of their own (a file of before they had one) get the next
  // ones above the file's largest, in file order, so that every load gives the same.
  static NetworkState Load(const std::filesystem::path& file);
  // Replaces the file whole; EFCreateError when it cannot be written.
  void Save(const std::filesystem::path& file) const;

  bool operator==(const NetworkState&) const = default;
};

std::filesystem::path NetworkStatePath(const std::filesystem::path& hostRoot);

// The report of "ipconfig /all" for this state, CR LF line ends.
std::string IpconfigAllReport(const NetworkState& state, const std::string& hostName);

}  // namespace lanvoy::standin
