#include "mail/email_send_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <optional>
#include <stdexcept>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/scope_exit.h"
#include "base/utf.h"
#include "crypto/key_dialog_win.h"
#include "crypto/key_rules.h"
#include "ids_mail.h"
#include "mail/mail_message.h"
#include "mail/mapi_rules.h"
#include "base/strings.h"
#include "ui/file_dialogs_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {

struct Hint {
  int id;
  const wchar_t* text;
};
constexpr wchar_t kEncryptHint[] = L"If Checked, the image(s) will be encrypted prior to sending";
constexpr Hint kHints[] = {
    {IDC_EMAIL_TO, L"To - Recipients - separate with commas"},
    {IDC_EMAIL_CC, L"Copy Recipients - separate with commas"},
    {IDC_EMAIL_BCC, L"Blind Copy Recipients - separate with commas"},
    {IDC_EMAIL_SUBJECT, L"Add a \"Subject\" for your message"},
    {IDC_EMAIL_BODY, L"Enter any desired message text here."},
    {IDC_EMAIL_ATTACH, L"Images or other files to attach"},
    {IDC_EMAIL_ENCIMAGE, kEncryptHint},
    {IDC_EMAIL_BTNTO, L"Address Book"},
    {IDC_EMAIL_BTNCC, L"Address Book"},
    {IDC_EMAIL_BTNBCC, L"Address Book"},
    {IDC_EMAIL_ENCALL, kEncryptHint},
    {IDC_EMAIL_ADD, L"Attach another file"},
    {IDC_EMAIL_REMOVE, L"Remove current attachment"},
};

constexpr int kBoldLabels[] = {IDC_EMAIL_TOLABEL, IDC_EMAIL_CCLABEL, IDC_EMAIL_BCCLABEL, IDC_EMAIL_SUBJECTLABEL,
                               IDC_EMAIL_FILESLABEL};

// Where each control goes, in pixels at 96 DPI.
struct Place {
  int id, x, y, w, h;
};
constexpr int kClientW = 517, kClientH = 321;
constexpr Place kPlaces[] = {
    {IDC_EMAIL_TOLABEL, 10, 13, 54, 16},
    {IDC_EMAIL_TO, 66, 10, 326, 21},
    {IDC_EMAIL_BTNTO, 396, 10, 26, 21},
    {IDC_EMAIL_CCLABEL, 10, 39, 54, 16},
    {IDC_EMAIL_CC, 66, 36, 326, 21},
    {IDC_EMAIL_BTNCC, 396, 36, 26, 21},
    {IDC_EMAIL_BCCLABEL, 10, 65, 54, 16},
    {IDC_EMAIL_BCC, 66, 62, 326, 21},
    {IDC_EMAIL_BTNBCC, 396, 62, 26, 21},
    {IDC_EMAIL_SUBJECTLABEL, 10, 91, 54, 16},
    {IDC_EMAIL_SUBJECT, 66, 88, 356, 21},
    {IDOK, 434, 9, 74, 25},
    {IDCANCEL, 434, 40, 74, 25},
    {IDC_EMAIL_ENCTXT, 434, 71, 74, 17},
    {IDC_EMAIL_BODY, 10, 116, 498, 112},
    // The attachments: a row with the flat buttons, the list, then the
    // encryption choices, which need room for a wide substitute of Arial.
    {IDC_EMAIL_ATTACHLABEL, 10, 239, 152, 16},
    {IDC_EMAIL_ADD, 164, 235, 46, 22},
    {IDC_EMAIL_REMOVE, 212, 235, 64, 22},
    {IDC_EMAIL_FILESLABEL, 10, 263, 54, 16},
    {IDC_EMAIL_ATTACH, 66, 260, 442, 160},
    {IDC_EMAIL_ENCIMAGE, 66, 284, 140, 18},
    {IDC_EMAIL_ENCALL, 210, 284, 220, 18},
    {IDC_EMAIL_PANEL, 0, 303, kClientW, 18},
    {IDC_EMAIL_STATUS, 6, 305, kClientW - 12, 14},
};

std::string LocaleText(LCTYPE what, const char* fallback) {
  wchar_t buf[16] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, buf, 16) <= 0) return fallback;
  return Narrow(buf);
}

}  // namespace

