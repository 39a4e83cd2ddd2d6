// The Internet proxy of the current user: three values under Internet Settings.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "sysread/current_settings.h"

namespace lanvoy {

inline constexpr const char* kInternetSettingsKey =
    "\\Software\\microsoft\\windows\\currentVersion\\Internet Settings";

// The "ProxyOverride" text built from the exclusion lines: empty lines dropped (but for a
// leading one), ";" between entries, "<local>" last when noLocal.
std::string BuildProxyOverride(const std::vector<std::string>& exceptions, bool noLocal);

void WriteProxySettings(platform::Registry& registry, const std::string& server,
                        const std::string& port, const std::vector<std::string>& exceptions,
                        bool noLocal, bool enable);

// The server of "ProxyServer" that browsing uses: the value itself, or of the per-protocol
// form ("http=host:port;https=host:port") the http one, else the first.
std::string ProxyForHttp(const std::string& value);

// A missing value reads as Windows reads it: no server, no proxy.
ProxySettings ReadProxySettings(platform::Registry& registry);

}  // namespace lanvoy
