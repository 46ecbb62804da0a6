#include "markup/tool_glyphs_win.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/dib_win.h"
#include "base/handles_win.h"

namespace griv {

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);  // the pointer's transparent pixels while it is drawn

void Poly(HDC dc, std::initializer_list<POINT> pts, bool filled) {
  if (filled) Polygon(dc, pts.begin(), int(pts.size()));
  else Polyline(dc, pts.begin(), int(pts.size()));
}

}  // namespace

void DrawToolGlyph(HDC dc, const RECT& box, MarkupTool tool, COLORREF ink, bool enabled) {
  const int w = std::min(box.right - box.left, box.bottom - box.top);
  const int l = box.left + (box.right - box.left - w) / 2, t = box.top + (box.bottom - box.top - w) / 2;
  const int r = l + w, b = t + w, m = std::max(1, w / 8);  // m: the margin and the stroke
  if (!enabled) ink = GetSysColor(COLOR_GRAYTEXT);
  UniquePen pen(CreatePen(PS_SOLID, std::max(1, w / 10), ink));
  UniqueBrush fill(CreateSolidBrush(ink));
  SelectObj selPen(dc, pen.get());
  SelectObj selBrush(dc, GetStockObject(NULL_BRUSH));
  switch (tool) {
    case MarkupTool::None:
    case MarkupTool::Select: {
      // An arrow pointer.
      SelectObj white(dc, GetStockObject(enabled ? WHITE_BRUSH : LTGRAY_BRUSH));
      SelectObj black(dc, GetStockObject(BLACK_PEN));
      const int s = w - 2 * m;
      Poly(dc,
           {{l + m, t + m}, {l + m, t + m + s}, {l + m + s * 3 / 10, t + m + s * 7 / 10}, {l + m + s / 2, b - m},
            {l + m + s * 7 / 10, b - m - s / 10}, {l + m + s * 1 / 2, t + m + s * 6 / 10}, {r - m, t + m + s * 6 / 10}},
           true);
      break;
    }
    case MarkupTool::Rectangle: Rectangle(dc, l + m, t + 2 * m, r - m, b - 2 * m); break;
    case MarkupTool::Ellipse: Ellipse(dc, l + m, t + 2 * m, r - m, b - 2 * m); break;
    case MarkupTool::Line: Poly(dc, {{l + m, b - m}, {r - m, t + m}}, false); break;
    case MarkupTool::Arrow: {
      Poly(dc, {{l + m, b - m}, {r - 3 * m, t + 3 * m}}, false);
      SelectObj f(dc, fill.get());
      Poly(dc, {{r - m, t + m}, {r - m - w * 4 / 10, t + m + w / 8}, {r - m - w / 8, t + m + w * 4 / 10}}, true);
      break;
    }
    case MarkupTool::Pen: {
      POINT pts[9];
      for (int i = 0; i < 9; ++i)
        pts[i] = {l + m + (w - 2 * m) * i / 8, t + w / 2 + int(std::lround(std::sin(i * 0.9) * (w / 2 - 2 * m)))};
      Polyline(dc, pts, 9);
      break;
    }
    case MarkupTool::Text: {
      // A capital T of strokes.
      UniquePen thick(CreatePen(PS_SOLID, std::max(1, w / 6), ink));
      SelectObj s(dc, thick.get());
      Poly(dc, {{l + 2 * m, t + 2 * m}, {r - 2 * m, t + 2 * m}}, false);
      Poly(dc, {{l + w / 2, t + 2 * m}, {l + w / 2, b - m}}, false);
      break;
    }
    case MarkupTool::Highlight: {
      UniqueBrush yellow(CreateSolidBrush(enabled ? RGB(255, 255, 0) : GetSysColor(COLOR_BTNSHADOW)));
      SelectObj f(dc, yellow.get());
      SelectObj p(dc, GetStockObject(BLACK_PEN));
      Rectangle(dc, l + m, t + 3 * m, r - m, b - 3 * m);
      break;
    }
    case MarkupTool::Number: {
      SelectObj f(dc, fill.get());
      Ellipse(dc, l + m, t + m, r - m, b - m);
      UniquePen white(CreatePen(PS_SOLID, std::max(1, w / 10), RGB(255, 255, 255)));
      SelectObj p(dc, white.get());
      Poly(dc, {{l + w * 4 / 10, t + w * 4 / 10}, {l + w * 55 / 100, t + w * 3 / 10}, {l + w * 55 / 100, b - w * 3 / 10}},
           false);
      break;
    }
    case MarkupTool::Redact: {
      SelectObj f(dc, GetStockObject(enabled ? BLACK_BRUSH : GRAY_BRUSH));
      SelectObj p(dc, GetStockObject(enabled ? BLACK_PEN : WHITE_PEN));
      Rectangle(dc, l + m, t + 3 * m, r - m, b - 3 * m);
      break;
    }
  }
}

