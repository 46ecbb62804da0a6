#include "options/settings.h"

#include <algorithm>

#include "hotkeys/hotkey_text.h"
#include "base/strings.h"

namespace griv {

std::optional<std::string> ReadStringOrFail(SettingsStore& store, const std::string& name) {
  try {
    auto v = store.ReadString(name);
    return v ? *v : std::string();
  } catch (const ERegistryError&) {
    return std::nullopt;
  }
}

int32_t ReadIntegerDefault(SettingsStore& store, const std::string& name, int32_t def) {
  try {
    auto v = store.ReadInteger(name);
    return v ? *v : def;
  } catch (const ERegistryError&) {
    return def;
  }
}

namespace {
const char* OnOff(bool b) { return b ? "On" : "Off"; }
const char* YesNo(bool b) { return b ? "Yes" : "No"; }
const char* OneZero(bool b) { return b ? "1" : "0"; }

// A value whose stored type is wrong is treated like a missing one, except that
// its field keeps the default instead of applying the empty-text rule.
struct Reader {
  SettingsStore& store;
  // Runs rule on the stored text (empty when missing); skipped on a wrong type.
  template <class F>
  void operator()(const char* name, F rule) {
    if (auto v = ReadStringOrFail(store, name)) rule(*v);
  }
};
}  // namespace

int BoundedNumber(std::string_view text, int low, int high, int def) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return def;
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) v = std::min<long long>(v * 10 + (text[i] - '0'), high);
  return int(std::clamp<long long>(v, low, high));
}

int AutoExtChoice(std::string_view autoExt) {
  if (autoExt == ".bmp") return 0;
  if (autoExt == ".png") return 2;
  return 1;
}

void Settings::SetAutoPrint(bool on) {
  AutoPrint = on;
  AutoPrintHint = on ? "Auto Print On" : "";
}

void Settings::SetAutoSave(bool on, bool fromToggle) {
  AutoSave = on;
  AutoSaveHint = on ? (fromToggle ? "  Auto Save On " : "  Auto Save On") : "";
}

void Settings::SetSaveMode(const std::string& mode) {
  SaveMode = mode == "A" ? "A" : "S";
  CaptureScreenChecked = SaveMode == "S";
}

void Settings::Load(SettingsStore& store, const IniFile* custom, SettingsHost& host) {
  Reader read{store};
  auto fromCustom = [&](const char* section, const char* key) -> std::string {
    return custom ? custom->ReadString(section, key, "") : std::string();
  };

  {
    std::string t = fromCustom("General", "AutoPrint");
    if (t.empty()) {
      auto v = ReadStringOrFail(store, "AutoPrint");
      t = v && !v->empty() ? *v : "OFF";
    }
    SetAutoPrint(UpperCase(t) == "ON");
  }
  read("AutoSave", [&](const std::string& v) { SetAutoSave(v == "On", false); });
  read("SaveMode", [&](const std::string& v) { SaveMode = v == "A" ? "A" : "S"; });
  // Start-up runs the matching menu handler and then ticks "Capture Screen" in either case.
  SetSaveMode(SaveMode);
  CaptureScreenChecked = true;
  {
    std::string t = fromCustom("Printer", "Width");
    if (t.empty()) t = ReadStringOrFail(store, "PrintStyle").value_or("");
    std::string u = UpperCase(t);
    PrintStyle = u == "BEST" ? "Best" : u == "ZOOM" ? "Zoom" : "Full";
  }
  if (host.PrinterCount() > 0) {
    read("AutoOrient", [&](const std::string& v) { AutoOrient = v == "On"; });
    PrintSetupEnabled = host.ReadPrinterOrientation();
    std::string name = fromCustom("Printer", "Name");
    if (!name.empty()) host.SelectPrinterByPrefix(name);
    std::string orient = fromCustom("Printer", "Orientation");
    if (!orient.empty()) host.SetPrinterLandscape(UpperCase(orient) == "LANDSCAPE");
  } else {
    AutoOrient = false;
  }
  read("Eject", [&](const std::string& v) { Eject = v == "Yes"; });
  read("AutoClipCopy", [&](const std::string& v) { AutoClipCopy = v == "On"; });
  read("AutoPrefix", [&](const std::string& v) { AutoPrefix = v.empty() ? "GRIV" : v; });
  read("AutoEdit", [&](const std::string& v) { AutoEdit = v == "Yes"; });
  OutlookPresent = host.outlookPresent;
  UseOutlook = false;
  if (OutlookPresent) read("UseOutlook", [&](const std::string& v) { UseOutlook = v == "Yes"; });
  // Held extensions are lower case; a hand-written brand file may not be.
  if (std::string ext = fromCustom("General", "AutoExt"); !ext.empty())
    AutoExt = LowerCase(ext);
  else
    read("AutoExt", [&](const std::string& v) { AutoExt = v.empty() ? ".bmp" : v; });
  LastOpenExt = AutoExt;
  read("LastOpenExt", [&](const std::string& v) { LastOpenExt = v.empty() ? AutoExt : v; });
  {
    std::string t = fromCustom("General", "PrintDateTime");
    bool fromFile = !t.empty();
    if (fromFile) {
      PrintDate = UpperCase(t) == "YES";
    } else {
      read("PrintDate", [&](const std::string& v) { PrintDate = v.empty() || v == "1"; });
    }
  }
  read("PrintNotes", [&](const std::string& v) { PrintNotes = v == "1"; });
  read("InclMouse", [&](const std::string& v) { InclMouse = v.empty() || v == "1"; });
  PopUp = true;
  read("WatchClips", [&](const std::string& v) { WatchClips = v == "1"; });

  const std::string defSave = IncludeTrailingBackslash(host.dataFolder) + "Images\\";
  SavePath = defSave;
  read("SavePath", [&](const std::string& v) {
    if (!v.empty() && host.DirectoryExists(v)) SavePath = IncludeTrailingBackslash(v);
  });
  if (!host.DirectoryExists(defSave)) host.ForceDirectories(defSave);

  AutoSavePath = IncludeTrailingBackslash(host.personalFolder) + "My Pictures\\";
  read("AutoSavePath", [&](const std::string& v) {
    if (!v.empty()) AutoSavePath = v;
  });
  if (!host.DirectoryExists(AutoSavePath)) AutoSavePath = SavePath;
  AutoSavePath = IncludeTrailingBackslash(AutoSavePath);

  OpenPath = SavePath;
  read("OpenPath", [&](const std::string& v) {
    if (!v.empty()) OpenPath = v;
  });
  if (!host.DirectoryExists(OpenPath)) OpenPath = SavePath;

  read("NextSaveNo", [&](const std::string& v) { NextSaveNo = v.empty() ? 1 : LeadingNumber(v); });

  ImageEditor = host.windowsFolder + "\\Pbrush.exe";
  read("ImageEditor", [&](const std::string& v) {
    if (!v.empty()) ImageEditor = v;
  });
  if (!host.FileExists(ImageEditor)) ImageEditor.clear();

  read("DosPrint", [&](const std::string& v) { DosPrint = SameText(v.empty() ? "No" : v, "Yes"); });
  read("DosFont", [&](const std::string& v) { DosFont = v.empty() ? "System" : v; });
  read("EncryptFormat", [&](const std::string& v) { EncryptFormat = ParseKtxFormat(v); });
  read("KeepHistory", [&](const std::string& v) { KeepHistory = v != "Off"; });
  read("HistoryCount",
       [&](const std::string& v) { HistoryCount = BoundedNumber(v, 0, kHistoryCountMax, kHistoryCountDefault); });
  read("CaptureDelay", [&](const std::string& v) {
    CaptureDelay = BoundedNumber(v, kCaptureDelayMin, kCaptureDelayMax, kCaptureDelayDefault);
  });
  read("AdjustArea", [&](const std::string& v) { AdjustArea = v == "On"; });
  read("AutoName", [&](const std::string& v) { AutoNameDateTime = v == kAutoNameDateTime; });
}

