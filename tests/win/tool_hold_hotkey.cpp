// griv-hold-hotkey: another program that holds a system-wide hot key.
//   griv-hold-hotkey VK MODS MS    registers the key, prints "held" (or "refused"), keeps it MS ms
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const UINT vk = UINT(strtoul(argv[1], nullptr, 0)), mods = UINT(strtoul(argv[2], nullptr, 0));
  const DWORD ms = DWORD(atoi(argv[3]));
  const bool held = RegisterHotKey(nullptr, 1, mods, vk) != FALSE;
  std::printf(held ? "held\n" : "refused\n");
  std::fflush(stdout);
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (GetTickCount() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    Sleep(20);
  }
  if (held) UnregisterHotKey(nullptr, 1);
  return held ? 0 : 1;
}