HCURSOR MakeToolCursor(MarkupTool tool, int size) {
  if (tool == MarkupTool::None) return nullptr;
  if (tool == MarkupTool::Text) return LoadCursorW(nullptr, IDC_IBEAM);
  // Drawn on a key colour in a 32-bit DIB, which then gives the mask.
  Picture shape;
  shape.width = shape.height = size;
  shape.bpp = 32;
  DibSection colour;
  if (!MakeDibSection(shape, colour, false)) return nullptr;
  WindowDC screen(nullptr);
  UniqueMemDC dc(CreateCompatibleDC(screen.get()));
  POINT hot{size / 3, size / 3};
  {
    SelectObj sel(dc.get(), colour.bitmap.get());
    RECT all{0, 0, size, size};
    UniqueBrush key(CreateSolidBrush(kKey));
    FillRect(dc.get(), &all, key.get());
    if (tool == MarkupTool::Select) {
      hot = {1, 1};
      DrawToolGlyph(dc.get(), {0, 0, size * 2 / 3, size * 2 / 3}, MarkupTool::Select, 0);
    } else {
      // A cross hair, white around black so it shows on any picture.
      const int arm = size / 3, stroke = std::max(1, size / 32);
      UniquePen white(CreatePen(PS_SOLID, 3 * stroke, RGB(255, 255, 255)));
      UniquePen black(CreatePen(PS_SOLID, stroke, RGB(0, 0, 0)));
      for (HPEN p : {white.get(), black.get()}) {
        SelectObj s(dc.get(), p);
        Poly(dc.get(), {{hot.x - arm, hot.y}, {hot.x + arm + 1, hot.y}}, false);
        Poly(dc.get(), {{hot.x, hot.y - arm}, {hot.x, hot.y + arm + 1}}, false);
      }
    }
    // The tool's picture on a white card at the lower right.
    const RECT card{size / 2, size / 2, size - 1, size - 1};
    if (tool != MarkupTool::Select) {
      SelectObj b(dc.get(), GetStockObject(WHITE_BRUSH));
      SelectObj p(dc.get(), GetStockObject(BLACK_PEN));
      Rectangle(dc.get(), card.left, card.top, card.right, card.bottom);
      DrawToolGlyph(dc.get(), {card.left + 1, card.top + 1, card.right - 1, card.bottom - 1}, tool, RGB(0, 0, 0));
    }
  }
  GdiFlush();
  // Mask: 1 (the screen shows through) where the key colour is; there the colour is black.
  const int maskStride = ((size + 15) / 16) * 2;
  std::vector<uint8_t> mask(size_t(maskStride) * size, 0);
  auto* px = static_cast<uint32_t*>(colour.bits);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      uint32_t& c = px[size_t(y) * size + x];
      if ((c & 0xFFFFFF) == 0xFF00FF) {
        mask[size_t(y) * maskStride + x / 8] |= uint8_t(0x80 >> (x % 8));
        c = 0;
      }
    }
  UniqueBitmap maskBitmap(CreateBitmap(size, size, 1, 1, mask.data()));
  ICONINFO info{FALSE, DWORD(hot.x), DWORD(hot.y), maskBitmap.get(), colour.bitmap.get()};
  return CreateIconIndirect(&info);
}

}  // namespace griv
