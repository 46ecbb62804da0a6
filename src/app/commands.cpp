#include "app/commands.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "image/document.h"
#include "ids_app.h"

namespace griv {

namespace {

constexpr uint8_t M = kMainMenu, P = kImageMenu, B = kToolBar;

// Only commands that depend on something are listed; every other command is
// always enabled where it appears.
constexpr CommandRule kRules[] = {
    {CM_SAVE, M, kSaveWritten},
    {CM_SAVE, P | B, kImage},
    {CM_SAVEAS, M, kImage},
    {CM_SAVEASSHOWN, M, kImage},
    {CM_SAVEENCRYPTED, M, kImage},
    {CM_SENDMAIL, M | B, kImage | kMail},
    {CM_SENDMAIL, P, kMail},  // without an image it mails other files
    {CM_PRINTSETUP, M | B, kPrinter},
    {CM_PRINTPREVIEW, M | P | B, kPrintable},
    {CM_PRINT, M | P | B, kPrintable},
    {CM_UNDO, M | P | B, kUndo},
    {CM_CLEAR, M | P | B, kImage},
    {CM_COPY, M | P | B, kImage},
    {CM_PASTE, M | P | B, kClipboardBitmap},
    {CM_GREY, M | P, kImage},
    {CM_EDITOR, M, kImage | kEditorConfigured | kEditorExists},
    {CM_SENDTOEDITOR, P, kImage | kEditorConfigured},
    {CM_CROP, P | B, kImage},
    {CM_ZOOMIN_MENU, M, kImage},
    {CM_ZOOMOUT_MENU, M, kImage},
    {CM_ADDCURSOR, M, kImage | kOneToOne},
    {CM_FITWINDOW, M, kImage},
    {CM_ZOOMSTEPIN, M, kImage},
    {CM_ZOOMSTEPOUT, M, kImage},
};

// Commands whose work is not in the program yet: greyed everywhere, inert.
// Every command is built today; a new one goes here until its work lands.
constexpr std::array<int, 0> kNotBuilt{};

}  // namespace

bool Meets(uint32_t needs, const CommandContext& c) {
  if ((needs & kImage) && !c.image) return false;
  if ((needs & kPrintable) && !(c.image && c.fullImageHasPixels && c.printer)) return false;
  if ((needs & kPrinter) && !c.printer) return false;
  if ((needs & kUndo) && !c.undo) return false;
  if ((needs & kEditorConfigured) && !c.editorConfigured) return false;
  if ((needs & kEditorExists) && !c.editorExists) return false;
  if ((needs & kClipboardBitmap) && !c.clipboardBitmap) return false;
  if ((needs & kOneToOne) && !c.oneToOne) return false;
  if ((needs & kSaveWritten) && !c.saveWritten) return false;
  if ((needs & kMail) && !c.mail) return false;
  return true;
}

std::span<const CommandRule> CommandRules() { return kRules; }

bool CommandBuilt(int id) { return std::find(kNotBuilt.begin(), kNotBuilt.end(), id) == kNotBuilt.end(); }

bool CommandEnabled(int id, Place place, const CommandContext& c) {
  if (!CommandBuilt(id)) return false;
  for (const CommandRule& r : kRules)
    if (r.id == id && (r.places & place)) return Meets(r.needs, c);
  return true;
}

ZoomFraction ZoomFractionOf(double ratio) {
  for (int k = 2; k <= 10; ++k) {
    if (std::fabs(ratio - k) < 1e-9) return {k, 1};
    if (std::fabs(ratio - 1.0 / k) < 1e-9) return {1, k};
  }
  return {1, 1};
}

namespace {
// The ratios of the zoom menus from the smallest up: 1:10 ... 1:2, 1:1, 2:1 ... 10:1.
ZoomFraction Ladder(int i) { return i < 9 ? ZoomFraction{1, 10 - i} : ZoomFraction{i - 8, 1}; }
constexpr int kLadder = 19;
int LadderIndex(double ratio) {
  const ZoomFraction f = ZoomFractionOf(ratio);
  return f.denominator > 1 ? 10 - f.denominator : 8 + f.numerator;
}
}  // namespace

ZoomFraction FitZoom(int width, int height, int viewWidth, int viewHeight) {
  for (int i = kLadder - 1; i > 0; --i) {
    const ZoomFraction f = Ladder(i);
    const double r = double(f.numerator) / f.denominator;
    if (ScaledLength(width, r) <= viewWidth && ScaledLength(height, r) <= viewHeight) return f;
  }
  return Ladder(0);
}

ZoomFraction StepZoom(double ratio, int steps) {
  return Ladder(std::clamp(LadderIndex(ratio) + steps, 0, kLadder - 1));
}

std::vector<CheckMark> CommandChecks(const CheckContext& c) {
  std::vector<CheckMark> marks = {
      {CM_AUTOPRINT, c.autoPrint},        {CM_AUTOSAVE, c.autoSave},          {CM_SWNOTES, c.printNotes},
      {CM_MONITOR1, c.monitorIndex == 0}, {CM_MONITOR2, c.monitorIndex != 0}, {CM_SETSCREEN, c.captureScreen},
      {CM_SETAREA, !c.captureScreen},
  };
  // The zoom menus tick the ratio on show; 1:1 ticks the first item of both.
  const bool one = c.zoomNumerator == 1 && c.zoomDenominator == 1;
  for (int k = 1; k <= 10; ++k) {
    marks.push_back({CM_ZMI01 + k - 1, one ? k == 1 : (c.zoomDenominator == 1 && c.zoomNumerator == k)});
    marks.push_back({CM_ZMO01 + k - 1, one ? k == 1 : (c.zoomNumerator == 1 && c.zoomDenominator == k)});
  }
  return marks;
}

}  // namespace griv
