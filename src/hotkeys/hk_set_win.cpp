#include "hotkeys/hk_set_win.h"

#include <stdexcept>

#include "../../resources/ids_hotkeys.h"
#include "base/utf.h"
#include "shell/windowed_component_win.h"

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
  INT_PTR r = DialogBoxParamW(inst_, MAKEINTRESOURCEW(IDD_HKSET), owner, &TfrmHKSet::DlgProc,
                              reinterpret_cast<LPARAM>(this));
  return r == IDOK;
}

void TfrmHKSet::FormShow(HWND hwnd) {
  SetWindowTextW(hwnd, caption_.c_str());
  HWND combo = GetDlgItem(hwnd, IDC_HKSET_KEY);
  for (std::string_view name : KeyNames())
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(std::string(name)).c_str()));
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(choice_.keyIndex), 0);  // -1: no selection
  for (const auto& b : kBoxes)
    CheckDlgButton(hwnd, b.id, (choice_.modifiers & b.bit) ? BST_CHECKED : BST_UNCHECKED);
  SetWindowPos(hwnd, nullptr, x_, y_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmHKSet::ReadControls(HWND hwnd) {
  HotKeyChoice c;
  for (const auto& b : kBoxes)
    if (IsDlgButtonChecked(hwnd, b.id) == BST_CHECKED) c.modifiers |= b.bit;
  c.keyIndex = static_cast<int>(SendDlgItemMessageW(hwnd, IDC_HKSET_KEY, CB_GETCURSEL, 0, 0));  // CB_ERR is -1
  choice_ = c;
}

INT_PTR CALLBACK TfrmHKSet::DlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_INITDIALOG) {
      auto* self = reinterpret_cast<TfrmHKSet*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      self->FormShow(hwnd);
      return TRUE;
    }
    auto* self = reinterpret_cast<TfrmHKSet*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_COMMAND) {
      switch (LOWORD(wParam)) {
        case IDOK:
          self->ReadControls(hwnd);
          EndDialog(hwnd, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(hwnd, IDCANCEL);
          return TRUE;
      }
    }
  } catch (...) {
    ReportComponentException(std::current_exception());
  }
  return FALSE;
}

}  // namespace griv
