#include "shell/gen_msg_win.h"

#include "base/utf.h"
#include "resource.h"
#include "shell/ui_win.h"
#include "shell/window_base_win.h"

namespace griv {

namespace {
class GenMsgDialog : public DialogBase {
 public:
  GenMsgDialog(std::wstring question, std::wstring caption)
      : question_(std::move(question)), caption_(std::move(caption)) {}
  GenMsgResult result;

 private:
  BOOL OnInitDialog() override {
    const HWND dlg = Handle();
    SetWindowTextW(dlg, caption_.c_str());
    SetDlgItemTextW(dlg, IDC_GENMSG_TEXT, question_.c_str());
    SendMessageW(Item(IDC_GENMSG_ICON), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
    // Client area of 322 x 106 at 96 DPI, laid out in pixels.
    const int dpi = DpiOf(dlg);
    auto S = [&](int v) { return Scale(v, dpi); };
    RECT r{0, 0, S(322), S(106)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dlg, GWL_EXSTYLE)));
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(dlg, HWND_TOP, (sw - w) / 2, (sh - h) / 2, w, h, 0);
    MoveWindow(Item(IDC_GENMSG_ICON), S(14), S(14), S(32), S(32), TRUE);
    MoveWindow(Item(IDC_GENMSG_TEXT), S(60), S(14), S(250), S(34), TRUE);
    MoveWindow(Item(IDYES), S(80), S(56), S(80), S(26), TRUE);
    MoveWindow(Item(IDNO), S(172), S(56), S(80), S(26), TRUE);
    MoveWindow(Item(IDC_GENMSG_CHECK), S(14), S(86), S(250), S(18), TRUE);
    SetForegroundWindow(dlg);
    return TRUE;
  }

  bool OnCommand(int id, int, HWND) override {
    if (id != IDYES && id != IDNO && id != IDCANCEL) return false;
    result.yes = id == IDYES;
    result.dontAskAgain = IsDlgButtonChecked(Handle(), IDC_GENMSG_CHECK) == BST_CHECKED;
    End(id);
    return true;
  }

  std::wstring question_, caption_;
};
}  // namespace

GenMsgResult TfrmGenMsg1::Ask(HINSTANCE inst, const std::string& question, const std::string& caption) {
  GenMsgDialog dlg(Widen(question), Widen(caption));
  dlg.ShowModal(inst, IDD_GENMSG, nullptr);
  return dlg.result;
}

}  // namespace griv
