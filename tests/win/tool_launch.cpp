// griv-launch: starts a program and measures how long it takes until its
// window of CLASS exists and answers a message (start-up done, loop running).
//   griv-launch EXE CLASS [ARGS]   prints "<ms> <pid>"; the program keeps running
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring cmd = L"\"" + std::wstring(argv[1]) + L"\"";
  for (int i = 3; i < argc; ++i) cmd += L" " + std::wstring(argv[i]);
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  QueryPerformanceCounter(&t0);
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
  for (int i = 0; i < 20000; ++i) {
    if (HWND w = FindWindowW(argv[2], nullptr)) {
      DWORD_PTR r;
      if (SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r)) break;
    }
    Sleep(1);
  }
  QueryPerformanceCounter(&t1);
  std::printf("%.1f %lu\n", (t1.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart, pi.dwProcessId);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
