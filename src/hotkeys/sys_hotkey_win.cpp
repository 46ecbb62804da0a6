#include "hotkeys/sys_hotkey_win.h"

namespace griv {

bool TSysHotKey::Win32Registrar::Register(int id, unsigned mods, unsigned vk) {
  return RegisterHotKey(owner_.Handle(), id, mods, vk) != FALSE;
}

void TSysHotKey::Win32Registrar::Unregister(int id) { UnregisterHotKey(owner_.Handle(), id); }

bool HotKeyHeldElsewhere(THotKeyCode key, THotKeyModifiers modifiers) {
  const UINT vk = HotKeyCodeToVirtualKey(key);
  if (!vk) return false;
  constexpr int kTrialId = 0xBFFE;  // the top of the range an application may use
  if (RegisterHotKey(nullptr, kTrialId, ModifiersToWin(modifiers), vk)) {
    UnregisterHotKey(nullptr, kTrialId);
    return false;
  }
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

TSysHotKey::TSysHotKey()
    : TWindowedComponent(WindowKind::MessageOnly), list_(std::make_unique<SysHotKeyList>(&system_)) {
  list_->OnHotKey = [this](int index) {
    if (OnHotKey) OnHotKey(*this, index);
  };
}

TSysHotKey::~TSysHotKey() {
  // Withdraw the registrations, drop the list, and only then destroy the
  // window: its WM_DESTROY must find nothing left to touch.
  if (list_) list_->ClearHotKeys();
  list_.reset();
  DestroyHandle();
}

LRESULT TSysHotKey::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_HOTKEY:
      if (list_) list_->HandleHotKeyMessage(static_cast<uintptr_t>(wParam));
      return 0;
    case WM_DESTROY:
      // The window can also go away with its thread; the registrations go with it.
      if (list_) list_->SetActive(false);
      break;
  }
  return TWindowedComponent::WndProc(msg, wParam, lParam);
}

}  // namespace griv
