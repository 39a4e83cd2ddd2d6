#include "platform/win32/network_adapters.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/strings.h"
#include "platform/win32/win32_parts.h"

#include <wlanapi.h>

namespace lanvoy::win32 {

namespace {

using platform::RootKey;

// The network adapters' device class; an entry's NetCfgInstanceId is an AdapterName.
constexpr const char* kAdapterClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";
constexpr const char* kTcpipInterfaces =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
constexpr const char* kNetbtInterfaces =
    "SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\Tcpip_";
constexpr DWORD kNcfHidden = 0x8;

// Whether an entry holds a member: one of an older Windows (XP's) ends before the members
// that Vista added, the gateways and the prefix lengths.
template <typename Entry, typename Member>
bool Holds(const Entry& entry, Member Entry::*member) {
  const char* end = reinterpret_cast<const char*>(&(entry.*member)) + sizeof(Member);
  return end - reinterpret_cast<const char*>(&entry) <= static_cast<std::ptrdiff_t>(entry.Length);
}

std::string Dotted(const IN_ADDR& address) {
  const auto& b = address.S_un.S_un_b;
  return std::to_string(b.s_b1) + "." + std::to_string(b.s_b2) + "." + std::to_string(b.s_b3) +
         "." + std::to_string(b.s_b4);
}

std::optional<std::string> IPv4Text(const SOCKET_ADDRESS& address) {
  if (address.lpSockaddr == nullptr || address.iSockaddrLength < int{sizeof(sockaddr_in)} ||
      address.lpSockaddr->sa_family != AF_INET)
    return std::nullopt;
  return Dotted(reinterpret_cast<const sockaddr_in*>(address.lpSockaddr)->sin_addr);
}

std::string MaskText(unsigned prefixLength) {
  const uint32_t mask = prefixLength == 0 ? 0 : 0xFFFFFFFFu << (32 - std::min(prefixLength, 32u));
  return std::to_string(mask >> 24) + "." + std::to_string((mask >> 16) & 0xFF) + "." +
         std::to_string((mask >> 8) & 0xFF) + "." + std::to_string(mask & 0xFF);
}

std::optional<std::string> IPv6Text(const SOCKET_ADDRESS& address) {
  if (address.lpSockaddr == nullptr || address.iSockaddrLength < int{sizeof(sockaddr_in6)} ||
      address.lpSockaddr->sa_family != AF_INET6)
    return std::nullopt;
  const auto& bytes = reinterpret_cast<const sockaddr_in6*>(address.lpSockaddr)->sin6_addr.s6_addr;
  uint16_t groups[8];
  for (int i = 0; i < 8; ++i)
    groups[i] = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
  // The longest run of two or more zero groups becomes "::", as Windows writes it.
  int bestAt = -1, bestLength = 1;
  for (int i = 0; i < 8;) {
    int j = i;
    while (j < 8 && groups[j] == 0) ++j;
    if (j - i > bestLength) bestAt = i, bestLength = j - i;
    i = j == i ? i + 1 : j;
  }
  std::string text;
  char hex[8];
  for (int i = 0; i < 8; ++i) {
    if (i == bestAt) {
      text += "::";
      i += bestLength - 1;
      continue;
    }
    if (!text.empty() && text.back() != ':') text += ':';
    std::snprintf(hex, sizeof hex, "%x", groups[i]);
    text += hex;
  }
  return text;
}

bool IsLinkLocal(const std::string& text) {
  return text.size() >= 4 && (text.compare(0, 3, "fe8") == 0 || text.compare(0, 3, "fe9") == 0 ||
                              text.compare(0, 3, "fea") == 0 || text.compare(0, 3, "feb") == 0);
}

// The addresses of a list of one family, by the converter of that family.
template <typename Entry>
std::vector<std::string> Texts(const Entry* first,
                               std::optional<std::string> (*text)(const SOCKET_ADDRESS&)) {
  std::vector<std::string> texts;
  for (const Entry* entry = first; entry != nullptr; entry = entry->Next)
    if (auto one = text(entry->Address)) texts.push_back(*one);
  return texts;
}
template <typename Entry>
std::vector<std::string> IPv4Texts(const Entry* first) {
  return Texts(first, IPv4Text);
}
template <typename Entry>
std::vector<std::string> IPv6Texts(const Entry* first) {
  return Texts(first, IPv6Text);
}

// The name in the code page; where a character has no place there (no look-alike taken), the
// name keeps the default character and unmappableName gets the whole name in UTF-8.
void ConvertName(const wchar_t* wide, UINT codePage, platform::NetworkAdapter& adapter) {
  const int length = wide != nullptr ? static_cast<int>(std::wcslen(wide)) : 0;
  if (length == 0) return;
  auto utf8 = [&] {
    std::string text(static_cast<std::size_t>(length) * 3, '\0');
    text.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_UTF8, 0, wide, length, text.data(), static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
  };
  if (codePage == CP_UTF8) {  // which takes no flags and no default: every character fits
    adapter.name = utf8();
    return;
  }
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                       nullptr, nullptr);
  if (size > 0) {
    adapter.name.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, adapter.name.data(), size,
                        nullptr, &usedDefault);
  } else {
    adapter.name.assign(static_cast<std::size_t>(length), '?');
  }
  if (size <= 0 || usedDefault) adapter.unmappableName = utf8();
}

