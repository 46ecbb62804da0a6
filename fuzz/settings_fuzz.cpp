// Settings read from arbitrary registry strings (split from the input at
// line breaks, one per value name in turn), and the two text readers they
// use for numbers and window bounds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "options/settings.h"
#include "hotkeys/hotkey_text.h"
#include "base/strings.h"
#include "settings_host.h"

using namespace griv;

namespace {

const char* const kNames[] = {"AutoPrint", "AutoSave", "SaveMode", "PrintStyle", "AutoOrient", "Eject",
                              "AutoClipCopy", "AutoPrefix", "AutoEdit", "UseOutlook", "AutoExt", "LastOpenExt",
                              "PrintDate", "PrintNotes", "InclMouse", "WatchClips", "SavePath", "AutoSavePath",
                              "OpenPath", "NextSaveNo", "ImageEditor", "DosPrint", "DosFont", "HotKeyFull",
                              "HotKeyActive", "HotKeyArea", "MainPosn"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  MemorySettingsStore store;
  size_t start = 0, i = 0;
  while (start <= all.size() && i < std::size(kNames)) {
    size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view v = all.substr(start, end - start);
    // A leading 0x01 stores the value as an integer (a wrong registry type).
    if (!v.empty() && v[0] == '\x01') store.WriteInteger(kNames[i], int32_t(v.size()));
    else store.WriteString(kNames[i], std::string(v));
    (void)LeadingNumber(v);
    const Bounds b = ParsePosition(v);
    (void)b;
    start = end + 1;
    ++i;
  }
  FuzzSettingsHost host;
  Settings s;
  s.Load(store, nullptr, host);
  s.LoadHotKeys(store);
  s.LoadUseMonitor(store);
  s.LoadStampChoice(store);
  if (s.SaveMode != "S" && s.SaveMode != "A") std::abort();
  if (s.PrintStyle != "Full" && s.PrintStyle != "Best" && s.PrintStyle != "Zoom") std::abort();
  if (s.AutoPrefix.empty() || s.AutoExt.empty() || s.DosFont.empty()) std::abort();
  for (const std::string* t : {&s.HotKeyFull, &s.HotKeyActive, &s.HotKeyArea}) {
    const int index = HotKeyTextToIndex(*t);
    if (!IsValidHotKeyText(*t) || index < 0 || index >= kKeyNameCount) std::abort();
  }
  if (s.UseMonitor < 0 || s.UseMonitor > 1) std::abort();
  MemorySettingsStore out;
  s.Save(out);
  return 0;
}
