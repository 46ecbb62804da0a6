#include "hotkeys/hotkey_text.h"

#include <cctype>
#include <stdexcept>

#include "base/strings.h"

namespace griv {

namespace {

constexpr std::array<uint8_t, kHotKeyCodeCount> kVirtualKeys = [] {
  std::array<uint8_t, kHotKeyCodeCount> t{};
  int i = 0;
  auto put = [&](int vk) { t[i++] = static_cast<uint8_t>(vk); };
  auto range = [&](int first, int last) {
    for (int vk = first; vk <= last; ++vk) put(vk);
  };
  put(0x00);           // 0 none
  put(0x03);           // 1 Cancel
  range(0x08, 0x09);   // 2, 3 Backspace, Tab
  range(0x0C, 0x0D);   // 4, 5 Clear, Return
  put(0x13);           // 6 Pause
  put(0x14);           // 7 Caps Lock
  put(0x1B);           // 8 Escape
  range(0x20, 0x28);   // 9..17 Space .. Down, virtual-key order (End before Home)
  put(0x29);           // 18 Select; 0x2A has no ordinal
  range(0x2B, 0x2F);   // 19..23 Execute, Print Screen, Insert, Delete, Help
  range(0x30, 0x39);   // 24..33 digits
  range(0x41, 0x5A);   // 34..59 letters
  range(0x60, 0x69);   // 60..69 keypad digits
  range(0x6A, 0x6F);   // 70..75 keypad * + Separator - . /
  range(0x70, 0x87);   // 76..99 F1..F24
  range(0x90, 0x91);   // 100, 101 Num Lock, Scroll Lock
  put(0x5D);           // 102 Application
  if (i != kHotKeyCodeCount) throw std::logic_error("virtual-key table size");
  return t;
}();

// Name index -> key ordinal. The list shows Home before End, the ordinals do
// not; the keypad Separator has no name.
constexpr std::array<uint8_t, kKeyNameCount> kIndexToCode = [] {
  std::array<uint8_t, kKeyNameCount> t{};
  int i = 0;
  auto range = [&](int first, int last) {
    for (int c = first; c <= last; ++c) t[i++] = static_cast<uint8_t>(c);
  };
  range(2, 3);     // Backspace, Tab
  range(5, 11);    // Return .. PgDn
  range(13, 13);   // Home
  range(12, 12);   // End
  range(14, 17);   // arrows
  range(20, 22);   // PrintScreen, Insert, Delete
  range(24, 33);   // 0..9
  range(34, 59);   // A..Z
  range(60, 71);   // Num 0..Num 9, Num *, Num +
  range(73, 75);   // Num -, Num ., Num /
  range(76, 99);   // F1..F24
  range(100, 102); // Numlock, Scrolllock, Application
  if (i != kKeyNameCount) throw std::logic_error("key index table size");
  return t;
}();

constexpr std::array<std::string_view, kKeyNameCount> kKeyNames = {
    "Backspace", "Tab", "Return", "Pause", "Capslock", "Escape", "Space", "PgUp", "PgDn", "Home",
    "End", "Left Arrow", "Up Arrow", "Right Arrow", "Down Arrow", "PrintScreen", "Insert", "Delete",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F", "G", "H", "I",
    "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "Num 0",
    "Num 1", "Num 2", "Num 3", "Num 4", "Num 5", "Num 6", "Num 7", "Num 8", "Num 9", "Num *",
    "Num +", "Num -", "Num .", "Num /", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10",
    "F11", "F12", "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23",
    "F24", "Numlock", "Scrolllock", "Application",
};

// Modifier words in the order both the stored and the shown forms use.
struct ModifierWord {
  std::string_view word;
  THotKeyModifiers bit;
};
constexpr std::array<ModifierWord, 4> kModifierWords = {
    {{"Ctrl", hmCtrl}, {"Alt", hmAlt}, {"Shift", hmShift}, {"Win", hmWin}}};

std::string IndexField(std::string_view text) { return FieldN(text, '#', 2); }

}  // namespace

unsigned ModifiersToWin(THotKeyModifiers modifiers) {
  unsigned r = 0;
  if (modifiers & hmShift) r |= kModShift;
  if (modifiers & hmCtrl) r |= kModControl;
  if (modifiers & hmAlt) r |= kModAlt;
  if (modifiers & hmWin) r |= kModWin;
  return r;
}

uint32_t HotKeyCodeToVirtualKey(THotKeyCode code) {
  return code < kHotKeyCodeCount ? kVirtualKeys[code] : 0;
}

const std::array<std::string_view, kKeyNameCount>& KeyNames() { return kKeyNames; }

std::string_view KeyName(int index) {
  return index >= 0 && index < kKeyNameCount ? kKeyNames[index] : kNoKeyName;
}

THotKeyCode KeyIndexToHotKeyCode(int index) {
  return index >= 0 && index < kKeyNameCount ? kIndexToCode[index] : 0;
}

THotKeyModifiers HotKeyTextToModifiers(std::string_view text) {
  THotKeyModifiers m = 0;
  for (const auto& w : kModifierWords)
    if (text.find(w.word) != std::string_view::npos) m |= w.bit;
  return m;
}

int HotKeyTextToIndex(std::string_view text) { return LeadingNumber(IndexField(text)); }

THotKeyCode HotKeyTextToKey(std::string_view text) {
  return KeyIndexToHotKeyCode(HotKeyTextToIndex(text));
}

std::string HotKeyTextToDisplay(std::string_view text) {
  std::string r;
  THotKeyModifiers m = HotKeyTextToModifiers(text);
  for (const auto& w : kModifierWords)
    if (m & w.bit) AppendPart(r, ", ", w.word);
  AppendPart(r, ", ", KeyName(HotKeyTextToIndex(text)));
  return r;
}

bool IsValidHotKeyText(std::string_view text) {
  if (text.find('#') == std::string_view::npos) return false;
  std::string field = IndexField(text);
  // Accept exactly what the number reader takes as a number of its own, so a
  // text passing here never falls back to index 0 by accident.
  if (!field.empty() && (field[0] == 'x' || field[0] == 'X')) return false;
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) ++i;
  size_t digits = i;
  bool nonZero = false;
  while (digits < field.size() && std::isdigit(static_cast<unsigned char>(field[digits]))) {
    nonZero = nonZero || field[digits] != '0';
    ++digits;
  }
  if (digits == i) return false;
  return !nonZero || LeadingNumber(field) != 0;  // 0 here means it overflowed
}