// A list of servers set by hand: the value holds something besides NULs and separators.
bool HoldsServers(const std::string& path, const char* name) {
  auto value = ReadRegistryValue(RootKey::LocalMachine, path, name);
  if (!value || (value->type != REG_SZ && value->type != REG_MULTI_SZ)) return false;
  return value->bytes.find_first_not_of(std::string("\0 ,", 3)) != std::string::npos;
}

// The NetCfgInstanceIds (upper case) of the adapter class's entries with NCF_HIDDEN.
std::set<std::string> HiddenAdapterNames() {
  std::set<std::string> hidden;
  for (const std::string& entry : RegistrySubKeys(RootKey::LocalMachine, kAdapterClassKey)) {
    const std::string path = std::string(kAdapterClassKey) + "\\" + entry;
    auto id = ReadRegistryValue(RootKey::LocalMachine, path, "NetCfgInstanceId");
    auto characteristics = ReadRegistryValue(RootKey::LocalMachine, path, "Characteristics");
    if (!id || id->type != REG_SZ || !characteristics || characteristics->type != REG_DWORD ||
        characteristics->bytes.size() != sizeof(DWORD))
      continue;
    DWORD flags = 0;
    std::memcpy(&flags, characteristics->bytes.data(), sizeof flags);
    if (flags & kNcfHidden) hidden.insert(UpperCase(id->bytes.substr(0, id->bytes.find('\0'))));
  }
  return hidden;
}

struct DefaultRoute {
  uint32_t ifIndex;
  std::string nextHop;
  uint32_t metric;
  bool manual;  // set by hand (netsh, route add), not learnt from a router
};

// The IPv4 routes to 0.0.0.0/0. GetIpForwardTable2 is looked up: it came with Vista, and the
// program still starts on XP (no routes then).
std::vector<DefaultRoute> DefaultRoutes(ADDRESS_FAMILY family = AF_INET) {
  using GetTable = DWORD(WINAPI*)(ADDRESS_FAMILY, PMIB_IPFORWARD_TABLE2*);
  using FreeTable = void(WINAPI*)(void*);
  HMODULE iphlpapi = GetModuleHandleA("iphlpapi.dll");
  if (iphlpapi == nullptr) return {};
  auto getTable = reinterpret_cast<GetTable>(
      reinterpret_cast<void*>(GetProcAddress(iphlpapi, "GetIpForwardTable2")));
  auto freeTable = reinterpret_cast<FreeTable>(
      reinterpret_cast<void*>(GetProcAddress(iphlpapi, "FreeMibTable")));
  PMIB_IPFORWARD_TABLE2 table = nullptr;
  if (!getTable || !freeTable || getTable(family, &table) != NO_ERROR) return {};
  std::vector<DefaultRoute> routes;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IPFORWARD_ROW2& row = table->Table[i];
    if (row.DestinationPrefix.PrefixLength != 0 || row.DestinationPrefix.Prefix.si_family != family)
      continue;
    std::string nextHop;
    if (family == AF_INET) {
      nextHop = Dotted(row.NextHop.Ipv4.sin_addr);
    } else {
      SOCKET_ADDRESS address{
          reinterpret_cast<sockaddr*>(const_cast<SOCKADDR_IN6*>(&row.NextHop.Ipv6)),
          sizeof(sockaddr_in6)};
      nextHop = IPv6Text(address).value_or("");
    }
    routes.push_back(
        {row.InterfaceIndex, nextHop, row.Metric, row.Protocol == MIB_IPPROTO_NETMGMT});
  }
  freeTable(table);
  return routes;
}

