#include "platform/win32/network_adapters.h"

#include <algorithm>
#include <cstddef>
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

template <typename Entry>
std::vector<std::string> IPv4Texts(const Entry* first) {
  std::vector<std::string> texts;
  for (const Entry* entry = first; entry != nullptr; entry = entry->Next)
    if (auto text = IPv4Text(entry->Address)) texts.push_back(*text);
  return texts;
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
};

// The IPv4 routes to 0.0.0.0/0. GetIpForwardTable2 is looked up: it came with Vista, and the
// program still starts on XP (no routes then).
std::vector<DefaultRoute> DefaultRoutes() {
  using GetTable = DWORD(WINAPI*)(ADDRESS_FAMILY, PMIB_IPFORWARD_TABLE2*);
  using FreeTable = void(WINAPI*)(void*);
  HMODULE iphlpapi = GetModuleHandleA("iphlpapi.dll");
  if (iphlpapi == nullptr) return {};
  auto getTable = reinterpret_cast<GetTable>(
      reinterpret_cast<void*>(GetProcAddress(iphlpapi, "GetIpForwardTable2")));
  auto freeTable = reinterpret_cast<FreeTable>(
      reinterpret_cast<void*>(GetProcAddress(iphlpapi, "FreeMibTable")));
  PMIB_IPFORWARD_TABLE2 table = nullptr;
  if (!getTable || !freeTable || getTable(AF_INET, &table) != NO_ERROR) return {};
  std::vector<DefaultRoute> routes;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IPFORWARD_ROW2& row = table->Table[i];
    if (row.DestinationPrefix.PrefixLength == 0 &&
        row.DestinationPrefix.Prefix.si_family == AF_INET)
      routes.push_back({row.InterfaceIndex, Dotted(row.NextHop.Ipv4.sin_addr), row.Metric});
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
      rc = GetAdaptersAddresses(AF_INET, kFlags, nullptr,
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
    return TranslateAdapters(reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()), facts,
                             GetACP());
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
    adapters.push_back(std::move(adapter));
  }
  return adapters;
}

std::unique_ptr<platform::Network> MakeNetwork() {
  return std::make_unique<Win32Network>();
}

}  // namespace lanvoy::win32
