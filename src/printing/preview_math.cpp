#include "printing/preview_math.h"

#include <algorithm>

namespace griv {

int32_t PreviewPageRatio(int32_t dpiX, bool landscape) {
  const double b = landscape ? 5.0 : 4.0;
  return std::max(1, Nearest(b * dpiX / 300.0));
}

PreviewPage SetupPreviewPage(int32_t pageW, int32_t pageH, int32_t dpiX, bool landscape) {
  PreviewPage p;
  p.landscape = landscape;
  p.ratio = PreviewPageRatio(dpiX, landscape);
  p.width = Nearest(static_cast<double>(pageW) / p.ratio);
  p.height = Nearest(static_cast<double>(pageH) / p.ratio);
  p.margin = Nearest(static_cast<double>(kPrintTopMargin) / p.ratio);
  return p;
}

PreviewBox PlacePreviewBox(const PreviewPage& page, int32_t imageW, int32_t imageH, double scale) {
  PreviewBox b;
  b.width = Nearest(imageW * scale / page.ratio);
  b.height = Nearest(imageH * scale / page.ratio);
  const int64_t room = int64_t{page.width} - b.width - (page.landscape ? page.margin : 0);
  b.left = static_cast<int32_t>(std::max<int64_t>(room / 2, page.margin));
  b.top = page.margin;
  return b;
}

double InitialPreviewScale(PrintFit fit, double zoom, int32_t imageW, int32_t imageH, int32_t pageW,
                           int32_t pageH) {
  if (fit == PrintFit::Zoom) return zoom;
  if (imageW <= 0 || imageH <= 0) return 1.0;
  const double f = fit == PrintFit::Best ? 0.75 : 1.0;
  return std::min((static_cast<double>(pageH) - kPrintPageMargins) * f / imageH,
                  (static_cast<double>(pageW) - kPrintPageMargins) * f / imageW);
}

PrintPlacement PreviewPrintPlacement(const PreviewPage& page, const PreviewBox& box, int32_t imageW,
                                     int32_t imageH, double scale, int32_t pageW, int32_t pageH) {
  PrintPlacement p;
  p.Top = Nearest(static_cast<double>(page.margin) * page.ratio);
  p.Left = Nearest(static_cast<double>(box.left) * page.ratio);
  p.Width = Nearest(imageW * scale);
  p.Height = Nearest(imageH * scale);
  CutToPage(p, pageW, pageH);
  return p;
}

int32_t TrackPositionForScale(double scale) {
  return std::clamp(Nearest((scale - 1.0) * 10.0), kTrackMin, kTrackMax);
}

std::string ZoomPercentText(double scale) { return std::to_string(Nearest(scale * 100.0)) + "%"; }

int32_t TypedPercent(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  int64_t n = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) n = std::min<int64_t>(n * 10 + (text[i] - '0'), 1'000'000);
  return static_cast<int32_t>(std::clamp<int64_t>(n, 1, 10000));
}

void PreviewZoom::Set(double scale) {
  scale_ = scale;
  pos_ = TrackPositionForScale(scale);
}

bool PreviewZoom::Minus() {
  // Tenths do not add up exactly in binary: 1.1 - 0.1 lands a hair above 1.
  if (!(scale_ > 1.0 + 1e-9)) return false;
  Set(scale_ - 0.1);
  return true;
}

void PreviewZoom::TrackMoved(int32_t pos) {
  pos_ = std::clamp(pos, kTrackMin, kTrackMax);
  scale_ = ScaleForTrackPosition(pos_);
}

bool PreviewZoom::TrackStep(int32_t delta) {
  const int32_t pos = std::clamp(pos_ + delta, kTrackMin, kTrackMax);
  if (pos == pos_) return false;
  TrackMoved(pos);
  return true;
}

}  // namespace griv
