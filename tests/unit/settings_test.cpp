#include <gtest/gtest.h>

#include <set>

#include "options/settings.h"
#include "hotkeys/hotkey_text.h"

using namespace griv;

namespace {
// A machine held in memory: folders, files and a printer list.
class FakeHost : public SettingsHost {
 public:
  FakeHost() {
    dataFolder = "C:\\users\\me\\AppData\\GRIV\\";
    personalFolder = "C:\\users\\me\\Documents\\";
    windowsFolder = "C:\\windows";
  }
  bool DirectoryExists(const std::string& p) override { return dirs.count(IncludeTrailingBackslash(p)) > 0; }
  bool FileExists(const std::string& p) override { return files.count(p) > 0; }
  bool ForceDirectories(const std::string& p) override {
    dirs.insert(IncludeTrailingBackslash(p));
    created.push_back(p);
    return true;
  }
  int PrinterCount() override { return static_cast<int>(printers.size()); }
  bool ReadPrinterOrientation() override { return orientationReadable; }
  void SelectPrinterByPrefix(const std::string& prefix) override {
    for (auto& p : printers)
      if (UpperCase(p.substr(0, prefix.size())) == UpperCase(prefix)) {
        current = p;
        return;
      }
  }
  void SetPrinterLandscape(bool l) override { landscape = l; }

  std::set<std::string> dirs, files;
  std::vector<std::string> created, printers;
  std::string current;
  bool landscape = false, orientationReadable = true;
};

Settings LoadFrom(MemorySettingsStore& store, FakeHost& host, const IniFile* ini = nullptr) {
  Settings s;
  s.Load(store, ini, host);
  s.LoadHotKeys(store);
  s.LoadUseMonitor(store);
  s.LoadStampChoice(store);
  return s;
}
}  // namespace

TEST(Settings, DefaultsOnAnEmptyStore) {
  MemorySettingsStore store;
  FakeHost host;
  Settings s = LoadFrom(store, host);
  EXPECT_FALSE(s.AutoPrint);
  EXPECT_FALSE(s.AutoSave);
  EXPECT_EQ(s.SaveMode, "S");
  EXPECT_EQ(s.PrintStyle, "Full");
  EXPECT_TRUE(s.PrintDate);
  EXPECT_FALSE(s.PrintNotes);
  EXPECT_TRUE(s.InclMouse);
  EXPECT_TRUE(s.PopUp);
  EXPECT_EQ(s.AutoPrefix, "GRIV");
  EXPECT_EQ(s.AutoExt, ".bmp");
  EXPECT_EQ(s.LastOpenExt, ".bmp");
  EXPECT_EQ(s.NextSaveNo, 1);
  EXPECT_EQ(s.DosFont, "System");
  EXPECT_EQ(s.HotKeyFull, "#15");
  EXPECT_EQ(s.HotKeyActive, "Alt|#15");
  EXPECT_EQ(s.HotKeyArea, "Win|#15");
  EXPECT_EQ(s.LastCursorIx, 2);
  // The default save folder is created and every folder falls back to it.
  EXPECT_EQ(s.SavePath, "C:\\users\\me\\AppData\\GRIV\\Images\\");
  ASSERT_EQ(host.created.size(), 1u);
  EXPECT_EQ(s.AutoSavePath, s.SavePath);  // no My Pictures folder
  EXPECT_EQ(s.OpenPath, s.SavePath);
  EXPECT_EQ(s.ImageEditor, "");  // no Pbrush.exe
}

TEST(Settings, ReadRulesCaseAndWords) {
  MemorySettingsStore store;
  FakeHost host;
  store.WriteString("AutoSave", "on");       // case matters: off
  store.WriteString("AutoPrint", "on");      // upper-cased: on
  store.WriteString("SaveMode", "X");
  store.WriteString("PrintStyle", "zoom");
  store.WriteString("Eject", "yes");         // exactly "Yes"
  store.WriteString("AutoEdit", "Yes");
  store.WriteString("DosPrint", "YES");      // any case
  store.WriteString("PrintDate", "0");
  store.WriteString("InclMouse", "no");      // neither empty nor "1": off
  store.WriteString("WatchClips", "1");
  store.WriteString("NextSaveNo", "42abc");
  store.WriteString("AutoExt", ".jpg");
  store.WriteString("UseOutlook", "Yes");    // no Outlook: stays off
  store.WriteInteger("UseMonitor", 7);
  Settings s = LoadFrom(store, host);
  EXPECT_FALSE(s.AutoSave);
  EXPECT_TRUE(s.AutoPrint);
  EXPECT_EQ(s.AutoPrintHint, "Auto Print On");
  EXPECT_EQ(s.SaveMode, "S");
  EXPECT_EQ(s.PrintStyle, "Zoom");
  EXPECT_FALSE(s.Eject);
  EXPECT_TRUE(s.AutoEdit);
  EXPECT_TRUE(s.DosPrint);
  EXPECT_FALSE(s.PrintDate);
  EXPECT_FALSE(s.InclMouse);
  EXPECT_TRUE(s.WatchClips);
  EXPECT_EQ(s.NextSaveNo, 42);
  EXPECT_EQ(s.LastOpenExt, ".jpg");  // follows AutoExt when missing
  EXPECT_FALSE(s.UseOutlook);
  EXPECT_EQ(s.UseMonitor, 1);

  host.outlookPresent = true;
  Settings o = LoadFrom(store, host);
  EXPECT_TRUE(o.UseOutlook);
}

