#include "mail/mail_commands_win.h"

#include "ids_app.h"
#include "mail/email_send_win.h"
#include "mail/mail_commands.h"
#include "mail/outlook_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr char kMailImageName[] = "~email.jpg";
constexpr int kMailWindowOffset = 15;  // from the main window's top-left corner
}  // namespace

void MailCommands::AddTo(CommandTable& table) {
  table.Add(MailCommandRules(), {{CM_SENDMAIL, CM_SENDMAIL, [this](int) { SendMail(); }}});
  table.AddState([this](CommandContext& c) { c.mail = mailAvailable_; });
}

void MailCommands::SendMail() {
  HotKeysOff keys(app_);
  const std::string attachment = Attachment();

  if (settings_.UseOutlook) {
    try {
      MailWithOutlook(attachment);
    } catch (const EOutlookError& e) {
      ShowMessage(app_.Window(), e.what(), app_.DialogCaption(), MB_OK | MB_ICONWARNING);
    }
    return;
  }

  TEmailSend window(app_.Resources(), app_.DialogCaption(), workFolder_);
  if (!window.Email1.MapiAvail()) {
    ShowMessage(app_.Window(), kMapiNotConfigured, app_.DialogCaption(), MB_OK | MB_ICONWARNING);
    mailAvailable_ = false;
    app_.UpdateCommands();
    return;
  }
  RECT r{};
  GetWindowRect(app_.Window(), &r);
  const int offset = Scale(kMailWindowOffset, app_.Dpi());
  if (!attachment.empty()) window.AddAttachment(attachment);
  window.ShowEncryptImages();
  window.SetEncryptFormat(settings_.EncryptFormat);
  window.ShowModal(app_.Window(), r.left + offset, r.top + offset);
}

std::string MailCommands::Attachment() {
  if (!doc_.Present()) return {};
  // The picture's own file, unless it has changed since (marks, stamps, greys).
  if (!files_.CurrentFileName().empty() && !doc_.Changed()) return files_.CurrentFileName();
  const std::string name = workFolder_ + kMailImageName;
  files_.WriteImageFile(name, true, false);
  return name;
}

}  // namespace griv
