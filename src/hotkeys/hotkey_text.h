// Hot keys as stored text ("Ctrl|Shift|#80"), the key tables behind them and
// their readable form ("Ctrl, Shift, F12").
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace griv {

// Modifier bit set as the hot-key list stores it.
using THotKeyModifiers = uint8_t;
enum : THotKeyModifiers {
  hmShift = 1u << 0,
  hmCtrl = 1u << 1,
  hmAlt = 1u << 2,
  hmWin = 1u << 3,
};

// Flags of RegisterHotKey, kept as plain numbers so this stays portable.
constexpr unsigned kModAlt = 1;
constexpr unsigned kModControl = 2;
constexpr unsigned kModShift = 4;
constexpr unsigned kModWin = 8;

unsigned ModifiersToWin(THotKeyModifiers modifiers);

// Key ordinal 0..102; 0 is "no key".
using THotKeyCode = uint8_t;
constexpr int kHotKeyCodeCount = 103;
// Virtual-key code registered for an ordinal; 0 for ordinals past the table.
uint32_t HotKeyCodeToVirtualKey(THotKeyCode code);

// The names the user chooses from, in list order.
constexpr int kKeyNameCount = 96;
const std::array<std::string_view, kKeyNameCount>& KeyNames();
// Shown for a stored index that names no key.
constexpr std::string_view kNoKeyName = "(none)";
std::string_view KeyName(int index);  // kNoKeyName outside 0..95

THotKeyCode KeyIndexToHotKeyCode(int index);  // 0 outside 0..95

// Reading stored texts. Modifier words are case-sensitive substrings anywhere
// in the text; the index is the number leading the field after the first "#",
// 0 when there is none.
THotKeyModifiers HotKeyTextToModifiers(std::string_view text);
int HotKeyTextToIndex(std::string_view text);
THotKeyCode HotKeyTextToKey(std::string_view text);
std::string HotKeyTextToDisplay(std::string_view text);

// A text that names its key with "#" and a number. Anything else would be read
// as index 0 (Backspace) and take that key from every program, so callers
// replace such texts with the default instead of registering them.
bool IsValidHotKeyText(std::string_view text);

// Modifier words in the order Ctrl, Alt, Shift, Win, then "#" and the index.
std::string BuildHotKeyText(THotKeyModifiers modifiers, int index);

// text := part when empty, else text + separator + part.
void AppendPart(std::string& text, std::string_view separator, std::string_view part);

// What the editor shows: the ticked modifiers and the selected list item
// (-1 for none, which is how a stored index outside the list appears).
struct HotKeyChoice {
  THotKeyModifiers modifiers = 0;
  int keyIndex = -1;
  static HotKeyChoice FromText(std::string_view text);
  std::string ToText() const { return BuildHotKeyText(modifiers, keyIndex); }
};

// The three capture hot keys: 0 full screen, 1 active window, 2 area.
constexpr int kCaptureHotKeyCount = 3;
constexpr std::array<std::string_view, kCaptureHotKeyCount> kDefaultHotKeyTexts = {"#15", "Alt|#15",
                                                                                    "Win|#15"};
// Caption of the editor when it edits hot key i.
constexpr std::array<std::string_view, kCaptureHotKeyCount> kHotKeyEditorCaptions = {
    "Full Screen Capture Hot Key", "Active Screen Capture Hot Key", "Area Capture Hot Key"};

// The stored text to use for hot key i: the default when the stored one is
// missing, empty, not a valid hot-key text or names no key of the list.
std::string EffectiveHotKeyText(int index, std::string_view stored);

// The options dialog's working copies of the three texts. They become the
// real settings only when the dialog is confirmed and HotKeysChanged() is set.
class HotKeyPending {
 public:
  explicit HotKeyPending(const std::array<std::string, kCaptureHotKeyCount>& current);

  const std::string& Text(int index) const;
  const std::array<std::string, kCaptureHotKeyCount>& Texts() const { return texts_; }
  bool HotKeysChanged() const { return changed_; }
  std::string Display(int index) const { return HotKeyTextToDisplay(Text(index)); }

  // The editor was confirmed with newText.
  void Change(int index, std::string newText);
  void Reset();

 private:
  std::array<std::string, kCaptureHotKeyCount> texts_;
  bool changed_ = false;
};

// One registered capture hot key as the hot-key component holds it.
struct HotKeyRegistration {
  THotKeyCode key = 0;
  THotKeyModifiers modifiers = 0;
  bool registered = false;
};
// Which keys another program holds: not registered, though they name a key
// that an earlier one of the three does not name already.
std::array<bool, kCaptureHotKeyCount> RefusedElsewhere(
    const std::array<HotKeyRegistration, kCaptureHotKeyCount>& keys);

// Said after the tray hint when capture hot keys could not be registered:
// " - in use by another program: PrintScreen; Alt, PrintScreen". Empty when none.
std::string RefusedHotKeysNote(const std::array<std::string, kCaptureHotKeyCount>& texts,
                               const std::array<bool, kCaptureHotKeyCount>& refused);

using HotKeyTexts = std::array<std::string, kCaptureHotKeyCount>;

// The line an empty view shows: "Press PrintScreen to capture the screen,
// Alt+PrintScreen a window, Win+PrintScreen an area".
std::string CaptureKeysHint(const HotKeyTexts& stored);

}  // namespace griv
