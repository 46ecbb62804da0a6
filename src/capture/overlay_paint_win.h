// Draws the area overlay: the frozen screen dimmed outside the selection and
// clear inside it, the selection's frame, the size next to the pointer, the
// magnifier and the hint. Only the part asked for is drawn, from two copies
// of the screen kept ready (clear and dimmed).
#pragma once
#include <windows.h>

#include <string>

#include "base/dib_win.h"
#include "base/handles_win.h"
#include "base/picture.h"
#include "capture/overlay_layout.h"

namespace griv {

class OverlayPainter {
 public:
  OverlayPainter(const Picture& frozen, int dpi);
  OverlayPainter(const OverlayPainter&) = delete;
  OverlayPainter& operator=(const OverlayPainter&) = delete;

  // The layout for a state, with the label and hint measured in the overlay's fonts.
  OverlayLayout Layout(const OverlayState& s);
  void Paint(HDC dc, const RECT& dirty, const OverlayState& s, const OverlayLayout& o);

 private:
  SIZE Measure(HFONT font, const std::wstring& text);

  int width_, height_, dpi_;
  DibSection clear_, dimmed_;
  UniqueMemDC clearDc_, dimmedDc_;
  UniqueFont labelFont_, hintFont_;
};

// The picture at half brightness: what lies outside the selection.
void Dim(Picture& pic);

}  // namespace griv
