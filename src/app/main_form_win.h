// The main window TfrmCaptureForm: start-up, lifecycle, commands and the
// state every subsystem of the program hangs off.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/branding.h"
#include "app/document.h"
#include "app/settings.h"
#include "app/toolbar_win.h"
#include "base/handles_win.h"
#include "hotkeys/hk_set_win.h"
#include "hotkeys/sys_hotkey_win.h"
#include "shell/ini.h"
#include "shell/registry_win.h"
#include "shell/system_path_win.h"
#include "shell/tray_icon_win.h"
#include "shell/about_win.h"
#include "shell/banner_win.h"
#include "crypto/encrypted_files_win.h"

namespace griv {

inline constexpr UINT WM_CAPTURE_FULL = WM_USER + 1;
inline constexpr UINT WM_CAPTURE_ACTIVE = WM_USER + 2;
inline constexpr UINT WM_OPEN_HANDED_FILE = WM_USER + 3;
inline constexpr UINT WM_SHOW_MAIN = WM_USER + 4;
inline constexpr UINT WM_OPEN_WEBSITE = WM_USER + 5;

inline constexpr wchar_t kMainClassName[] = L"TfrmCaptureForm";
inline constexpr char kHandOffFileName[] = "~~ktw01";

class TfrmCaptureForm : public EncryptedFilesHost {
 public:
  TfrmCaptureForm(HINSTANCE inst, std::string commandParam);
  ~TfrmCaptureForm();
  TfrmCaptureForm(const TfrmCaptureForm&) = delete;
  TfrmCaptureForm& operator=(const TfrmCaptureForm&) = delete;

  // Creates the window and runs FormCreate; the window stays hidden.
  void Create();
  HWND Handle() const { return hwnd_; }
  HACCEL Accelerators() const { return accel_; }
  // Key preview: true when the key was handled and must not go further.
  bool PreviewKeyDown(const MSG& msg);

  // ---- lifecycle ----
  void RestoreMainWindow();
  bool ConfirmExit();
  void SaveWindowPosition();
  void UpdateMonitorItems();
  void Close();

  // The hot-key editor, created once right after the main window and kept.
  void CreateHotKeyEditor() { hkSet_.Create(inst_); }
  TfrmHKSet& HotKeyEditor() { return hkSet_; }

  // What the encrypted-file commands need of the window.
  HWND Window() override { return hwnd_; }
  HINSTANCE Resources() override { return inst_; }
  const std::string& DialogCaption() override { return dialogCaption_; }
  TDES& Cipher() override { return des1_; }
  std::string& SavePath() override { return settings_.SavePath; }
  std::string& OpenPath() override { return settings_.OpenPath; }
  std::string& LastOpenExt() override { return settings_.LastOpenExt; }
  std::string WorkFolder() override { return workFolder_; }
  void WriteImageFileSilent(const std::string& name) override { WriteImageFile(name, true, false); }
  void LoadImageFile(const std::string& name) override { LoadImageFile(name, false); }
  void SetOpenedDecrypted(bool on) override { openedDecrypted_ = on; }

  Settings& Options() { return settings_; }
  SettingsStore& Store() { return *store_; }
  int MonitorIndex() const { return monitorIndex_; }

 private:
  static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  void OnCommand(int id);

  // start-up and shutdown
  void FormCreate();
  void CreateChildren();
  void LoadSettings();
  void ApplyWindowPosition();
  void RunCommandLine();
  void FormResize();
  bool FormCloseQuery();
  void FormClose();
  void FormDestroy();
  void FormShow();
  void FormHide();
  void Timer1Timer();
  void EmptyWorkFolder();
  void OpenHandedFile();

  // commands of this window
  void Exit1Click();
  void mnuRestoreClick() { RestoreMainWindow(); }
  void atiTrayDblClick() { RestoreMainWindow(); }
  void ppmTrayMenuPopup();
  void mnuMonitor1Click(int tag);
  void mnuAutoPrintClick();
  void mnuAutoSaveClick();
  void mnuSWNotesClick();
  void mnuSetScreenClick();
  void mnuSetAreaClick();
  void shk1HotKey(int index);
  bool IsConsoleForeground();
  void RegisterCaptureHotKeys();
  void RemoveCaptureHotKeys();

