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
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | o.flags;
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
