// griv-empty: the smallest Win32 program with a window, the anchor of the
// start-up and memory benchmarks.
#include <windows.h>

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = inst;
  wc.lpszClassName = L"GrivEmptyApp";
  RegisterClassW(&wc);
  CreateWindowW(L"GrivEmptyApp", L"Empty", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, inst, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
