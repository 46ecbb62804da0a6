#include "options/option_values.h"

#include <cctype>
#include <iterator>
#include <string_view>

#include "base/strings.h"

namespace griv {

OptionValues FillOptionValues(const Settings& s) {
  OptionValues v;
  v.inclMouse = s.InclMouse;
  v.popUp = true;
  v.watchClips = s.WatchClips;
  v.clipCopy = s.AutoClipCopy;
  // What is registered, not a damaged text that registration replaced with the default.
  v.hotKeys = HotKeyPending({EffectiveHotKeyText(0, s.HotKeyFull), EffectiveHotKeyText(1, s.HotKeyActive),
                             EffectiveHotKeyText(2, s.HotKeyArea)});

  v.rbPrtFull = s.PrintStyle == "Full";
  v.rbPrtZoom = s.PrintStyle == "Zoom";
  v.rbPrtBest = s.PrintStyle == "Best";
  v.autoOrient = s.AutoOrient;
  v.autoPrint = s.AutoPrint;
  v.notes = s.PrintNotes;
  v.printDate = s.PrintDate;
  v.eject = s.Eject;
  v.dosPrint = s.DosPrint;
  v.rbSystem = s.DosFont == "System";

  v.autoSave = s.AutoSave;
  v.savePath = v.savePathAtOpen = s.AutoSavePath;
  v.extIndex = AutoExtChoice(s.AutoExt);
  v.savePrefix = s.AutoPrefix;
  v.nextSaveNo = std::to_string(s.NextSaveNo);
  v.encryptDes = s.EncryptFormat == KtxFormat::Des;

  v.imageEditor = s.ImageEditor;
  v.autoSend = s.AutoEdit;
  v.outlookEnabled = s.OutlookPresent;
  v.useOutlook = s.UseOutlook;
  return v;
}

StoreOutcome StoreOptionValues(const OptionValues& v, Settings& s,
                               const std::function<bool(const std::string&)>& fileExists) {
  s.PrintStyle = v.rbPrtFull ? "Full" : v.rbPrtZoom ? "Zoom" : "Best";
  s.PrintDate = v.printDate;
  s.PrintNotes = v.notes;
  s.InclMouse = v.inclMouse;
  s.WatchClips = v.watchClips;
  s.AutoEdit = v.autoSend;
  s.UseOutlook = v.useOutlook;
  s.AutoOrient = v.autoOrient;
  s.AutoClipCopy = v.clipCopy;
  s.PopUp = v.popUp;
  s.Eject = v.eject;
  s.AutoSavePath = IncludeTrailingBackslash(v.savePath);
  if (!v.imageEditor.empty() && fileExists(v.imageEditor)) s.ImageEditor = v.imageEditor;
  s.DosPrint = v.dosPrint;
  s.DosFont = v.rbSystem ? "System" : "Arial";
  s.AutoPrefix = v.savePrefix;
  s.NextSaveNo = LeadingNumber(v.nextSaveNo);
  s.EncryptFormat = v.encryptDes ? KtxFormat::Des : KtxFormat::Aes;
  s.AutoExt = kAutoExtChoices[v.extIndex >= 0 && v.extIndex < static_cast<int>(std::size(kAutoExtChoices)) ? v.extIndex : 1];

  StoreOutcome out;
  out.toggleAutoSave = v.autoSave != s.AutoSave;
  out.toggleAutoPrint = v.autoPrint != s.AutoPrint;
  out.hotKeysChanged = v.hotKeys.HotKeysChanged();
  return out;
}

void ApplyHotKeyTexts(const OptionValues& v, Settings& s) {
  s.HotKeyFull = v.hotKeys.Text(0);
  s.HotKeyActive = v.hotKeys.Text(1);
  s.HotKeyArea = v.hotKeys.Text(2);
}

std::string SaveFolderProblem(const std::string& path) {
  constexpr char kFullPath[] = " - is not a valid path: give the full path of a folder, such as C:\\Captures";
  if (path.find_first_not_of(" \t") == std::string::npos)
    return "The Auto Save Folder is blank: give the full path of a folder, such as C:\\Captures";
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                     path[2] == '\\';
  const size_t share = path.rfind("\\\\", 0) == 0 ? path.find('\\', 2) : std::string::npos;
  const bool network = share != std::string::npos && share > 2 && share + 1 < path.size() && path[share + 1] != '\\';
  return drive || network ? std::string() : path + kFullPath;
}

std::string SavePrefixProblem(const std::string& prefix) {
  for (unsigned char c : prefix)
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return "File Name Prefix - " + prefix + " cannot be used: file names cannot hold \\ / : * ? \" < > |";
  return {};
}

std::string HotKeyRowText(const std::string& hotKeyText, bool inUseElsewhere) {
  std::string t = HotKeyTextToDisplay(hotKeyText);
  if (inUseElsewhere) t += kHotKeyInUseSuffix;
  return t;
}

}  // namespace griv