// The route through the gateway named; another default route of the interface when none is.
uint32_t RouteMetric(const std::vector<DefaultRoute>& routes, uint32_t ifIndex,
                     const std::string& gateway) {
  const DefaultRoute* found = nullptr;
  for (const DefaultRoute& route : routes) {
    if (route.ifIndex != ifIndex) continue;
    if (route.nextHop == gateway) return route.metric;
    if (found == nullptr) found = &route;
  }
  return found != nullptr ? found->metric : 0;
}

constexpr const char* kTcpip6Interfaces =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip6\\Parameters\\Interfaces\\";

template <typename Function>
Function LookUp(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  // From System32 only: the elevated copy must not take a DLL planted beside the program.
  if (handle == nullptr) handle = LoadLibraryExA(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return handle == nullptr
             ? nullptr
             : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

// Whether the IPv6 interface learns addresses and routes from routers (Vista and later).
bool RouterDiscovery(uint32_t ipv6IfIndex) {
  using Get = DWORD(WINAPI*)(PMIB_IPINTERFACE_ROW);
  auto get = LookUp<Get>("iphlpapi.dll", "GetIpInterfaceEntry");
  if (get == nullptr || ipv6IfIndex == 0) return true;
  MIB_IPINTERFACE_ROW row{};
  row.Family = AF_INET6;
  row.InterfaceIndex = ipv6IfIndex;
  if (get(&row) != NO_ERROR) return true;
  return row.RouterDiscoveryBehavior != RouterDiscoveryDisabled;
}

std::optional<GUID> GuidOf(const std::string& text) {
  unsigned long a = 0;
  unsigned b = 0, c = 0, d[8] = {};
  if (std::sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &a, &b, &c, &d[0],
                  &d[1], &d[2], &d[3], &d[4], &d[5], &d[6], &d[7]) != 11)
    return std::nullopt;
  GUID guid{static_cast<DWORD>(a), static_cast<WORD>(b), static_cast<WORD>(c), {}};
  for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<BYTE>(d[i]);
  return guid;
}

std::string Ansi(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

// The WLAN service, opened at the first Wi-Fi adapter; absent where it does not run.
class Wlan {
 public:
  ~Wlan() {
    if (handle_ != nullptr && close_ != nullptr) close_(handle_, nullptr);
  }
  void Read(const std::string& adapterName, platform::NetworkAdapter& adapter) {
    if (!Open()) return;
    const auto guid = GuidOf(adapterName);
    if (!guid) return;
    PWLAN_PROFILE_INFO_LIST list = nullptr;
    if (profiles_(handle_, &*guid, nullptr, &list) == ERROR_SUCCESS && list != nullptr) {
      for (DWORD i = 0; i < list->dwNumberOfItems; ++i)
        adapter.wlanProfiles.push_back(Ansi(list->ProfileInfo[i].strProfileName));
      free_(list);
    }
    DWORD size = 0;
    void* data = nullptr;
    if (query_(handle_, &*guid, wlan_intf_opcode_current_connection, nullptr, &size, &data,
               nullptr) == ERROR_SUCCESS &&
        data != nullptr) {
      const auto* connection = static_cast<const WLAN_CONNECTION_ATTRIBUTES*>(data);
      if (connection->isState == wlan_interface_state_connected)
        adapter.wlanConnected = Ansi(connection->strProfileName);
      free_(data);
    }
  }

 private:
  bool Open() {
    if (tried_) return handle_ != nullptr;
    tried_ = true;
    auto open =
        LookUp<DWORD(WINAPI*)(DWORD, PVOID, PDWORD, PHANDLE)>("wlanapi.dll", "WlanOpenHandle");
    close_ = LookUp<DWORD(WINAPI*)(HANDLE, PVOID)>("wlanapi.dll", "WlanCloseHandle");
    profiles_ = LookUp<decltype(profiles_)>("wlanapi.dll", "WlanGetProfileList");
    query_ = LookUp<decltype(query_)>("wlanapi.dll", "WlanQueryInterface");
    free_ = LookUp<void(WINAPI*)(PVOID)>("wlanapi.dll", "WlanFreeMemory");
    DWORD version = 0;
    if (!open || !close_ || !profiles_ || !query_ || !free_ ||
        open(2, nullptr, &version, &handle_) != ERROR_SUCCESS)
      handle_ = nullptr;
    return handle_ != nullptr;
  }
  bool tried_ = false;
  HANDLE handle_ = nullptr;
  DWORD(WINAPI* close_)(HANDLE, PVOID) = nullptr;
  DWORD(WINAPI* profiles_)(HANDLE, const GUID*, PVOID, PWLAN_PROFILE_INFO_LIST*) = nullptr;
  DWORD(WINAPI* query_)
  (HANDLE, const GUID*, WLAN_INTF_OPCODE, PVOID, PDWORD, PVOID*, PWLAN_OPCODE_VALUE_TYPE) = nullptr;
  void(WINAPI* free_)(PVOID) = nullptr;
};

// The interface table's rows (GetIfTable2, Vista and later).
std::vector<InterfaceRow> InterfaceRows() {
  using GetTable = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
  using FreeTable = void(WINAPI*)(void*);
  auto getTable = LookUp<GetTable>("iphlpapi.dll", "GetIfTable2");
  auto freeTable = LookUp<FreeTable>("iphlpapi.dll", "FreeMibTable");
  PMIB_IF_TABLE2 table = nullptr;
  if (!getTable || !freeTable || getTable(&table) != NO_ERROR) return {};
  static thread_local std::vector<std::wstring> aliases;  // the rows point into them
  aliases.clear();
  std::vector<InterfaceRow> rows;
  for (ULONG i = 0; i < table->NumEntries; ++i) aliases.emplace_back(table->Table[i].Alias);
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IF_ROW2& row = table->Table[i];
    rows.push_back({row.InterfaceIndex, row.Type, aliases[i].c_str(),
                    row.InterfaceAndOperStatusFlags.HardwareInterface != FALSE,
                    row.AdminStatus == NET_IF_ADMIN_STATUS_DOWN});
  }
  freeTable(table);
  return rows;
}

// Connection names and their AdapterNames, of the adapters switched on.
std::vector<std::pair<std::string, std::string>> AdapterNames() {
  std::vector<ULONGLONG> buffer(16 * 1024);
  ULONG size = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
  if (GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_SKIP_UNICAST | GAA_FLAG_SKIP_DNS_SERVER, nullptr,
                           reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()),
                           &size) != NO_ERROR)
    return {};
  std::vector<std::pair<std::string, std::string>> names;
  for (auto* a = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); a; a = a->Next) {
    platform::NetworkAdapter converted;
    ConvertName(a->FriendlyName, GetACP(), converted);
    names.emplace_back(converted.name, a->AdapterName != nullptr ? a->AdapterName : "");
  }
  return names;
}