TEmailSend::TEmailSend(HINSTANCE resources, std::string dialogCaption, std::string workFolder, MapiLibrary* library)
    : Email1(library),
      resources_(resources),
      dialogCaption_(std::move(dialogCaption)),
      workFolder_(IncludeTrailingBackslash(workFolder)) {
  DES1.SetCipherMode(TCipherMode::CBC);
  DES1.SetStringMode(TStringMode::smEncode);
  // A mail that would miss one of its recipients is not sent: the user says who.
  Email1.StopOnUnresolved = true;
  FormCreate();
}

TEmailSend::~TEmailSend() { WipeKey(); }

void TEmailSend::FormCreate() {
  sending_ = false;
  if (Email1.MapiAvail()) CheckLogon();
}

void TEmailSend::CheckLogon() {
  if (Email1.Logon() == mapi::kSuccess) return;
  ShowMessage(Handle(), kMapiLogonFailed, dialogCaption_, MB_OK | MB_ICONERROR);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

INT_PTR TEmailSend::ShowModal(HWND owner, int x, int y) {
  x_ = x;
  y_ = y;
  try {
    return DialogBase::ShowModal(resources_, IDD_EMAILSEND, owner) == IDOK ? IDOK : IDCANCEL;
  } catch (const std::runtime_error&) {
    // Destroyed with its owner (the program closing) rather than ended.
    if (shown_) return IDCANCEL;
    throw;
  }
}

// ---------------------------------------------------------------- creation and layout

BOOL TEmailSend::OnInitDialog() {
  shown_ = true;
  dpi_ = Dpi();
  SpeedButton::Options flat;
  flat.postClicks = false;
  btnAdd_.Create(Handle(), IDC_EMAIL_ADD, L"&Add", 0, 0, 1, 1, flat);
  btnRemove_.Create(Handle(), IDC_EMAIL_REMOVE, L"&Remove", 0, 0, 1, 1, flat, false);
  MakeFonts();
  Layout();
  SetText(IDC_EMAIL_BODY, "\r\n");  // one empty line
  for (const std::string& path : pending_) AppendEntry(path);
  pending_.clear();
  if (showEncImage_) ShowWindow(Item(IDC_EMAIL_ENCIMAGE), SW_SHOWNA);
  AddHints();
  MoveTo(x_, y_);
  SetForegroundWindow(Handle());
  return TRUE;  // the focus goes to "To"
}

void TEmailSend::MakeFonts() {
  font_ = MakeFont(L"Arial", -Scale(11, dpi_), FW_NORMAL);
  boldFont_ = MakeFont(L"Arial", -Scale(11, dpi_), FW_BOLD);
  if (!font_) return;  // the template's font stays
  for (HWND c = GetWindow(Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  if (boldFont_)
    for (int id : kBoldLabels) SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
}

void TEmailSend::Layout() {
  SetClientSize(kClientW, kClientH);
  for (const Place& p : kPlaces) {
    if (p.id == IDC_EMAIL_ADD || p.id == IDC_EMAIL_REMOVE) {
      MoveWindow(p.id == IDC_EMAIL_ADD ? btnAdd_.Handle() : btnRemove_.Handle(), S(p.x), S(p.y), S(p.w), S(p.h),
                 FALSE);
    } else {
      PlaceItem(p.id, p.x, p.y, p.w, p.h);
    }
  }
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TEmailSend::AddHints() {
  hints_ = CreateHintWindow(Handle());
  if (!hints_) return;  // the window works without its hints
  for (const Hint& h : kHints) AddHint(hints_, Handle(), Item(h.id), h.text);
  SendMessageW(hints_, TTM_SETMAXTIPWIDTH, 0, Scale(400, dpi_));
}

INT_PTR TEmailSend::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DPICHANGED) {
    const RECT* suggested = reinterpret_cast<const RECT*>(lp);
    dpi_ = HIWORD(wp);
    MakeFonts();
    Layout();
    MoveTo(suggested->left, suggested->top);
    return TRUE;
  }
  return DialogBase::DlgProc(msg, wp, lp);
}

// ---------------------------------------------------------------- attachments

void TEmailSend::AddAttachment(const std::string& path) {
  if (Handle()) AppendEntry(path);
  else pending_.push_back(path);
}

void TEmailSend::AppendEntry(const std::string& path) {
  const std::string entry = AttachmentEntryText(path, FileSize(path), LocaleText(LOCALE_STHOUSAND, ","),
                                                LocaleText(LOCALE_SDECIMAL, "."));
  HWND list = Item(IDC_EMAIL_ATTACH);
  const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
  if (at < 0) throw std::runtime_error("Unable to list the attachment " + path);
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  lastAttachFolder_ = ExtractFilePath(path);
  btnRemove_.Enable(true);
}

std::vector<std::string> TEmailSend::AttachmentPaths() const {
  std::vector<std::string> paths;
  HWND list = Item(IDC_EMAIL_ATTACH);
  const LRESULT n = SendMessageW(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    const LRESULT len = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (len < 0) continue;
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    paths.push_back(AttachmentEntryPath(Narrow(text)));
  }
  return paths;
}

void TEmailSend::btnAddClick() {
  FileDialogOptions o;
  o.initialDir = lastAttachFolder_;
  o.filter = "All Files (*.*)|*.*";
  o.flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (RunOpenDialog(Handle(), o) && !o.fileName.empty()) AddAttachment(o.fileName);
}

void TEmailSend::btnRemoveClick() {
  HWND list = Item(IDC_EMAIL_ATTACH);
  const LRESULT sel = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (sel >= 0) SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(sel), 0);
  if (SendMessageW(list, CB_GETCOUNT, 0, 0) > 0) SendMessageW(list, CB_SETCURSEL, 0, 0);
  else btnRemove_.Enable(false);
  InvalidateRect(list, nullptr, TRUE);
}

// ---------------------------------------------------------------- fields and buttons

bool TEmailSend::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDC_EMAIL_TO:
      if (code == EN_CHANGE) txtEmailToChange();
      return true;
    case IDC_EMAIL_ADD: btnAddClick(); return true;
    case IDC_EMAIL_REMOVE: btnRemoveClick(); return true;
    case IDC_EMAIL_ENCALL:
      if (code == BN_CLICKED) chkEncAllClick();
      return true;
    case IDC_EMAIL_BTNTO:
    case IDC_EMAIL_BTNCC:
    case IDC_EMAIL_BTNBCC: btnToClick(); return true;
    case IDOK: btnSendClick(); return true;
    case IDCANCEL: btnCancelClick(); return true;
  }
  return false;
}

