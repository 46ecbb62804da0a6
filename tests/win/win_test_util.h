// Shared pieces of the Windows tests.
#pragma once
#include <gtest/gtest.h>
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

// A window can be made: false on a machine without a display.
inline bool HaveDesktop() {
  HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (w) DestroyWindow(w);
  return w != nullptr;
}

// Base of the tests of a dialog laid out in GRIV.exe's resources (res):
// skipped without a display or without the layout.
template <int DialogId>
struct DialogLayoutTest : ::testing::Test {
  HMODULE res = nullptr;
  void SetUp() override {
    if (!HaveDesktop()) GTEST_SKIP() << "no display";
    res = ProgramResources();
    if (!res || !FindResourceW(res, MAKEINTRESOURCEW(DialogId), MAKEINTRESOURCEW(5)))
      GTEST_SKIP() << "GRIV.exe with the dialog's layout is not built";
  }
  void TearDown() override {
    if (res) FreeLibrary(res);
  }
};

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

namespace detail {
inline std::function<void(HWND)> dialogAct;
inline std::wstring dialogCaption;
inline void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindWindowW(L"#32770", dialogCaption.c_str());
  if (!dlg || !IsWindowVisible(dlg)) return;
  KillTimer(nullptr, id);
  auto act = std::move(dialogAct);
  act(dlg);
}
}  // namespace detail

// Runs act on the dialog with this caption once it is up, from inside its
// own modal loop (call just before showing the dialog).
inline void WhenDialogShows(const std::string& caption, std::function<void(HWND)> act) {
  detail::dialogAct = std::move(act);
  detail::dialogCaption.assign(caption.begin(), caption.end());
  SetTimer(nullptr, 0, 20, &detail::DriveDialog);
}

// Posts a key to the window with the focus, so it passes the dialog's own loop as a typed key does.
inline void PostKey(HWND dlg, WPARAM vk) {
  HWND focus = GetFocus();
  PostMessageW(focus ? focus : dlg, WM_KEYDOWN, vk, 1);
  PostMessageW(focus ? focus : dlg, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace griv::test
