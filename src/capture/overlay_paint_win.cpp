#include "capture/overlay_paint_win.h"

#include <stdexcept>

#include "base/utf.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr COLORREF kFrameColour = RGB(0, 120, 215);
constexpr COLORREF kLabelBack = RGB(32, 32, 32);
constexpr COLORREF kLabelText = RGB(255, 255, 255);

UniqueFont UiFont(int height, bool bold) {
  LOGFONTW lf{};
  lf.lfHeight = -height;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfQuality = CLEARTYPE_QUALITY;
  wcscpy(lf.lfFaceName, L"Tahoma");
  return UniqueFont(CreateFontIndirectW(&lf));
}

RECT ToRect(const Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

bool Meets(const Box& b, const RECT& r) {
  return !b.Empty() && b.left < r.right && r.left < b.right && b.top < r.bottom && r.top < b.bottom;
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
  UniqueBrush b(CreateSolidBrush(c));
  FillRect(dc, &r, b.get());
}
}  // namespace

void Dim(Picture& pic) {
  // Half of every colour channel: a shift per byte, no rounding needed.
  for (uint8_t& b : pic.pixels) b = uint8_t(b >> 1);
}

OverlayPainter::OverlayPainter(const Picture& frozen, int dpi) : width_(frozen.width), height_(frozen.height), dpi_(dpi) {
  Picture dimmed = frozen;
  Dim(dimmed);
  if (!MakeDibSection(frozen, clear_, true) || !MakeDibSection(dimmed, dimmed_, true))
    throw std::runtime_error("Unable to make a bitmap of the screen");
  clearDc_.reset(CreateCompatibleDC(nullptr));
  dimmedDc_.reset(CreateCompatibleDC(nullptr));
  if (!clearDc_ || !dimmedDc_) throw std::runtime_error("Unable to draw the selection");
  // Kept selected for the overlay's life: every frame copies from them.
  SelectObject(clearDc_.get(), clear_.bitmap.get());
  SelectObject(dimmedDc_.get(), dimmed_.bitmap.get());
  labelFont_ = UiFont(Scale(12, dpi), true);
  hintFont_ = UiFont(Scale(15, dpi), false);
}

SIZE OverlayPainter::Measure(HFONT font, const std::wstring& text) {
  SelectObj f(clearDc_.get(), font);
  SIZE s{};
  GetTextExtentPoint32W(clearDc_.get(), text.c_str(), int(text.size()), &s);
  return s;
}

OverlayLayout OverlayPainter::Layout(const OverlayState& s) {
  OverlayMetrics m;
  m.screenWidth = width_;
  m.screenHeight = height_;
  m.dpi = dpi_;
  const SIZE label = Measure(labelFont_.get(), Widen(OverlayLabel(s, width_, height_)));
  m.labelWidth = label.cx + Scale(12, dpi_);
  m.labelHeight = label.cy + Scale(6, dpi_);
  const SIZE hint = Measure(hintFont_.get(), Widen(OverlayHint(s)));
  m.hintWidth = hint.cx + Scale(24, dpi_);
  m.hintHeight = hint.cy + Scale(12, dpi_);
  return LayOutOverlay(s, m);
}

void OverlayPainter::Paint(HDC target, const RECT& dirty, const OverlayState& s, const OverlayLayout& o) {
  PaintBuffered(target, dirty, [&](HDC dc) {
    const int w = dirty.right - dirty.left, h = dirty.bottom - dirty.top;
    BitBlt(dc, dirty.left, dirty.top, w, h, dimmedDc_.get(), dirty.left, dirty.top, SRCCOPY);
    RECT clear;
    const RECT sel = ToRect(o.selection);
    if (!o.selection.Empty() && IntersectRect(&clear, &sel, &dirty))
      BitBlt(dc, clear.left, clear.top, clear.right - clear.left, clear.bottom - clear.top, clearDc_.get(),
             clear.left, clear.top, SRCCOPY);
    if (!o.selection.Empty()) {
      // The frame lies outside the selection: the pixels to be saved stay visible.
      const RECT f = ToRect(o.frame);
      Fill(dc, {f.left, f.top, f.right, sel.top}, kFrameColour);
      Fill(dc, {f.left, sel.bottom, f.right, f.bottom}, kFrameColour);
      Fill(dc, {f.left, sel.top, sel.left, sel.bottom}, kFrameColour);
      Fill(dc, {sel.right, sel.top, f.right, sel.bottom}, kFrameColour);
    }
    for (const Box& h : o.handles) {
      if (!Meets(h, dirty)) continue;
      RECT r = ToRect(h);
      Fill(dc, r, kFrameColour);
      InflateRect(&r, -1, -1);
      Fill(dc, r, RGB(255, 255, 255));
    }
    if (Meets(o.magnifier, dirty)) {
      const RECT m = ToRect(o.magnifier);
      Fill(dc, m, kFrameColour);
      const int border = std::max(1, Scale(1, dpi_));
      const RECT in{m.left + border, m.top + border, m.right - border, m.bottom - border};
      Fill(dc, in, RGB(0, 0, 0));  // beyond the screen's edge
      const Box& src = o.magnifierSource;
      const int x0 = std::max(0, src.left), y0 = std::max(0, src.top);
      const int x1 = std::min(width_, src.right), y1 = std::min(height_, src.bottom);
      if (x0 < x1 && y0 < y1) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, in.left + (x0 - src.left) * o.zoom, in.top + (y0 - src.top) * o.zoom, (x1 - x0) * o.zoom,
                   (y1 - y0) * o.zoom, clearDc_.get(), x0, y0, x1 - x0, y1 - y0, SRCCOPY);
      }
      // The pixel under the pointer, outlined in black and white so it shows on any colour.
      const int cx = in.left + (s.pointerX - src.left) * o.zoom, cy = in.top + (s.pointerY - src.top) * o.zoom;
      RECT px{cx - 1, cy - 1, cx + o.zoom + 1, cy + o.zoom + 1};
      FrameRect(dc, &px, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      InflateRect(&px, 1, 1);
      FrameRect(dc, &px, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kLabelText);
    if (Meets(o.label, dirty)) {
      RECT l = ToRect(o.label);
      Fill(dc, l, kLabelBack);
      SelectObj f(dc, labelFont_.get());
      const std::wstring text = Widen(OverlayLabel(s, width_, height_));
      DrawTextW(dc, text.c_str(), int(text.size()), &l, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (Meets(o.hint, dirty)) {
      RECT t = ToRect(o.hint);
      Fill(dc, t, kLabelBack);
      SelectObj f(dc, hintFont_.get());
      const std::wstring hint = Widen(OverlayHint(s));
      DrawTextW(dc, hint.c_str(), int(hint.size()), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  });
}

}  // namespace griv
