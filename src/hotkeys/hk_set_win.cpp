#include "hotkeys/hk_set_win.h"

#include <stdexcept>

#include "ids_hotkeys.h"
#include "base/utf.h"

namespace griv {

namespace {

struct CheckBox {
  int id;
  THotKeyModifiers bit;
};
constexpr CheckBox kBoxes[] = {
    {IDC_HKSET_CTRL, hmCtrl}, {IDC_HKSET_ALT, hmAlt}, {IDC_HKSET_SHIFT, hmShift}, {IDC_HKSET_WIN, hmWin}};

}  // namespace

void TfrmHKSet::Create(HINSTANCE inst) {
  if (!FindResourceW(inst, MAKEINTRESOURCEW(IDD_HKSET), MAKEINTRESOURCEW(5) /* RT_DIALOG */))
    throw std::runtime_error("The hot-key editor's dialog resource is missing");
  inst_ = inst;
}

bool TfrmHKSet::ShowModal(HWND owner, int x, int y, const std::string& caption) {
  if (!inst_) throw std::logic_error("TfrmHKSet::ShowModal before Create");
  x_ = x;
  y_ = y;
  caption_ = Widen(caption);
  return DialogBase::ShowModal(inst_, IDD_HKSET, owner) == IDOK;
}

BOOL TfrmHKSet::OnInitDialog() {
  const HWND hwnd = Handle();
  SetWindowTextW(hwnd, caption_.c_str());
  HWND combo = Item(IDC_HKSET_KEY);
  for (std::string_view name : KeyNames())
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(std::string(name)).c_str()));
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(choice_.keyIndex), 0);  // -1: no selection
  for (const auto& b : kBoxes)
    CheckDlgButton(hwnd, b.id, (choice_.modifiers & b.bit) ? BST_CHECKED : BST_UNCHECKED);
  MoveTo(x_, y_);
  return TRUE;
}

void TfrmHKSet::ReadControls() {
  HotKeyChoice c;
  for (const auto& b : kBoxes)
    if (IsDlgButtonChecked(Handle(), b.id) == BST_CHECKED) c.modifiers |= b.bit;
  c.keyIndex = static_cast<int>(SendMessageW(Item(IDC_HKSET_KEY), CB_GETCURSEL, 0, 0));  // CB_ERR is -1
  choice_ = c;
}

bool TfrmHKSet::OnCommand(int id, int code, HWND control) {
  if (id == IDOK) ReadControls();
  return DialogBase::OnCommand(id, code, control);
}

}  // namespace griv
