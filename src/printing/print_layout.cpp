#include "printing/print_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/strings.h"

namespace griv {

int32_t Nearest(double x) {
  if (std::isnan(x)) return 0;
  constexpr double lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  if (x <= lo) return std::numeric_limits<int32_t>::min();
  if (x >= hi) return std::numeric_limits<int32_t>::max();
  double f = std::floor(x);
  double d = x - f;
  if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
  return static_cast<int32_t>(f);
}

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

PrintFit ParsePrintFit(std::string_view style) {
  if (SameText(style, "Zoom")) return PrintFit::Zoom;
  if (SameText(style, "Best")) return PrintFit::Best;
  return PrintFit::Full;
}

PrintPlacement PlaceImage(PrintFit fit, int32_t imageW, int32_t imageH, double zoom, int32_t pageW,
                          int32_t pageH, bool landscape) {
  PrintPlacement p;
  if (imageW <= 0 || imageH <= 0 || pageW <= 0 || pageH <= 0) return p;
  const int64_t pw = pageW, ph = pageH;
  if (fit == PrintFit::Zoom) {
    p.Width = Nearest(imageW * zoom);
    p.Height = Nearest(imageH * zoom);
    int64_t left = landscape ? (pw - p.Width - kPrintTopMargin) / 2 : (pw - p.Width) / 2;
    p.Left = Clamp32(std::max<int64_t>(left, kPrintTopMargin));
  } else {
    const double f = fit == PrintFit::Best ? 0.75 : 1.0;
    const int32_t boxW = Nearest(static_cast<double>(pw - kPrintPageMargins) * f);
    const int32_t boxH = Nearest(static_cast<double>(ph - kPrintPageMargins) * f);
    p.Left = Clamp32((pw - boxW) / 2);
    // The box's left edge holds even when the height decides the scale.
    const double s = std::min(static_cast<double>(boxW) / imageW, static_cast<double>(boxH) / imageH);
    p.Width = std::max(0, Nearest(imageW * s));
    p.Height = std::max(0, Nearest(imageH * s));
  }
  p.Top = kPrintTopMargin;
  CutToPage(p, pageW, pageH);
  return p;
}

void CutToPage(PrintPlacement& p, int32_t pageW, int32_t pageH) {
  if (int64_t{p.Left} + p.Width > pageW) p.Width = Clamp32(int64_t{pageW} - p.Left);
  if (int64_t{p.Top} + p.Height > pageH) p.Height = Clamp32(int64_t{pageH} - p.Top);
  p.Width = std::max(p.Width, 0);
  p.Height = std::max(p.Height, 0);
}

std::string HeaderText(bool withDate, std::string_view date, std::string_view time, std::string_view caption) {
  if (!withDate) return std::string(caption);
  std::string s;
  s.reserve(date.size() + time.size() + caption.size() + 10);
  s.append(date).append(5, ' ').append(time).append(5, ' ').append(caption);
  return s;
}

std::vector<NoteOp> LayoutNotes(const PrintPlacement& p, int32_t pageH, int32_t xHeight, size_t lineCount) {
  std::vector<NoteOp> ops;
  if (lineCount == 0) return ops;
  const int64_t step = int64_t{xHeight} + kNoteLineExtra;
  const int64_t limit = int64_t{pageH} * 9 / 10;
  const int32_t x = p.Left > kNotesFarLeft ? kNotesLeft : p.Left;
  int64_t y = int64_t{p.Top} + p.Height + step;
  ops.reserve(lineCount + 1);
  for (size_t i = 0; i < lineCount; ++i) {
    if (y > limit) {
      ops.push_back(NoteOp{true});
      y = kPrintTopMargin;
    }
    ops.push_back(NoteOp{false, x, Clamp32(y), Clamp32(step), i});
    y += step;
  }
  return ops;
}

}  // namespace griv