  // capture commands and the steps after each capture
  void btnSelectClick();
  void CaptureArea();
  void PresentCapture(Picture pic);
  void DoAutoCopy();
  void DoAutoPrint();
  void DoAutoSave();
  void DoAutoEdit();

  // the image document and its view
  void CreateScrollBox();
  static LRESULT CALLBACK ScrollBoxProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT ScrollBoxMessage(UINT msg, WPARAM wp, LPARAM lp);
  void UpdateScrollBars();
  void ScrollView(int bar, int code, int thumb);
  void PaintView(HDC dc);
  void RenderView(double ratio);
  void ShowImageStatus();
  void EnableImageCommands(bool present);
  void EnableUndoCommands(bool on);
  void SaveUndo();
  void ResetZoom();
  void ZoomTo(int n, int d);
  void zmiClick(int n);
  void zmoClick(int d);
  void mnuUndoClick();
  void Clear1Click();
  void btnCropClick();
  void mOptGreyClick();
  void CancelStamping();
  void Image1MouseDown(int button, int x, int y);
  void Image1MouseMove(int x, int y);
  void Image1MouseUp();
  void FormKeyDown(WPARAM key, bool ctrl, bool& handled);
  bool MenuEnabled(int id);

  // image files
  void Save1Click();
  void SaveAs1Click() { SaveImageAs(false); }
  void SaveAs2Click() { SaveImageAs(true); }
  void SaveImageAs(bool asShown);
  void WriteImageFile(const std::string& name, bool silent, bool asShown);
  void AutoSaveImage();
  void mnuOpenFileClick();
  void LoadImageFile(const std::string& name, bool greys);
  void OpenAdjacentNumbered(bool next);
  void ShowImageMenu(POINT screen);

  // seams filled by the subsystems that attach to the window
  void OpenFileByName(const std::string& file) { encryptedFiles_->OpenFileByName(file); }
  void LoadBranding();
  void OpenWebSite();
  void About1Click();
  void CaptureFullScreen();
  void CaptureActiveWindow();
  void UpdateStatusPanels();
  void UpdateNotesCommands();

  // menus
  void SetMenuCheck(int id, bool on);
  void SetCommandEnabled(int id, bool on);
  void LayoutStatusPanels();
  void SetStatusText(int panel, const std::string& text, bool centred = false);

  HINSTANCE inst_;
  HWND hwnd_ = nullptr;
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

  HWND lastActiveWindow_ = nullptr;
  int splashTicks_ = 0;
  bool captureBusy_ = false;
  bool suppressPositionSave_ = false;
  bool bannerPresent_ = false;
  HWND nextClipboardViewer_ = nullptr;
  int monitorIndex_ = 0;
  bool trueColorDisplay_ = true;
  bool closing_ = false;

  // the image document
  ImageDocument doc_;
  std::string currentFileName_, lastOpenedFile_;
  bool openedDecrypted_ = false;
  std::string autoSaveNote_;  // said once in the status after a numbered save that skipped names
  int panLastX_ = -1, panLastY_ = -1;
  int scrollX_ = 0, scrollY_ = 0;
  HCURSOR handDrag_ = nullptr;
  int areaCaptureDelay_ = 100;
  bool saveEnabled_ = false;

  // components
  std::unique_ptr<TAnimatedTrayIcon> atiTray_;
  std::unique_ptr<TSysHotKey> shk1_;
  TfrmHKSet hkSet_;

  // children and menus
  ToolBar toolBar_;
  HWND statusBar_ = nullptr;
  HWND scrollBox_ = nullptr;
  HMENU mainMenu_ = nullptr;
  UniqueMenu trayMenuRoot_, imageMenuRoot_;
  HMENU trayMenu_ = nullptr, imageMenu_ = nullptr;
  HACCEL accel_ = nullptr;
  bool monitorItemsShown_ = true;
  std::string statusTexts_[4];
};

}  // namespace griv
