// The main window as the features see it: the few things their commands ask
// of it. Each feature's controller holds one and never the window's class.
#pragma once
#include <windows.h>

#include <string>

#include "base/settings_store.h"

namespace griv {

class AppWindow {
 public:
  virtual ~AppWindow() = default;
  // Null once the window is gone (GRIV closed while a command ran).
  virtual HWND Window() const = 0;
  virtual HINSTANCE Resources() const = 0;
  // The title of the window's message boxes.
  virtual const std::string& DialogCaption() const = 0;
  virtual int Dpi() const = 0;
  // The settings key, for values written the moment they change; null when
  // it cannot be opened.
  virtual SettingsStore* Store() = 0;
  // Applies the command table to every menu and button.
  virtual void UpdateCommands() = 0;
  // The status bar's first panel.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void RestoreMainWindow() = 0;
  // The capture hot keys; while they are off the clipboard's changes are GRIV's own.
  virtual bool HotKeysActive() const = 0;
  virtual void SetHotKeysActive(bool on) = 0;
};

// The capture hot keys off for a job and, at its end, as they were before,
// so a capture that prints keeps them off until it has finished too. When
// GRIV was closed meanwhile (from outside, while the job's window ran)
// nothing is restored: every clean-up after a modal window goes this way.
class HotKeysOff {
 public:
  explicit HotKeysOff(AppWindow& app) : app_(app), wereOn_(app.HotKeysActive()) { app.SetHotKeysActive(false); }
  ~HotKeysOff() {
    if (app_.Window()) app_.SetHotKeysActive(wereOn_);
  }
  HotKeysOff(const HotKeysOff&) = delete;
  HotKeysOff& operator=(const HotKeysOff&) = delete;

 private:
  AppWindow& app_;
  bool wereOn_;
};

// The modal window GRIV shows now (the innermost), or null.
HWND ModalWindow();
// Brings it to the front with the keyboard; false when none is shown.
bool BringModalToFront();

}  // namespace griv
