#include "apply/proxy_settings.h"

#include "base/strings.h"
#include "platform/registry_access.h"

namespace lanvoy {

namespace {

// Case-insensitive removal of every occurrence of what.
std::string RemoveAllIgnoringCase(const std::string& text, const std::string& what) {
  std::string upper = UpperCase(text), key = UpperCase(what), out;
  std::size_t pos = 0;
  for (;;) {
    std::size_t at = upper.find(key, pos);
    if (at == std::string::npos) break;
    out.append(text, pos, at - pos);
    pos = at + key.size();
  }
  out.append(text, pos, std::string::npos);
  return out;
}

}  // namespace

std::string ProxyForHttp(const std::string& value) {
  if (value.find('=') == std::string::npos) return value;
  // "http=host:port;https=host:port;ftp=...": the http proxy, else the first one named.
  std::string first;
  for (const std::string& entry : SplitLines(ReplaceAll(value, ";", "\r\n"))) {
    const size_t equals = entry.find('=');
    if (equals == std::string::npos) continue;
    const std::string scheme = LowerCase(Trim(entry.substr(0, equals)));
    const std::string server = Trim(entry.substr(equals + 1));
    if (scheme == "http") return server;
    if (first.empty()) first = server;
  }
  return first;
}

std::string BuildProxyOverride(const std::vector<std::string>& exceptions, bool noLocal) {
  std::string text = JoinLines(exceptions);
  while (text.find("\r\n\r\n") != std::string::npos) text = ReplaceAll(text, "\r\n\r\n", "\r\n");
  if (!text.empty()) {
    text = ReplaceAll(text, "\r\n", ";");
    while (!text.empty() && text.back() == ';') text.pop_back();
  }
  if (noLocal) text += text.empty() ? "<local>" : ";<local>";
  return text;
}

void WriteProxySettings(platform::Registry& registry, const std::string& server,
                        const std::string& port, const std::vector<std::string>& exceptions,
                        bool noLocal, bool enable) {
  // The key is opened for each value on its own: one that does not open skips only that value.
  TRegistry reg(registry, platform::RootKey::CurrentUser);
  if (reg.OpenKey(kInternetSettingsKey, true)) reg.WriteString("ProxyServer", server + ":" + port);
  reg.CloseKey();
  if (reg.OpenKey(kInternetSettingsKey, true)) reg.WriteInteger("ProxyEnable", enable ? 1 : 0);
  reg.CloseKey();
  if (reg.OpenKey(kInternetSettingsKey, true))
    reg.WriteString("ProxyOverride", BuildProxyOverride(exceptions, noLocal));
  reg.CloseKey();
}

ProxySettings ReadProxySettings(platform::Registry& registry) {
  ProxySettings proxy;
  TRegistry reg(registry, platform::RootKey::CurrentUser);
  if (reg.OpenKey(kInternetSettingsKey, true)) {
    std::string server = ProxyForHttp(reg.ReadString("ProxyServer"));
    if (!server.empty()) {
      auto colon = server.find(':');
      if (colon == std::string::npos) {
        proxy.Port = server;
      } else {
        proxy.Server = server.substr(0, colon);
        proxy.Port = server.substr(colon + 1);
      }
    }
  }
  reg.CloseKey();
  // A user who never set a proxy has no ProxyEnable: Windows reads that as no proxy.
  if (reg.OpenKey(kInternetSettingsKey, true) && reg.ValueExists("ProxyEnable"))
    proxy.Enable = reg.ReadInteger("ProxyEnable") > 0;
  reg.CloseKey();
  if (reg.OpenKey(kInternetSettingsKey, true)) {
    std::string text = ReplaceAll(reg.ReadString("ProxyOverride"), ";", "\r\n");
    proxy.NoLocal = text.find("<local>") != std::string::npos;
    if (!text.empty()) text = RemoveAllIgnoringCase(text, "<local>");
    proxy.Exceptions = SplitLines(text);
  }
  reg.CloseKey();
  return proxy;
}

}  // namespace lanvoy
