// griv-clip: another program on the clipboard, for the end-to-end tests.
//   griv-clip set-bitmap W H       a W x H bitmap with a known pattern (B = x, G = y, R = 77, mod 256)
//   griv-clip set-text TEXT        text
//   griv-clip info                 "bitmap W H" or "no bitmap", then "text" or "no text"
//   griv-clip save-bitmap FILE     the clipboard's bitmap as a 24-bit BMP file
//   griv-clip viewer MS            joins the viewer chain, passes notices on for MS ms, leaves
//   griv-clip hold MS              keeps the clipboard open for MS ms
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool Open() {
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

int SetBitmap(int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  const int stride = (w * 3 + 3) & ~3;
  std::vector<unsigned char> px(size_t(stride) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &px[size_t(y) * stride + x * 3];
      p[0] = (unsigned char)x, p[1] = (unsigned char)y, p[2] = 77;
    }
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateDIBitmap(screen, &bi.bmiHeader, CBM_INIT, px.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (!bmp || !Open()) return 1;
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_BITMAP, bmp) != nullptr;
  CloseClipboard();
  return ok ? 0 : 1;
}

int SetText(const char* text) {
  const size_t n = strlen(text) + 1;
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, n);
  memcpy(GlobalLock(g), text, n);
  GlobalUnlock(g);
  if (!Open()) return 1;
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_TEXT, g) != nullptr;
  CloseClipboard();
  return ok ? 0 : 1;
}

int Info() {
  if (!Open()) return 1;
  if (HANDLE h = GetClipboardData(CF_DIB)) {
    auto* bih = static_cast<BITMAPINFOHEADER*>(GlobalLock(h));
    std::printf("bitmap %ld %ld\n", bih->biWidth, labs(bih->biHeight));
    GlobalUnlock(h);
  } else {
    std::printf("no bitmap\n");
  }
  std::printf(IsClipboardFormatAvailable(CF_TEXT) ? "text\n" : "no text\n");
  CloseClipboard();
  return 0;
}

int SaveBitmap(const char* file) {
  if (!Open()) return 1;
  HBITMAP bmp = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  BITMAP b{};
  if (!bmp || !GetObjectW(bmp, sizeof b, &b)) {
    CloseClipboard();
    return 1;
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = b.bmWidth;
  bi.bmiHeader.biHeight = b.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  const int stride = (b.bmWidth * 3 + 3) & ~3;
  std::vector<unsigned char> px(size_t(stride) * b.bmHeight);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bmp, 0, b.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  CloseClipboard();
  if (rows != b.bmHeight) return 1;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = DWORD(fh.bfOffBits + px.size());
  FILE* f = std::fopen(file, "wb");
  if (!f) return 1;
  std::fwrite(&fh, sizeof fh, 1, f);
  std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
  std::fwrite(px.data(), 1, px.size(), f);
  std::fclose(f);
  return 0;
}

HWND g_next = nullptr;

LRESULT CALLBACK ViewerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_DRAWCLIPBOARD:
      if (g_next) SendMessageW(g_next, m, wp, lp);
      return 0;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wp) == g_next) g_next = reinterpret_cast<HWND>(lp);
      else if (g_next) SendMessageW(g_next, m, wp, lp);
      return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

int Viewer(DWORD ms) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"GrivClipViewer";
  RegisterClassW(&wc);
  HWND w = CreateWindowW(L"GrivClipViewer", L"", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  g_next = SetClipboardViewer(w);
  std::printf("joined\n");
  std::fflush(stdout);
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (GetTickCount() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  ChangeClipboardChain(w, g_next);
  DestroyWindow(w);
  return 0;
}

int Hold(DWORD ms) {
  if (!Open()) return 1;
  Sleep(ms);
  CloseClipboard();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string cmd = argv[1];
  if (cmd == "set-bitmap" && argc >= 4) return SetBitmap(atoi(argv[2]), atoi(argv[3]));
  if (cmd == "set-text" && argc >= 3) return SetText(argv[2]);
  if (cmd == "info") return Info();
  if (cmd == "save-bitmap" && argc >= 3) return SaveBitmap(argv[2]);
  if (cmd == "viewer" && argc >= 3) return Viewer(DWORD(atoi(argv[2])));
  if (cmd == "hold" && argc >= 3) return Hold(DWORD(atoi(argv[2])));
  return 2;
}