std::string BuildHotKeyText(THotKeyModifiers modifiers, int index) {
  std::string r;
  for (const auto& w : kModifierWords)
    if (modifiers & w.bit) AppendPart(r, "|", w.word);
  std::string key = "#";
  key += std::to_string(index);
  AppendPart(r, "|", key);
  return r;
}

HotKeyChoice HotKeyChoice::FromText(std::string_view text) {
  int index = HotKeyTextToIndex(text);
  return {HotKeyTextToModifiers(text), index >= 0 && index < kKeyNameCount ? index : -1};
}

void AppendPart(std::string& text, std::string_view separator, std::string_view part) {
  if (text.empty()) {
    text = part;
  } else {
    text += separator;
    text += part;
  }
}

std::string EffectiveHotKeyText(int index, std::string_view stored) {
  if (index < 0 || index >= kCaptureHotKeyCount) throw std::out_of_range("hot key index");
  // A text naming no key of the list (such as "#-1", which the editor builds
  // without a selection) would register nothing: the default takes its place.
  const bool usable = IsValidHotKeyText(stored) && HotKeyTextToIndex(stored) >= 0 &&
                      HotKeyTextToIndex(stored) < kKeyNameCount;
  return usable ? std::string(stored) : std::string(kDefaultHotKeyTexts[index]);
}

HotKeyPending::HotKeyPending(const std::array<std::string, kCaptureHotKeyCount>& current)
    : texts_(current) {}

const std::string& HotKeyPending::Text(int index) const { return texts_.at(static_cast<size_t>(index)); }

void HotKeyPending::Change(int index, std::string newText) {
  texts_.at(static_cast<size_t>(index)) = std::move(newText);
  changed_ = true;
}

void HotKeyPending::Reset() {
  for (int i = 0; i < kCaptureHotKeyCount; ++i) texts_[i] = std::string(kDefaultHotKeyTexts[i]);
  changed_ = true;
}

std::array<bool, kCaptureHotKeyCount> RefusedElsewhere(
    const std::array<HotKeyRegistration, kCaptureHotKeyCount>& keys) {
  std::array<bool, kCaptureHotKeyCount> refused{};
  for (int i = 0; i < kCaptureHotKeyCount; ++i) {
    const HotKeyRegistration& k = keys[i];
    if (k.registered || k.key == 0) continue;
    bool repeated = false;
    for (int j = 0; j < i; ++j) repeated = repeated || (keys[j].key == k.key && keys[j].modifiers == k.modifiers);
    refused[i] = !repeated;
  }
  return refused;
}

std::string RefusedHotKeysNote(const std::array<std::string, kCaptureHotKeyCount>& texts,
                               const std::array<bool, kCaptureHotKeyCount>& refused) {
  std::string keys;
  for (int i = 0; i < kCaptureHotKeyCount; ++i)
    if (refused[i]) AppendPart(keys, "; ", HotKeyTextToDisplay(texts[i]));
  return keys.empty() ? std::string() : " - in use by another program: " + keys;
}

std::string CaptureKeysHint(const HotKeyTexts& stored) {
  auto key = [&](int i) {
    std::string d = HotKeyTextToDisplay(EffectiveHotKeyText(i, stored[i]));
    for (size_t at; (at = d.find(", ")) != std::string::npos;) d.replace(at, 2, "+");
    return d;
  };
  return "Press " + key(0) + " to capture the screen, " + key(1) + " a window, " + key(2) + " an area";
}

}  // namespace griv
