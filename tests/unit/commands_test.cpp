#include "app/commands.h"

#include <gtest/gtest.h>

#include <map>

#include "ids_app.h"

namespace griv {
namespace {

CommandContext WithImage() {
  CommandContext c;
  c.image = c.fullImageHasPixels = true;
  c.printer = true;
  return c;
}

bool Checked(const CheckContext& c, int id) {
  for (const CheckMark& m : CommandChecks(c))
    if (m.id == id) return m.checked;
  ADD_FAILURE() << "no check mark for " << id;
  return false;
}

TEST(Commands, EveryPlaceOfACommandFollowsTheSameState) {
  // The pop-up menu's Undo and Paste used to stay enabled while their twins were greyed.
  CommandContext c = WithImage();
  for (Place p : {kMainMenu, kImageMenu, kToolBar}) EXPECT_FALSE(CommandEnabled(CM_UNDO, p, c)) << int(p);
  c.undo = true;
  for (Place p : {kMainMenu, kImageMenu, kToolBar}) EXPECT_TRUE(CommandEnabled(CM_UNDO, p, c)) << int(p);
  const struct {
    int id;
    Place place;
  } imageCommands[] = {{CM_CLEAR, kMainMenu}, {CM_CROP, kToolBar}, {CM_GREY, kImageMenu}, {CM_SAVEAS, kMainMenu}};
  for (const auto& ic : imageCommands) {
    EXPECT_TRUE(CommandEnabled(ic.id, ic.place, c)) << ic.id;
    EXPECT_FALSE(CommandEnabled(ic.id, ic.place, CommandContext{})) << ic.id;
  }
  EXPECT_FALSE(Meets(kClipboardBitmap, c));
}

TEST(Commands, SaveIsEnabledByTheFirstWriteButItsButtonByTheImage) {
  CommandContext c = WithImage();
  EXPECT_FALSE(CommandEnabled(CM_SAVE, kMainMenu, c));
  EXPECT_TRUE(CommandEnabled(CM_SAVE, kToolBar, c));
  EXPECT_TRUE(CommandEnabled(CM_SAVE, kImageMenu, c));
  c.saveWritten = true;
  c.image = false;  // cleared: the menu item stays, the button goes
  EXPECT_TRUE(CommandEnabled(CM_SAVE, kMainMenu, c));
  EXPECT_FALSE(CommandEnabled(CM_SAVE, kToolBar, c));
}

TEST(Commands, AddACursorNeedsAnImageAtOneToOneAndNoPrinter) {
  CommandContext c = WithImage();
  c.printer = false;
  EXPECT_TRUE(Meets(kImage | kOneToOne, c));
  c.oneToOne = false;
  EXPECT_FALSE(Meets(kImage | kOneToOne, c));
}

TEST(Commands, PrintingNeedsPixelsAndAPrinter) {
  CommandContext c = WithImage();
  EXPECT_TRUE(Meets(kPrintable, c));
  c.fullImageHasPixels = false;
  EXPECT_FALSE(Meets(kPrintable, c));
  c = WithImage();
  c.printer = false;
  EXPECT_FALSE(Meets(kPrintable, c));
  EXPECT_FALSE(Meets(kPrinter, c));
}

TEST(Commands, WithoutAPrinterNoPrintCommandIsOfferedAnywhere) {
  const int printing[] = {CM_PRINT, CM_PRINTPREVIEW, CM_PRINTSETUP};
  CommandContext c = WithImage();
  c.printer = false;
  for (int id : printing)
    for (Place p : {kMainMenu, kImageMenu, kToolBar}) {
      if (id != CM_PRINTSETUP || p != kImageMenu) {  // the pop-up menu has no setup
        EXPECT_FALSE(CommandEnabled(id, p, c)) << id << " " << int(p);
      }
    }
  // With a printer but nothing to print only the setup is offered.
  c = CommandContext{};
  c.printer = true;
  EXPECT_TRUE(CommandEnabled(CM_PRINTSETUP, kToolBar, c));
  EXPECT_FALSE(CommandEnabled(CM_PRINT, kToolBar, c));
  EXPECT_FALSE(CommandEnabled(CM_PRINTPREVIEW, kImageMenu, c));
  c = WithImage();
  for (int id : printing) EXPECT_TRUE(CommandEnabled(id, kMainMenu, c)) << id;
}

TEST(Commands, CommandsNotBuiltAreNeverEnabled) {
  CommandContext all = WithImage();
  all.undo = all.clipboardBitmap = all.editorConfigured = all.editorExists = all.saveWritten = true;
  for (int id = 1000; id < 1200; ++id) {
    if (CommandBuilt(id)) continue;
    for (Place p : {kMainMenu, kTrayMenu, kImageMenu, kToolBar}) EXPECT_FALSE(CommandEnabled(id, p, all)) << id;
  }
  // Commands without a rule are always enabled where they appear.
  EXPECT_TRUE(CommandEnabled(CM_OPENFILE, kMainMenu, CommandContext{}));
  EXPECT_TRUE(CommandEnabled(CM_CAPAREANOW, kTrayMenu, CommandContext{}));
}

TEST(Commands, MailFoundMissingGreysSendMailEverywhere) {
  CommandContext c = WithImage();
  for (Place p : {kMainMenu, kImageMenu, kToolBar}) EXPECT_TRUE(CommandEnabled(CM_SENDMAIL, p, c)) << int(p);
  c.image = false;  // the pop-up menu still mails other files
  EXPECT_TRUE(CommandEnabled(CM_SENDMAIL, kImageMenu, c));
  EXPECT_FALSE(CommandEnabled(CM_SENDMAIL, kToolBar, c));
  c = WithImage();
  c.mail = false;
  for (Place p : {kMainMenu, kImageMenu, kToolBar}) EXPECT_FALSE(CommandEnabled(CM_SENDMAIL, p, c)) << int(p);
}

TEST(Commands, ZoomChecksDescribeTheRatioOnShow) {
  CheckContext c;
  EXPECT_TRUE(Checked(c, CM_ZMI01));
  EXPECT_TRUE(Checked(c, CM_ZMO01));
  c.zoomNumerator = 3;
  EXPECT_TRUE(Checked(c, CM_ZMI01 + 2));
  EXPECT_FALSE(Checked(c, CM_ZMI01));
  EXPECT_FALSE(Checked(c, CM_ZMO01));
  c.zoomNumerator = 1;
  c.zoomDenominator = 4;
  EXPECT_TRUE(Checked(c, CM_ZMO01 + 3));
  int ticked = 0;
  for (const CheckMark& m : CommandChecks(c))
    if (m.id >= CM_ZMI01 && m.id <= CM_ZMO10 && m.checked) ++ticked;
  EXPECT_EQ(ticked, 1);
}

TEST(Commands, ZoomFractionsOfTheMenuRatios) {
  EXPECT_EQ(ZoomFractionOf(2.0).numerator, 2);
  EXPECT_EQ(ZoomFractionOf(1.0 / 3).denominator, 3);
  EXPECT_EQ(ZoomFractionOf(0.1).denominator, 10);
  const ZoomFraction odd = ZoomFractionOf(0.7);
  EXPECT_EQ(odd.numerator * 10 + odd.denominator, 11);  // 1:1
}

TEST(Commands, OptionChecksFollowTheSettings) {
  CheckContext c;
  c.autoSave = c.printNotes = true;
  c.monitorIndex = 1;
  EXPECT_FALSE(Checked(c, CM_AUTOPRINT));
  EXPECT_TRUE(Checked(c, CM_AUTOSAVE));
  EXPECT_TRUE(Checked(c, CM_SWNOTES));
  EXPECT_FALSE(Checked(c, CM_MONITOR1));
  EXPECT_TRUE(Checked(c, CM_MONITOR2));
}

}  // namespace
}  // namespace griv

