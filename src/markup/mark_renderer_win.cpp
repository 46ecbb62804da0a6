#include "markup/mark_renderer_win.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "base/dib_win.h"
#include "base/utf.h"

namespace griv {

namespace {

using namespace gdip;

template <class T>
using GpPtr = std::unique_ptr<T, Status(WINAPI*)(T*)>;

ARGB Argb(Rgb c) { return 0xFF000000u | (DWORD(c.r) << 16) | (DWORD(c.g) << 8) | c.b; }
constexpr ARGB kWhite = 0xFFFFFFFFu;

GpPointF Pt(PointF p) { return {float(p.x), float(p.y)}; }

void Check(Status s) {
  if (s != kOk) throw std::runtime_error("Unable to draw the marks");
}

const Api& Bound() {
  const Api* api = Gdiplus();
  if (!api) throw std::runtime_error("Unable to draw the marks: GDI+ is missing");
  return *api;
}

}  // namespace

GdiplusMarkRenderer::GdiplusMarkRenderer() : g_(Bound()) {
  if (g_.CreateFontFamilyFromName(L"Tahoma", nullptr, &family_) != kOk)
    Check(g_.GetGenericFontFamilySansSerif(&family_));
  Check(g_.CreateFont(family_, float(kTextHeight), kFontRegular, kUnitPixel, &textFont_));
  // Numbers of one or two digits fill the disc; longer ones get smaller.
  const float sizes[3] = {14, 11, 8};
  for (int i = 0; i < 3; ++i) Check(g_.CreateFont(family_, sizes[i], kFontBold, kUnitPixel, &numberFonts_[i]));
  Check(g_.CreateStringFormat(kFormatNoWrap | kFormatNoClip | kFormatMeasureTrailingSpaces, 0, &textFormat_));
  Check(g_.CreateStringFormat(kFormatNoWrap | kFormatNoClip, 0, &numberFormat_));
  g_.SetStringFormatAlign(numberFormat_, kAlignCenter);
  g_.SetStringFormatLineAlign(numberFormat_, kAlignCenter);
  Check(
      g_.CreateBitmapFromScan0(1, 1, 4, kPixelFormat32bppRGB, reinterpret_cast<BYTE*>(&measurePixel_), &measureImage_));
  Check(g_.GetImageGraphicsContext(measureImage_, &measureGraphics_));
  g_.SetTextRenderingHint(measureGraphics_, kTextAntiAlias);
}

GdiplusMarkRenderer::~GdiplusMarkRenderer() {
  if (measureGraphics_) g_.DeleteGraphics(measureGraphics_);
  if (measureImage_) g_.DisposeImage(measureImage_);
  for (GpStringFormat* f : {textFormat_, numberFormat_})
    if (f) g_.DeleteStringFormat(f);
  for (GpFont* f : numberFonts_)
    if (f) g_.DeleteFont(f);
  if (textFont_) g_.DeleteFont(textFont_);
  if (family_) g_.DeleteFontFamily(family_);
}

GpFont* GdiplusMarkRenderer::NumberFont(int number) const {
  return numberFonts_[number < 100 ? 0 : number < 1000 ? 1 : 2];
}

PointF GdiplusMarkRenderer::MeasureText(const std::string& text) {
  const std::wstring w = Widen(text);
  const GpRectF layout{0, 0, 0, 0};
  GpRectF box{};
  Check(g_.MeasureString(measureGraphics_, w.c_str(), int(w.size()), textFont_, &layout, textFormat_, &box, nullptr,
                         nullptr));
  return {box.width, box.height};
}

void GdiplusMarkRenderer::DrawStrokes(Picture& target, const MarkFrame& frame, const std::vector<const Mark*>& marks) {
  if (marks.empty() || target.Empty()) return;
  if (target.bpp != 24 && target.bpp != 32) throw std::invalid_argument("marks are drawn on 24- or 32-bit pixels");
  GpImage* image = nullptr;
  Check(g_.CreateBitmapFromScan0(target.width, target.height, target.Stride(),
                                 target.bpp == 32 ? kPixelFormat32bppRGB : kPixelFormat24bppRGB, target.pixels.data(),
                                 &image));
  GpPtr<GpImage> imageOwner(image, g_.DisposeImage);
  GpGraphics* graphics = nullptr;
  Check(g_.GetImageGraphicsContext(image, &graphics));
  GpPtr<GpGraphics> graphicsOwner(graphics, g_.DeleteGraphics);
  g_.SetSmoothingMode(graphics, kSmoothingAntiAlias);
  g_.SetTextRenderingHint(graphics, kTextAntiAlias);
  // Picture pixel i covers [i, i+1); GDI+ puts pixel centres on whole numbers.
  g_.ScaleWorldTransform(graphics, float(frame.map.ScaleX()), float(frame.map.ScaleY()), kMatrixAppend);
  g_.TranslateWorldTransform(graphics, float(-frame.left - 0.5), float(-frame.top - 0.5), kMatrixAppend);
  for (const Mark* m : marks)
    if (!IsPixelMark(m->kind) && !m->points.empty()) Draw(graphics, *m);
  // The graphics and the bitmap go first (flushing), then the pixels are ours again.
}

void GdiplusMarkRenderer::Draw(GpGraphics* g, const Mark& m) {
  auto pen = [&](int join, int startCap, int endCap) {
    GpPen* p = nullptr;
    Check(g_.CreatePen1(Argb(m.colour), float(m.width), kUnitWorld, &p));
    g_.SetPenLineJoin(p, join);
    g_.SetPenStartCap(p, startCap);
    g_.SetPenEndCap(p, endCap);
    return GpPtr<GpPen>(p, g_.DeletePen);
  };
  auto brush = [&](ARGB c) {
    GpBrush* b = nullptr;
    Check(g_.CreateSolidFill(c, &b));
    return GpPtr<GpBrush>(b, g_.DeleteBrush);
  };
  const RectF r = MarkRect(m);
  switch (m.kind) {
    case MarkKind::Rectangle:
      g_.DrawRectangle(g, pen(kLineJoinMiter, kLineCapFlat, kLineCapFlat).get(), float(r.left), float(r.top),
                       float(r.right - r.left), float(r.bottom - r.top));
      break;
    case MarkKind::Ellipse:
      g_.DrawEllipse(g, pen(kLineJoinRound, kLineCapFlat, kLineCapFlat).get(), float(r.left), float(r.top),
                     float(r.right - r.left), float(r.bottom - r.top));
      break;
    case MarkKind::Line:
    case MarkKind::Pen: {
      std::vector<GpPointF> pts;
      for (const PointF& p : m.points) pts.push_back(Pt(p));
      if (pts.size() == 1) pts.push_back(pts[0]);
      g_.DrawLines(g, pen(kLineJoinRound, kLineCapRound, kLineCapRound).get(), pts.data(), int(pts.size()));
      break;
    }
    case MarkKind::Arrow: {
      // One filled shape: GDI+ pays per shape, and no seam shows between shaft and head.
      std::vector<GpPointF> pts;
      for (const PointF& p : ArrowOutline(m)) pts.push_back(Pt(p));
      g_.FillPolygon(g, brush(Argb(m.colour)).get(), pts.data(), int(pts.size()), kFillAlternate);
      break;
    }
    case MarkKind::Text: {
      const std::wstring w = Widen(m.text);
      const GpRectF layout{float(r.left), float(r.top), 0, 0};
      g_.DrawString(g, w.c_str(), int(w.size()), textFont_, &layout, textFormat_, brush(Argb(m.colour)).get());
      break;
    }
    case MarkKind::Number: {
      g_.FillEllipse(g, brush(Argb(m.colour)).get(), float(r.left), float(r.top), float(r.right - r.left),
                     float(r.bottom - r.top));
      const std::wstring w = std::to_wstring(m.number);
      const GpRectF box{float(r.left), float(r.top), float(r.right - r.left), float(r.bottom - r.top)};
      g_.DrawString(g, w.c_str(), int(w.size()), NumberFont(m.number), &box, numberFormat_, brush(kWhite).get());
      break;
    }
    case MarkKind::Highlight:
    case MarkKind::Redact: break;
  }
}

GdiplusMarkRenderer& SharedMarkRenderer() {
  static GdiplusMarkRenderer renderer;
  return renderer;
}

void MarkViewPainter::Paint(HDC dc, int destX, int destY, const PixelBox& area, const Picture& shown,
                            const Picture& original, const MarkupSession& session) {
  const PixelBox a = Intersect(area, {0, 0, shown.width, shown.height});
  if (a.Empty() || (shown.bpp != 24 && shown.bpp != 32)) return;
  const Picture* source = &shown;
  int row0 = a.top, x0 = a.left;
  if (session.ShownMarks().empty()) {
    // Nothing over the picture: it goes to the screen as it is, and a
    // picture without marks keeps no second copy of the view in memory.
    scratch_.Clear();
  } else {
    const int bytes = shown.bpp / 8;
    scratch_.ResizeForOverwrite(a.Width(), a.Height(), shown.bpp);
    for (int y = 0; y < a.Height(); ++y)
      std::memcpy(scratch_.Row(y), shown.Row(a.top + y) + size_t(a.left) * bytes, size_t(a.Width()) * bytes);
    PaintMarkupView(scratch_, {session.Mapping(), a.left, a.top}, original, session, SharedMarkRenderer());
    source = &scratch_;
    row0 = x0 = 0;
  }
  BITMAPINFO bi = TopDownInfo(source->width, a.Height(), shown.bpp);
  SetDIBitsToDevice(dc, destX, destY, DWORD(a.Width()), DWORD(a.Height()), x0, 0, 0, UINT(a.Height()),
                    source->Row(row0), &bi, DIB_RGB_COLORS);
}

}  // namespace griv
