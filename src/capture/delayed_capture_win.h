// The delayed capture: "Capture Screen in 5 Seconds" waits the delay of the
// options, then takes the full screen as "Capture Screen Now" does. While it
// counts down the tray icon shows the seconds left; Esc (anywhere) or "Cancel
// Delayed Capture" stops it.
#pragma once
#include <windows.h>

#include <functional>

#include "capture/capture_commands_win.h"
#include "ui/window_base_win.h"

namespace griv {

class DelayedCapture : private WindowBase {
 public:
  DelayedCapture(AppWindow& app, CaptureCommands& capture, const Settings& settings)
      : app_(app), capture_(capture), settings_(settings) {}
  ~DelayedCapture() override;

  void AddTo(CommandTable& table);
  // The tray item's text follows the delay: at start-up, and after the options.
  void Attach(HMENU trayMenu) {
    trayMenu_ = trayMenu;
    UpdateMenuText();
  }
  void UpdateMenuText();

  void Start();
  void Cancel();
  bool Counting() const { return deadline_ != 0; }
  int SecondsLeft() const;

  // The seconds left at every change, and 0 once the count is over (or stopped).
  std::function<void(int secondsLeft)> OnCountdown;

 private:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void Tick();
  void Stop();

  AppWindow& app_;
  CaptureCommands& capture_;
  const Settings& settings_;
  HMENU trayMenu_ = nullptr;
  DWORD deadline_ = 0;  // tick count when the capture is due; 0 while none counts
  int shown_ = 0;       // the seconds last shown
  bool escapeHeld_ = false;
};

}  // namespace griv
