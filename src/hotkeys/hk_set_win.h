// The small modal editor in which one hot key is chosen. Created once at
// start-up and kept; the caller loads a text, shows it and builds the result.
#pragma once
#include <windows.h>

#include <string>

#include "hotkeys/hotkey_text.h"
#include "ui/window_base_win.h"

namespace griv {

class TfrmHKSet : private DialogBase {
 public:
  // Throws when the dialog template is missing from inst.
  void Create(HINSTANCE inst);
  // Shows the editor modally with its top-left at (x, y) in screen pixels.
  // True when it was closed with OK; only then do the choices change.
  bool ShowModal(HWND owner, int x, int y, const std::string& caption);

  void LoadHotKeyText(const std::string& text) { choice_ = HotKeyChoice::FromText(text); }
  std::string BuildHotKeyText() const { return choice_.ToText(); }

 private:
  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  void ReadControls();

  HINSTANCE inst_ = nullptr;
  HotKeyChoice choice_;
  int x_ = 0, y_ = 0;
  std::wstring caption_;
};

}  // namespace griv
