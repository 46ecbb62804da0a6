// The main window TfrmCaptureForm: start-up, lifecycle, commands and the
// state every subsystem of the program hangs off.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/toolbar_win.h"
#include "base/handles_win.h"
#include "hotkeys/hk_set_win.h"
#include "hotkeys/sys_hotkey_win.h"
#include "shell/ini.h"
#include "shell/registry_win.h"
#include "shell/system_path_win.h"
#include "shell/tray_icon_win.h"

namespace griv {

inline constexpr UINT WM_CAPTURE_FULL = WM_USER + 1;
inline constexpr UINT WM_CAPTURE_ACTIVE = WM_USER + 2;
inline constexpr UINT WM_OPEN_HANDED_FILE = WM_USER + 3;
inline constexpr UINT WM_SHOW_MAIN = WM_USER + 4;
inline constexpr UINT WM_OPEN_WEBSITE = WM_USER + 5;

inline constexpr wchar_t kMainClassName[] = L"TfrmCaptureForm";
inline constexpr char kHandOffFileName[] = "~~ktw01";

class TfrmCaptureForm {
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

  const std::string& DialogCaption() const { return dialogCaption_; }
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
  void btnSelectClick();
  void CaptureArea();
  void ShowImageMenu(POINT screen);

  // seams filled by the subsystems that attach to the window
  void OpenFileByName(const std::string& file);
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

  // brand (until the brand file is read)
  std::string mainCaption_ = "Grivanta";
  std::string webSite_ = "https://www.grivanta.com";
  std::string dialogCaption_;

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
  bool startMinimised_ = false;
  bool closing_ = false;

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
