// Shared pieces of the Windows tests.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
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

// Lets messages run until done() holds; false when the time runs out first.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(1);
  }
  return true;
}

}  // namespace griv::test
