// The main window's own commands (the view's zoom, undo and clear; Restore
// and Exit), the zoom menus' ratios and check marks, and the window's growth
// for the first capture.
#pragma once
#include <optional>
#include <span>
#include <vector>

#include "base/strings.h"
#include "ui/commands.h"

namespace griv {

std::span<const CommandRule> ViewCommandRules();
std::span<const CommandRule> WindowCommandRules();

// n:d of a ratio of the zoom menus (n or d is 1); 1:1 for anything else.
struct ZoomFraction {
  int numerator = 1, denominator = 1;
};
ZoomFraction ZoomFractionOf(double ratio);

// The zoom menus tick the ratio on show; 1:1 ticks the first item of both.
void AddZoomChecks(ZoomFraction shown, std::vector<CheckMark>& marks);

// The next ratio of the zoom menus up (steps > 0) or down from the one on
// show, stopping at 10:1 and 1:10; from a scale between two of them the
// first step goes to the nearer one on that side.
ZoomFraction StepZoom(double ratio, int steps);
// The scale at which a width x height picture fills a view of viewWidth x
// viewHeight in one direction and fits in the other, within 1:10 and 10:1.
double FitScale(int width, int height, int viewWidth, int viewHeight);

// The window grown by what a picture lacks in a view of viewWidth x
// viewHeight, kept inside the work area; nothing when the picture fits.
std::optional<Bounds> GrownForPicture(int pictureWidth, int pictureHeight, int viewWidth, int viewHeight,
                                      const Bounds& window, const Bounds& workArea);

}  // namespace griv
