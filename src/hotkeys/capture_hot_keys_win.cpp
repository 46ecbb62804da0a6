#include "hotkeys/capture_hot_keys_win.h"

#include <vector>

namespace griv {

void CaptureHotKeys::Create() {
  keys_ = std::make_unique<TSysHotKey>();
  keys_->SetActive(true);
  keys_->Loaded();
  keys_->OnHotKey = [this](TSysHotKey&, int index) {
    if (OnHotKey) OnHotKey(index);
  };
}

void CaptureHotKeys::Destroy() {
  if (keys_) keys_->ClearHotKeys();
  keys_.reset();
}

void CaptureHotKeys::SetActive(bool on) {
  if (keys_) keys_->SetActive(on);
}

void CaptureHotKeys::Register(const HotKeyTexts& stored) {
  if (!keys_) return;
  for (int i = 0; i < kCaptureHotKeyCount; ++i) {
    const std::string t = EffectiveHotKeyText(i, stored[i]);
    keys_->AddHotKey(HotKeyTextToKey(t), HotKeyTextToModifiers(t));
  }
  UpdateNote(stored);
}

void CaptureHotKeys::Remove() {
  if (!keys_) return;
  for (int i = kCaptureHotKeyCount - 1; i >= 0; --i)
    if (i < keys_->Count()) keys_->DeleteHotKey(i);
}

std::string CaptureHotKeys::RefusedBalloon(const HotKeyTexts& stored) const {
  std::vector<std::string> refused;
  for (int i = 0; keys_ && i < keys_->Count() && i < kCaptureHotKeyCount; ++i)
    if (!keys_->Item(i).Registered) refused.push_back(HotKeyTextToDisplay(EffectiveHotKeyText(i, stored[i])));
  if (refused.empty()) return {};
  std::string keys;
  for (size_t i = 0; i < refused.size(); ++i) keys += (i ? (i + 1 == refused.size() ? " and " : ", ") : "") + refused[i];
  // The commonest reason a capture key does nothing: another program took it first.
  return keys + (refused.size() == 1 ? " is" : " are") + " in use by another program. Choose other keys under Options.";
}

void CaptureHotKeys::UpdateNote(const HotKeyTexts& stored) {
  if (!Active()) return;
  HotKeyTexts texts;
  std::array<HotKeyRegistration, kCaptureHotKeyCount> keys{};
  for (int i = 0; i < kCaptureHotKeyCount; ++i) {
    texts[i] = EffectiveHotKeyText(i, stored[i]);
    if (i < keys_->Count()) {
      const THotKeyItem& item = keys_->Item(i);
      keys[i] = {item.Key, item.Modifiers, item.Registered != 0};
    }
  }
  note_ = RefusedHotKeysNote(texts, RefusedElsewhere(keys));
}

}  // namespace griv
