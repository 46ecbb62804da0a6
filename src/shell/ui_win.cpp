#include "shell/ui_win.h"

#include <exception>
#include <new>

#include "base/utf.h"
#include "shell/settings_store.h"

namespace griv {

namespace {
std::string& Title() {
  static std::string t = "Grivanta";
  return t;
}
}  // namespace

void SetApplicationTitle(const std::string& title) { Title() = title; }
const std::string& ApplicationTitle() { return Title(); }

void HandleCurrentException() noexcept {
  std::string msg;
  try {
    throw;
  } catch (const ERegistryError&) {
    return;  // registry problems never reach the user
  } catch (const std::bad_alloc&) {
    msg = "Out of memory";
  } catch (const std::exception& e) {
    msg = e.what();
  } catch (...) {
    msg = "An unexpected error occurred";
  }
  try {
    MessageBoxW(nullptr, Widen(msg).c_str(), Widen(Title()).c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
  } catch (...) {
  }
}

int ShowMessage(const std::string& text, const std::string& caption, UINT flags) {
  return MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), flags | MB_TASKMODAL);
}

void ProcessMessages() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

int DpiOf(HWND w) {
  using Fn = UINT(WINAPI*)(HWND);
  static Fn fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (fn && w) {
    UINT d = fn(w);
    if (d) return static_cast<int>(d);
  }
  HDC dc = GetDC(nullptr);
  int d = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return d > 0 ? d : 96;
}

}  // namespace griv
