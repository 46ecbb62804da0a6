#include <gtest/gtest.h>

#include <set>

#include "options/option_values.h"

using namespace griv;

namespace {
Settings Typical() {
  Settings s;
  s.AutoSavePath = "C:\\shots\\";
  s.ImageEditor = "C:\\tools\\paint.exe";
  s.AutoPrefix = "GRIV";
  s.NextSaveNo = 41;
  return s;
}
bool NoFile(const std::string&) { return false; }

// Everything SaveSettings and the hot-key write would put in the registry, in order.
std::vector<std::pair<std::string, std::string>> Written(const Settings& s) {
  MemorySettingsStore store;
  s.Save(store);
  s.SaveHotKeys(store);
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& name : store.WriteOrder()) out.emplace_back(name, store.ReadString(name).value_or("?"));
  out.emplace_back("NextSaveNo(held)", std::to_string(s.NextSaveNo));
  return out;
}
}  // namespace

TEST(OptionValues, OkWithoutChangesStoresTheSameSettingsAndLeavesTheHotKeysAlone) {
  for (const char* style : {"Full", "Zoom", "Best"}) {
    for (bool flags : {false, true}) {
      Settings s = Typical();
      s.PrintStyle = style;
      s.AutoSave = s.AutoPrint = s.PrintNotes = s.WatchClips = s.AutoClipCopy = s.DosPrint = s.Eject = flags;
      s.AutoEdit = s.UseOutlook = s.OutlookPresent = s.AutoOrient = flags;
      s.PrintDate = s.InclMouse = !flags;
      s.DosFont = flags ? "Arial" : "System";
      s.AutoExt = flags ? ".jpg" : ".bmp";
      const auto before = Written(s);
      const StoreOutcome out = StoreOptionValues(FillOptionValues(s), s, [](const std::string&) { return true; });
      EXPECT_EQ(Written(s), before) << style << flags;
      EXPECT_FALSE(out.toggleAutoSave || out.toggleAutoPrint || out.hotKeysChanged) << style << flags;
    }
  }
}

TEST(OptionValues, FillShowsWhatTheSettingsHold) {
  Settings s = Typical();
  s.PrintStyle = "Zoom";
  s.DosFont = "Courier New";  // anything but System ticks Arial
  s.AutoExt = ".BMP";         // only ".bmp" exactly shows ".bmp"
  s.PopUp = false;
  const OptionValues v = FillOptionValues(s);
  EXPECT_TRUE(!v.rbPrtFull && v.rbPrtZoom && !v.rbPrtBest);
  EXPECT_FALSE(v.rbSystem);
  EXPECT_EQ(v.extIndex, 1);
  EXPECT_TRUE(v.popUp);  // always ticked
  EXPECT_EQ(v.savePath, "C:\\shots\\");
  EXPECT_EQ(v.savePathAtOpen, v.savePath);
  EXPECT_EQ(v.nextSaveNo, "41");
  EXPECT_FALSE(v.outlookEnabled);
  // A style that matches none ticks none, and storing that gives Best.
  s.PrintStyle = "FULL";
  const OptionValues none = FillOptionValues(s);
  EXPECT_FALSE(none.rbPrtFull || none.rbPrtZoom || none.rbPrtBest);
  StoreOptionValues(none, s, NoFile);
  EXPECT_EQ(s.PrintStyle, "Best");
  // PNG numbered saves show and store as themselves.
  s.AutoExt = ".png";
  const OptionValues png = FillOptionValues(s);
  EXPECT_EQ(png.extIndex, 2);
  s.AutoExt.clear();
  StoreOptionValues(png, s, NoFile);
  EXPECT_EQ(s.AutoExt, ".png");
}

TEST(OptionValues, StoreBackRulesForTypedValues) {
  Settings s = Typical();
  s.AutoExt = ".BMP";
  OptionValues v = FillOptionValues(s);
  v.nextSaveNo = "12abc";
  v.savePath = "D:\\new\\folder";
  v.imageEditor = "C:\\gone\\editor.exe";
  v.rbSystem = false;
  StoreOptionValues(v, s, NoFile);
  EXPECT_EQ(s.AutoExt, ".jpg");  // ".BMP" showed ".jpg", and OK keeps what was shown
  EXPECT_EQ(s.NextSaveNo, 12);
  EXPECT_EQ(s.AutoSavePath, "D:\\new\\folder\\");
  EXPECT_EQ(s.ImageEditor, "C:\\tools\\paint.exe");  // a missing program keeps the old editor
  EXPECT_EQ(s.DosFont, "Arial");

  for (const char* typed : {"abc", "", " ", "-"}) {
    v.nextSaveNo = typed;
    StoreOptionValues(v, s, NoFile);
    EXPECT_EQ(s.NextSaveNo, 0) << typed;
  }

  std::set<std::string> files = {"C:\\new\\editor.exe"};
  v.imageEditor = "C:\\new\\editor.exe";
  StoreOptionValues(v, s, [&](const std::string& f) { return files.count(f) > 0; });
  EXPECT_EQ(s.ImageEditor, "C:\\new\\editor.exe");
  v.imageEditor = "";  // an emptied box cannot name a program
  StoreOptionValues(v, s, [](const std::string&) { return true; });
  EXPECT_EQ(s.ImageEditor, "C:\\new\\editor.exe");
}

