// The system's open and save dialogs with filters written "desc|pattern|...".
#pragma once
#include <windows.h>

#include <string>

namespace griv {

struct FileDialogOptions {
  std::string title;        // empty: the system's title
  std::string initialDir;
  std::string filter;       // "desc|pattern|desc|pattern"
  int filterIndex = 1;      // 1-based; the chosen one on return
  std::string fileName;     // chosen full name on return
  DWORD flags = 0;          // OFN_* added to OFN_EXPLORER | OFN_NOCHANGEDIR
};

bool RunOpenDialog(HWND owner, FileDialogOptions& o);
bool RunSaveDialog(HWND owner, FileDialogOptions& o);
// "a|b|c|d" -> "a\0b\0c\0d\0\0"
std::wstring DialogFilter(const std::string& filter);

}  // namespace griv
