// System-wide hot keys registered on the component's hidden window.
#pragma once
#include "hotkeys/sys_hotkey.h"
#include "ui/windowed_component_win.h"

#include <functional>
#include <memory>

namespace griv {

class TSysHotKey : public TWindowedComponent {
 public:
  TSysHotKey();
  ~TSysHotKey() override;

  bool Active() const { return list_->Active(); }
  void SetActive(bool value) { list_->SetActive(value); }
  // Registers whatever is there when the owner has set the component up.
  void Loaded() { list_->Loaded(); }

  THotKeyItem AddHotKey(THotKeyCode key, THotKeyModifiers modifiers) { return list_->AddHotKey(key, modifiers); }
  void DeleteHotKey(int index) { list_->DeleteHotKey(index); }
  void ClearHotKeys() { list_->ClearHotKeys(); }
  int Count() const { return list_->Count(); }
  const THotKeyItem& Item(int index) const { return list_->Item(index); }

  // Raised with the hot key's list index (the low word of the message, unchecked).
  std::function<void(TSysHotKey& sender, int index)> OnHotKey;

  // The registrar that talks to the system; a test may put a wrapper in front of it.
  HotKeyRegistrar& SystemRegistrar() { return system_; }
  void SetRegistrar(HotKeyRegistrar* r) { list_->SetRegistrar(r ? r : &system_); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  class Win32Registrar : public HotKeyRegistrar {
   public:
    explicit Win32Registrar(TSysHotKey& owner) : owner_(owner) {}
    bool Register(int id, unsigned mods, unsigned vk) override;
    void Unregister(int id) override;

   private:
    TSysHotKey& owner_;
  };
  Win32Registrar system_{*this};
  std::unique_ptr<SysHotKeyList> list_;
};

// Whether another program holds the key now: tries to register it for a
// moment. Meaningful only while this program's own registration of that key
// is withdrawn (the component inactive). A missing key is never held.
bool HotKeyHeldElsewhere(THotKeyCode key, THotKeyModifiers modifiers);

}  // namespace griv
