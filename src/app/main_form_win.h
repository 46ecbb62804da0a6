// The main window TfrmCaptureForm: start-up, lifecycle, commands and the
// state every subsystem of the program hangs off. Its parts live in:
//   main_form_win.cpp           creation, start-up, showing, position, timer, exit
//   main_form_commands_win.cpp  the command bindings, enabling, toggles, hot keys, keys
//   document_commands_win.cpp   zoom, undo, clear, crop, greys and the view's clicks
//   capture_commands_win.cpp    the three captures and the steps after each
//   image_files_win.cpp         save, numbered save, open and load
//   clipboard_commands_win.cpp  copy, paste and the clipboard viewer chain
//   stamping_win.cpp            the pointer shapes and stamping them onto the image
//   options_commands_win.cpp    the Options command and the refused-hot-key note
//   editor_help_win.cpp         editor hand-off, help and the quick-start guide
//   mail_commands_win.cpp       "Send as Email": the send-mail window or Outlook
//   print_commands_win.cpp      printing, notes, printer setup, the preview, console text
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/branding.h"
#include "app/command_ui_win.h"
#include "app/document.h"
#include "app/encrypted_files_win.h"
#include "app/image_view_win.h"
#include "app/settings.h"
#include "app/stamping.h"
#include "app/toolbar_win.h"
#include "base/handles_win.h"
#include "hotkeys/hk_set_win.h"
#include "hotkeys/sys_hotkey_win.h"
#include "printing/print_job_win.h"
#include "printing/printer_win.h"
#include "shell/about_win.h"
#include "shell/banner_win.h"
#include "shell/ini.h"
#include "shell/registry_win.h"
#include "shell/system_path_win.h"
#include "shell/tray_icon_win.h"
#include "shell/window_base_win.h"

namespace griv {

struct PrinterChoice;

inline constexpr UINT WM_CAPTURE_FULL = WM_USER + 1;
inline constexpr UINT WM_CAPTURE_ACTIVE = WM_USER + 2;
inline constexpr UINT WM_OPEN_HANDED_FILE = WM_USER + 3;
inline constexpr UINT WM_SHOW_MAIN = WM_USER + 4;
inline constexpr UINT WM_OPEN_WEBSITE = WM_USER + 5;

inline constexpr wchar_t kMainClassName[] = L"TfrmCaptureForm";
inline constexpr char kHandOffFileName[] = "~~ktw01";
// A name the ANSI code page cannot hold comes in a WM_COPYDATA of this kind, in UTF-16.
inline constexpr ULONG_PTR kHandOffCopyData = 0x47524956;  // "GRIV"
// Held by a second start from writing the hand-off file until the running
// program has read it, so two second starts never mix their names.
inline constexpr wchar_t kHandOffMutexName[] = L"KTW-handoff";

class TfrmCaptureForm : private WindowBase, private EncryptedFilesHost, private ImageViewHost {
 public:
  TfrmCaptureForm(HINSTANCE inst, std::string commandParam);
  ~TfrmCaptureForm() override;

  // Creates the window and runs FormCreate; the window stays hidden.
  void Create();
  using WindowBase::Handle;
  HACCEL Accelerators() const { return accel_; }
  // Key preview: true when the key was handled and must not go further.
  bool PreviewKeyDown(const MSG& msg);

  // The hot-key editor, created once right after the main window and kept.
  void CreateHotKeyEditor() { hkSet_.Create(inst_); }

 private:
  struct CommandBinding {
    int first, last;
    void (*run)(TfrmCaptureForm& form, int id);
  };
  static const CommandBinding kBindings[];

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSize(int, int) override { FormResize(); }
  void OnCommand(int id, int code, HWND control, bool fromAccelerator);

  // ---- start-up and lifecycle (main_form_win.cpp)
  void FormCreate();
  void CreateChildren();
  void LoadSettings();
  void ApplyWindowPosition();
  void RunCommandLine();
  void RestoreMainWindow();
  // The first capture larger than the view, while the window still has its
  // first size, makes it large enough to show it, up to the monitor's work area.
  void GrowForFirstCapture();
  void KeepScreenCacheAWhile();
  void FormShow();
  void FormHide();
  void FormResize();
  void LoadBranding();
  void OpenWebSite();
  void About1Click();
  AboutInfo AboutBoxInfo() const;
  void LayoutStatusPanels();
  void SetStatusText(int panel, const std::string& text, bool centred = false);
  void SaveWindowPosition();
  void Timer1Timer();
  void UpdateMonitorItems();
  void mnuMonitor1Click(int tag);
  void ppmTrayMenuPopup() { UpdateMonitorItems(); }
  void Exit1Click();
  bool ConfirmExit();
  void Close();
  bool FormCloseQuery();
  void FormClose();
  void FormDestroy();
  void EmptyWorkFolder();
  void OpenHandedFile();
  void OpenHandedName(const std::string& name);

