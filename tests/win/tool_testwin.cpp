// griv-testwin X Y W H TITLE [CLASS]: a window with a fixed colourful pattern,
// for the end-to-end tests to capture; CLASS names its window class (the
// console's, to stand in for a console window). It ignores the menu key that
// a consumed Alt hot key leaves behind, and ends on WM_CLOSE.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      RECT rc;
      GetClientRect(w, &rc);
      // Bands of colour with a checker inside: every region differs from its neighbours.
      const COLORREF colours[] = {RGB(220, 40, 40), RGB(40, 180, 60), RGB(40, 80, 220), RGB(240, 200, 40),
                                  RGB(200, 60, 200), RGB(20, 20, 20)};
      for (int y = 0; y < rc.bottom; y += 20)
        for (int x = 0; x < rc.right; x += 20) {
          int i = ((x / 20) + (y / 20) * 7) % 6;
          HBRUSH b = CreateSolidBrush(colours[i]);
          RECT r{x, y, x + 20, y + 20};
          FillRect(dc, &r, b);
          DeleteObject(b);
        }
      EndPaint(w, &ps);
      return 0;
    }
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) return 2;
  const int x = std::atoi(argv[1]), y = std::atoi(argv[2]), cx = std::atoi(argv[3]), cy = std::atoi(argv[4]);
  std::wstring title(argv[5], argv[5] + std::strlen(argv[5]));
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  const std::wstring cls = argc >= 7 ? std::wstring(argv[6], argv[6] + std::strlen(argv[6])) : L"GrivTestWindow";
  wc.lpszClassName = cls.c_str();
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, x, y, cx, cy, nullptr, nullptr,
                           wc.hInstance, nullptr);
  ShowWindow(w, SW_SHOW);
  SetForegroundWindow(w);
  UpdateWindow(w);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
