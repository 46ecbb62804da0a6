// The list of system-wide hot keys and the rules for registering them. The
// system is reached through HotKeyRegistrar; the Windows component supplies
// one that calls RegisterHotKey on its hidden window.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "hotkeys/hotkey_text.h"

namespace griv {

struct THotKeyItem {
  THotKeyModifiers Modifiers = 0;
  THotKeyCode Key = 0;
  uint8_t Registered = 0;  // 1 while the system holds the registration
};

class HotKeyRegistrar {
 public:
  virtual ~HotKeyRegistrar() = default;
  // id is the item's list index; mods are RegisterHotKey flags.
  virtual bool Register(int id, unsigned mods, unsigned vk) = 0;
  virtual void Unregister(int id) = 0;
};

class SysHotKeyList {
 public:
  explicit SysHotKeyList(HotKeyRegistrar* registrar) : registrar_(registrar) {}
  SysHotKeyList(const SysHotKeyList&) = delete;
  SysHotKeyList& operator=(const SysHotKeyList&) = delete;

  // Later registrations and withdrawals go through r (tests wrap the real one).
  void SetRegistrar(HotKeyRegistrar* r) { registrar_ = r; }

  bool Active() const { return active_; }
  void SetActive(bool value);

  // Returns a copy of the stored item, so the caller can see whether it registered.
  THotKeyItem AddHotKey(THotKeyCode key, THotKeyModifiers modifiers);
  // Items behind index move down and are registered again under their new ids.
  // Throws std::out_of_range for a bad index before touching any registration.
  void DeleteHotKey(int index);
  // Keeps Active as it is.
  void ClearHotKeys();

  int Count() const { return static_cast<int>(items_.size()); }
  const THotKeyItem& Item(int index) const { return items_.at(static_cast<size_t>(index)); }

  // After the owner has finished setting the component up.
  void Loaded() {
    if (active_) RegisterAll();
  }

  void RegisterItem(int index);    // registers regardless of the Registered byte
  void UnregisterItem(int index);  // only items the system holds
  void RegisterAll();
  void UnregisterAll();

  // Raised with the id of a hot-key message; the id is not checked against the list.
  std::function<void(int index)> OnHotKey;
  void HandleHotKeyMessage(uintptr_t wparam);

 private:
  HotKeyRegistrar* registrar_;
  std::vector<THotKeyItem> items_;
  bool active_ = false;
};

}  // namespace griv
