// The area overlay: a frozen picture of one monitor on a borderless topmost
// window covering it, on which the user drags a rectangle. Outside the
// selection the picture is dimmed; the size, a magnifier and a hint help to
// aim. The arrow keys move the pointer a pixel at a time (ten with Shift),
// Enter or Space starts and ends a drag, Esc abandons.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "base/picture.h"
#include "capture/grab_win.h"
#include "capture/overlay_paint_win.h"
#include "ui/window_base_win.h"

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
  using WindowBase::Handle;

  // F1 on the overlay.
  std::function<void()> OnHelp;

 private:
  LRESULT WndProc(UINT, WPARAM, LPARAM) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void MoveTo(int x, int y);
  void StartDrag(int x, int y);
  void EndDrag();
  void Relayout();
  void End(bool ok);

  RECT selRect_{0, 0, 0, 0};
  Picture frozen_;
  RECT monitor_{};
  std::unique_ptr<OverlayPainter> painter_;
  OverlayState state_;
  OverlayLayout layout_;
  bool done_ = false, ok_ = false;
};

}  // namespace griv
