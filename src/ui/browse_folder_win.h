// TBrowseForFolderDialog: the shell's folder browser, rooted at the desktop,
// offering file-system folders only.
//
//   TBrowseForFolderDialog dlg;
//   dlg.SetTitle("Choose a folder below:");
//   if (dlg.Execute()) use(dlg.Folder());
#pragma once
#include <windows.h>

#include <string>

namespace griv {

class TBrowseForFolderDialog {
 public:
  // owner: the window the browser is modal to; the active window when null.
  explicit TBrowseForFolderDialog(HWND owner = nullptr) : owner_(owner) {}

  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& Title() const { return title_; }

  // Shows the browser. False when the user cancels or picks something that
  // is not a file-system folder.
  bool Execute();
  // The chosen folder as the shell gives it (no backslash added).
  const std::string& Folder() const { return folder_; }

 private:
  HWND owner_;
  std::string title_;
  std::string folder_;
};

}  // namespace griv
