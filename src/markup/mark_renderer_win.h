// Marks drawn with GDI+: anti-aliased strokes whose core is exactly the
// mark's colour, arrow heads, text 16 picture pixels high and numbered
// discs; and the view's painter, which puts a part of the shown picture on
// screen with the marks over it (only the part asked for, so a drag stays
// smooth).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/picture.h"
#include "markup/gdiplus_win.h"
#include "markup/mark_paint.h"
#include "markup/markup_session.h"

namespace griv {

class GdiplusMarkRenderer : public MarkRenderer {
 public:
  // Throws std::runtime_error when the system has no GDI+.
  GdiplusMarkRenderer();
  ~GdiplusMarkRenderer() override;
  GdiplusMarkRenderer(const GdiplusMarkRenderer&) = delete;
  GdiplusMarkRenderer& operator=(const GdiplusMarkRenderer&) = delete;

  void DrawStrokes(Picture& target, const MarkFrame& frame, const std::vector<const Mark*>& marks) override;
  // The size of a text mark's text, in picture pixels (for MarkupSession::SetTextMeasure).
  PointF MeasureText(const std::string& text);

 private:
  void Draw(gdip::GpGraphics* g, const Mark& m);
  gdip::GpFont* NumberFont(int number) const;

  const gdip::Api& g_;
  gdip::GpFontFamily* family_ = nullptr;
  gdip::GpFont* textFont_ = nullptr;
  gdip::GpFont* numberFonts_[3] = {};
  gdip::GpStringFormat* textFormat_ = nullptr;
  gdip::GpStringFormat* numberFormat_ = nullptr;
  uint32_t measurePixel_ = 0;
  gdip::GpImage* measureImage_ = nullptr;
  gdip::GpGraphics* measureGraphics_ = nullptr;
};

// One renderer for the program, made at first use: what the outputs'
// FlattenMarks and the view's painter draw with.
GdiplusMarkRenderer& SharedMarkRenderer();

class MarkViewPainter {
 public:
  // Paints area (view coordinates of the shown picture) of shown, with
  // the session's marks over it, at (destX, destY) of dc. original is the
  // full picture shown at the session's mapping.
  void Paint(HDC dc, int destX, int destY, const PixelBox& area, const Picture& shown, const Picture& original,
             const MarkupSession& session);

 private:
  Picture scratch_;  // kept: a drag paints into the same buffer at every move
};

}  // namespace griv