// SetInterfaceDnsSettings with the domain only; false where Windows lacks the call.
bool SetWithInterfaceDnsSettings(const std::string& adapterName, const std::string& suffix) {
  // DNS_INTERFACE_SETTINGS (version 1) as netioapi.h of Windows 10 2004 declares it.
  struct Settings {
    ULONG Version;
    ULONG64 Flags;
    PWSTR Domain, NameServer, SearchList;
    ULONG RegistrationEnabled, RegisterAdapterName, EnableLLMNR, QueryAdapterName;
    PWSTR ProfileNameServer;
  };
  using Set = DWORD(WINAPI*)(GUID, const Settings*);
  auto set = LookUp<Set>("iphlpapi.dll", "SetInterfaceDnsSettings");
  const auto guid = GuidOf(adapterName);
  if (set == nullptr || !guid) return false;
  std::wstring wide(suffix.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(
      std::max(0, MultiByteToWideChar(CP_ACP, 0, suffix.c_str(), static_cast<int>(suffix.size()),
                                      wide.data(), static_cast<int>(wide.size())))));
  Settings settings{};
  settings.Version = 1;     // DNS_INTERFACE_SETTINGS_VERSION1
  settings.Flags = 0x0004;  // DNS_SETTING_DOMAIN
  settings.Domain = wide.data();
  const DWORD rc = set(*guid, &settings);
  if (rc != NO_ERROR) throw Error("Cannot set the DNS suffix: " + SystemErrorText(rc));
  return true;
}