void TEmailSend::txtEmailToChange() {
  EnableWindow(Item(IDOK), GetWindowTextLengthW(Item(IDC_EMAIL_TO)) > 0);
}

void TEmailSend::chkEncAllClick() { EnableWindow(Item(IDC_EMAIL_ENCIMAGE), !Checked(IDC_EMAIL_ENCALL)); }

void TEmailSend::btnToClick() { ShowAddressBook(); }

void TEmailSend::ShowAddressBook() {
  auto load = [&](int id, std::vector<std::string>& list) {
    const std::string text = Text(id);
    if (text.empty()) list.clear();
    else list = SplitRecipients(text);
  };
  load(IDC_EMAIL_TO, Email1.Recipient);
  load(IDC_EMAIL_CC, Email1.CC);
  load(IDC_EMAIL_BCC, Email1.Bcc);
  {
    SetBusy(true);
    ScopeExit idle([&] { SetBusy(false); });
    Email1.Address();  // what it could resolve is shown whatever it returns
  }
  SetText(IDC_EMAIL_TO, JoinRecipients(Email1.Recipient));
  SetText(IDC_EMAIL_CC, JoinRecipients(Email1.CC));
  SetText(IDC_EMAIL_BCC, JoinRecipients(Email1.Bcc));
}

void TEmailSend::btnCancelClick() {
  // The mail client's call cannot be interrupted; Cancel is greyed meanwhile,
  // and a close that still arrives is dropped: the window closes by itself
  // once the mail has gone, and stays for another try when it has not.
  if (sending_) return;
  End(IDCANCEL);
}

void TEmailSend::btnSendClick() {
  // Enter reaches here even while Send is greyed.
  if (sending_ || !IsWindowEnabled(Item(IDOK))) return;
  // Each question below runs messages: the program may close meanwhile, and
  // then nothing is sent.
  if (!ConfirmLossyText() || !Handle()) return;
  if (Checked(IDC_EMAIL_ENCALL) || Checked(IDC_EMAIL_ENCIMAGE)) {
    WipeKey();
    key_ = TdlgGetKey::AskForKey(resources_, Handle(), nullptr, true, encryptFormat_);  // typed twice: it encrypts
    if (key_.empty() || !Handle()) return WipeKey();
  }
  EnableWindow(Item(IDOK), FALSE);
  sending_ = true;
  SetStatus("");
  ShowWindow(Item(IDC_EMAIL_PANEL), SW_SHOWNA);
  ShowWindow(Item(IDC_EMAIL_STATUS), SW_SHOWNA);
  SetBusy(true);  // before the pending messages run: none of them may start anything here
  ProcessMessages();
  if (!Handle()) return WipeKey();
  SendPreparedMail();
}

