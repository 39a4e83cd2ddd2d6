// The connections of GetAdaptersAddresses as the platform describes them. The translation of
// the list is separate from the calls that fetch it, so that a test can hand it one.
#pragma once

#include "platform/win32/windows_api.h"
// The IP helper's header declares the route table only after ws2ipdef.h.
#include <ws2ipdef.h>

#include <iphlpapi.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lanvoy::win32 {

// What an adapter's entry does not say: facts of the registry, asked by the adapter's
// AdapterName ("{GUID}"), and the metric of its default route through the gateway given.
struct AdapterFacts {
  std::function<bool(const std::string&adapterName)> dnsStatic, winsStatic, hidden;
  std::function<uint32_t(uint32_t ifIndex, const std::string& gateway)> gatewayMetric;
  // Vista and later: the connection's own DNS suffix and its IPv6 DNS servers set by hand
  // (the registry), router discovery and a default route set by hand (the IP helper), the
  // Wi-Fi profiles and the one connected (the WLAN service). Unset: not asked.
  std::function<std::string(const std::string& adapterName)> dnsSuffix;
  std::function<bool(const std::string& adapterName)> ipv6DnsStatic;
  std::function<bool(uint32_t ipv6IfIndex)> routerDiscovery;
  std::function<bool(uint32_t ipv6IfIndex, const std::string& gateway)> ipv6GatewayManual;
  std::function<void(const std::string& adapterName, platform::NetworkAdapter& adapter)> wlan;
};

// An interface row of an adapter switched off, which GetAdaptersAddresses leaves out: a
// hardware interface whose administrative state is down.
struct InterfaceRow {
  uint32_t index = 0, type = 0;
  const wchar_t* alias = nullptr;
  bool hardware = false;
  bool adminDown = false;
};
// The adapters switched off among the rows that the list does not hold already (by index).
void AddSwitchedOff(const std::vector<InterfaceRow>& rows, UINT codePage,
                    std::vector<platform::NetworkAdapter>& adapters);

// Every entry of the list, in its order; names converted to codePage (not CP_ACP itself:
// the code page it stands for). IPv4 and IPv6 (global addresses only) of a list asked for
// with AF_UNSPEC.
std::vector<platform::NetworkAdapter> TranslateAdapters(const IP_ADAPTER_ADDRESSES* first,
                                                        const AdapterFacts& facts, UINT codePage);

}  // namespace lanvoy::win32
