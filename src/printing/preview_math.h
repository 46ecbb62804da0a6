// The print preview's numbers: how the printer page shrinks onto the screen,
// where the picture sits on it, the print scale and its controls (track bar,
// typed percentage, clicks), and where the preview's print puts the picture.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "printing/print_layout.h"

namespace griv {

// The printer page as the preview draws it.
struct PreviewPage {
  int32_t ratio = 1;           // printer pixels per preview pixel (a whole number, at least 1)
  int32_t width = 0, height = 0;  // the page picture, preview pixels
  int32_t margin = 0;          // the 125-pixel top margin in preview pixels
  bool landscape = false;
  friend bool operator==(const PreviewPage&, const PreviewPage&) = default;
};

// nearest(b x dpiX / 300), b = 4 in portrait and 5 in landscape. Never below 1,
// so a printer that reports a tiny or no resolution cannot divide by zero.
int32_t PreviewPageRatio(int32_t dpiX, bool landscape);
PreviewPage SetupPreviewPage(int32_t pageW, int32_t pageH, int32_t dpiX, bool landscape);

// The picture's box on the page picture (preview pixels).
struct PreviewBox {
  int32_t left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const PreviewBox&, const PreviewBox&) = default;
};
PreviewBox PlacePreviewBox(const PreviewPage& page, int32_t imageW, int32_t imageH, double scale);

// The scale the preview opens with: the view's zoom for Zoom; otherwise the
// picture fitted into the page less its margins (Best uses three quarters).
double InitialPreviewScale(PrintFit fit, double zoom, int32_t imageW, int32_t imageH, int32_t pageW,
                           int32_t pageH);

// Where the preview's print puts the picture: the box scaled back up to the
// printer, at the scale's own size, cut to the page.
PrintPlacement PreviewPrintPlacement(const PreviewPage& page, const PreviewBox& box, int32_t imageW,
                                     int32_t imageH, double scale, int32_t pageW, int32_t pageH);

inline constexpr int32_t kTrackMin = 0, kTrackMax = 70, kTrackPage = 2;
// nearest((scale - 1) x 10), held within the track bar's range.
int32_t TrackPositionForScale(double scale);
inline double ScaleForTrackPosition(int32_t pos) { return pos / 10.0 + 1.0; }
// The scale in whole percent followed by "%".
std::string ZoomPercentText(double scale);
// The percentage typed: its leading digits (none: 0), held within 1..10000.
int32_t TypedPercent(std::string_view text);

// The print scale with the track bar that follows it.
class PreviewZoom {
 public:
  explicit PreviewZoom(double scale = 1.0) { Set(scale); }
  double Scale() const { return scale_; }
  int32_t Position() const { return pos_; }
  std::string Text() const { return ZoomPercentText(scale_); }

  // Sets the scale and moves the track bar to match.
  void Set(double scale);
  // One tenth up; no upper limit.
  void Plus() { Set(scale_ + 0.1); }
  // One tenth down, only while the scale is above 1; false when nothing changed.
  bool Minus();
  // The user moved the track bar: the scale follows it.
  void TrackMoved(int32_t pos);
  // The keypad keys move the track bar by its page size; at an end nothing
  // moves and the scale stays. False when nothing changed.
  bool TrackStep(int32_t delta);
  // Enter in the percentage box.
  void Typed(std::string_view text) { Set(TypedPercent(text) / 100.0); }

 private:
  double scale_ = 1.0;
  int32_t pos_ = 0;
};

}  // namespace griv
