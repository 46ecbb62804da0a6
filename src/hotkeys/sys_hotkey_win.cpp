#include "hotkeys/sys_hotkey_win.h"

namespace griv {

bool TSysHotKey::Win32Registrar::Register(int id, unsigned mods, unsigned vk) {
  return RegisterHotKey(owner_.Handle(), id, mods, vk) != FALSE;
}

void TSysHotKey::Win32Registrar::Unregister(int id) { UnregisterHotKey(owner_.Handle(), id); }

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
