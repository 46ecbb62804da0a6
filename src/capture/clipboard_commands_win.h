// The clipboard: copy and paste of the image, and the viewer chain that
// tells GRIV of every change (the paste commands, watched captures, the
// text a console copies for printing).
#pragma once
#include <windows.h>

#include "capture/capture_commands_win.h"
#include "printing/print_commands_win.h"

namespace griv {

class ClipboardCommands {
 public:
  ClipboardCommands(AppWindow& app, DocumentHost& doc, const Settings& settings, CaptureCommands& capture,
                    PrintCommands& print)
      : app_(app), doc_(doc), settings_(settings), capture_(capture), print_(print) {}

  void AddTo(CommandTable& table);
  // The window joins the viewer chain at start-up and leaves it at the end.
  void JoinViewerChain();
  void LeaveViewerChain();
  // WM_DRAWCLIPBOARD and WM_CHANGECBCHAIN.
  void Changed();
  void ChainChanged(HWND leaving, HWND next);

  void Copy();

 private:
  // A bitmap on the clipboard becomes the picture (Paste, and watching).
  void TakeFromClipboard();

  AppWindow& app_;
  DocumentHost& doc_;
  const Settings& settings_;
  CaptureCommands& capture_;
  PrintCommands& print_;
  HWND nextViewer_ = nullptr;
  bool bitmap_ = false;  // the paste commands follow it
};

}  // namespace griv
