// griv-hotkey MODIFIERS VK: another program holding a system-wide hot key
// (RegisterHotKey flags and virtual-key code, decimal or 0x hex), for the
// end-to-end tests. Its hidden window is titled "griv-hotkey: held" once the
// key is registered, "griv-hotkey: refused" when the system refused it; it
// runs until it is closed (WM_CLOSE) or killed.
#include <windows.h>

#include <cstdlib>

namespace {
LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_CLOSE) {
    DestroyWindow(w);
    return 0;
  }
  if (m == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const UINT mods = static_cast<UINT>(wcstoul(argv[1], nullptr, 0));
  const UINT vk = static_cast<UINT>(wcstoul(argv[2], nullptr, 0));
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = inst;
  wc.lpszClassName = L"GrivHotKeyHolder";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"griv-hotkey", WS_POPUP, 0, 0, 1, 1, nullptr,
                           nullptr, inst, nullptr);
  const bool held = RegisterHotKey(w, 1, mods, vk) != FALSE;
  SetWindowTextW(w, held ? L"griv-hotkey: held" : L"griv-hotkey: refused");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  if (held) UnregisterHotKey(nullptr, 1);
  return held ? 0 : 3;
}
