// The Options command: the options dialog over the current settings, and on
// Ok the settings stored back, the toggles run, the hot keys re-registered
// and everything saved; and the option toggles of the tray and image menus.
#pragma once
#include <functional>

#include "hotkeys/capture_hot_keys_win.h"
#include "hotkeys/hk_set_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

class OptionsCommands {
 public:
  OptionsCommands(AppWindow& app, Settings& settings, CaptureHotKeys& hotKeys, TfrmHKSet& hotKeyEditor)
      : app_(app), settings_(settings), hotKeys_(hotKeys), hotKeyEditor_(hotKeyEditor) {}

  void AddTo(CommandTable& table);
  // Raised after Ok, once the settings hold the choices.
  std::function<void()> OnApplied;

 private:
  void ShowOptions();
  bool RunDialog();  // true on Ok
  void ToggleAutoPrint();
  void ToggleAutoSave();

  AppWindow& app_;
  Settings& settings_;
  CaptureHotKeys& hotKeys_;
  TfrmHKSet& hotKeyEditor_;
};

}  // namespace griv
