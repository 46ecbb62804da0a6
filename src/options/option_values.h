// What the options dialog shows and edits, as plain values: filled from the
// settings when it opens, stored back into them when it closes with OK.
#pragma once
#include <array>
#include <functional>
#include <string>

#include "options/settings.h"
#include "hotkeys/hotkey_text.h"

namespace griv {

struct OptionValues {
  // Capture Options
  bool inclMouse = true;
  bool popUp = true;  // ticked and greyed: every capture pops the window up
  bool watchClips = false;
  bool clipCopy = false;
  HotKeyPending hotKeys{{kDefaultHotKeyFull, kDefaultHotKeyActive, kDefaultHotKeyArea}};

  // Print Options: at most one of the three is ticked (none for a style that matches none)
  bool rbPrtFull = true, rbPrtZoom = false, rbPrtBest = false;
  bool autoOrient = false;
  bool autoPrint = false;
  bool notes = false;
  bool printDate = true;
  bool eject = false;
  bool dosPrint = false;
  bool rbSystem = true;  // else Arial; both enabled only while dosPrint is ticked

  // Save Options
  bool autoSave = false;
  std::string savePath;
  std::string savePathAtOpen;  // the folder in effect when the dialog opened
  int extIndex = 0;            // index into kAutoExtChoices
  std::string savePrefix;
  std::string nextSaveNo;  // as typed
  bool encryptDes = false;  // encrypted files for older versions

  // Other Options
  std::string imageEditor;
  bool autoSend = false;
  bool useOutlook = false;
  bool outlookEnabled = false;  // Outlook was found at start-up
};

OptionValues FillOptionValues(const Settings& s);

// What the window has to do itself after the values are stored.
struct StoreOutcome {
  bool toggleAutoSave = false;   // run the Auto Save toggle
  bool toggleAutoPrint = false;  // run the Auto Print toggle
  bool hotKeysChanged = false;   // re-register with ApplyHotKeyTexts between removing and adding
};

// Stores every value except Auto Save, Auto Print and the hot keys, which the
// window changes through its own commands (see StoreOutcome). The editor is
// taken only when fileExists says it is there; the next number is the
// number the text starts with (0 when it starts with none).
StoreOutcome StoreOptionValues(const OptionValues& v, Settings& s,
                               const std::function<bool(const std::string&)>& fileExists);

// Why a typed Auto Save folder cannot be used, or empty when its form is
// right: a full path, a drive with its backslash ("D:\...") or a network
// share ("\\server\share..."). A relative folder or a bare drive ("D:")
// would stand for wherever the current folder happens to be.
std::string SaveFolderProblem(const std::string& path);
// Why a file-name prefix cannot be used, or empty when file names can hold it.
std::string SavePrefixProblem(const std::string& prefix);

// The pending hot-key texts become the settings' texts.
void ApplyHotKeyTexts(const OptionValues& v, Settings& s);

// A hot-key row: "PrintScreen", or "PrintScreen — in use by another program"
// when another program holds that key.
std::string HotKeyRowText(const std::string& hotKeyText, bool inUseElsewhere);
inline constexpr char kHotKeyInUseSuffix[] = " \xE2\x80\x94 in use by another program";

}  // namespace griv
