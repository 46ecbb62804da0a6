#include "ui/commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/app_commands.h"
#include "capture/capture_commands.h"
#include "crypto/crypto_commands.h"
#include "history/history_names.h"
#include "ids_app.h"
#include "image/document.h"
#include "image/image_commands.h"
#include "mail/mail_commands.h"
#include "options/options_commands.h"
#include "printing/print_commands.h"
#include "tray/help_commands.h"

namespace griv {
namespace {

std::vector<CommandRule> AllRules() {
  std::vector<CommandRule> all;
  for (auto rules : {ViewCommandRules(), WindowCommandRules(), ImageFileCommandRules(), CryptoCommandRules(),
                     MailCommandRules(), PrintCommandRules(), CaptureCommandRules(), StampCommandRules(),
                     ClipboardCommandRules(), OptionsCommandRules(), HelpCommandRules(), HistoryCommandRules()})
    all.insert(all.end(), rules.begin(), rules.end());
  return all;
}

CommandContext Everything() {
  CommandContext c;
  c.image = c.fullImageHasPixels = c.printer = c.undo = c.editorConfigured = c.editorExists = true;
  c.clipboardBitmap = c.oneToOne = c.saveWritten = c.mail = c.delayedCapture = true;
  return c;
}

// The context without one need: each need has the one fact that takes it away.
CommandContext Without(uint32_t need) {
  CommandContext c = Everything();
  switch (need) {
    case kImage: c.image = false; break;
    case kPrintable: c.fullImageHasPixels = false; break;
    case kPrinter: c.printer = false; break;
    case kUndo: c.undo = false; break;
    case kEditorConfigured: c.editorConfigured = false; break;
    case kClipboardBitmap: c.clipboardBitmap = false; break;
    case kOneToOne: c.oneToOne = false; break;
    case kSaveWritten: c.saveWritten = false; break;
    case kMail: c.mail = false; break;
    case kEditorExists: c.editorExists = false; break;
    case kDelayedCapture: c.delayedCapture = false; break;
  }
  return c;
}

constexpr uint8_t M = kMainMenu, T = kTrayMenu, P = kImageMenu, B = kToolBar;

// Where a command is greyed, as the user sees it, and what brings it back.
// Commands not listed are always enabled.
const struct {
  int id;
  uint8_t places;
  uint32_t needs;
} kGreyed[] = {
    {CM_SAVE, M, kSaveWritten},  // the menu item once a file was written, the button with an image
    {CM_SAVE, P | B, kImage},
    {CM_SAVEAS, M, kImage},
    {CM_SAVEASSHOWN, M, kImage},
    {CM_SAVEENCRYPTED, M, kImage},
    {CM_SENDMAIL, M | B, kImage | kMail},
    {CM_SENDMAIL, P, kMail},  // without an image the pop-up menu mails other files
    {CM_PRINTSETUP, M | B, kPrinter},
    {CM_PRINTPREVIEW, M | P | B, kPrintable | kPrinter | kImage},
    {CM_PRINT, M | P | B, kPrintable | kPrinter | kImage},
    {CM_UNDO, M | P | B, kUndo},
    {CM_CLEAR, M | P | B, kImage},
    {CM_COPY, M | P | B, kImage},
    {CM_PASTE, M | P | B, kClipboardBitmap},
    {CM_GREY, M | P, kImage},
    {CM_EDITOR, M, kImage | kEditorConfigured | kEditorExists},
    {CM_SENDTOEDITOR, P, kImage | kEditorConfigured},  // the image menu keeps it when the editor went missing
    {CM_CROP, P | B, kImage},
    {CM_ZOOMIN_MENU, M, kImage},
    {CM_ZOOMOUT_MENU, M, kImage},
    {CM_ADDCURSOR, M, kImage | kOneToOne},
    {CM_FITWINDOW, M, kImage},
    {CM_ZOOMSTEPIN, M, kImage},
    {CM_ZOOMSTEPOUT, M, kImage},
    {CM_CANCELDELAYED, T, kDelayedCapture},
};

TEST(Commands, EveryGreyedCommandNeedsExactlyItsStateAtEveryPlace) {
  const std::vector<CommandRule> rules = AllRules();
  for (const auto& g : kGreyed)
    for (Place p : {kMainMenu, kTrayMenu, kImageMenu, kToolBar}) {
      if (!(g.places & p)) continue;
      EXPECT_TRUE(RulesEnable(rules, g.id, p, Everything())) << g.id << " at " << int(p);
      for (uint32_t need = 1; need <= kDelayedCapture; need <<= 1) {
        if (!(g.needs & need)) continue;
        EXPECT_FALSE(RulesEnable(rules, g.id, p, Without(need))) << g.id << " at " << int(p);
      }
    }
  // Everything else is there with nothing on show.
  for (int id : {CM_OPENFILE, CM_RECENTCAPTURES, CM_ENCRYPTFILE, CM_OPENENCRYPTED, CM_EXIT, CM_OPTIONS, CM_HELPCONTENT, CM_ABOUT})
    EXPECT_TRUE(RulesEnable(rules, id, kMainMenu, CommandContext{})) << id;
  for (int id : {CM_RESTORE, CM_AUTOPRINT, CM_CAPAREANOW, CM_CAPDELAYED, CM_HELP1, CM_QUICKSTART, CM_CLOSE})
    EXPECT_TRUE(RulesEnable(rules, id, kTrayMenu, CommandContext{})) << id;
  EXPECT_TRUE(RulesEnable(rules, CM_SENDMAIL, kImageMenu, Without(kImage)));
  EXPECT_TRUE(RulesEnable(rules, CM_SENDTOEDITOR, kImageMenu, Without(kEditorExists)));
}

TEST(Commands, EveryCommandBelongsToOneFeature) {
  // Two features claiming an id would fight over it: rows of one id stay in one table.
  const auto tables = {ViewCommandRules(), WindowCommandRules(), ImageFileCommandRules(), CryptoCommandRules(),
                       MailCommandRules(), PrintCommandRules(), CaptureCommandRules(), StampCommandRules(),
                       ClipboardCommandRules(), OptionsCommandRules(), HelpCommandRules(), HistoryCommandRules()};
  for (auto a = tables.begin(); a != tables.end(); ++a)
    for (auto b = a + 1; b != tables.end(); ++b)
      for (const CommandRule& x : *a)
        for (const CommandRule& y : *b) EXPECT_TRUE(x.last < y.first || y.last < x.first) << x.first << " " << y.first;
}

TEST(Commands, TheTableRunsOnlyWhatHasAHandlerAndGathersStateAndChecks) {
  constexpr CommandRule rules[] = {{CM_ZMI01, CM_ZMI10, kMainMenu, kImage}, {CM_PRINT, CM_PRINT, kMainMenu, kAlways}};
  CommandTable table;
  std::vector<int> ran;
  table.Add(rules, {{CM_ZMI01, CM_ZMI10, [&](int id) { ran.push_back(id); }}});
  table.AddState([](CommandContext& c) { c.image = true; });
  table.AddChecks([](std::vector<CheckMark>& m) { m.push_back({CM_ZMI02, true}); });
  EXPECT_TRUE(table.Run(CM_ZMI03));
  EXPECT_FALSE(table.Run(CM_PRINT));  // a row without a handler is not built yet: inert
  EXPECT_EQ(ran, std::vector<int>{CM_ZMI03});
  EXPECT_TRUE(table.Enabled(CM_ZMI10, kMainMenu, table.State()));
  EXPECT_FALSE(table.Enabled(CM_ZMI10, kMainMenu, CommandContext{}));
  EXPECT_FALSE(table.Enabled(CM_PRINT, kMainMenu, table.State()));  // ... and greyed everywhere
  ASSERT_EQ(table.Checks().size(), 1u);
  EXPECT_EQ(table.Checks()[0].id, CM_ZMI02);
}

bool Checked(const std::vector<CheckMark>& marks, int id) {
  for (const CheckMark& m : marks)
    if (m.id == id) return m.checked;
  ADD_FAILURE() << "no check mark for " << id;
  return false;
}

TEST(Commands, EachRadioPairTicksExactlyTheChosenItem) {
  for (bool screen : {true, false})
    for (int monitor : {0, 1}) {
      std::vector<CheckMark> marks;
      AddCaptureChecks(screen, monitor, marks);
      EXPECT_EQ(Checked(marks, CM_SETSCREEN), screen);
      EXPECT_EQ(Checked(marks, CM_SETAREA), !screen);
      EXPECT_EQ(Checked(marks, CM_MONITOR1), monitor == 0);
      EXPECT_EQ(Checked(marks, CM_MONITOR2), monitor == 1);
    }
  std::vector<CheckMark> marks;
  AddOptionChecks(false, true, true, marks);
  EXPECT_FALSE(Checked(marks, CM_AUTOPRINT));
  EXPECT_TRUE(Checked(marks, CM_AUTOSAVE));
  EXPECT_TRUE(Checked(marks, CM_SWNOTES));
}

TEST(Commands, ZoomChecksDescribeTheRatioOnShow) {
  auto ticked = [](ZoomFraction z) {
    std::vector<CheckMark> marks;
    AddZoomChecks(z, marks);
    std::vector<int> ids;
    for (const CheckMark& m : marks)
      if (m.checked) ids.push_back(m.id);
    return ids;
  };
  EXPECT_EQ(ticked({1, 1}), (std::vector<int>{CM_ZMI01, CM_ZMO01}));  // 1:1 ticks the first item of both
  EXPECT_EQ(ticked({3, 1}), std::vector<int>{CM_ZMI01 + 2});
  EXPECT_EQ(ticked({1, 4}), std::vector<int>{CM_ZMO01 + 3});
}

TEST(Commands, ZoomFractionsOfTheMenuRatios) {
  EXPECT_EQ(ZoomFractionOf(2.0).numerator, 2);
  EXPECT_EQ(ZoomFractionOf(1.0 / 3).denominator, 3);
  EXPECT_EQ(ZoomFractionOf(0.1).denominator, 10);
  const ZoomFraction odd = ZoomFractionOf(0.7);
  EXPECT_EQ(odd.numerator * 10 + odd.denominator, 11);  // 1:1
}

TEST(Commands, PrintingNeedsPixelsAndAPrinter) {
  CommandContext c = Everything();
  EXPECT_TRUE(Meets(kPrintable, c));
  c.fullImageHasPixels = false;
  EXPECT_FALSE(Meets(kPrintable, c));
  c = Everything();
  c.printer = false;
  EXPECT_FALSE(Meets(kPrintable, c));
  EXPECT_FALSE(Meets(kPrinter, c));
}

TEST(ZoomSteps, FitFillsTheViewOneWayAndFitsTheOtherAtAnyScale) {
  struct Case {
    int w, h, vw, vh;
  } cases[] = {{1280, 800, 568, 189}, {100, 50, 500, 300}, {1023, 767, 641, 480}, {3840, 2160, 997, 601}};
  for (const Case& c : cases) {
    const double s = FitScale(c.w, c.h, c.vw, c.vh);
    const int sw = ScaledLength(c.w, s), sh = ScaledLength(c.h, s);
    EXPECT_TRUE(sw <= c.vw && sh <= c.vh) << c.w << "x" << c.h;
    EXPECT_TRUE(sw >= c.vw - 1 || sh >= c.vh - 1) << c.w << "x" << c.h;  // no more than rounding left over
  }
  EXPECT_EQ(FitScale(300, 200, 300, 200), 1.0);
  EXPECT_EQ(FitScale(65535, 65535, 100, 100), 0.1);  // the menus' range holds
  EXPECT_EQ(FitScale(10, 10, 1000, 1000), 10.0);
  EXPECT_EQ(FitScale(0, 10, 100, 100), 1.0);  // nothing to fit
  EXPECT_EQ(FitScale(10, 10, 0, 0), 1.0);     // a view of no size (minimised)
}

TEST(ZoomSteps, StepsWalkTheMenuRatiosAndStopAtTheEnds) {
  EXPECT_EQ(StepZoom(1.0, 1).numerator, 2);
  EXPECT_EQ(StepZoom(0.5, 1).numerator * 10 + StepZoom(0.5, 1).denominator, 11);
  EXPECT_EQ(StepZoom(1.0, -1).denominator, 2);
  EXPECT_EQ(StepZoom(10.0, 1).numerator, 10);
  EXPECT_EQ(StepZoom(0.1, -3).denominator, 10);
  EXPECT_EQ(StepZoom(2.0, -3).denominator, 3);  // 2:1, 1:1, 1:2, 1:3
  // From a fitted scale between two ratios: the first step lands on the neighbour on that side.
  EXPECT_EQ(StepZoom(0.54, 1).numerator * 10 + StepZoom(0.54, 1).denominator, 11);
  EXPECT_EQ(StepZoom(0.54, -1).denominator, 2);
  EXPECT_EQ(StepZoom(2.5, 1).numerator, 3);
  EXPECT_EQ(StepZoom(2.5, -2).numerator * 10 + StepZoom(2.5, -2).denominator, 11);
  EXPECT_EQ(StepZoom(0.05, -1).denominator, 10);
}

TEST(FirstCapture, TheWindowGrowsByWhatThePictureLacksInsideTheWorkArea) {
  const Bounds window{100, 50, 640, 400}, work{0, 0, 1920, 1040};
  EXPECT_FALSE(GrownForPicture(500, 200, 597, 271, window, work));  // fits
  auto b = GrownForPicture(800, 200, 597, 271, window, work);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->width, 640 + 203);
  EXPECT_EQ(b->height, 400);  // the height fits already
  EXPECT_EQ(b->left, 100);
  b = GrownForPicture(1920, 1080, 597, 271, window, work);  // a whole screen: the work area, moved into it
  ASSERT_TRUE(b);
  EXPECT_EQ(b->width, 1920);
  EXPECT_EQ(b->height, 1040);
  EXPECT_EQ(b->left, 0);
  EXPECT_EQ(b->top, 0);
  b = GrownForPicture(700, 300, 597, 271, {1500, 900, 640, 400}, {1920, 0, 1280, 1024});  // second monitor
  ASSERT_TRUE(b);
  EXPECT_EQ(b->left, 1920);
  EXPECT_EQ(b->top, 1024 - 429);  // pushed up to stay inside
}

}  // namespace
}  // namespace griv