void Settings::LoadHotKeys(SettingsStore& store) {
  // The settings hold the text that is registered, so that what the options
  // show is the key in force and not a damaged text that was replaced.
  auto one = [&](const char* name, std::string& field, int index) {
    auto v = ReadStringOrFail(store, name);
    field = EffectiveHotKeyText(index, v.value_or(std::string()));
  };
  one("HotKeyFull", HotKeyFull, 0);
  one("HotKeyActive", HotKeyActive, 1);
  one("HotKeyArea", HotKeyArea, 2);
}

void Settings::LoadUseMonitor(SettingsStore& store) {
  UseMonitor = 0;
  bool exists = false;
  try {
    exists = store.ValueExists("UseMonitor");
  } catch (const ERegistryError&) {
  }
  if (exists) UseMonitor = ReadIntegerDefault(store, "UseMonitor", 0);
  if (UseMonitor > 1) UseMonitor = 1;
  if (UseMonitor < 0) UseMonitor = 0;
}

void Settings::LoadStampChoice(SettingsStore& store) {
  LastIconIx = ReadIntegerDefault(store, "LastIconIx", 0);
  LastCursorIx = ReadIntegerDefault(store, "LastCursorIx", 2);
}

void Settings::Save(SettingsStore& s) const {
  s.WriteString("AutoPrint", OnOff(AutoPrint));
  s.WriteString("AutoSave", OnOff(AutoSave));
  s.WriteString("AutoOrient", OnOff(AutoOrient));
  s.WriteString("AutoClipCopy", OnOff(AutoClipCopy));
  s.WriteString("SaveMode", SaveMode);
  s.WriteString("PrintStyle", PrintStyle);
  s.WriteString("PrintDate", OneZero(PrintDate));
  s.WriteString("PrintNotes", OneZero(PrintNotes));
  s.WriteString("PopUp", OneZero(PopUp));
  s.WriteString("WatchClips", OneZero(WatchClips));
  s.WriteString("InclMouse", OneZero(InclMouse));
  s.WriteString("DosPrint", YesNo(DosPrint));
  s.WriteString("Eject", YesNo(Eject));
  s.WriteString("AutoEdit", YesNo(AutoEdit));
  s.WriteString("UseOutlook", YesNo(UseOutlook));
  s.WriteString("DosFont", DosFont);
  s.WriteString("SavePath", SavePath);
  s.WriteString("OpenPath", OpenPath);
  s.WriteString("AutoPrefix", AutoPrefix);
  s.WriteString("AutoExt", AutoExt);
  s.WriteString("AutoSavePath", AutoSavePath);
  s.WriteString("ImageEditor", ImageEditor);
  s.WriteString("LastOpenExt", LastOpenExt);
  s.WriteString("EncryptFormat", KtxFormatName(EncryptFormat));
  s.WriteString("KeepHistory", OnOff(KeepHistory));
  s.WriteString("HistoryCount", std::to_string(HistoryCount));
  s.WriteString("CaptureDelay", std::to_string(CaptureDelay));
  s.WriteString("AdjustArea", OnOff(AdjustArea));
  s.WriteString("AutoName", AutoNameDateTime ? kAutoNameDateTime : kAutoNameNumber);
}

void Settings::SaveHotKeys(SettingsStore& s) const {
  s.WriteString("HotKeyFull", HotKeyFull);
  s.WriteString("HotKeyActive", HotKeyActive);
  s.WriteString("HotKeyArea", HotKeyArea);
}

}  // namespace griv