class Win32Network : public platform::Network {
 public:
  std::vector<platform::NetworkAdapter> Adapters() override {
    constexpr ULONG kFlags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_INCLUDE_WINS_INFO |
                             GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST;
    std::vector<ULONGLONG> buffer;  // aligned as the entries need
    ULONG size = 15 * 1024;         // Microsoft's advice for the first call
    ULONG rc = ERROR_BUFFER_OVERFLOW;
    // The list may grow between a call and the next, so a few tries.
    for (int attempt = 0; attempt < 3 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
      buffer.resize(size / sizeof(ULONGLONG) + 1);
      size = static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
      rc = GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr,
                                reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (rc == ERROR_NO_DATA) return {};
    if (rc != NO_ERROR) throw Error("Cannot read the network connections: " + SystemErrorText(rc));

    // Read once per call, and only when an adapter asks.
    std::optional<std::set<std::string>> hidden;
    std::optional<std::vector<DefaultRoute>> routes;
    AdapterFacts facts;
    facts.dnsStatic = [](const std::string& name) {
      return !name.empty() && HoldsServers(kTcpipInterfaces + name, "NameServer");
    };
    facts.winsStatic = [](const std::string& name) {
      return !name.empty() && HoldsServers(kNetbtInterfaces + name, "NameServerList");
    };
    facts.hidden = [&](const std::string& name) {
      if (!hidden) hidden = HiddenAdapterNames();
      return hidden->count(UpperCase(name)) > 0;
    };
    facts.gatewayMetric = [&](uint32_t ifIndex, const std::string& gateway) {
      if (!routes) routes = DefaultRoutes();
      return RouteMetric(*routes, ifIndex, gateway);
    };
    facts.dnsSuffix = [](const std::string& name) {
      auto value = name.empty() ? std::nullopt
                                : ReadRegistryValue(RootKey::LocalMachine, kTcpipInterfaces + name,
                                                    "Domain");
      if (!value || value->type != REG_SZ) return std::string();
      return value->bytes.substr(0, value->bytes.find('\0'));
    };
    facts.ipv6DnsStatic = [](const std::string& name) {
      return !name.empty() && HoldsServers(kTcpip6Interfaces + name, "NameServer");
    };
    facts.routerDiscovery = RouterDiscovery;
    std::optional<std::vector<DefaultRoute>> routes6;
    facts.ipv6GatewayManual = [&](uint32_t ifIndex, const std::string& gateway) {
      if (!routes6) routes6 = DefaultRoutes(AF_INET6);
      return std::any_of(routes6->begin(), routes6->end(), [&](const DefaultRoute& r) {
        return r.ifIndex == ifIndex && r.nextHop == gateway && r.manual;
      });
    };
    Wlan wlan;
    facts.wlan = [&](const std::string& name, platform::NetworkAdapter& adapter) {
      wlan.Read(name, adapter);
    };
    auto adapters = TranslateAdapters(reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()),
                                      facts, GetACP());
    AddSwitchedOff(InterfaceRows(), GetACP(), adapters);
    return adapters;
  }

  void SetDnsSuffix(const std::string& connection, const std::string& suffix) override {
    std::string adapterName;
    for (const auto& a : AdapterNames())
      if (SameText(a.first, connection)) adapterName = a.second;
    if (adapterName.empty())
      throw Error("Cannot set the DNS suffix of \"" + connection +
                  "\": Windows has no such connection switched on.");
    // The documented call of Windows 10 2004 and later; before it the interface's value.
    if (SetWithInterfaceDnsSettings(adapterName, suffix)) return;
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kTcpipInterfaces + adapterName).c_str(), 0,
                            KEY_SET_VALUE, &key);
    if (rc == ERROR_SUCCESS) {
      rc = RegSetValueExA(key, "Domain", 0, REG_SZ, reinterpret_cast<const BYTE*>(suffix.c_str()),
                          static_cast<DWORD>(suffix.size() + 1));
      RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS)
      throw Error("Cannot set the DNS suffix of \"" + connection + "\": " + SystemErrorText(rc));
  }
};

}  // namespace

