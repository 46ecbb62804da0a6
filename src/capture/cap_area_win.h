// The area overlay: a frozen picture of one monitor on a borderless topmost
// window covering it, on which the user drags a rectangle.
#pragma once
#include <windows.h>

#include "base/picture.h"
#include "capture/grab_win.h"
#include "shell/window_base_win.h"

namespace griv {

class TfrmCapArea : private WindowBase {
 public:
  // Takes the picture of the monitor (the same choice as a full-screen grab).
  explicit TfrmCapArea(int monitorIndex);

  // Runs until a mouse button is released (true: OK) or the window is closed
  // or Esc is pressed (false).
  bool ShowModal();

  const RECT& SelRect() const { return selRect_; }  // never normalised
  const Picture& FrozenScreen() const { return frozen_; }
  int OverlayMonitor() const { return overlayMonitor_; }
  using WindowBase::Handle;

 private:
  LRESULT WndProc(UINT, WPARAM, LPARAM) override;
  void DrawFocus();
  void End(bool ok);

  bool dragging_ = false;
  RECT selRect_{0, 0, 0, 0};
  Picture frozen_;
  DibSection frozenDib_;
  int overlayMonitor_ = 0;
  RECT monitor_{};
  bool done_ = false, ok_ = false;
  HWND help_ = nullptr;  // help opened over the overlay with F1
};

}  // namespace griv
