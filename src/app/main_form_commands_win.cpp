// The main window's commands: which handler runs for which command, the one
// pass that enables and checks every place a command appears in, the option
// toggles, the capture hot keys and the keyboard short cuts.
#include "app/main_form_win.h"

#include "app/startup_rules.h"
#include "base/scope_exit.h"
#include "base/utf.h"
#include "resource.h"
#include "ui/help_topics.h"
#include "base/strings.h"
#include "ui/system_path_win.h"
#include "ui/ui_win.h"

namespace griv {

// clang-format off
const TfrmCaptureForm::CommandBinding TfrmCaptureForm::kBindings[] = {
    {CM_OPENFILE, CM_OPENFILE,           [](TfrmCaptureForm& f, int) { f.mnuOpenFileClick(); }},
    {CM_SAVE, CM_SAVE,                   [](TfrmCaptureForm& f, int) { f.Save1Click(); }},
    {CM_SAVEAS, CM_SAVEAS,               [](TfrmCaptureForm& f, int) { f.SaveAs1Click(); }},
    {CM_SAVEASSHOWN, CM_SAVEASSHOWN,     [](TfrmCaptureForm& f, int) { f.SaveAs2Click(); }},
    {CM_SAVEENCRYPTED, CM_SAVEENCRYPTED, [](TfrmCaptureForm& f, int) { f.encryptedFiles_->mnuSaveEncryptedClick(); }},
    {CM_ENCRYPTFILE, CM_ENCRYPTFILE,     [](TfrmCaptureForm& f, int) { f.encryptedFiles_->EncryptaFile1Click(); }},
    {CM_OPENENCRYPTED, CM_OPENENCRYPTED, [](TfrmCaptureForm& f, int) { f.encryptedFiles_->OpenanEncryptedFile1Click(); }},
    {CM_SENDMAIL, CM_SENDMAIL,           [](TfrmCaptureForm& f, int) { f.mnuSendMailClick(); }},
    {CM_EXIT, CM_EXIT,                   [](TfrmCaptureForm& f, int) { f.Exit1Click(); }},
    {CM_CLOSE, CM_CLOSE,                 [](TfrmCaptureForm& f, int) { f.Exit1Click(); }},
    {CM_PRINTSETUP, CM_PRINTSETUP,       [](TfrmCaptureForm& f, int) { f.PrintSetup1Click(); }},
    {CM_PRINTPREVIEW, CM_PRINTPREVIEW,   [](TfrmCaptureForm& f, int) { f.PrintPreview1Click(); }},
    {CM_PRINT, CM_PRINT,                 [](TfrmCaptureForm& f, int) { f.Print1Click(); }},
    {CM_COPY, CM_COPY,                   [](TfrmCaptureForm& f, int) { f.mnuCopyClick(); }},
    {CM_PASTE, CM_PASTE,                 [](TfrmCaptureForm& f, int) { f.mnuPasteClick(); }},
    {CM_STAMPICON, CM_STAMPICON,         [](TfrmCaptureForm& f, int) { f.stampArmed_ = true; f.UpdateCommands(); }},
    {CM_GETCURSOR, CM_GETCURSOR,         [](TfrmCaptureForm& f, int) { f.btnGetCursorClick(); }},
    {CM_ADDCURSOR, CM_ADDCURSOR,         [](TfrmCaptureForm& f, int) { f.mnuAddCursorClick(); }},
    {CM_UNDO, CM_UNDO,                   [](TfrmCaptureForm& f, int) { f.mnuUndoClick(); }},
    {CM_CLEAR, CM_CLEAR,                 [](TfrmCaptureForm& f, int) { f.Clear1Click(); }},
    {CM_CROP, CM_CROP,                   [](TfrmCaptureForm& f, int) { f.btnCropClick(); }},
    {CM_GREY, CM_GREY,                   [](TfrmCaptureForm& f, int) { f.mOptGreyClick(); }},
    {CM_SETSCREEN, CM_SETSCREEN,         [](TfrmCaptureForm& f, int) { f.mnuSetScreenClick(); }},
    {CM_SETAREA, CM_SETAREA,             [](TfrmCaptureForm& f, int) { f.mnuSetAreaClick(); }},
    {CM_ZMI01, CM_ZMI10,                 [](TfrmCaptureForm& f, int id) { f.zmiClick(id - CM_ZMI01 + 1); }},
    {CM_ZMO01, CM_ZMO10,                 [](TfrmCaptureForm& f, int id) { f.zmoClick(id - CM_ZMO01 + 1); }},
    {CM_FITWINDOW, CM_FITWINDOW,         [](TfrmCaptureForm& f, int) { f.FitToWindow(); }},
    {CM_ZOOMSTEPIN, CM_ZOOMSTEPIN,       [](TfrmCaptureForm& f, int) { f.ZoomStep(1); }},
    {CM_ZOOMSTEPOUT, CM_ZOOMSTEPOUT,     [](TfrmCaptureForm& f, int) { f.ZoomStep(-1); }},
    {CM_WEBLINK, CM_WEBLINK,             [](TfrmCaptureForm& f, int) { f.OpenWebSite(); }},
    {CM_VISIT1, CM_VISIT1,               [](TfrmCaptureForm& f, int) { f.OpenWebSite(); }},
    {CM_ABOUT, CM_ABOUT,                 [](TfrmCaptureForm& f, int) { f.About1Click(); }},
    {CM_RESTORE, CM_RESTORE,             [](TfrmCaptureForm& f, int) { f.RestoreMainWindow(); }},
    {CM_AUTOPRINT, CM_AUTOPRINT,         [](TfrmCaptureForm& f, int) { f.mnuAutoPrintClick(); }},
    {CM_AUTOSAVE, CM_AUTOSAVE,           [](TfrmCaptureForm& f, int) { f.mnuAutoSaveClick(); }},
    {CM_SWNOTES, CM_SWNOTES,             [](TfrmCaptureForm& f, int) { f.mnuSWNotesClick(); }},
    {CM_MONITOR1, CM_MONITOR1,           [](TfrmCaptureForm& f, int) { f.mnuMonitor1Click(0); }},
    {CM_MONITOR2, CM_MONITOR2,           [](TfrmCaptureForm& f, int) { f.mnuMonitor1Click(1); }},
    {CM_CAPSCREENNOW, CM_CAPSCREENNOW,   [](TfrmCaptureForm& f, int) { f.CaptureFullScreen(); }},
    {CM_CAPACTIVENOW, CM_CAPACTIVENOW,   [](TfrmCaptureForm& f, int) { f.CaptureActiveWindow(); }},
    {CM_CAPAREANOW, CM_CAPAREANOW,       [](TfrmCaptureForm& f, int) { f.btnSelectClick(); }},
    {CM_SELECTAREA, CM_SELECTAREA,       [](TfrmCaptureForm& f, int) { f.btnSelectClick(); }},
    {CM_OPTIONS, CM_OPTIONS,             [](TfrmCaptureForm& f, int) { f.mnuOptionsClick(); }},
    {CM_EDITOR, CM_EDITOR,               [](TfrmCaptureForm& f, int) { f.mnuEditorClick(); }},
    {CM_SENDTOEDITOR, CM_SENDTOEDITOR,   [](TfrmCaptureForm& f, int) { f.mnuEditorClick(); }},
    {CM_HELPCONTENT, CM_HELPCONTENT,     [](TfrmCaptureForm& f, int) { f.mnuHelpContentClick(); }},
    {CM_HELP1, CM_HELP1,                 [](TfrmCaptureForm& f, int) { f.mnuHelpContentClick(); }},
    {CM_HELPCAPTURE, CM_HELPCAPTURE,     [](TfrmCaptureForm& f, int) { f.mnuHelpContextClick(kHelpCapturing); }},
    {CM_HELPPRINT, CM_HELPPRINT,         [](TfrmCaptureForm& f, int) { f.mnuHelpContextClick(kHelpPrinting); }},
    {CM_HELPSAVE, CM_HELPSAVE,           [](TfrmCaptureForm& f, int) { f.mnuHelpContextClick(kHelpSaving); }},
    {CM_HELPCONTACT, CM_HELPCONTACT,     [](TfrmCaptureForm& f, int) { f.mnuHelpContextClick(kHelpContact); }},
    {CM_QUICKSTART, CM_QUICKSTART,       [](TfrmCaptureForm& f, int) { f.mnuGuickStartClick(); }},
};
// clang-format on

void TfrmCaptureForm::OnCommand(int id, int, HWND control, bool fromAccelerator) {
  // Menus and buttons cannot be clicked while greyed; a short cut key can.
  if (fromAccelerator && !CommandEnabled(id, kMainMenu, CommandState())) return;
  if (control && control == toolBar_.ButtonHandle(id) && !toolBar_.IsEnabled(id)) return;
  for (const CommandBinding& b : kBindings) {
    if (id >= b.first && id <= b.last) {
      if (CommandBuilt(id)) b.run(*this, id);
      return;
    }
  }
}

CommandContext TfrmCaptureForm::CommandState() const {
  CommandContext c;
  c.image = doc_.Present();
  c.fullImageHasPixels = !doc_.FullImage().Empty();
  c.printer = printSetupEnabled_;
  c.undo = doc_.UndoAvailable();
  c.editorConfigured = !settings_.ImageEditor.empty();
  c.editorExists = editorExists_;
  c.oneToOne = doc_.ZoomRatio() == 1.0;
  c.saveWritten = saveWritten_;
  c.clipboardBitmap = clipboardBitmap_;
  c.mail = mailAvailable_;
  return c;
}

void TfrmCaptureForm::UpdateCommands() {
  CheckContext checks;
  checks.autoPrint = settings_.AutoPrint;
  checks.autoSave = settings_.AutoSave;
  checks.printNotes = settings_.PrintNotes;
  checks.monitorIndex = monitorIndex_;
  const ZoomFraction z = ZoomFractionOf(doc_.ZoomRatio());
  checks.zoomNumerator = z.numerator;
  checks.zoomDenominator = z.denominator;
  checks.captureScreen = settings_.CaptureScreenChecked;
  commandUi_.Apply(CommandState(), checks, stampArmed_);
}

void TfrmCaptureForm::EnableImageCommands(bool) {
  // The document says whether an image is on show; every place follows it.
  UpdateNotesCommands();
}

void TfrmCaptureForm::ShowImageMenu(POINT pt) {
  TrackPopupMenu(imageMenu_, TPM_RIGHTBUTTON, pt.x, pt.y, 0, Handle(), nullptr);
}

// ---------------------------------------------------------------- option toggles

void TfrmCaptureForm::mnuAutoPrintClick() {
  settings_.SetAutoPrint(!settings_.AutoPrint);
  UpdateStatusPanels();
}

void TfrmCaptureForm::mnuAutoSaveClick() {
  settings_.SetAutoSave(!settings_.AutoSave, true);
  UpdateStatusPanels();
}

void TfrmCaptureForm::mnuSWNotesClick() {
  settings_.PrintNotes = !settings_.PrintNotes;
  UpdateNotesCommands();
}

void TfrmCaptureForm::mnuSetScreenClick() {
  settings_.SetSaveMode("S");
  UpdateCommands();
}

void TfrmCaptureForm::mnuSetAreaClick() {
  settings_.SetSaveMode("A");
  UpdateCommands();
}

void TfrmCaptureForm::UpdateNotesCommands() { UpdateStatusPanels(); }

void TfrmCaptureForm::UpdateStatusPanels() {
  UpdateCommands();
  SetStatusText(1, settings_.AutoPrint ? "Auto Print" : "", true);
  SetStatusText(2, settings_.AutoSave ? "Auto Save" : "", true);
  SetStatusText(3, settings_.PrintNotes ? "Print Notes" : "");
  if (atiTray_) atiTray_->SetHint(dialogCaption_ + settings_.AutoPrintHint + settings_.AutoSaveHint + hotKeyNote_);
}

// ---------------------------------------------------------------- hot keys

void TfrmCaptureForm::RegisterCaptureHotKeys() {
  const std::string texts[3] = {settings_.HotKeyFull, settings_.HotKeyActive, settings_.HotKeyArea};
  for (int i = 0; i < 3; ++i) {
    // A damaged stored text would grab a key such as Backspace system-wide; use the default instead.
    const std::string t = EffectiveHotKeyText(i, texts[i]);
    shk1_->AddHotKey(HotKeyTextToKey(t), HotKeyTextToModifiers(t));
  }
  if (shk1_->Active()) {
    UpdateHotKeyNote();
    UpdateStatusPanels();
  }
}

std::string TfrmCaptureForm::EmptyViewText() const {
  const std::string texts[3] = {settings_.HotKeyFull, settings_.HotKeyActive, settings_.HotKeyArea};
  auto key = [&](int i) {
    std::string d = HotKeyTextToDisplay(EffectiveHotKeyText(i, texts[i]));
    for (size_t at; (at = d.find(", ")) != std::string::npos;) d.replace(at, 2, "+");
    return d;
  };
  return "Press " + key(0) + " to capture the screen, " + key(1) + " a window, " + key(2) + " an area";
}

void TfrmCaptureForm::TellRefusedHotKeys() {
  std::vector<std::string> refused;
  for (int i = 0; i < shk1_->Count() && i < 3; ++i)
    if (!shk1_->Item(i).Registered) {
      const std::string texts[3] = {settings_.HotKeyFull, settings_.HotKeyActive, settings_.HotKeyArea};
      refused.push_back(HotKeyTextToDisplay(EffectiveHotKeyText(i, texts[i])));
    }
  if (refused.empty() || !atiTray_) return;
  std::string keys;
  for (size_t i = 0; i < refused.size(); ++i) keys += (i ? (i + 1 == refused.size() ? " and " : ", ") : "") + refused[i];
  // The commonest reason a capture key does nothing: another program took it first.
  atiTray_->ShowBalloon(brand_.mainCaption,
                        keys + (refused.size() == 1 ? " is" : " are") +
                            " in use by another program. Choose other keys under Options.");
}

void TfrmCaptureForm::RemoveCaptureHotKeys() {
  for (int i = 2; i >= 0; --i)
    if (i < shk1_->Count()) shk1_->DeleteHotKey(i);
}

bool TfrmCaptureForm::IsConsoleForeground() {
  wchar_t cls[256] = {};
  GetClassNameW(GetForegroundWindow(), cls, 256);
  return IsConsoleClass(Narrow(cls), IsPlatformNT());
}

void TfrmCaptureForm::shk1HotKey(int index) {
  if (IsConsoleForeground()) return;
  shk1_->SetActive(false);
  if (captureBusy_) return;  // the running capture switches the keys on again
  captureBusy_ = true;
  ScopeExit done([&] {
    shk1_->SetActive(true);
    captureBusy_ = false;
  });
  switch (index) {
    case 0:
      if (settings_.CaptureScreenChecked) CaptureFullScreen();
      else CaptureArea();
      break;
    case 1: CaptureActiveWindow(); break;
    case 2: btnSelectClick(); break;
    default: break;
  }
}

// ---------------------------------------------------------------- keys

bool TfrmCaptureForm::PreviewKeyDown(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (!Handle() || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) return false;
  bool handled = false;
  FormKeyDown(msg.wParam, (GetKeyState(VK_CONTROL) & 0x8000) != 0, handled);
  return handled;
}

void TfrmCaptureForm::FormKeyDown(WPARAM key, bool ctrl, bool& handled) {
  handled = true;
  if (key == VK_F1 && !ctrl) {
    mnuHelpContentClick();
  } else if (key == VK_ESCAPE && !ctrl) {
    CancelStamping();
  } else if (ctrl && key == VK_PRIOR) {
    OpenAdjacentNumbered(false);
  } else if (ctrl && key == VK_NEXT) {
    OpenAdjacentNumbered(true);
  } else if (ctrl && key == 'N') {
    PrintWithNotesKey();
  } else if (ctrl && key == VK_F2) {
    if (CommandEnabled(CM_SAVEAS, kMainMenu, CommandState())) AutoSaveImage();
  } else {
    handled = false;
  }
}

}  // namespace griv
