#include "crypto/key_dialog_win.h"

#include <stdexcept>
#include <vector>

#include "app/app_win.h"
#include "base/utf.h"
#include "ids_crypto.h"
#include "shell/strings.h"

namespace griv {

namespace {
struct State {
  std::wstring advice;
  std::string key;
};

std::wstring EditText(HWND edit) {
  int n = GetWindowTextLengthW(edit);
  std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
  GetWindowTextW(edit, buf.data(), n + 1);
  std::wstring w(buf.data());
  SecureZeroMemory(buf.data(), buf.size() * sizeof(wchar_t));
  return w;
}

// txtEncKeyChange
void UpdateOk(HWND dlg) {
  EnableWindow(GetDlgItem(dlg, IDOK),
               TdlgGetKey::KeyAcceptable(GetWindowTextLengthW(GetDlgItem(dlg, IDC_GETKEY_KEY))));
}

void Layout(HWND dlg) {
  const int dpi = DpiOf(dlg);
  auto S = [&](int v) { return Scale(v, dpi); };
  RECT r{0, 0, S(377), S(100)};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
  const int w = r.right - r.left, h = r.bottom - r.top;
  RECT desk;
  GetWindowRect(GetDesktopWindow(), &desk);
  SetWindowPos(dlg, nullptr, desk.left + (desk.right - desk.left - w) / 2, desk.top + (desk.bottom - desk.top - h) / 2,
               w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  MoveWindow(GetDlgItem(dlg, IDC_GETKEY_LABEL2), S(12), S(16), S(32), S(16), FALSE);
  MoveWindow(GetDlgItem(dlg, IDC_GETKEY_KEY), S(46), S(12), S(228), S(22), FALSE);
  MoveWindow(GetDlgItem(dlg, IDC_GETKEY_LABEL1), S(12), S(44), S(266), S(50), FALSE);
  MoveWindow(GetDlgItem(dlg, IDOK), S(288), S(11), S(78), S(26), FALSE);
  MoveWindow(GetDlgItem(dlg, IDCANCEL), S(288), S(43), S(78), S(26), FALSE);
}

INT_PTR CALLBACK KeyDlgProc(HWND dlg, UINT m, WPARAM wp, LPARAM lp) {
  auto* st = reinterpret_cast<State*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG: {
      st = reinterpret_cast<State*>(lp);
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      SetWindowTextW(dlg, Widen(kKeyDialogCaption).c_str());
      SetDlgItemTextW(dlg, IDC_GETKEY_LABEL1, st->advice.c_str());
      SendDlgItemMessageW(dlg, IDC_GETKEY_KEY, EM_SETLIMITTEXT, 0, 0);  // no limit
      Layout(dlg);
      UpdateOk(dlg);
      SetForegroundWindow(dlg);
      SetFocus(GetDlgItem(dlg, IDC_GETKEY_KEY));
      return FALSE;  // focus set here
    }
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_GETKEY_KEY:
          if (HIWORD(wp) == EN_CHANGE) UpdateOk(dlg);
          return TRUE;
        case IDOK: {
          HWND edit = GetDlgItem(dlg, IDC_GETKEY_KEY);
          // Enter reaches here even while OK is greyed: a short key is never taken.
          if (!TdlgGetKey::KeyAcceptable(GetWindowTextLengthW(edit))) return TRUE;
          std::wstring w = EditText(edit);
          st->key = Narrow(w);
          SecureZeroMemory(w.data(), w.size() * sizeof(wchar_t));
          SetWindowTextW(edit, L"");
          EndDialog(dlg, IDOK);
          return TRUE;
        }
        case IDCANCEL:
          SetDlgItemTextW(dlg, IDC_GETKEY_KEY, L"");
          EndDialog(dlg, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}
}  // namespace

std::string TdlgGetKey::AskForKey(HINSTANCE resources, HWND owner, const std::string* fileName) {
  State st;
  st.advice = Widen(fileName ? "\r\nFile: " + ExtractFileName(*fileName) : std::string(kKeyDialogAdvice));
  INT_PTR r = DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_GETKEY), owner, KeyDlgProc,
                              reinterpret_cast<LPARAM>(&st));
  if (r == -1) throw std::runtime_error("Unable to show the key dialog");
  if (r != IDOK) return {};
  return std::move(st.key);
}

}  // namespace griv
