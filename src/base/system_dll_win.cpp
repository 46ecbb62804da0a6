#include "base/system_dll_win.h"

#include <string>

namespace griv {

HMODULE SystemModule(const wchar_t* dll) {
  if (HMODULE loaded = GetModuleHandleW(dll)) return loaded;
  wchar_t sys[MAX_PATH];
  const UINT n = GetSystemDirectoryW(sys, MAX_PATH);
  if (!n || n >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(sys, n) + L"\\" + dll).c_str());
}

}  // namespace griv