namespace griv {
namespace {

TEST(ZoomSteps, FitPicksTheLargestMenuRatioThatShowsAll) {
  ZoomFraction f = FitZoom(1280, 800, 568, 189);
  EXPECT_EQ(f.numerator, 1);
  EXPECT_EQ(f.denominator, 5);  // 1:4 would need 200 rows
  f = FitZoom(100, 50, 500, 300);
  EXPECT_EQ(f.numerator, 5);  // 6:1 would need 600 columns
  f = FitZoom(300, 200, 300, 200);
  EXPECT_EQ(f.numerator * 10 + f.denominator, 11);  // exactly fits: 1:1
  f = FitZoom(65535, 65535, 100, 100);
  EXPECT_EQ(f.denominator, 10);  // nothing fits: the smallest there is
}

TEST(ZoomSteps, StepsWalkTheMenuRatiosAndStopAtTheEnds) {
  EXPECT_EQ(StepZoom(1.0, 1).numerator, 2);
  EXPECT_EQ(StepZoom(0.5, 1).numerator * 10 + StepZoom(0.5, 1).denominator, 11);
  EXPECT_EQ(StepZoom(1.0, -1).denominator, 2);
  EXPECT_EQ(StepZoom(10.0, 1).numerator, 10);
  EXPECT_EQ(StepZoom(0.1, -3).denominator, 10);
  EXPECT_EQ(StepZoom(2.0, -3).denominator, 3);  // 2:1, 1:1, 1:2, 1:3
}

TEST(Commands, TheEditorCommandsNeedAnImageAndAnEditor) {
  CommandContext c;
  c.image = c.editorConfigured = c.editorExists = true;
  EXPECT_TRUE(CommandEnabled(CM_EDITOR, kMainMenu, c));
  EXPECT_TRUE(CommandEnabled(CM_SENDTOEDITOR, kImageMenu, c));
  // Ok in the options found the named editor gone: "Editor" greys, the image menu keeps its item.
  c.editorExists = false;
  EXPECT_FALSE(CommandEnabled(CM_EDITOR, kMainMenu, c));
  EXPECT_TRUE(CommandEnabled(CM_SENDTOEDITOR, kImageMenu, c));
  c.editorExists = true;
  c.image = false;
  EXPECT_FALSE(CommandEnabled(CM_EDITOR, kMainMenu, c));
  EXPECT_FALSE(CommandEnabled(CM_SENDTOEDITOR, kImageMenu, c));
  c.image = true;
  c.editorConfigured = false;
  EXPECT_FALSE(CommandEnabled(CM_EDITOR, kMainMenu, c));
  EXPECT_FALSE(CommandEnabled(CM_SENDTOEDITOR, kImageMenu, c));
  // Options, help and the quick-start guide are always there.
  for (int id : {CM_OPTIONS, CM_HELPCONTENT, CM_HELPCAPTURE, CM_HELPPRINT, CM_HELPSAVE, CM_HELPCONTACT, CM_HELP1,
                 CM_QUICKSTART})
    EXPECT_TRUE(CommandEnabled(id, kMainMenu, CommandContext{}) && CommandEnabled(id, kTrayMenu, CommandContext{}))
        << id;
}

}  // namespace
}  // namespace griv
