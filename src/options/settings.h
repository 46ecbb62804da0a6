// The user's options: read rules, defaults and written forms of every value
// under Software\GRIV, and the branding defaults file KTCustom.ini.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ini.h"
#include "base/settings_store.h"
#include "hotkeys/hotkey_text.h"
#include "base/ktx_format.h"

namespace griv {

// What loading needs from the machine: folders, files and printers.
class SettingsHost {
 public:
  virtual ~SettingsHost() = default;
  virtual bool DirectoryExists(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool ForceDirectories(const std::string& path) = 0;
  virtual int PrinterCount() = 0;
  // Reads the current printer's orientation; false when that fails.
  virtual bool ReadPrinterOrientation() = 0;
  // Makes the first listed printer whose name starts with prefix (any case) current.
  virtual void SelectPrinterByPrefix(const std::string& prefix) = 0;
  virtual void SetPrinterLandscape(bool landscape) = 0;

  std::string dataFolder;      // ends with a backslash
  std::string personalFolder;  // user's Personal (documents) folder, with a backslash
  std::string windowsFolder;   // no trailing backslash
  bool outlookPresent = false;
};

inline constexpr const char* kDefaultHotKeyFull = "#15";
inline constexpr const char* kDefaultHotKeyActive = "Alt|#15";
inline constexpr const char* kDefaultHotKeyArea = "Win|#15";

// Extensions offered for numbered saves, in the Options dialog's list order.
inline constexpr const char* kAutoExtChoices[] = {".bmp", ".jpg", ".png"};
// The list item a held AutoExt selects: ".bmp" and ".png" (exactly) their
// own, any other value ".jpg" (so ".BMP" shows, and is then saved, as ".jpg").
int AutoExtChoice(std::string_view autoExt);

// Limits and defaults of the capture history, the delayed capture and the names of numbered saves.
inline constexpr int kHistoryCountDefault = 100, kHistoryCountMax = 10000;
inline constexpr int kCaptureDelayDefault = 5, kCaptureDelayMin = 1, kCaptureDelayMax = 60;
inline constexpr char kAutoNameNumber[] = "Number", kAutoNameDateTime[] = "DateTime";
// A count or delay as stored or typed: the leading number kept within
// [low, high]; def when the text holds no number.
int BoundedNumber(std::string_view text, int low, int high, int def);

struct Settings {
  bool AutoPrint = false;
  std::string AutoPrintHint;  // "Auto Print On" or empty
  bool AutoSave = false;
  std::string AutoSaveHint;  // "  Auto Save On" or empty
  std::string SaveMode = "S";
  bool CaptureScreenChecked = true;  // hidden item "Capture &Screen" (else "Capture &Area")
  std::string PrintStyle = "Full";
  bool AutoOrient = false;
  bool PrintSetupEnabled = true;  // cleared when the printer's orientation cannot be read
  bool Eject = false;
  bool AutoClipCopy = false;
  std::string AutoPrefix = "GRIV";
  bool AutoEdit = false;
  bool OutlookPresent = false;
  bool UseOutlook = false;
  std::string AutoExt = ".bmp";
  std::string LastOpenExt = ".bmp";
  bool PrintDate = true;
  bool PrintNotes = false;
  bool InclMouse = true;
  bool PopUp = true;
  bool WatchClips = false;
  std::string SavePath, AutoSavePath, OpenPath;
  int32_t NextSaveNo = 1;
  std::string ImageEditor;
  bool DosPrint = false;
  std::string DosFont = "System";
  std::string HotKeyFull = kDefaultHotKeyFull;
  std::string HotKeyActive = kDefaultHotKeyActive;
  std::string HotKeyArea = kDefaultHotKeyArea;
  int UseMonitor = 0;
  int32_t LastIconIx = 0;
  int32_t LastCursorIx = 2;
  KtxFormat EncryptFormat = KtxFormat::Aes;  // of the encrypted files written
  bool KeepHistory = true;                      // every capture kept in the data folder's History
  int HistoryCount = kHistoryCountDefault;      // entries kept, 0..kHistoryCountMax
  int CaptureDelay = kCaptureDelayDefault;      // seconds of the delayed capture
  bool AdjustArea = false;                      // the area's selection can be adjusted before it is taken
  bool AutoNameDateTime = false;                // numbered saves named by date and time (AutoName "DateTime")

  HotKeyTexts CaptureHotKeyTexts() const { return {HotKeyFull, HotKeyActive, HotKeyArea}; }

  // Reads every option read at start-up, in its fixed order. custom is
  // KTCustom.ini when present and not empty (its General AutoExt, when not
  // empty, presets AutoExt, lower-cased, the way its AutoPrint presets
  // AutoPrint). A value that cannot be read takes its default.
  void Load(SettingsStore& store, const IniFile* custom, SettingsHost& host);
  // Hot-key texts (each empty one takes its default).
  void LoadHotKeys(SettingsStore& store);
  // UseMonitor: read only when it exists; a failed read gives 0; above 1 becomes 1, below 0 becomes 0.
  void LoadUseMonitor(SettingsStore& store);
  void LoadStampChoice(SettingsStore& store);

  // Writes the whole set in its fixed order, each in its written form.
  void Save(SettingsStore& store) const;
  void SaveHotKeys(SettingsStore& store) const;

  // The toggles of the tray and image menus. fromToggle: switched on through the menu.
  void SetAutoPrint(bool on);
  void SetAutoSave(bool on, bool fromToggle);
  void SetSaveMode(const std::string& mode);
};

// Reads a string value; a missing one is empty, one of the wrong type gives nullopt.
std::optional<std::string> ReadStringOrFail(SettingsStore& store, const std::string& name);
// Reads an integer; missing or unreadable gives def.
int32_t ReadIntegerDefault(SettingsStore& store, const std::string& name, int32_t def);

}  // namespace griv
