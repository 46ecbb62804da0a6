#include "ui/browse_folder_win.h"
#include "ui/modal_state.h"

#include <objbase.h>
#include <shlobj.h>

#include "base/utf.h"
#include "ui/ole_win.h"

namespace griv {

bool TBrowseForFolderDialog::Execute() {
  std::wstring title = Widen(title_);
  wchar_t display[MAX_PATH + 1] = {};
  BROWSEINFOW bi{};
  bi.hwndOwner = owner_ ? owner_ : GetActiveWindow();
  bi.pidlRoot = nullptr;  // the desktop
  bi.pszDisplayName = display;
  bi.lpszTitle = title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  ole::Start();
  PIDLIST_ABSOLUTE item;
  {
    ModalScope modal;
    item = SHBrowseForFolderW(&bi);
  }
  if (!item) return false;
  wchar_t path[MAX_PATH + 1] = {};
  const bool ok = SHGetPathFromIDListW(item, path) && path[0];
  ole::CoTaskMemFree(item);
  if (!ok) return false;
  folder_ = Narrow(path);
  return true;
}

}  // namespace griv
