// Shared pieces of the Windows tests.
#pragma once
#include <windows.h>

#include <string>

namespace griv::test {

// The dialogs' layouts ship inside GRIV.exe next to the test program; load it as data.
inline HMODULE ProgramResources() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path);
  p = p.substr(0, p.find_last_of(L"\\/") + 1) + L"GRIV.exe";
  return LoadLibraryExW(p.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

}  // namespace griv::test