std::vector<platform::NetworkAdapter> TranslateAdapters(const IP_ADAPTER_ADDRESSES* first,
                                                        const AdapterFacts& facts, UINT codePage) {
  std::vector<platform::NetworkAdapter> adapters;
  for (const IP_ADAPTER_ADDRESSES* entry = first; entry != nullptr; entry = entry->Next) {
    platform::NetworkAdapter adapter;
    const std::string adapterName = entry->AdapterName != nullptr ? entry->AdapterName : "";
    ConvertName(entry->FriendlyName, codePage, adapter);
    adapter.index = entry->IfIndex;
    adapter.type = entry->IfType;
    adapter.dhcp = (entry->Flags & IP_ADAPTER_DHCP_ENABLED) != 0;
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = entry->FirstUnicastAddress; unicast != nullptr;
         unicast = unicast->Next) {
      if (auto address = IPv4Text(unicast->Address))
        adapter.addresses.push_back(
            {*address, Holds(*unicast, &IP_ADAPTER_UNICAST_ADDRESS::OnLinkPrefixLength)
                           ? MaskText(unicast->OnLinkPrefixLength)
                           : ""});
    }
    if (Holds(*entry, &IP_ADAPTER_ADDRESSES::FirstGatewayAddress)) {
      auto gateways = IPv4Texts(entry->FirstGatewayAddress);
      if (!gateways.empty()) adapter.gateway = gateways.front();
    }
    if (!adapter.gateway.empty())
      adapter.gatewayMetric = facts.gatewayMetric(adapter.index, adapter.gateway);
    adapter.dnsServers = IPv4Texts(entry->FirstDnsServerAddress);
    adapter.dnsStatic = facts.dnsStatic(adapterName);
    if (Holds(*entry, &IP_ADAPTER_ADDRESSES::FirstWinsServerAddress))
      adapter.winsServers = IPv4Texts(entry->FirstWinsServerAddress);
    adapter.winsStatic = facts.winsStatic(adapterName);
    adapter.hidden = facts.hidden(adapterName);
    if (facts.dnsSuffix) adapter.dnsSuffix = facts.dnsSuffix(adapterName);
    adapter.ipv6 = Holds(*entry, &IP_ADAPTER_ADDRESSES::Ipv6IfIndex) && entry->Ipv6IfIndex != 0 &&
                   (entry->Flags & IP_ADAPTER_IPV6_ENABLED) != 0;
    if (adapter.ipv6) {
      for (auto* unicast = entry->FirstUnicastAddress; unicast != nullptr; unicast = unicast->Next)
        if (auto address = IPv6Text(unicast->Address); address && !IsLinkLocal(*address))
          adapter.ipv6Addresses.push_back(
              {*address,
               Holds(*unicast, &IP_ADAPTER_UNICAST_ADDRESS::OnLinkPrefixLength)
                   ? unicast->OnLinkPrefixLength
                   : 64u,
               unicast->PrefixOrigin == IpPrefixOriginManual});
      if (Holds(*entry, &IP_ADAPTER_ADDRESSES::FirstGatewayAddress)) {
        auto gateways = IPv6Texts(entry->FirstGatewayAddress);
        if (!gateways.empty()) adapter.ipv6Gateway = gateways.front();
      }
      if (facts.routerDiscovery)
        adapter.ipv6RouterDiscovery = facts.routerDiscovery(entry->Ipv6IfIndex);
      if (!adapter.ipv6Gateway.empty() && facts.ipv6GatewayManual)
        adapter.ipv6GatewayManual =
            facts.ipv6GatewayManual(entry->Ipv6IfIndex, adapter.ipv6Gateway);
      adapter.ipv6DnsServers = IPv6Texts(entry->FirstDnsServerAddress);
      if (facts.ipv6DnsStatic) adapter.ipv6DnsStatic = facts.ipv6DnsStatic(adapterName);
    }
    if (adapter.type == platform::kIfTypeWifi && facts.wlan) facts.wlan(adapterName, adapter);
    adapters.push_back(std::move(adapter));
  }
  return adapters;
}

void AddSwitchedOff(const std::vector<InterfaceRow>& rows, UINT codePage,
                    std::vector<platform::NetworkAdapter>& adapters) {
  for (const InterfaceRow& row : rows) {
    if (!row.hardware || !row.adminDown) continue;
    if (std::any_of(adapters.begin(), adapters.end(),
                    [&](const platform::NetworkAdapter& a) { return a.index == row.index; }))
      continue;
    platform::NetworkAdapter adapter;
    ConvertName(row.alias, codePage, adapter);
    adapter.index = row.index;
    adapter.type = row.type;
    adapter.enabled = false;
    adapters.push_back(std::move(adapter));
  }
}

std::unique_ptr<platform::Network> MakeNetwork() {
  return std::make_unique<Win32Network>();
}

}  // namespace lanvoy::win32