TEST(OptionValues, AutoSaveAndAutoPrintGoThroughTheTogglesNotTheStore) {
  Settings s = Typical();
  s.SetAutoSave(false, false);
  s.SetAutoPrint(true);
  OptionValues v = FillOptionValues(s);
  v.autoSave = true;
  v.autoPrint = false;
  const StoreOutcome out = StoreOptionValues(v, s, NoFile);
  EXPECT_TRUE(out.toggleAutoSave);
  EXPECT_TRUE(out.toggleAutoPrint);
  // The toggles, run by the window, set the state and its hint.
  EXPECT_FALSE(s.AutoSave);
  EXPECT_TRUE(s.AutoPrint);
}

TEST(OptionValues, PendingHotKeysChangeTheSettingsOnlyWhenConfirmed) {
  Settings s = Typical();
  s.HotKeyFull = "Ctrl|Shift|#80";
  s.HotKeyActive = "garbage";  // registered as its default, so shown and kept as that
  OptionValues v = FillOptionValues(s);
  EXPECT_EQ(v.hotKeys.Text(0), "Ctrl|Shift|#80");
  EXPECT_EQ(v.hotKeys.Text(1), "Alt|#15");
  EXPECT_EQ(v.hotKeys.Display(0), "Ctrl, Shift, F12");

  // Reset, then Cancel: the dialog's values are dropped and the settings never saw them.
  OptionValues cancelled = v;
  cancelled.hotKeys.Reset();
  EXPECT_EQ(cancelled.hotKeys.Text(0), "#15");
  EXPECT_EQ(s.HotKeyFull, "Ctrl|Shift|#80");

  // A change through the editor, then OK.
  v.hotKeys.Change(0, "Ctrl|Shift|#79");
  const StoreOutcome out = StoreOptionValues(v, s, NoFile);
  EXPECT_TRUE(out.hotKeysChanged);
  EXPECT_EQ(s.HotKeyFull, "Ctrl|Shift|#80");  // only the window's re-registration applies them
  ApplyHotKeyTexts(v, s);
  EXPECT_EQ(s.HotKeyFull, "Ctrl|Shift|#79");
  EXPECT_EQ(s.HotKeyActive, "Alt|#15");
  EXPECT_EQ(s.HotKeyArea, "Win|#15");

  // Reset then OK writes the defaults even where they equal what was there.
  OptionValues reset = FillOptionValues(s);
  reset.hotKeys.Reset();
  EXPECT_TRUE(StoreOptionValues(reset, s, NoFile).hotKeysChanged);
  ApplyHotKeyTexts(reset, s);
  EXPECT_EQ(s.HotKeyFull, "#15");
}

TEST(OptionValues, HotKeysHeldByOtherProgramsAreSaidOnce) {
  EXPECT_EQ(HotKeyRowText("#15", false), "PrintScreen");
  EXPECT_EQ(HotKeyRowText("#15", true), "PrintScreen \xE2\x80\x94 in use by another program");
  EXPECT_EQ(HotKeyRowText("Alt|#15", true), "Alt, PrintScreen \xE2\x80\x94 in use by another program");

  const THotKeyCode print = HotKeyTextToKey("#15");
  // Refused: the first and the third. The second names the same key as the
  // first, so its refusal is this program's own doing, not another's.
  std::array<HotKeyRegistration, 3> keys = {HotKeyRegistration{print, 0, false},
                                            HotKeyRegistration{print, 0, false},
                                            HotKeyRegistration{print, hmWin, false}};
  EXPECT_EQ(RefusedElsewhere(keys), (std::array<bool, 3>{true, false, true}));
  keys[0].registered = true;  // the first got it: the second lost to this program
  EXPECT_EQ(RefusedElsewhere(keys), (std::array<bool, 3>{false, false, true}));
  keys[2].key = 0;  // no key at all is nobody's
  EXPECT_EQ(RefusedElsewhere(keys), (std::array<bool, 3>{false, false, false}));

  const std::array<std::string, 3> texts = {"#15", "Alt|#15", "Win|#15"};
  EXPECT_EQ(RefusedHotKeysNote(texts, {false, false, false}), "");
  EXPECT_EQ(RefusedHotKeysNote(texts, {true, false, true}),
            " - in use by another program: PrintScreen; Win, PrintScreen");
}

TEST(OptionValues, SaveFolderAndPrefixAreRefusedWhenNoFileCouldBeMadeThere) {
  for (const char* good : {"C:\\shots", "d:\\", "C:\\a b\\c\\", "\\\\server\\share", "\\\\server\\share\\x"})
    EXPECT_EQ(SaveFolderProblem(good), "") << good;
  // Relative to wherever the current folder is: a bare name, a bare drive, a drive without its backslash.
  for (const char* bad : {"relshots", "D:", "D:shots", "\\shots", "\\\\server", "\\\\server\\", "C:/shots"})
    EXPECT_EQ(SaveFolderProblem(bad), std::string(bad) + " - is not a valid path: give the full path of a folder, such as C:\\Captures")
        << bad;
  EXPECT_EQ(SaveFolderProblem("  ").rfind("The Auto Save Folder is blank", 0), 0u);

  EXPECT_EQ(SavePrefixProblem("Shot 2024-05_a.b"), "");
  EXPECT_EQ(SavePrefixProblem(""), "");  // the default prefix then
  for (const char* bad : {"a/b:c", "x\\y", "why?", "tab\there", "a|b"})
    EXPECT_EQ(SavePrefixProblem(bad).rfind(std::string("File Name Prefix - ") + bad + " cannot be used", 0), 0u) << bad;
}
