#include "printing/get_notes_win.h"

#include "base/utf.h"
#include "ids_shell.h"
#include "base/text_lines.h"
#include "ui/window_base_win.h"

namespace griv {

namespace {

class TfrmGetNotes : public DialogBase {
 public:
  TfrmGetNotes(int x, int y) : x_(x), y_(y) {}
  std::vector<std::string> lines;

 private:
  BOOL OnInitDialog() override {
    SetWindowTextW(Handle(), Widen(kGetNotesCaption).c_str());
    SetClientSize(536, 132);
    PlaceItem(IDC_GETNOTES_MEMO, 8, 8, 520, 82);
    PlaceItem(IDOK, 352, 99, 80, 25);
    PlaceItem(IDCANCEL, 448, 99, 80, 25);
    MoveTo(x_, y_);
    SetForegroundWindow(Handle());
    SetFocus(Item(IDC_GETNOTES_MEMO));
    return FALSE;  // the memo has the focus
  }

  bool OnCommand(int id, int, HWND) override {
    if (id == IDOK) {
      const HWND memo = Item(IDC_GETNOTES_MEMO);
      std::wstring text(static_cast<size_t>(GetWindowTextLengthW(memo)) + 1, L'\0');
      text.resize(static_cast<size_t>(GetWindowTextW(memo, text.data(), static_cast<int>(text.size()))));
      lines = SplitMemoLines(Narrow(text));
      End(IDOK);
      return true;
    }
    if (id == IDCANCEL) {
      lines.clear();
      End(IDCANCEL);
      return true;
    }
    return false;
  }

  int x_, y_;
};

}  // namespace

bool AskNotes(HINSTANCE resources, HWND owner, int x, int y, std::vector<std::string>& notes) {
  TfrmGetNotes dlg(x, y);
  const bool ok = dlg.ShowModal(resources, IDD_GETNOTES, owner) == IDOK;
  notes = ok ? std::move(dlg.lines) : std::vector<std::string>();
  return ok;
}

}  // namespace griv
