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
    SetClientSize(377, 100);
    CentreOnScreen();
    PlaceItem(IDC_GETKEY_LABEL2, 12, 16, 32, 16);
    PlaceItem(IDC_GETKEY_KEY, 46, 12, 228, 22);
    PlaceItem(IDC_GETKEY_LABEL1, 12, 44, 266, 50);
    PlaceItem(IDOK, 288, 11, 78, 26);
    PlaceItem(IDCANCEL, 288, 43, 78, 26);
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
