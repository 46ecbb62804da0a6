#include "mail/mail_commands.h"

#include "ids_app.h"

namespace griv {

namespace {
constexpr CommandRule kRules[] = {
    {CM_SENDMAIL, CM_SENDMAIL, kMainMenu | kToolBar, kImage | kMail},
    {CM_SENDMAIL, CM_SENDMAIL, kImageMenu, kMail},  // without an image it mails other files
};
}  // namespace

std::span<const CommandRule> MailCommandRules() { return kRules; }

}  // namespace griv