TEST(Settings, SaveModeAKeepsItsLetterButHotKeyZeroCapturesTheScreen) {
  MemorySettingsStore store;
  FakeHost host;
  store.WriteString("SaveMode", "A");
  Settings s = LoadFrom(store, host);
  EXPECT_EQ(s.SaveMode, "A");
  EXPECT_TRUE(s.CaptureScreenChecked);
  store.ClearWriteOrder();
  s.Save(store);
  EXPECT_EQ(store.ReadString("SaveMode"), "A");
}

TEST(Settings, FolderFallbacks) {
  MemorySettingsStore store;
  FakeHost host;
  host.dirs.insert("D:\\shots\\");
  host.dirs.insert("C:\\users\\me\\Documents\\My Pictures\\");
  host.files.insert("C:\\windows\\Pbrush.exe");
  store.WriteString("SavePath", "D:\\gone");
  store.WriteString("AutoSavePath", "D:\\missing\\");
  store.WriteString("OpenPath", "D:\\shots");
  Settings s = LoadFrom(store, host);
  EXPECT_EQ(s.SavePath, "C:\\users\\me\\AppData\\GRIV\\Images\\");
  EXPECT_EQ(s.AutoSavePath, s.SavePath);
  EXPECT_EQ(s.OpenPath, "D:\\shots");
  EXPECT_EQ(s.ImageEditor, "C:\\windows\\Pbrush.exe");

  MemorySettingsStore empty;
  Settings d = LoadFrom(empty, host);
  EXPECT_EQ(d.AutoSavePath, "C:\\users\\me\\Documents\\My Pictures\\");
  store.WriteString("SavePath", "D:\\shots");
  EXPECT_EQ(LoadFrom(store, host).SavePath, "D:\\shots\\");
}

TEST(Settings, BrandingDefaultsFileTakesPrecedence) {
  MemorySettingsStore store;
  FakeHost host;
  host.printers = {"Office Laser", "HP DeskJet", "hp second"};
  store.WriteString("AutoPrint", "Off");
  store.WriteString("PrintDate", "1");
  store.WriteString("PrintStyle", "Best");
  IniFile ini("[General]\nAutoPrint=on\nPrintDateTime=no\n[Printer]\nWidth=zoom\nName=hp\nOrientation=landscape\n");
  Settings s = LoadFrom(store, host, &ini);
  EXPECT_TRUE(s.AutoPrint);
  EXPECT_FALSE(s.PrintDate);
  EXPECT_EQ(s.PrintStyle, "Zoom");
  EXPECT_EQ(host.current, "HP DeskJet");
  EXPECT_TRUE(host.landscape);
  s.Save(store);
  EXPECT_EQ(store.ReadString("AutoPrint"), "On");
  EXPECT_EQ(store.ReadString("PrintDate"), "0");

  // Empty keys leave the registry in charge; without a printer the Printer keys do nothing.
  FakeHost noPrinter;
  IniFile blank("[General]\nAutoPrint=\n[Printer]\nName=hp\nOrientation=landscape\n");
  store.WriteString("AutoPrint", "Off");
  Settings t = LoadFrom(store, noPrinter, &blank);
  EXPECT_FALSE(t.AutoPrint);
  EXPECT_FALSE(noPrinter.landscape);
  EXPECT_FALSE(t.AutoOrient);
}

TEST(Settings, AutoExtPng) {
  MemorySettingsStore store;
  FakeHost host;
  store.WriteString("AutoExt", ".png");
  Settings s = LoadFrom(store, host);
  EXPECT_EQ(s.AutoExt, ".png");
  EXPECT_EQ(s.LastOpenExt, ".png");
  s.Save(store);
  EXPECT_EQ(store.ReadString("AutoExt"), ".png");

  // The Options list: ".bmp" and ".png" select themselves, anything else ".jpg".
  for (const char* ext : {".bmp", ".jpg", ".png"}) EXPECT_STREQ(kAutoExtChoices[AutoExtChoice(ext)], ext);
  for (const char* ext : {".BMP", ".PNG", ".jpeg", ".gif", ""}) EXPECT_STREQ(kAutoExtChoices[AutoExtChoice(ext)], ".jpg") << ext;

  // A brand's defaults file may choose it; an empty key leaves the registry's value.
  MemorySettingsStore fresh;
  IniFile brand("[General]\nAutoExt=.PNG\n");
  EXPECT_EQ(LoadFrom(fresh, host, &brand).AutoExt, ".png");
  store.WriteString("AutoExt", ".jpg");
  IniFile blank("[General]\nAutoExt=\n");
  EXPECT_EQ(LoadFrom(store, host, &blank).AutoExt, ".jpg");
  EXPECT_EQ(LoadFrom(fresh, host).AutoExt, ".bmp");  // the default stays
}

