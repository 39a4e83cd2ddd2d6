// The server names of the default Outlook Express mail account.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"
#include "sysread/current_settings.h"

namespace lanvoy {

inline constexpr const char* kAccountManagerKey = "\\Software\\Microsoft\\Internet Account Manager";
inline constexpr const char* kAccountsKey =
    "\\Software\\Microsoft\\Internet Account Manager\\Accounts\\";
inline constexpr const char* kMailClientWindowClass = "Outlook Express Browser Class";

inline constexpr const char* kNoMailAccountMessage =
    "This computer has no default account of Outlook Express (Windows 10 and 11 have none): "
    "the mail servers of the profile are not applied.";

// The account's key path; nullopt when no default account is named.
std::optional<std::string> DefaultMailAccountKey(platform::Registry& registry);

// The account's kind decides the incoming server: "IMAP Server" and "POP3 Server" are written
// only where they already hold a value; "SMTP Server" always.
void WriteMailServers(platform::Registry& registry, const std::string& imap,
                      const std::string& smtp, const std::string& pop);

// Whether the default account is named and its key opens.
bool MailAccountExists(platform::Registry& registry);

// nullopt when the account key does not open (the fields then keep their text).
std::optional<MailServers> ReadMailServers(platform::Registry& registry);

bool IsMailClientRunning(platform::System& system);

}  // namespace lanvoy
