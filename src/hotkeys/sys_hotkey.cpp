#include "hotkeys/sys_hotkey.h"

#include <stdexcept>

namespace griv {

void SysHotKeyList::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (value)
    RegisterAll();
  else
    UnregisterAll();
}

THotKeyItem SysHotKeyList::AddHotKey(THotKeyCode key, THotKeyModifiers modifiers) {
  items_.push_back(THotKeyItem{modifiers, key, 0});
  int index = Count() - 1;
  if (active_) RegisterItem(index);
  return items_[static_cast<size_t>(index)];
}

void SysHotKeyList::DeleteHotKey(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("hot key index out of range");
  if (active_) UnregisterAll();
  items_.erase(items_.begin() + index);
  if (active_) RegisterAll();
}

void SysHotKeyList::ClearHotKeys() {
  if (active_) UnregisterAll();
  items_.clear();
}

void SysHotKeyList::RegisterItem(int index) {
  THotKeyItem& item = items_.at(static_cast<size_t>(index));
  bool ok = registrar_ &&
            registrar_->Register(index, ModifiersToWin(item.Modifiers), HotKeyCodeToVirtualKey(item.Key));
  item.Registered = ok ? 1 : 0;
}

void SysHotKeyList::UnregisterItem(int index) {
  THotKeyItem& item = items_.at(static_cast<size_t>(index));
  if (item.Registered != 1) return;
  if (registrar_) registrar_->Unregister(index);
  item.Registered = 0;
}

void SysHotKeyList::RegisterAll() {
  for (int i = 0; i < Count(); ++i) RegisterItem(i);
}

void SysHotKeyList::UnregisterAll() {
  for (int i = 0; i < Count(); ++i) UnregisterItem(i);
}

void SysHotKeyList::HandleHotKeyMessage(uintptr_t wparam) {
  if (OnHotKey) OnHotKey(static_cast<int>(wparam & 0xFFFF));
}

}  // namespace griv
