// TEmailSend: the window in which the user writes a mail (recipients,
// subject, text), manages its attachment files, may have them encrypted, and
// sends it through the mail client with Email1.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"
#include "mail/email_win.h"
#include "mail/mail_message.h"
#include "ui/speed_button_win.h"
#include "ui/window_base_win.h"

namespace griv {

inline constexpr char kEmailSendCaption[] = "GRIV Screen Capture -- Send Email";
inline constexpr char kMapiNotConfigured[] =
    "Your system is not configured for MAPI Mail.\r\nMAPI mail is required for GRIV Send Mail";
inline constexpr char kMapiLogonFailed[] = "MAPI Logon failed.";
inline constexpr char kUnableToEncryptAttachment[] = "Unable to Encrypt the File";

class TEmailSend : private DialogBase {
 public:
  // resources: where the window's layout is; dialogCaption titles its
  // messages; encrypted attachments are written into workFolder; library:
  // the process's mail client unless a test hands in its own. Creating the
  // window logs on to the mail client when MAPI is available.
  TEmailSend(HINSTANCE resources, std::string dialogCaption, std::string workFolder, MapiLibrary* library = nullptr);
  ~TEmailSend() override;

  TEmail Email1;
  TDES DES1;

  // An entry for the file; before the window shows, it is listed when it opens.
  void AddAttachment(const std::string& path);
  // "Encrypt Images" is offered only when the caller asks for it.
  void ShowEncryptImages() { showEncImage_ = true; }
  // The format of encrypted attachments (AES unless set).
  void SetEncryptFormat(KtxFormat format) { encryptFormat_ = format; }
  // Shows the window modally with its top-left corner at (x, y) in screen
  // pixels (kept inside the work area); IDOK after a send, IDCANCEL otherwise
  // (also when the window went with its owner).
  INT_PTR ShowModal(HWND owner, int x, int y);

  using DialogBase::Handle;

 private:
  BOOL OnInitDialog() override;
  INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(int id, int code, HWND control) override;

  void FormCreate();
  void CheckLogon();
  void Layout();
  void MakeFonts();
  void AddHints();
  void AppendEntry(const std::string& path);
  std::vector<std::string> AttachmentPaths() const;
  MailDraft Draft() const;  // what the window holds

  void txtEmailToChange();
  void btnAddClick();
  void btnRemoveClick();
  void chkEncAllClick();
  void btnToClick();
  void btnSendClick();
  void btnCancelClick();
  void ShowAddressBook();
  void SendPreparedMail();
  // After a send that did not go out: the window stays as the user left it.
  void StayOpen(const std::string& message);
  // Characters the mail client would lose: true when the user sends anyway.
  bool ConfirmLossyText();
  void SetStatus(const std::string& text);
  // While the mail client works, nothing of this window may start another
  // call to it: the whole window is disabled and Cancel with it.
  void SetBusy(bool busy);
  bool Checked(int id) const;
  std::string Text(int id) const;
  void SetText(int id, const std::string& text);
  void Warn(const std::string& text);
  void WipeKey();

  HINSTANCE resources_;
  std::string dialogCaption_, workFolder_;
  std::vector<std::string> pending_;  // attachments added before the window opened
  std::string lastAttachFolder_;
  std::string key_;  // for the encrypted attachments of one send only
  bool sending_ = false;
  bool shown_ = false;  // the window was made (ShowModal)
  bool showEncImage_ = false;
  KtxFormat encryptFormat_ = KtxFormat::Aes;
  int x_ = 0, y_ = 0;
  int dpi_ = 96;
  SpeedButton btnAdd_, btnRemove_;
  UniqueFont font_, boldFont_;
  HWND hints_ = nullptr;
};

}  // namespace griv