  // ---- commands, enabling, toggles, hot keys, keys (main_form_commands_win.cpp)
  CommandContext CommandState() const;
  void UpdateCommands();
  void EnableImageCommands(bool present);
  void ShowImageMenu(POINT screen) override;
  void mnuAutoPrintClick();
  void mnuAutoSaveClick();
  void mnuSWNotesClick();
  void mnuSetScreenClick();
  void mnuSetAreaClick();
  void UpdateNotesCommands();
  void UpdateStatusPanels();
  void RegisterCaptureHotKeys();
  void RemoveCaptureHotKeys();
  // One balloon at start-up when another program holds a capture key.
  void TellRefusedHotKeys();
  bool IsConsoleForeground();
  void shk1HotKey(int index);
  void FormKeyDown(WPARAM key, bool ctrl, bool& handled);

  // ---- the document (document_commands_win.cpp)
  void RenderView(double ratio);
  void ShowImageStatus();
  void SaveUndo();
  void ResetZoom();
  void ZoomTo(int n, int d);
  void zmiClick(int n);
  void zmoClick(int d);
  void ZoomToFraction(int n, int d);
  void FitToWindow();
  void ZoomStep(int steps) override;
  void mnuUndoClick();
  void Clear1Click();
  void btnCropClick();
  void mOptGreyClick();
  void CancelStamping();
  bool Image1MouseDown(int button, int x, int y) override;
  void Image1MouseUp() override;
  bool CropMode() const override { return doc_.CropMode(); }
  std::string EmptyViewText() const override;
  void TakeFocus() override { SetFocus(Handle()); }

  // ---- captures (capture_commands_win.cpp)
  void CaptureFullScreen();
  void CaptureActiveWindow();
  void btnSelectClick();
  void CaptureArea();
  void PresentCapture(Picture pic);
  void DoAutoCopy();
  void DoAutoPrint();
  void DoAutoSave();
  void DoAutoEdit();

  // ---- stamping (stamping_win.cpp)
  void SetStampGlyph();
  HIMAGELIST StampImages();
  void LoadStampChoice();
  void SelectStampCursor(int tag);
  void PopupIconMenu(int x);
  void btnGetCursorClick();
  void mnuAddCursorClick();
  void mnuIcon0Click(int imageIndex);
  void N39MeasureItem(MEASUREITEMSTRUCT& m);
  void DrawShapeItem(const DRAWITEMSTRUCT& d);

  // ---- the clipboard (clipboard_commands_win.cpp)
  void mnuCopyClick();
  void mnuPasteClick() { CaptureFromClipboard(); }
  void CaptureFromClipboard();
  void ClipboardChanged();
  void ClipboardChainChanged(HWND leaving, HWND next);

  // ---- printing (print_commands_win.cpp) ----------------------------------
  void Print1Click() { PrintImage(settings_.PrintNotes); }
  void PrintImage(bool withNotes);
  void PrintWithNotesKey();
  bool AskNotes(HWND owner = nullptr);
  void PrintSetup1Click();
  void PrintPreview1Click();
  ImagePrintOptions PrintOptions() const;
  void ApplyPrinterChoice(const PrinterChoice& choice);
  void PrintConsoleText();
  void SetHotKeysActive(bool on);
  // The capture hot keys off for a job and, at its end, as they were before,
  // so a capture that prints keeps them off until it has finished too.
  class HotKeysOff {
   public:
    explicit HotKeysOff(TfrmCaptureForm& form) : form_(form), wereOn_(form.shk1_->Active()) {
      form.shk1_->SetActive(false);
    }
    ~HotKeysOff() { form_.SetHotKeysActive(wereOn_); }
    HotKeysOff(const HotKeysOff&) = delete;
    HotKeysOff& operator=(const HotKeysOff&) = delete;

   private:
    TfrmCaptureForm& form_;
    bool wereOn_;
  };
  Printer printer_;
  std::vector<std::string> noteLines_;  // NoteLines: the notes last entered
  // ---- end of printing ------------------------------------------------------

  // ---- image files (image_files_win.cpp)
  void Save1Click();
  void SaveAs1Click() { SaveImageAs(false); }
  void SaveAs2Click() { SaveImageAs(true); }
  void SaveImageAs(bool asShown);
  void WriteImageFile(const std::string& name, bool silent, bool asShown);
  void AutoSaveImage();
  void mnuOpenFileClick();
  void LoadImageFile(const std::string& name, bool greys);
  void OpenAdjacentNumbered(bool next);
  void OpenFileByName(const std::string& file) { encryptedFiles_->OpenFileByName(file); }

