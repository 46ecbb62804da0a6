// Hot-key texts as the registry may hold them: every reading must stay in
// its tables, and the text used for registering must always name a key.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hotkeys/hotkey_text.h"

using namespace griv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const THotKeyModifiers m = HotKeyTextToModifiers(text);
  if (m & ~(hmShift | hmCtrl | hmAlt | hmWin)) std::abort();
  const THotKeyCode code = HotKeyTextToKey(text);
  if (code >= kHotKeyCodeCount) std::abort();
  (void)HotKeyCodeToVirtualKey(code);
  if (HotKeyTextToDisplay(text).empty()) std::abort();
  (void)IsValidHotKeyText(text);

  for (int i = 0; i < kCaptureHotKeyCount; ++i) {
    const std::string used = EffectiveHotKeyText(i, text);
    const int index = HotKeyTextToIndex(used);
    if (!IsValidHotKeyText(used) || index < 0 || index >= kKeyNameCount) std::abort();
  }
  // The editor's round trip: what it builds reads back as what it showed.
  const HotKeyChoice c = HotKeyChoice::FromText(text);
  const std::string built = c.ToText();
  const HotKeyChoice again = HotKeyChoice::FromText(built);
  if (again.modifiers != c.modifiers || again.keyIndex != c.keyIndex) std::abort();
  if (c.keyIndex < -1 || c.keyIndex >= kKeyNameCount) std::abort();
  return 0;
}
