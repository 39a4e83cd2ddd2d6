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
    std::string server = reg.ReadString("ProxyServer");
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
  if (reg.OpenKey(kInternetSettingsKey, true)) proxy.Enable = reg.ReadInteger("ProxyEnable") > 0;
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
