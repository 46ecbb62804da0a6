#include "ui/glyphs_win.h"

#include <initializer_list>
#include <vector>

#include "base/handles_win.h"

namespace griv {

namespace {
struct Pen16 {
  HDC dc;
  int ox, oy, k;  // origin and scale in 1/16 units of a 16-unit cell
  int X(double v) const { return ox + static_cast<int>(v * k / 16.0 + 0.5); }
  int Y(double v) const { return oy + static_cast<int>(v * k / 16.0 + 0.5); }
  void Rect(double x0, double y0, double x1, double y1, COLORREF fill, COLORREF line) const {
    UniqueBrush br(CreateSolidBrush(fill));
    UniquePen pn(CreatePen(PS_SOLID, 1, line));
    SelectObj a(dc, br.get()), b(dc, pn.get());
    Rectangle(dc, X(x0), Y(y0), X(x1), Y(y1));
  }
  void Poly(std::initializer_list<POINT> pts16, COLORREF fill, COLORREF line) const {
    std::vector<POINT> p;
    for (auto q : pts16) p.push_back({X(q.x), Y(q.y)});
    UniqueBrush br(CreateSolidBrush(fill));
    UniquePen pn(CreatePen(PS_SOLID, 1, line));
    SelectObj a(dc, br.get()), b(dc, pn.get());
    Polygon(dc, p.data(), static_cast<int>(p.size()));
  }
  void Line(double x0, double y0, double x1, double y1, COLORREF c, int width = 1) const {
    UniquePen pn(CreatePen(PS_SOLID, width, c));
    SelectObj a(dc, pn.get());
    MoveToEx(dc, X(x0), Y(y0), nullptr);
    LineTo(dc, X(x1), Y(y1));
  }
  void Ellipse(double x0, double y0, double x1, double y1, COLORREF fill, COLORREF line) const {
    UniqueBrush br(CreateSolidBrush(fill));
    UniquePen pn(CreatePen(PS_SOLID, 1, line));
    SelectObj a(dc, br.get()), b(dc, pn.get());
    ::Ellipse(dc, X(x0), Y(y0), X(x1), Y(y1));
  }
};
}  // namespace

void DrawGlyph(HDC dc, const RECT& r, Glyph g, bool enabled, int dpi) {
  if (g == Glyph::None) return;
  int k = MulDiv(16, dpi, 96);
  if (g == Glyph::StampMenu) k = MulDiv(12, dpi, 96);
  Pen16 p{dc, (r.left + r.right - k) / 2, (r.top + r.bottom - k) / 2, k};
  auto C = [&](COLORREF c) {
    if (enabled) return c;
    int l = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
    l = 150 + l * 80 / 255;
    return RGB(l, l, l);
  };
  const COLORREF ink = C(RGB(40, 40, 40)), blue = C(RGB(30, 90, 180)), paper = C(RGB(255, 255, 255)),
                 yellow = C(RGB(240, 200, 80)), red = C(RGB(200, 40, 40)), green = C(RGB(40, 150, 60)),
                 grey = C(RGB(150, 150, 150));
  switch (g) {
    case Glyph::Open:
      p.Poly({{1, 4}, {6, 4}, {7, 5}, {14, 5}, {14, 14}, {1, 14}}, yellow, ink);
      p.Poly({{3, 8}, {16, 8}, {14, 14}, {1, 14}}, C(RGB(250, 225, 130)), ink);
      break;
    case Glyph::Save:
      p.Rect(1, 1, 15, 15, blue, ink);
      p.Rect(4, 1, 12, 6, paper, ink);
      p.Rect(4, 9, 12, 15, C(RGB(220, 220, 220)), ink);
      break;
    case Glyph::Email:
      p.Rect(1, 3, 15, 13, paper, ink);
      p.Line(1, 3, 8, 9, ink);
      p.Line(15, 3, 8, 9, ink);
      break;
    case Glyph::PrintSetup:
    case Glyph::Print:
      p.Rect(4, 1, 12, 7, paper, ink);
      p.Rect(1, 6, 15, 12, grey, ink);
      p.Rect(4, 10, 12, 15, paper, ink);
      if (g == Glyph::PrintSetup) p.Ellipse(10, 0, 16, 6, yellow, ink);
      else p.Rect(12, 7, 14, 8, green, green);
      break;
    case Glyph::Preview:
      p.Rect(2, 1, 12, 15, paper, ink);
      p.Ellipse(6, 6, 13, 13, C(RGB(200, 225, 255)), ink);
      p.Line(12, 12, 15, 15, ink, MulDiv(2, dpi, 96));
      break;
    case Glyph::Undo:
      p.Poly({{1, 6}, {6, 1}, {6, 4}, {11, 4}, {15, 8}, {15, 14}, {12, 11}, {6, 8}, {6, 11}}, blue, ink);
      break;
    case Glyph::Copy:
      p.Rect(1, 1, 10, 11, paper, ink);
      p.Rect(6, 5, 15, 15, paper, ink);
      break;
    case Glyph::Paste:
      p.Rect(1, 2, 12, 15, C(RGB(190, 140, 80)), ink);
      p.Rect(4, 1, 9, 4, grey, ink);
      p.Rect(7, 6, 15, 15, paper, ink);
      break;
    case Glyph::Clear:
      p.Line(3, 3, 13, 13, red, MulDiv(3, dpi, 96));
      p.Line(13, 3, 3, 13, red, MulDiv(3, dpi, 96));
      break;
    case Glyph::Crop:
      p.Line(4, 0, 4, 12, ink, MulDiv(2, dpi, 96));
      p.Line(0, 4, 12, 4, ink, MulDiv(2, dpi, 96));
      p.Line(12, 4, 12, 16, ink, MulDiv(2, dpi, 96));
      p.Line(4, 12, 16, 12, ink, MulDiv(2, dpi, 96));
      break;
    case Glyph::Select: {
      UniquePen pn(CreatePen(PS_DOT, 1, blue));
      SelectObj a(dc, pn.get());
      SelectObj b(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, p.X(1), p.Y(2), p.X(15), p.Y(14));
      p.Poly({{9, 8}, {9, 16}, {11, 14}, {13, 16}, {14, 15}, {12, 13}, {15, 13}}, paper, ink);
      break;
    }
    case Glyph::Stamp:
      p.Poly({{3, 1}, {3, 13}, {6, 10}, {9, 15}, {11, 14}, {8, 9}, {12, 9}}, paper, ink);
      break;
    case Glyph::StampMenu:
      p.Poly({{3, 6}, {13, 6}, {8, 11}}, ink, ink);
      break;
    case Glyph::Help:
      p.Ellipse(1, 1, 15, 15, blue, ink);
      {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(12, dpi, 96);
        lf.lfWeight = FW_BOLD;
        wcscpy(lf.lfFaceName, L"Arial");
        UniqueFont f(CreateFontIndirectW(&lf));
        SelectObj s(dc, f.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, paper);
        RECT t{p.X(1), p.Y(1), p.X(15), p.Y(15)};
        DrawTextW(dc, L"?", 1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
      break;
    case Glyph::Exit:
      p.Rect(2, 1, 11, 15, C(RGB(160, 110, 60)), ink);
      p.Poly({{8, 8}, {12, 4}, {12, 6}, {16, 6}, {16, 10}, {12, 10}, {12, 12}}, red, ink);
      break;
    case Glyph::None:
      break;
  }
}

SpeedButton::GlyphPainter GlyphPainterOf(Glyph g) {
  return [g](HDC dc, const RECT& r, bool enabled, int dpi) { DrawGlyph(dc, r, g, enabled, dpi); };
}

}  // namespace griv