  // ---- options, editor hand-off and help (options_commands_win.cpp, editor_help_win.cpp)
  void mnuOptionsClick();
  void UpdateHotKeyNote();
  void mnuEditorClick();
  void mnuHelpContentClick();
  void mnuHelpContextClick(int context);
  void mnuGuickStartClick();
  bool editorExists_ = true;  // the editor named in the settings was there when last looked at
  std::string hotKeyNote_;    // capture hot keys another program holds, for the tray hint

  // ---- mail (mail_commands_win.cpp)
  void mnuSendMailClick();
  std::string MailAttachment();
  // Cleared for the rest of the run once the mail client was found missing.
  bool mailAvailable_ = true;

  // ---- what the encrypted-file commands need of the window
  HWND Window() override { return Handle(); }
  HINSTANCE Resources() override { return inst_; }
  const std::string& DialogCaption() override { return dialogCaption_; }
  TDES& Cipher() override { return des1_; }
  KtxFormat EncryptFormat() override { return settings_.EncryptFormat; }
  std::string& SavePath() override { return settings_.SavePath; }
  std::string& OpenPath() override { return settings_.OpenPath; }
  std::string& LastOpenExt() override { return settings_.LastOpenExt; }
  std::string WorkFolder() override { return workFolder_; }
  void WriteImageFileSilent(const std::string& name) override { WriteImageFile(name, true, false); }
  void LoadImageFile(const std::string& name) override { LoadImageFile(name, false); }
  void SetOpenedDecrypted(bool on) override { openedDecrypted_ = on; }

  HINSTANCE inst_;
  std::string commandParam_;
  int dpi_ = 96;

  // folders
  std::string exeFolder_, dataFolder_, workFolder_, helpFile_;
  TPBSystemPath pbPath_{true};

  // brand, banner, cipher
  Branding brand_;
  std::string dialogCaption_;
  TfTop banner_;
  TDES des1_;
  std::unique_ptr<TdlgAbout> splash_;
  std::unique_ptr<EncryptedFiles> encryptedFiles_;

  std::unique_ptr<RegistrySettingsStore> store_;
  Settings settings_;
  std::unique_ptr<IniFile> customIni_;
  bool printSetupEnabled_ = false;

  HWND lastActiveWindow_ = nullptr;
  int splashTicks_ = 0;
  bool captureBusy_ = false;
  bool suppressPositionSave_ = false;
  bool bannerPresent_ = false;
  HWND nextClipboardViewer_ = nullptr;
  int monitorIndex_ = 0;
  bool trueColorDisplay_ = true;
  bool closing_ = false;
  bool startupDone_ = false;
  bool closeNoticeShown_ = false;
  bool firstCaptureShown_ = false;
  bool hadStoredPosition_ = false;
  bool shownSinceStartup_ = false;  // by the user, after start-up: the splash leaves it shown
  bool destroyed_ = false;  // after FormDestroy the last messages get the default handling

  // the image document
  ImageDocument doc_;
  ImageView view_{doc_, *this};
  std::string currentFileName_, lastOpenedFile_;
  bool openedDecrypted_ = false;
  std::string autoSaveNote_;  // after the status while the picture of a numbered save that skipped names is on show
  int areaCaptureDelay_ = 100;
  bool saveWritten_ = false;
  bool stampArmed_ = false;
  int stampIconIndex_ = 0;                                  // StampIconIndex
  StampSelection stamp_{0, 0, 0, StampCursor::Arrow};       // StampCursorId and the offsets
  struct ImageListTraits {
    static HIMAGELIST invalid() { return nullptr; }
    static void close(HIMAGELIST h) { ImageList_Destroy(h); }
  };
  UniqueHandle<HIMAGELIST, ImageListTraits> imgIcons_;  // ImgIcons
  bool clipboardBitmap_ = false;  // the paste commands follow it

  // components
  std::unique_ptr<TAnimatedTrayIcon> atiTray_;
  std::unique_ptr<TSysHotKey> shk1_;
  TfrmHKSet hkSet_;

  // children and menus
  ToolBar toolBar_;
  HWND statusBar_ = nullptr;
  HMENU mainMenu_ = nullptr;
  UniqueMenu trayMenuRoot_, imageMenuRoot_;
  HMENU trayMenu_ = nullptr, imageMenu_ = nullptr;
  HACCEL accel_ = nullptr;
  CommandUi commandUi_;
  bool monitorItemsShown_ = true;
};

}  // namespace griv
