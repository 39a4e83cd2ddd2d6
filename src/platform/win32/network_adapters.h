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
};

// Every entry of the list, in its order; names converted to codePage (not CP_ACP itself:
// the code page it stands for). IPv4 addresses only.
std::vector<platform::NetworkAdapter> TranslateAdapters(const IP_ADAPTER_ADDRESSES* first,
                                                        const AdapterFacts& facts, UINT codePage);

}  // namespace lanvoy::win32
