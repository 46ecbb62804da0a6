#include "shell/gen_msg_win.h"

#include "app/app_win.h"
#include "base/utf.h"
#include "resource.h"

namespace griv {

namespace {
struct State {
  std::wstring question, caption;
  GenMsgResult result;
};

INT_PTR CALLBACK GenMsgProc(HWND dlg, UINT m, WPARAM wp, LPARAM lp) {
  auto* st = reinterpret_cast<State*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (m) {
    case WM_INITDIALOG: {
      st = reinterpret_cast<State*>(lp);
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      SetWindowTextW(dlg, st->caption.c_str());
      SetDlgItemTextW(dlg, IDC_GENMSG_TEXT, st->question.c_str());
      SendDlgItemMessageW(dlg, IDC_GENMSG_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
      // Client area of 322 x 106 at 96 DPI, laid out in pixels.
      const int dpi = DpiOf(dlg);
      auto S = [&](int v) { return Scale(v, dpi); };
      RECT r{0, 0, S(322), S(106)};
      AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
      const int w = r.right - r.left, h = r.bottom - r.top;
      const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
      SetWindowPos(dlg, HWND_TOP, (sw - w) / 2, (sh - h) / 2, w, h, 0);
      MoveWindow(GetDlgItem(dlg, IDC_GENMSG_ICON), S(14), S(14), S(32), S(32), TRUE);
      MoveWindow(GetDlgItem(dlg, IDC_GENMSG_TEXT), S(60), S(14), S(250), S(34), TRUE);
      MoveWindow(GetDlgItem(dlg, IDYES), S(80), S(56), S(80), S(26), TRUE);
      MoveWindow(GetDlgItem(dlg, IDNO), S(172), S(56), S(80), S(26), TRUE);
      MoveWindow(GetDlgItem(dlg, IDC_GENMSG_CHECK), S(14), S(86), S(250), S(18), TRUE);
      SetForegroundWindow(dlg);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDYES || LOWORD(wp) == IDNO || LOWORD(wp) == IDCANCEL) {
        st->result.yes = LOWORD(wp) == IDYES;
        st->result.dontAskAgain = IsDlgButtonChecked(dlg, IDC_GENMSG_CHECK) == BST_CHECKED;
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
      }
      break;
  }
  return FALSE;
}
}  // namespace

GenMsgResult TfrmGenMsg1::Ask(HINSTANCE inst, const std::string& question, const std::string& caption) {
  State st{Widen(question), Widen(caption), {}};
  DialogBoxParamW(inst, MAKEINTRESOURCEW(IDD_GENMSG), nullptr, GenMsgProc, reinterpret_cast<LPARAM>(&st));
  return st.result;
}

}  // namespace griv
