// The main window TfrmCaptureForm: the window with its menus, tool bar,
// status bar and banner, start-up and lifecycle, the image document and its
// view, and the dispatch of every command to the feature that owns it.
//
// The features are controllers in their own folders (app/features_win.h
// makes them). Each reaches the window through AppWindow and the document
// through DocumentHost; its commands are rows of its own table, gathered
// here into one CommandTable that every menu, button and key goes through.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/command_ui_win.h"
#include "app/features_win.h"
#include "app/image_view_win.h"
#include "app/toolbar_win.h"
#include "app/view_commands_win.h"
#include "base/handles_win.h"
#include "base/ini.h"
#include "hotkeys/capture_hot_keys_win.h"
#include "hotkeys/hk_set_win.h"
#include "options/settings.h"
#include "tray/banner_win.h"
#include "tray/branding.h"
#include "tray/tray_icon_win.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"
#include "ui/registry_win.h"
#include "ui/window_base_win.h"

namespace griv {

class TfrmCaptureForm : private WindowBase, private AppWindow {
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
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSize(int, int) override { FormResize(); }
  void OnCommand(int id, HWND control, bool fromAccelerator);
  void FormKeyDown(WPARAM key, bool ctrl, bool& handled);

  // ---- start-up
  void FormCreate();
  void CreateChildren();
  void LoadSettings();
  void ApplyWindowPosition();
  void RunCommandLine();
  void LoadBranding();
  // The banner, made when it is first needed; null when it cannot be made.
  TfTop* Banner();
  void Timer1Timer();

  // ---- showing, hiding and the window's parts
  // A second start, a double click on the tray icon, "Restore": the modal
  // window GRIV shows comes to the front, else the main window.
  void ShowRequested();
  void FormShow(bool anew = false);
  void FormHide();
  void FormResize();
  void LayoutStatusPanels();
  void SetStatusPanel(int panel, const std::string& text, bool centred = false);
  void SaveWindowPosition();

  // ---- a file handed over by a second start (it waits for a modal window)
  void OpenHandedName(const std::string& name);

  // ---- exit
  void Exit1Click();
  void Close();
  void FormClose();
  void FormDestroy();

  // ---- what the features ask of the window
  HWND Window() const override { return Handle(); }
  HINSTANCE Resources() const override { return inst_; }
  const std::string& DialogCaption() const override { return dialogCaption_; }
  int Dpi() const override { return dpi_; }
  SettingsStore* Store() override { return store_.get(); }
  void UpdateCommands() override;
  void SetStatusText(const std::string& text) override;
  void RestoreMainWindow() override;
  bool HotKeysActive() const override { return hotKeys_.Active(); }
  void SetHotKeysActive(bool on) override { hotKeys_.SetActive(on); }

  HINSTANCE inst_;
  std::string commandParam_;
  int dpi_ = 96;
  ProgramFolders folders_;

  Branding brand_;
  std::string dialogCaption_;
  TfTop banner_;
  int bannerStart_ = 0;  // the tag line it starts with
  std::unique_ptr<RegistrySettingsStore> store_;
  Settings settings_;
  std::unique_ptr<IniFile> customIni_;

  int splashTicks_ = 0;
  bool suppressPositionSave_ = false;
  bool bannerPresent_ = false;
  bool closing_ = false;
  bool startupDone_ = false;
  bool closeNoticeShown_ = false;
  bool hadStoredPosition_ = false;
  bool shownSinceStartup_ = false;  // by the user, after start-up: the splash leaves it shown
  bool destroyed_ = false;  // after FormDestroy the last messages get the default handling

  // the document, its view and the features
  ImageDocument doc_;
  ViewCommands viewCommands_{*this, doc_, settings_};
  ImageView view_{doc_, viewCommands_};
  CommandTable commands_;
  CaptureHotKeys hotKeys_;
  TfrmHKSet hkSet_;
  std::unique_ptr<Features> features_;
  std::unique_ptr<TAnimatedTrayIcon> atiTray_;

  // children and menus
  ToolBar toolBar_;
  HWND statusBar_ = nullptr;
  HMENU mainMenu_ = nullptr;
  UniqueMenu trayMenuRoot_, imageMenuRoot_;
  HMENU trayMenu_ = nullptr, imageMenu_ = nullptr;
  HACCEL accel_ = nullptr;
  CommandUi commandUi_;
};

}  // namespace griv
