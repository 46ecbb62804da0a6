#include "crypto/key_dialog_win.h"

#include <stdexcept>
#include <vector>

#include "shell/ui_win.h"
#include "base/utf.h"
#include "ids_crypto.h"
#include "shell/strings.h"
#include "shell/window_base_win.h"

namespace griv {

namespace {
std::wstring EditText(HWND edit) {
  int n = GetWindowTextLengthW(edit);
  std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
  GetWindowTextW(edit, buf.data(), n + 1);
  std::wstring w(buf.data());
  SecureZeroMemory(buf.data(), buf.size() * sizeof(wchar_t));
  return w;
}

class KeyDialog : public DialogBase {
 public:
  explicit KeyDialog(std::wstring advice) : advice_(std::move(advice)) {}
  std::string key;

 private:
  // txtEncKeyChange
  void UpdateOk() { EnableWindow(Item(IDOK), TdlgGetKey::KeyAcceptable(GetWindowTextLengthW(Item(IDC_GETKEY_KEY)))); }

  void Layout() {
    const HWND dlg = Handle();
    const int dpi = DpiOf(dlg);
    auto S = [&](int v) { return Scale(v, dpi); };
    RECT r{0, 0, S(377), S(100)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    SetWindowPos(dlg, nullptr, desk.left + (desk.right - desk.left - w) / 2,
                 desk.top + (desk.bottom - desk.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(Item(IDC_GETKEY_LABEL2), S(12), S(16), S(32), S(16), FALSE);
    MoveWindow(Item(IDC_GETKEY_KEY), S(46), S(12), S(228), S(22), FALSE);
    MoveWindow(Item(IDC_GETKEY_LABEL1), S(12), S(44), S(266), S(50), FALSE);
    MoveWindow(Item(IDOK), S(288), S(11), S(78), S(26), FALSE);
    MoveWindow(Item(IDCANCEL), S(288), S(43), S(78), S(26), FALSE);
  }

  BOOL OnInitDialog() override {
    SetWindowTextW(Handle(), Widen(kKeyDialogCaption).c_str());
    SetWindowTextW(Item(IDC_GETKEY_LABEL1), advice_.c_str());
    SendMessageW(Item(IDC_GETKEY_KEY), EM_SETLIMITTEXT, 0, 0);  // no limit
    Layout();
    UpdateOk();
    SetForegroundWindow(Handle());
    SetFocus(Item(IDC_GETKEY_KEY));
    return FALSE;  // focus set here
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_GETKEY_KEY:
        if (code == EN_CHANGE) UpdateOk();
        return true;
      case IDOK: {
        HWND edit = Item(IDC_GETKEY_KEY);
        // Enter reaches here even while OK is greyed: a short key is never taken.
        if (!TdlgGetKey::KeyAcceptable(GetWindowTextLengthW(edit))) return true;
        std::wstring w = EditText(edit);
        key = Narrow(w);
        SecureZeroMemory(w.data(), w.size() * sizeof(wchar_t));
        SetWindowTextW(edit, L"");
        End(IDOK);
        return true;
      }
      case IDCANCEL:
        SetWindowTextW(Item(IDC_GETKEY_KEY), L"");
        End(IDCANCEL);
        return true;
    }
    return false;
  }

  std::wstring advice_;
};
}  // namespace

std::string TdlgGetKey::AskForKey(HINSTANCE resources, HWND owner, const std::string* fileName) {
  KeyDialog dlg(Widen(fileName ? "\r\nFile: " + ExtractFileName(*fileName) : std::string(kKeyDialogAdvice)));
  if (dlg.ShowModal(resources, IDD_GETKEY, owner) != IDOK) return {};
  return std::move(dlg.key);
}

}  // namespace griv
