#include "app/app_commands.h"

#include <algorithm>
#include <cmath>

#include "ids_app.h"
#include "image/document.h"

namespace griv {

namespace {
constexpr uint8_t M = kMainMenu, T = kTrayMenu, P = kImageMenu, B = kToolBar;

constexpr CommandRule kViewRules[] = {
    {CM_UNDO, CM_UNDO, M | P | B, kUndo},
    {CM_CLEAR, CM_CLEAR, M | P | B, kImage},
    {CM_ZOOMIN_MENU, CM_ZOOMIN_MENU, M, kImage},
    {CM_ZOOMOUT_MENU, CM_ZOOMOUT_MENU, M, kImage},
    {CM_ZMI01, CM_ZMI10, M, kAlways},
    {CM_ZMO01, CM_ZMO10, M, kAlways},
    {CM_FITWINDOW, CM_FITWINDOW, M, kImage},
    {CM_ZOOMSTEPIN, CM_ZOOMSTEPIN, M, kImage},
    {CM_ZOOMSTEPOUT, CM_ZOOMSTEPOUT, M, kImage},
};

constexpr CommandRule kWindowRules[] = {
    {CM_RESTORE, CM_RESTORE, T, kAlways},
    {CM_EXIT, CM_EXIT, M | B, kAlways},
    {CM_CLOSE, CM_CLOSE, T, kAlways},
};

// The ratios of the zoom menus from the smallest up: 1:10 ... 1:2, 1:1, 2:1 ... 10:1.
ZoomFraction Ladder(int i) { return i < 9 ? ZoomFraction{1, 10 - i} : ZoomFraction{i - 8, 1}; }
constexpr int kLadder = 19;
int LadderIndex(double ratio) {
  const ZoomFraction f = ZoomFractionOf(ratio);
  return f.denominator > 1 ? 10 - f.denominator : 8 + f.numerator;
}
}  // namespace

std::span<const CommandRule> ViewCommandRules() { return kViewRules; }
std::span<const CommandRule> WindowCommandRules() { return kWindowRules; }

ZoomFraction ZoomFractionOf(double ratio) {
  for (int k = 2; k <= 10; ++k) {
    if (std::fabs(ratio - k) < 1e-9) return {k, 1};
    if (std::fabs(ratio - 1.0 / k) < 1e-9) return {1, k};
  }
  return {1, 1};
}

void AddZoomChecks(ZoomFraction z, std::vector<CheckMark>& marks) {
  const bool one = z.numerator == 1 && z.denominator == 1;
  const bool menus = z.numerator > 0;  // {0, 0}: a scale none of the menus has
  for (int k = 1; k <= 10; ++k) {
    marks.push_back({CM_ZMI01 + k - 1, menus && (one ? k == 1 : (z.denominator == 1 && z.numerator == k))});
    marks.push_back({CM_ZMO01 + k - 1, menus && (one ? k == 1 : (z.numerator == 1 && z.denominator == k))});
  }
}

ZoomFraction StepZoom(double ratio, int steps) {
  const ZoomFraction f = ZoomFractionOf(ratio);
  if (steps != 0 && std::fabs(double(f.numerator) / f.denominator - ratio) > 1e-9) {
    // Between two ratios of the menus: the first step lands on the one beyond the scale.
    int i = 0;
    while (i < kLadder - 1 && double(Ladder(i).numerator) / Ladder(i).denominator < ratio) ++i;
    // i: the first ratio above the scale (or the last one)
    return Ladder(std::clamp(steps > 0 ? i + steps - 1 : i + steps, 0, kLadder - 1));
  }
  return Ladder(std::clamp(LadderIndex(ratio) + steps, 0, kLadder - 1));
}

double FitScale(int width, int height, int viewWidth, int viewHeight) {
  if (width <= 0 || height <= 0 || viewWidth <= 0 || viewHeight <= 0) return 1.0;
  const double scale = std::min(double(viewWidth) / width, double(viewHeight) / height);
  // Rounding the shown size must not make it a pixel too large for the view.
  double s = std::clamp(scale, 0.1, 10.0);
  while (s > 0.1 && (ScaledLength(width, s) > viewWidth || ScaledLength(height, s) > viewHeight)) s -= 1e-6;
  return s;
}

std::optional<Bounds> GrownForPicture(int pictureWidth, int pictureHeight, int viewWidth, int viewHeight,
                                      const Bounds& window, const Bounds& work) {
  if (pictureWidth <= viewWidth && pictureHeight <= viewHeight) return std::nullopt;
  Bounds b;
  b.width = std::min(window.width + std::max(0, pictureWidth - viewWidth), work.width);
  b.height = std::min(window.height + std::max(0, pictureHeight - viewHeight), work.height);
  b.left = std::clamp(window.left, work.left, work.left + work.width - b.width);
  b.top = std::clamp(window.top, work.top, work.top + work.height - b.height);
  return b;
}

}  // namespace griv
