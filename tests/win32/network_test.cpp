// The network connections: the translation of GetAdaptersAddresses' list, and what the real
// calls give under Wine against Wine's other tables and registry values planted for them.
#include "platform/win32/network_adapters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/strings.h"
#include "platform/platform.h"

namespace lanvoy {
namespace {

using platform::IPv4Address;
using platform::NetworkAdapter;

std::vector<std::string> Words(const char* text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

std::string Utf8(const wchar_t* wide) {
  char text[512] = {};
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

// Every field of an adapter in one line, what is empty or false left out.
std::string Shown(const NetworkAdapter& a) {
  std::string line = a.name;
  if (!a.unmappableName.empty()) line += " (" + a.unmappableName + ")";
  line += " #" + std::to_string(a.index) + " type " + std::to_string(a.type);
  if (a.hidden) line += " hidden";
  if (a.dhcp) line += " dhcp";
  for (const IPv4Address& address : a.addresses) line += " " + address.address + "/" + address.mask;
  if (!a.gateway.empty() || a.gatewayMetric != 0)
    line += " gateway " + a.gateway + " metric " + std::to_string(a.gatewayMetric);
  if (!a.dnsServers.empty()) line += " dns";
  for (const std::string& server : a.dnsServers) line += " " + server;
  if (a.dnsStatic) line += " dns-static";
  if (!a.winsServers.empty()) line += " wins";
  for (const std::string& server : a.winsServers) line += " " + server;
  if (a.winsStatic) line += " wins-static";
  return line;
}

// One adapter as GetAdaptersAddresses lays it out ("dhcp": the flag; "xp": an entry of XP's
// shorter length), what the registry says of it ("dns-static wins-static hidden"), the metric
// of its default route, and what the translation should make of it.
struct Given {
  const wchar_t* friendlyName;
  uint32_t index, type;
  const char* unicast;  // "address/prefix length ..."
  const char *gateways, *dns, *wins, *flags;
  uint32_t routeMetric;
  const char* expected;  // as Shown
  bool Has(const char* flag) const {
    auto words = Words(flags);
    return std::find(words.begin(), words.end(), flag) != words.end();
  }
};

std::string AdapterNameOf(uint32_t index) {
  return "{LANVOY-TEST-" + std::to_string(index) + "}";
}

// Owns the entries of a list built from Given rows; they point into each other.
class AdapterList {
 public:
  const IP_ADAPTER_ADDRESSES* Build(const std::vector<Given>& rows) {
    IP_ADAPTER_ADDRESSES** next = &first_;
    for (const Given& row : rows) {
      IP_ADAPTER_ADDRESSES& a = adapters_.emplace_back();
      const bool xp = row.Has("xp");
      a.Length = xp ? sizeof(IP_ADAPTER_ADDRESSES_XP) : sizeof a;
      a.IfIndex = row.index;
      a.AdapterName = names_.emplace_back(AdapterNameOf(row.index)).data();
      a.FriendlyName = const_cast<wchar_t*>(row.friendlyName);
      a.IfType = row.type;
      a.Flags = IP_ADAPTER_IPV4_ENABLED | (row.Has("dhcp") ? IP_ADAPTER_DHCP_ENABLED : 0);
      IP_ADAPTER_UNICAST_ADDRESS** unicast = &a.FirstUnicastAddress;
      for (const std::string& word : Words(row.unicast)) {
        IP_ADAPTER_UNICAST_ADDRESS& u = unicasts_.emplace_back();
        u.Length = xp ? sizeof(IP_ADAPTER_UNICAST_ADDRESS_XP) : sizeof u;
        u.Address = Socket(word.substr(0, word.find('/')));
        u.OnLinkPrefixLength = static_cast<UINT8>(std::stoi(word.substr(word.find('/') + 1)));
        *unicast = &u;
        unicast = &u.Next;
      }
      a.FirstGatewayAddress = Chain(gateways_, row.gateways);
      a.FirstDnsServerAddress = Chain(dns_, row.dns);
      a.FirstWinsServerAddress = Chain(wins_, row.wins);
      *next = &a;
      next = &a.Next;
    }
    return first_;
  }

 private:
  SOCKET_ADDRESS Socket(const std::string& text) {
    sockaddr_in& in = sockets_.emplace_back();
    in.sin_family = AF_INET;
    unsigned b[4] = {};
    std::sscanf(text.c_str(), "%u.%u.%u.%u", &b[0], &b[1], &b[2], &b[3]);
    in.sin_addr.S_un.S_un_b = {static_cast<UCHAR>(b[0]), static_cast<UCHAR>(b[1]),
                               static_cast<UCHAR>(b[2]), static_cast<UCHAR>(b[3])};
    return {reinterpret_cast<sockaddr*>(&in), sizeof in};
  }
  template <typename Entry>
  Entry* Chain(std::deque<Entry>& store, const char* texts) {
    Entry* first = nullptr;
    Entry** next = &first;
    for (const std::string& text : Words(texts)) {
      Entry& e = store.emplace_back();
      e.Length = sizeof e;
      e.Address = Socket(text);
      *next = &e;
      next = &e.Next;
    }
    return first;
  }

  IP_ADAPTER_ADDRESSES* first_ = nullptr;
  std::deque<IP_ADAPTER_ADDRESSES> adapters_;
  std::deque<std::string> names_;
  std::deque<IP_ADAPTER_UNICAST_ADDRESS> unicasts_;
  std::deque<IP_ADAPTER_GATEWAY_ADDRESS> gateways_;
  std::deque<IP_ADAPTER_DNS_SERVER_ADDRESS> dns_;
  std::deque<IP_ADAPTER_WINS_SERVER_ADDRESS> wins_;
  std::deque<sockaddr_in> sockets_;
};

TEST(Win32NetworkTest, TranslatesEveryAdapterOfTheList) {
  const std::vector<Given> table = {
      {L"LAN-Verbindung", 12, 6, "192.168.1.10/24 10.0.0.5/8", "192.168.1.1 192.168.1.254",
       "192.168.1.2 8.8.8.8", "192.168.1.3 192.168.1.4", "dns-static wins-static", 5,
       "LAN-Verbindung #12 type 6 192.168.1.10/255.255.255.0 10.0.0.5/255.0.0.0 gateway "
       "192.168.1.1 metric 5 dns 192.168.1.2 8.8.8.8 dns-static wins 192.168.1.3 192.168.1.4 "
       "wins-static"},
      // DHCP, its DNS server set by hand.
      {L"WLAN", 17, 71, "192.168.178.23/24", "192.168.178.1", "192.168.178.1", "",
       "dhcp dns-static", 25,
       "WLAN #17 type 71 dhcp 192.168.178.23/255.255.255.0 gateway 192.168.178.1 metric 25 dns "
       "192.168.178.1 dns-static"},
      // No gateway: no route asked for (the lookup would answer 9999).
      {L"Netzwerkbr\u00FCcke", 20, 6, "172.16.0.1/16", "", "", "", "", 0,
       "Netzwerkbr\xFC"
       "cke #20 type 6 172.16.0.1/255.255.0.0"},
      // A letter code page 1252 lacks, in a name it otherwise holds: no look-alike "r".
      {L"P\u0159ipojen\u00ED k m\u00EDstn\u00ED s\u00EDti", 21, 6, "", "", "", "", "dhcp", 0,
       "P?ipojen\xED k m\xEDstn\xED s\xEDti (P\u0159ipojen\u00ED k m\u00EDstn\u00ED s\u00EDti) "
       "#21 type 6 dhcp"},
      {L"\u672C\u5730\u8FDE\u63A5 2", 22, 6, "10.1.1.1/8", "", "", "", "", 0,
       "???? 2 (\u672C\u5730\u8FDE\u63A5 2) #22 type 6 10.1.1.1/255.0.0.0"},
      // Loopback and tunnel stay, with their type.
      {L"Loopback Pseudo-Interface 1", 1, 24, "127.0.0.1/8", "", "", "", "", 0,
       "Loopback Pseudo-Interface 1 #1 type 24 127.0.0.1/255.0.0.0"},
      {L"Teredo Tunneling Pseudo-Interface", 14, 131, "10.8.0.6/32", "", "", "", "hidden", 0,
       "Teredo Tunneling Pseudo-Interface #14 type 131 hidden 10.8.0.6/255.255.255.255"},
      // XP's entries end before the gateways, the WINS servers and the prefix lengths.
      {L"LAN-Verbindung 2", 2, 6, "192.168.0.9/24", "192.168.0.1", "192.168.0.1", "192.168.0.1",
       "xp", 0, "LAN-Verbindung 2 #2 type 6 192.168.0.9/ dns 192.168.0.1"},
  };
  auto of = [&](const std::string& adapterName) -> const Given& {
    for (const Given& row : table)
      if (AdapterNameOf(row.index) == adapterName) return row;
    ADD_FAILURE() << "asked for " << adapterName;
    return table.front();
  };
  win32::AdapterFacts facts;
  facts.dnsStatic = [&](const std::string& name) { return of(name).Has("dns-static"); };
  facts.winsStatic = [&](const std::string& name) { return of(name).Has("wins-static"); };
  facts.hidden = [&](const std::string& name) { return of(name).Has("hidden"); };
  facts.gatewayMetric = [&](uint32_t index, const std::string& gateway) -> uint32_t {
    for (const Given& row : table) {
      const auto gateways = Words(row.gateways);
      if (row.index == index && !gateways.empty() && gateways.front() == gateway)
        return row.routeMetric;
    }
    return 9999;  // a route the adapter does not have
  };

  AdapterList list;
  const auto adapters = win32::TranslateAdapters(list.Build(table), facts, 1252);
  ASSERT_EQ(adapters.size(), table.size());
  for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(Shown(adapters[i]), table[i].expected);
}

// The later settings: IPv6 of a list asked for with AF_UNSPEC (link-local addresses left
// out, those set by hand told from the router's), the suffix, the Wi-Fi profiles, and the
// adapters switched off that only the interface table holds.
TEST(Win32NetworkTest, TranslatesTheLaterSettings) {
  std::deque<sockaddr_in6> sockets;
  auto socket6 = [&](const char* text) {
    sockaddr_in6& in = sockets.emplace_back();
    in.sin6_family = AF_INET6;
    unsigned g[8] = {};
    // Full form only: "2001:db8:0:0:0:0:0:5".
    std::sscanf(text, "%x:%x:%x:%x:%x:%x:%x:%x", &g[0], &g[1], &g[2], &g[3], &g[4], &g[5], &g[6],
                &g[7]);
    for (int i = 0; i < 8; ++i) {
      in.sin6_addr.s6_addr[2 * i] = static_cast<UCHAR>(g[i] >> 8);
      in.sin6_addr.s6_addr[2 * i + 1] = static_cast<UCHAR>(g[i] & 0xFF);
    }
    return SOCKET_ADDRESS{reinterpret_cast<sockaddr*>(&in), sizeof in};
  };
  IP_ADAPTER_UNICAST_ADDRESS unicast[3] = {};
  const std::tuple<const char*, int, IP_PREFIX_ORIGIN> addresses[] = {
      {"fe80:0:0:0:0:0:0:1234", 64, IpPrefixOriginWellKnown},
      {"2001:db8:0:0:0:0:0:5", 64, IpPrefixOriginManual},
      {"2001:db8:77:1:0:0:0:9", 64, IpPrefixOriginRouterAdvertisement}};
  for (int i = 0; i < 3; ++i) {
    unicast[i].Length = sizeof unicast[i];
    unicast[i].Address = socket6(std::get<0>(addresses[i]));
    unicast[i].OnLinkPrefixLength = static_cast<UINT8>(std::get<1>(addresses[i]));
    unicast[i].PrefixOrigin = std::get<2>(addresses[i]);
    if (i < 2) unicast[i].Next = &unicast[i + 1];
  }
  IP_ADAPTER_GATEWAY_ADDRESS gateway{};
  gateway.Length = sizeof gateway;
  gateway.Address = socket6("fe80:0:0:0:0:0:0:1");
  IP_ADAPTER_DNS_SERVER_ADDRESS dns{};
  dns.Length = sizeof dns;
  dns.Address = socket6("2001:db8:0:0:0:0:0:53");
  IP_ADAPTER_ADDRESSES wlan{};
  wlan.Length = sizeof wlan;
  wlan.IfIndex = 17, wlan.Ipv6IfIndex = 17;
  wlan.AdapterName = const_cast<char*>("{LANVOY-TEST-17}");
  wlan.FriendlyName = const_cast<wchar_t*>(L"WLAN");
  wlan.IfType = IF_TYPE_IEEE80211;
  wlan.Flags = IP_ADAPTER_IPV4_ENABLED | IP_ADAPTER_IPV6_ENABLED;
  wlan.FirstUnicastAddress = &unicast[0];
  wlan.FirstGatewayAddress = &gateway;
  wlan.FirstDnsServerAddress = &dns;

  win32::AdapterFacts facts;
  facts.dnsStatic = facts.winsStatic = facts.hidden = [](const std::string&) { return false; };
  facts.gatewayMetric = [](uint32_t, const std::string&) { return 0u; };
  facts.dnsSuffix = [](const std::string& name) {
    return name == "{LANVOY-TEST-17}" ? "buero.example" : "";
  };
  facts.ipv6DnsStatic = [](const std::string&) { return true; };
  facts.routerDiscovery = [](uint32_t index) { return index != 17; };
  facts.ipv6GatewayManual = [](uint32_t index, const std::string& gateway) {
    return index == 17 && gateway == "fe80::1";
  };
  facts.wlan = [](const std::string&, NetworkAdapter& a) {
    a.wlanProfiles = {"Gast", "B\xFCro"};
    a.wlanConnected = "Gast";
  };
  std::vector<NetworkAdapter> adapters = win32::TranslateAdapters(&wlan, facts, 1252);
  win32::AddSwitchedOff({{17, 71, L"WLAN", true, false},  // listed already
                         {4, 6, L"Ethernet 2", true, true},
                         {5, 6, L"LAN-Verbindung 2", true, false},  // on: GAA has it
                         {9, 131, L"Teredo", false, true}},
                        1252, adapters);
  ASSERT_EQ(adapters.size(), 2u);
  const NetworkAdapter& a = adapters[0];
  EXPECT_TRUE(a.ipv6);
  EXPECT_FALSE(a.ipv6RouterDiscovery);
  EXPECT_EQ(a.ipv6Addresses, (std::vector<platform::IPv6Address>{{"2001:db8::5", 64, true},
                                                                 {"2001:db8:77:1::9", 64, false}}));
  EXPECT_EQ(a.ipv6Gateway, "fe80::1");
  EXPECT_TRUE(a.ipv6GatewayManual);
  EXPECT_EQ(a.ipv6DnsServers, std::vector<std::string>{"2001:db8::53"});
  EXPECT_TRUE(a.ipv6DnsStatic);
  EXPECT_EQ(a.dnsSuffix, "buero.example");
  EXPECT_EQ(a.wlanConnected, "Gast");
  EXPECT_TRUE(a.enabled);
  EXPECT_EQ(Shown(adapters[1]), "Ethernet 2 #4 type 6");
  EXPECT_FALSE(adapters[1].enabled);
}

// A table of the IP helper, asked for its size and then filled; aligned as its entries need.
template <typename Table, typename Call>
std::vector<ULONGLONG> Fetched(Call call) {
  ULONG size = 0;
  call(nullptr, &size);
  std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
  EXPECT_EQ(call(reinterpret_cast<Table*>(buffer.data()), &size), ULONG{NO_ERROR});
  return buffer;
}

TEST(Win32NetworkTest, WhatWineReportsAgreesWithItsOtherTables) {
  auto machine = platform::CreatePlatform();
  const std::vector<NetworkAdapter> adapters = machine->network().Adapters();
  ASSERT_FALSE(adapters.empty());
  auto dotted = [](DWORD networkOrder) {
    IN_ADDR in;
    in.S_un.S_addr = networkOrder;
    const auto& b = in.S_un.S_un_b;
    return std::to_string(b.s_b1) + "." + std::to_string(b.s_b2) + "." + std::to_string(b.s_b3) +
           "." + std::to_string(b.s_b4);
  };

  // Names: the interface's alias. Addresses, masks and indexes: the IPv4 address table.
  std::set<std::tuple<uint32_t, std::string, std::string>> listed, inAddressTable;
  for (const NetworkAdapter& a : adapters) {
    MIB_IF_ROW2 row{};
    row.InterfaceIndex = a.index;
    ASSERT_EQ(GetIfEntry2(&row), ULONG{NO_ERROR}) << a.name;
    EXPECT_EQ(
        a.unmappableName.empty() ? machine->system().ToUtf8(a.name, GetACP()) : a.unmappableName,
        Utf8(row.Alias));
    for (const IPv4Address& address : a.addresses)
      listed.insert({a.index, address.address, address.mask});
  }
  auto addressBuffer = Fetched<MIB_IPADDRTABLE>(
      [](MIB_IPADDRTABLE* table, ULONG* size) { return GetIpAddrTable(table, size, FALSE); });
  const auto* addressTable = reinterpret_cast<const MIB_IPADDRTABLE*>(addressBuffer.data());
  for (DWORD i = 0; i < addressTable->dwNumEntries; ++i) {
    const MIB_IPADDRROW& row = addressTable->table[i];
    inAddressTable.insert({row.dwIndex, dotted(row.dwAddr), dotted(row.dwMask)});
  }
  EXPECT_EQ(listed, inAddressTable);

  // Type, gateway, DNS and WINS servers: the older adapter list, which leaves out loopback
  // (whose DNS servers Wine's two lists disagree on).
  auto servers = [](const IP_ADDR_STRING* list) {
    std::vector<std::string> texts;
    for (; list != nullptr; list = list->Next)
      if (std::string text = list->IpAddress.String; !text.empty() && text != "0.0.0.0")
        texts.push_back(text);
    return texts;
  };
  auto infoBuffer = Fetched<IP_ADAPTER_INFO>(GetAdaptersInfo);
  for (auto* entry = reinterpret_cast<const IP_ADAPTER_INFO*>(infoBuffer.data()); entry != nullptr;
       entry = entry->Next) {
    auto a = std::find_if(adapters.begin(), adapters.end(),
                          [&](const NetworkAdapter& a) { return a.index == entry->Index; });
    ASSERT_NE(a, adapters.end()) << entry->AdapterName;
    SCOPED_TRACE(a->name);
    EXPECT_EQ(a->type, entry->Type);
    const auto gateways = servers(&entry->GatewayList);
    EXPECT_EQ(a->gateway, gateways.empty() ? "" : gateways.front());
    std::vector<std::string> wins;
    if (entry->HaveWins) {
      wins = servers(&entry->PrimaryWinsServer);
      for (const std::string& more : servers(&entry->SecondaryWinsServer)) wins.push_back(more);
    }
    EXPECT_EQ(a->winsServers, wins);
    auto perAdapter = Fetched<IP_PER_ADAPTER_INFO>([&](IP_PER_ADAPTER_INFO* info, ULONG* size) {
      return GetPerAdapterInfo(entry->Index, info, size);
    });
    const auto* dns =
        &reinterpret_cast<const IP_PER_ADAPTER_INFO*>(perAdapter.data())->DnsServerList;
    EXPECT_EQ(a->dnsServers, servers(dns));
  }
}

// Registry values planted for the first two adapters: servers set by hand and hidden; values
// that name no server and a class entry without NCF_HIDDEN.
TEST(Win32NetworkTest, StaticServersAndHiddenComeFromTheInterfacesKeys) {
  auto buffer = Fetched<IP_ADAPTER_ADDRESSES>([](IP_ADAPTER_ADDRESSES* list, ULONG* size) {
    return GetAdaptersAddresses(AF_INET, 0, nullptr, list, size);
  });
  const auto* first = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
  ASSERT_NE(first->Next, nullptr) << "Wine lists loopback and the host's interfaces";
  const std::string set = first->AdapterName, unset = first->Next->AdapterName;

  const std::string tcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
  const std::string netbt =
      "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\Tcpip_";
  const std::string adapterClass =
      "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\";
  auto dword = [](DWORD n) { return std::string(reinterpret_cast<const char*>(&n), sizeof n); };
  const struct {
    std::string key;
    const char* name;
    DWORD type;
    std::string data;
  } values[] = {
      {tcpip + set, "NameServer", REG_SZ, std::string("192.0.2.53,192.0.2.54\0", 22)},
      {netbt + set, "NameServerList", REG_MULTI_SZ, std::string("192.0.2.137\0\0", 13)},
      {adapterClass + "9990", "NetCfgInstanceId", REG_SZ, LowerCase(set) + '\0'},
      {adapterClass + "9990", "Characteristics", REG_DWORD, dword(0x8 | 0x1)},  // hidden, virtual
      {tcpip + unset, "NameServer", REG_SZ, std::string(1, '\0')},
      {netbt + unset, "NameServerList", REG_MULTI_SZ, std::string(2, '\0')},
      {adapterClass + "9991", "NetCfgInstanceId", REG_SZ, unset + '\0'},
      {adapterClass + "9991", "Characteristics", REG_DWORD, dword(0x4 | 0x80)},  // physical, UI
  };
  for (const auto& v : values) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, v.key.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      GTEST_SKIP() << "this machine has its own " << v.key;
    }
  }
  for (const auto& v : values) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, v.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << v.key;
    RegSetValueExA(key, v.name, 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                   static_cast<DWORD>(v.data.size()));
    RegCloseKey(key);
  }
  const auto adapters = platform::CreatePlatform()->network().Adapters();
  for (const auto& v : values) RegDeleteTreeA(HKEY_LOCAL_MACHINE, v.key.c_str());

  ASSERT_GE(adapters.size(), 2u);
  auto facts = [](const NetworkAdapter& a) {
    return std::tuple(a.dnsStatic, a.winsStatic, a.hidden);
  };
  EXPECT_EQ(facts(adapters[0]), std::tuple(true, true, true));
  EXPECT_EQ(facts(adapters[1]), std::tuple(false, false, false));
}

}  // namespace
}  // namespace lanvoy
