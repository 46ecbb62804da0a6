// "Send as Email": the image on show goes to the mail program, through the
// send-mail window and the Simple MAPI client, or through Outlook.
#include "app/main_form_win.h"

#include "base/scope_exit.h"
#include "mail/email_send_win.h"
#include "mail/outlook_win.h"
#include "shell/ui_win.h"

namespace griv {

namespace {
constexpr char kMailImageName[] = "~email.jpg";
constexpr int kMailWindowOffset = 15;  // from the main window's top-left corner
}  // namespace

void TfrmCaptureForm::mnuSendMailClick() {
  shk1_->SetActive(false);
  ScopeExit keysOn([&] { shk1_->SetActive(true); });

  const std::string attachment = MailAttachment();

  if (settings_.UseOutlook) {
    try {
      MailWithOutlook(attachment);
    } catch (const EOutlookError& e) {
      ShowMessage(e.what(), dialogCaption_, MB_OK | MB_ICONWARNING);
    }
    return;
  }

  TEmailSend window(inst_, dialogCaption_, workFolder_);
  if (!window.Email1.MapiAvail()) {
    ShowMessage(kMapiNotConfigured, dialogCaption_, MB_OK | MB_ICONWARNING);
    mailAvailable_ = false;
    UpdateCommands();
    return;
  }
  RECT r{};
  GetWindowRect(Handle(), &r);
  const int offset = Scale(kMailWindowOffset, DpiOf(Handle()));
  if (!attachment.empty()) window.AddAttachment(attachment);
  window.ShowEncryptImages();
  window.SetEncryptFormat(settings_.EncryptFormat);
  window.ShowModal(Handle(), r.left + offset, r.top + offset);
}

// The file that goes with the mail: the image's own file when it has one,
// else the full image written as a JPEG into the work folder; none without an image.
std::string TfrmCaptureForm::MailAttachment() {
  if (!doc_.Present()) return {};
  if (!currentFileName_.empty()) return currentFileName_;
  const std::string name = workFolder_ + kMailImageName;
  WriteImageFile(name, true, false);
  return name;
}

}  // namespace griv
