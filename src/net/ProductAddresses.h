#pragma once

// Where the product lives on the web, in one place: the About box, the update check's
// default server, the mail and mailing-list commands.
namespace ProductAddresses {
inline constexpr const char *WebHost = "kinetrope.ostrevan.org";
inline constexpr const char *WebAddress = "https://kinetrope.ostrevan.org/";
inline constexpr const char *MailAddress = "kinetrope@ostrevan.org";
inline constexpr const char *MailingList = "https://kinetrope.ostrevan.org/mailing-list";
} // namespace ProductAddresses
