#include "ui/file_dialogs_win.h"

#include <commdlg.h>

#include <vector>

#include "base/utf.h"
#include "ui/modal_state.h"
#include "ui/ole_win.h"
#include "ui/ui_win.h"

namespace griv {

std::wstring DialogFilter(const std::string& filter) {
  std::wstring w = Widen(filter);
  for (auto& c : w)
    if (c == L'|') c = L'\0';
  w.push_back(L'\0');
  w.push_back(L'\0');
  return w;
}

namespace {
// The dialog over its owner, on the owner's monitor, once it has its size.
UINT_PTR CALLBACK PlaceHook(HWND child, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == CDN_INITDONE) {
    const HWND dialog = GetParent(child);
    PlaceOverOwner(dialog, GetWindow(dialog, GW_OWNER));
  }
  return 0;
}

bool Run(HWND owner, FileDialogOptions& o, bool save) {
  std::vector<wchar_t> name(32768, L'\0');
  std::wstring filter = DialogFilter(o.filter), dir = Widen(o.initialDir), title = Widen(o.title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(o.filterIndex);
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  // A hook takes sizing away unless it is asked for.
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_ENABLESIZING | o.flags;
  ofn.lpfnHook = &PlaceHook;
  ole::Start();  // the dialog browses through the shell
  ModalScope modal;
  BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  o.fileName = Narrow(name.data());
  o.filterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}
}  // namespace

bool RunOpenDialog(HWND owner, FileDialogOptions& o) { return Run(owner, o, false); }
bool RunSaveDialog(HWND owner, FileDialogOptions& o) { return Run(owner, o, true); }

}  // namespace griv
