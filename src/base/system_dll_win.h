// Entry points of system DLLs bound at their first use. A DLL that start-up
// does not need is loaded only by the feature that calls into it, and an entry
// point newer than the running Windows is simply absent.
//
//   static const auto fn = SystemProc<decltype(GetDpiForWindow)>(L"user32.dll", "GetDpiForWindow");
//   if (fn) fn(window);
#pragma once
#include <windows.h>

namespace griv {

// The DLL of that name from the system folder, loaded on the first request
// (never a library of that name beside a document); nullptr when absent.
HMODULE SystemModule(const wchar_t* dll);

template <typename Fn>
Fn* SystemProc(const wchar_t* dll, const char* name) {
  HMODULE m = SystemModule(dll);
  return m ? reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

}  // namespace griv
