// The area overlay: a frozen picture of one monitor on a borderless topmost
// window covering it, on which the user drags a rectangle.
#pragma once
#include <windows.h>

#include "base/picture.h"
#include "capture/grab_win.h"

namespace griv {

class TfrmCapArea {
 public:
  // Takes the picture of the monitor (the same choice as a full-screen grab).
  TfrmCapArea(HINSTANCE inst, int monitorIndex);
  ~TfrmCapArea();
  TfrmCapArea(const TfrmCapArea&) = delete;
  TfrmCapArea& operator=(const TfrmCapArea&) = delete;

  // Runs until a mouse button is released (true: OK) or the window is closed
  // or Esc is pressed (false).
  bool ShowModal();

  const RECT& SelRect() const { return selRect_; }  // never normalised
  const Picture& FrozenScreen() const { return frozen_; }
  int OverlayMonitor() const { return overlayMonitor_; }
  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT WndProc(UINT, WPARAM, LPARAM);
  void DrawFocus();
  void End(bool ok);

  HINSTANCE inst_;
  HWND hwnd_ = nullptr;
  bool dragging_ = false;
  RECT selRect_{0, 0, 0, 0};
  Picture frozen_;
  DibSection frozenDib_;
  int overlayMonitor_ = 0;
  RECT monitor_{};
  bool done_ = false, ok_ = false;
};

}  // namespace griv
