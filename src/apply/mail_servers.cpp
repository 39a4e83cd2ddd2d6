#include "apply/mail_servers.h"

#include "platform/registry_access.h"

namespace lanvoy {

std::optional<std::string> DefaultMailAccountKey(platform::Registry& registry) {
  TRegistry reg(registry, platform::RootKey::CurrentUser);
  if (!reg.OpenKey(kAccountManagerKey, false)) return std::nullopt;
  std::string name = reg.ReadString("Default Mail Account");
  // Without a name the path would be the parent of all accounts, which serves no account.
  if (name.empty()) return std::nullopt;
  return std::string(kAccountsKey) + name;
}

void WriteMailServers(platform::Registry& registry, const std::string& imap,
                      const std::string& smtp, const std::string& pop) {
  auto account = DefaultMailAccountKey(registry);
  if (!account) return;
  TRegistry reg(registry, platform::RootKey::CurrentUser);
  if (!reg.OpenKey(*account, false)) return;
  if (!reg.ReadString("IMAP Server").empty()) reg.WriteString("IMAP Server", imap);
  if (!reg.ReadString("POP3 Server").empty()) reg.WriteString("POP3 Server", pop);
  reg.WriteString("SMTP Server", smtp);
}

std::optional<MailServers> ReadMailServers(platform::Registry& registry) {
  auto account = DefaultMailAccountKey(registry);
  if (!account) return std::nullopt;
  TRegistry reg(registry, platform::RootKey::CurrentUser);
  if (!reg.OpenKey(*account, false)) return std::nullopt;
  MailServers mail;
  mail.Imap = reg.ReadString("IMAP Server");
  mail.Smtp = reg.ReadString("SMTP Server");
  mail.Pop = reg.ReadString("POP3 Server");
  return mail;
}

bool MailAccountExists(platform::Registry& registry) {
  auto account = DefaultMailAccountKey(registry);
  return account && TRegistry(registry, platform::RootKey::CurrentUser).OpenKey(*account, false);
}

bool IsMailClientRunning(platform::System& system) {
  return system.FindWindowByClass(kMailClientWindowClass);
}

}  // namespace lanvoy
