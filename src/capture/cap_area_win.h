// The area overlay: a frozen picture of one monitor on a borderless topmost
// window covering it. The window under the pointer is outlined; a click takes
// it whole, a drag in any direction takes the rectangle from corner to
// corner. Outside the selection the picture is dimmed; the size, a magnifier
// and a hint help to aim. The arrow keys move the pointer a pixel at a time
// (ten with Shift), Enter or Space starts and ends a drag, Esc abandons.
// With adjusting on, the selection then waits with handles: drag them or
// the selection, or move it with the arrow keys, and Enter takes it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "base/picture.h"
#include "capture/grab_win.h"
#include "capture/overlay_paint_win.h"
#include "capture/selection.h"
#include "ui/window_base_win.h"

namespace griv {

class TfrmCapArea : private WindowBase {
 public:
  // Takes the picture of the monitor (the same choice as a full-screen grab)
  // and the places of the windows on it.
  TfrmCapArea(int monitorIndex, bool adjust);

  // Runs until a selection is made or refused by a mouse button (true: OK) or
  // the window is closed or Esc is pressed (false).
  bool ShowModal();

  // The pixels chosen, in the frozen picture; not valid when nothing was (a
  // drag without width or height, another button).
  const SelectedArea& Selection() const { return selection_; }
  const Picture& FrozenScreen() const { return frozen_; }
  using WindowBase::Handle;

  // F1 on the overlay.
  std::function<void()> OnHelp;

 private:
  LRESULT WndProc(UINT, WPARAM, LPARAM) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void MoveTo(int x, int y);
  void Press(int x, int y);
  void Release();
  void Choose(const SelectedArea& sel);
  bool Key(WPARAM key);
  void Relayout();
  void End(bool ok);

  Picture frozen_;
  RECT monitor_{};
  std::vector<Box> windows_;  // the windows on the monitor, topmost first, in its coordinates
  bool adjust_;
  std::unique_ptr<OverlayPainter> painter_;
  OverlayState state_;
  OverlayLayout layout_;
  // A press that has not yet moved far enough to be a drag is a click.
  bool pressed_ = false;
  int pressX_ = 0, pressY_ = 0;
  Grip grip_ = Grip::None;  // what a press on the adjusted selection holds
  Box gripStart_;
  SelectedArea selection_;
  bool done_ = false, ok_ = false;
};

}  // namespace griv
