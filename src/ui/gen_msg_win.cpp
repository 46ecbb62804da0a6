#include "ui/gen_msg_win.h"

#include "base/utf.h"
#include "resource.h"
#include "ui/ui_win.h"
#include "ui/window_base_win.h"

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
    SetClientSize(322, 106);
    CentreOnScreen();
    SetWindowPos(dlg, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PlaceItem(IDC_GENMSG_ICON, 14, 14, 32, 32);
    PlaceItem(IDC_GENMSG_TEXT, 60, 14, 250, 34);
    PlaceItem(IDYES, 80, 56, 80, 26);
    PlaceItem(IDNO, 172, 56, 80, 26);
    PlaceItem(IDC_GENMSG_CHECK, 14, 86, 250, 18);
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

GenMsgResult TfrmGenMsg1::Ask(HINSTANCE inst, HWND owner, const std::string& question, const std::string& caption) {
  GenMsgDialog dlg(Widen(question), Widen(caption));
  dlg.ShowModal(inst, IDD_GENMSG, owner);
  return dlg.result;
}

}  // namespace griv
