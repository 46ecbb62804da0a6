// The captures: full screen, last active window and area (also the crop of
// the picture on show), the steps after each, the monitor they use and the
// window they take. Every capture request, from any source, passes one gate.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "image/document_host_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

// What a capture asks of the other features: before it, and the automatic
// steps after it (each run only when its option is on).
struct CaptureSteps {
  std::function<void()> cancelStamping;
  std::function<void()> forgetFileName;  // the new picture is no file's
  std::function<void()> copy, print, save, edit;
  std::function<void()> recorded;  // the capture is the picture now (the history keeps it)
};

enum class Capture {
  Full,          // the chosen monitor
  ActiveWindow,  // the window the user worked in last
  Area,          // a rectangle of the frozen screen, the window staying as it is
  SelectArea,    // the same with the window out of the way first
  Crop,          // a rectangle of the picture on show, at its zoom
};

// A console window is in front: the hot keys leave PrintScreen to it, and a
// text it copies may be printed.
bool ConsoleInFront();

class CaptureCommands {
 public:
  CaptureCommands(AppWindow& app, DocumentHost& doc, Settings& settings, CaptureSteps steps)
      : app_(app), doc_(doc), settings_(settings), steps_(std::move(steps)) {}

  void AddTo(CommandTable& table);
  // At start-up: the stored monitor, and the tray's monitor items.
  void Start(HMENU trayMenu);
  // The tray menu's monitor items are there only with two monitors (by
  // their ids: the menu may change around them).
  void UpdateMonitorItems(HMENU trayMenu);

  // The one gate of every capture request: hot keys, the tray, the tool bar,
  // a second start, clipboard watching. A request is refused while GRIV
  // shows a modal window or another capture runs; true when it ran.
  bool Gate(const std::function<void()>& capture);
  void Request(Capture what);
  // Hot key 0 full screen (or area, by the capture mode), 1 active window, 2 area.
  void OnHotKey(int index);

  // The two-second tracker of the last active window; false while the task
  // bar or the notification area is in front (the timer then stops there).
  bool TrackForeground();

  // A new picture comes: stamping ends, the file name goes, the undo record takes the old one.
  void NewPicture();
  // A capture (or a picture taken from the clipboard) has become the picture.
  void Recorded() {
    if (steps_.recorded) steps_.recorded();
  }
  // The steps after a capture, each when its option is on.
  void AutoCopy();
  void AutoPrint();
  void AutoSave();
  void AutoEdit();

 private:
  void CaptureFullScreen();
  void CaptureActiveWindow();
  void SelectArea();
  void CaptureArea();
  void PresentCapture(Picture pic);
  void KeepSpareAWhile();
  void SetMonitor(int index);

  AppWindow& app_;
  DocumentHost& doc_;
  Settings& settings_;
  CaptureSteps steps_;
  HWND lastActiveWindow_ = nullptr;
  int monitorIndex_ = 0;
  int areaCaptureDelay_ = 100;
  bool busy_ = false;
  // The monitor items while one monitor leaves them out of the tray menu.
  struct HiddenItems {
    int position = -1;  // of the separator above them
    std::wstring texts[2];
  } hidden_;
};

}  // namespace griv