TEST(Settings, WrongRegistryTypeGivesThatValuesDefault) {
  MemorySettingsStore store;
  FakeHost host;
  store.WriteInteger("AutoPrefix", 5);
  store.WriteInteger("InclMouse", 0);
  store.WriteString("UseMonitor", "1");
  store.WriteString("LastCursorIx", "9");
  store.WriteInteger("HotKeyFull", 3);
  store.WriteString("AutoSave", "On");
  Settings s = LoadFrom(store, host);
  EXPECT_EQ(s.AutoPrefix, "GRIV");
  EXPECT_TRUE(s.InclMouse);
  EXPECT_EQ(s.UseMonitor, 0);
  EXPECT_EQ(s.LastCursorIx, 2);
  EXPECT_EQ(s.HotKeyFull, "#15");
  EXPECT_TRUE(s.AutoSave);  // later values are still read
}

TEST(Settings, SaveWritesEveryValueInOrderAndForm) {
  MemorySettingsStore store;
  FakeHost host;
  Settings s = LoadFrom(store, host);
  s.SetAutoPrint(true);
  s.SetAutoSave(true, true);
  EXPECT_EQ(s.AutoSaveHint, "  Auto Save On ");
  s.DosPrint = true;
  s.PrintNotes = true;
  store.ClearWriteOrder();
  s.Save(store);
  const std::vector<std::string> order{"AutoPrint", "AutoSave", "AutoOrient", "AutoClipCopy", "SaveMode",
                                       "PrintStyle", "PrintDate", "PrintNotes", "PopUp", "WatchClips",
                                       "InclMouse", "DosPrint", "Eject", "AutoEdit", "UseOutlook", "DosFont",
                                       "SavePath", "OpenPath", "AutoPrefix", "AutoExt", "AutoSavePath",
                                       "ImageEditor", "LastOpenExt", "EncryptFormat", "KeepHistory",
                                       "HistoryCount", "CaptureDelay", "AdjustArea", "AutoName"};
  EXPECT_EQ(store.WriteOrder(), order);
  EXPECT_EQ(store.ReadString("AutoPrint"), "On");
  EXPECT_EQ(store.ReadString("AutoSave"), "On");
  EXPECT_EQ(store.ReadString("AutoOrient"), "Off");
  EXPECT_EQ(store.ReadString("PrintDate"), "1");
  EXPECT_EQ(store.ReadString("PrintNotes"), "1");
  EXPECT_EQ(store.ReadString("DosPrint"), "Yes");
  EXPECT_EQ(store.ReadString("Eject"), "No");
  EXPECT_EQ(store.ReadString("PopUp"), "1");
  // Values that are written only when they change are not part of the set.
  EXPECT_FALSE(store.ValueExists("NextSaveNo"));
  EXPECT_FALSE(store.ValueExists("HotKeyFull"));
  // New files are AES unless DES is asked for.
  EXPECT_EQ(store.ReadString("EncryptFormat"), "AES");
  store.WriteString("EncryptFormat", "DES");
  EXPECT_EQ(LoadFrom(store, host).EncryptFormat, KtxFormat::Des);
}

// The settings hold the hot-key text that is registered: a damaged stored
// text (no key number, or a number naming no key of the list) is replaced by
// the default, so the options dialog shows the key in force.
TEST(Settings, HotKeysHoldTheRegisteredText) {
  MemorySettingsStore store;
  FakeHost host;
  store.WriteString("HotKeyFull", "#-1");
  store.WriteString("HotKeyActive", "Ctrl|#abc");
  store.WriteString("HotKeyArea", "Shift|#96");
  Settings s = LoadFrom(store, host);
  EXPECT_EQ(s.HotKeyFull, "#15");
  EXPECT_EQ(s.HotKeyActive, "Alt|#15");
  EXPECT_EQ(s.HotKeyArea, "Win|#15");
  store.WriteString("HotKeyFull", "Ctrl|Shift|#80");
  store.WriteString("HotKeyActive", "#0");
  store.WriteString("HotKeyArea", "Win|#95");
  s = LoadFrom(store, host);
  EXPECT_EQ(s.HotKeyFull, "Ctrl|Shift|#80");
  EXPECT_EQ(s.HotKeyActive, "#0");  // Backspace, chosen on purpose
  EXPECT_EQ(s.HotKeyArea, "Win|#95");
  EXPECT_EQ(EffectiveHotKeyText(0, "#200"), "#15");
  EXPECT_EQ(EffectiveHotKeyText(0, " #-0"), " #-0");
  // The text functions keep their literal reading of the same texts.
  EXPECT_TRUE(IsValidHotKeyText("#-1"));
  EXPECT_EQ(HotKeyTextToDisplay("#200"), "(none)");
}

