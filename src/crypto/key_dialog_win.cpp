#include "crypto/key_dialog_win.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "ui/ui_win.h"
#include "base/codepage.h"
#include "base/utf.h"
#include "crypto/key_rules.h"
#include "ids_crypto.h"
#include "base/strings.h"
#include "ui/window_base_win.h"

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
  KeyDialog(std::wstring advice, bool confirm, KtxFormat format)
      : advice_(std::move(advice)), confirm_(confirm), format_(format) {}
  std::string key;

 private:
  std::string Typed(int id) {
    std::wstring w = EditText(Item(id));
    std::string s = Narrow(w);
    SecureZeroMemory(w.data(), w.size() * sizeof(wchar_t));
    return s;
  }

  // txtEncKeyChange: OK only for a key the cipher will take as typed.
  void UpdateOk() {
    std::string k = Typed(IDC_GETKEY_KEY), again = confirm_ ? Typed(IDC_GETKEY_KEY2) : std::string();
    const KeyVerdict v = JudgeKey(k, again, confirm_, kAnsiCodePage, format_);
    SecureZeroMemory(k.data(), k.size());
    SecureZeroMemory(again.data(), again.size());
    EnableWindow(Item(IDOK), v.ok);
    // Why OK is greyed takes the advice's place while there is something to say.
    SetWindowTextW(Item(IDC_GETKEY_LABEL1), v.hint.empty() ? advice_.c_str() : Widen(v.hint).c_str());
  }

  // Width of a label's text in its font, in device pixels.
  int LabelWidth(int id) {
    const HWND label = Item(id);
    wchar_t text[64] = {};
    GetWindowTextW(label, text, 64);
    WindowDC dc(label);
    SelectObj font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &size);
    return size.cx;
  }

  void Layout() {
    const int extra = confirm_ ? 30 : 0;  // the second box
    SetClientSize(377, 100 + extra);
    CentreOnScreen();
    // The boxes start after the wider label, whatever the font makes of it.
    const int labels = std::max(LabelWidth(IDC_GETKEY_LABEL2), LabelWidth(IDC_GETKEY_LABEL3));
    const int boxLeft = std::max(S(46), S(12) + labels + S(6)), boxRight = S(274);
    MoveWindow(Item(IDC_GETKEY_LABEL2), S(12), S(16), labels, S(16), FALSE);
    MoveWindow(Item(IDC_GETKEY_KEY), boxLeft, S(12), boxRight - boxLeft, S(22), FALSE);
    MoveWindow(Item(IDC_GETKEY_LABEL3), S(12), S(46), labels, S(16), FALSE);
    MoveWindow(Item(IDC_GETKEY_KEY2), boxLeft, S(42), boxRight - boxLeft, S(22), FALSE);
    PlaceItem(IDC_GETKEY_LABEL1, 12, 44 + extra, 266, 50);
    PlaceItem(IDOK, 288, 11, 78, 26);
    PlaceItem(IDCANCEL, 288, 43, 78, 26);
  }

  BOOL OnInitDialog() override {
    SetWindowTextW(Handle(), Widen(kKeyDialogCaption).c_str());
    SetWindowTextW(Item(IDC_GETKEY_LABEL1), advice_.c_str());
    SendMessageW(Item(IDC_GETKEY_KEY), EM_SETLIMITTEXT, 0, 0);  // no limit
    SendMessageW(Item(IDC_GETKEY_KEY2), EM_SETLIMITTEXT, 0, 0);
    ShowWindow(Item(IDC_GETKEY_LABEL3), confirm_ ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_GETKEY_KEY2), confirm_ ? SW_SHOW : SW_HIDE);
    EnableWindow(Item(IDC_GETKEY_KEY2), confirm_);
    Layout();
    PlaceOverOwner(Handle(), GetWindow(Handle(), GW_OWNER));
    UpdateOk();
    SetForegroundWindow(Handle());
    SetFocus(Item(IDC_GETKEY_KEY));
    return FALSE;  // focus set here
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_GETKEY_KEY:
      case IDC_GETKEY_KEY2:
        if (code == EN_CHANGE) UpdateOk();
        return true;
      case IDOK: {
        // Enter reaches here even while OK is greyed: such a key is never taken.
        if (!IsWindowEnabled(Item(IDOK))) return true;
        key = Typed(IDC_GETKEY_KEY);
        SetWindowTextW(Item(IDC_GETKEY_KEY), L"");
        SetWindowTextW(Item(IDC_GETKEY_KEY2), L"");
        End(IDOK);
        return true;
      }
      case IDCANCEL:
        SetWindowTextW(Item(IDC_GETKEY_KEY), L"");
        SetWindowTextW(Item(IDC_GETKEY_KEY2), L"");
        End(IDCANCEL);
        return true;
    }
    return false;
  }

  std::wstring advice_;
  bool confirm_;
  KtxFormat format_;
};
}  // namespace

std::string TdlgGetKey::AskForKey(HINSTANCE resources, HWND owner, const std::string* fileName, bool confirm,
                                  KtxFormat format) {
  KeyDialog dlg(Widen(fileName ? "\r\nFile: " + ExtractFileName(*fileName) : std::string(kKeyDialogAdvice)),
                confirm, format);
  if (dlg.ShowModal(resources, IDD_GETKEY, owner) != IDOK) return {};
  return std::move(dlg.key);
}

}  // namespace griv
