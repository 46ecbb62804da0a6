// The three capture hot keys on the system-wide hot-key component:
// registered from their stored texts, switched off around other work, and
// what to tell the user when another program holds one of them.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "hotkeys/hotkey_text.h"
#include "hotkeys/sys_hotkey_win.h"

namespace griv {

class CaptureHotKeys {
 public:
  // The component, active from the start; the keys come with Register.
  void Create();
  // Withdraws every key; later calls do nothing (the program is ending).
  void Destroy();

  // Raised with the key's index: 0 full screen, 1 active window, 2 area.
  std::function<void(int index)> OnHotKey;

  bool Active() const { return keys_ && keys_->Active(); }
  void SetActive(bool on);

  // A damaged stored text would grab a key such as Backspace system-wide:
  // each text that is not a valid hot key registers its default instead.
  void Register(const HotKeyTexts& stored);
  void Remove();

  // One balloon at start-up when another program holds a capture key:
  // "PrintScreen is in use by another program. ..." (empty when none).
  std::string RefusedBalloon(const HotKeyTexts& stored) const;
  // The note after the tray hint for the keys another program holds. While
  // the keys are off nothing is registered: the last word stays.
  void UpdateNote(const HotKeyTexts& stored);
  const std::string& Note() const { return note_; }

 private:
  std::unique_ptr<TSysHotKey> keys_;
  std::string note_;
};

}  // namespace griv