bool TEmailSend::ConfirmLossyText() {
  const std::vector<std::string> parts = LossyParts(Draft(), Email1.UnicodeClient());
  if (parts.empty()) return true;
  return ShowMessage(Handle(), LostCharactersQuestion(parts), dialogCaption_, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

MailDraft TEmailSend::Draft() const {
  MailDraft d;
  d.to = Text(IDC_EMAIL_TO);
  d.cc = Text(IDC_EMAIL_CC);
  d.bcc = Text(IDC_EMAIL_BCC);
  d.subject = Text(IDC_EMAIL_SUBJECT);
  d.body = Text(IDC_EMAIL_BODY);
  d.attachments = AttachmentPaths();
  d.encryptAll = Checked(IDC_EMAIL_ENCALL);
  d.encryptImages = Checked(IDC_EMAIL_ENCIMAGE);
  return d;
}

void TEmailSend::SendPreparedMail() {
  std::optional<WaitCursor> wait(std::in_place);
  const MailDraft d = Draft();

  uint32_t result = mapi::kSuccess;
  std::string failure;
  {
    SetBusy(true);
    ScopeExit idle([&] {
      sending_ = false;
      SetBusy(false);
    });
    ScopeExit wipe([&] { WipeKey(); });
    const auto status = [this](const std::string& text) { SetStatus(text); };
    PreparedMail m;
    try {
      // DES keys are exactly their bytes in the ANSI code page, as every encrypted file gets them.
      m = PrepareMail(d, workFolder_, key_, encryptFormat_, KtxCiphers{DES1, kAnsiCodePage, SystemCrypto()}, status);
    } catch (const std::exception& e) {
      failure = e.what();
    }
    if (failure.empty()) result = griv::SendPreparedMail(Email1, m, status);
  }
  // Closed from outside while the mail client worked: the program is ending,
  // and a message now would only hold it up.
  if (!Handle()) return;
  wait.reset();
  if (!failure.empty()) return StayOpen(std::string(kUnableToEncryptAttachment) + "\r\n" + failure);
  if (!Email1.Unresolved().empty()) return StayOpen(UnresolvedText(Email1.Unresolved()));
  if (result != mapi::kSuccess) return StayOpen(SendFailedText(result));
  ProcessMessages();
  End(IDOK);
}

void TEmailSend::StayOpen(const std::string& message) {
  ShowWindow(Item(IDC_EMAIL_PANEL), SW_HIDE);
  ShowWindow(Item(IDC_EMAIL_STATUS), SW_HIDE);
  txtEmailToChange();
  Warn(message);
}

void TEmailSend::SetStatus(const std::string& text) {
  SetText(IDC_EMAIL_STATUS, text);
  // Sending runs without a message loop: paint now.
  RedrawWindow(Item(IDC_EMAIL_STATUS), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RedrawWindow(Item(IDC_EMAIL_PANEL), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TEmailSend::SetBusy(bool busy) {
  if (busy) {
    EnableWindow(Item(IDCANCEL), FALSE);
    EnableWindow(Handle(), FALSE);
  } else {
    EnableWindow(Handle(), TRUE);
    EnableWindow(Item(IDCANCEL), TRUE);
    SetForegroundWindow(Handle());
  }
}

// ---------------------------------------------------------------- small helpers

bool TEmailSend::Checked(int id) const { return IsDlgButtonChecked(Handle(), id) == BST_CHECKED; }

std::string TEmailSend::Text(int id) const {
  HWND w = Item(id);
  const int n = GetWindowTextLengthW(w);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(w, text.data(), n + 1);
  text.resize(wcslen(text.c_str()));
  return Narrow(text);
}

void TEmailSend::SetText(int id, const std::string& text) { SetWindowTextW(Item(id), Widen(text).c_str()); }

void TEmailSend::Warn(const std::string& text) { ShowMessage(Handle(), text, dialogCaption_, MB_OK | MB_ICONWARNING); }

void TEmailSend::WipeKey() {
  if (!key_.empty()) SecureZeroMemory(key_.data(), key_.size());
  key_.clear();
}

}  // namespace griv
