#include "base/step_times_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace griv {

namespace {
double Ms(const LARGE_INTEGER& t) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// The time from the process's making until now.
double MsSinceCreation() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return double(ticks(now) - ticks(created)) / 1e4;
}

struct Steps {
  wchar_t file[MAX_PATH] = {};
  bool on = false;
  LARGE_INTEGER last{};
  Steps() { on = GetEnvironmentVariableW(L"GRIV_STEP_TIMES", file, MAX_PATH) - 1u < MAX_PATH - 1u; }
};
}  // namespace

void MarkStep(const char* step) {
  static Steps steps;
  if (!steps.on) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const double ms = steps.last.QuadPart ? Ms(now) - Ms(steps.last) : MsSinceCreation();
  if (FILE* f = _wfopen(steps.file, L"a")) {
    std::fprintf(f, "%s\t%.2f\n", step, ms);
    std::fclose(f);
  }
  QueryPerformanceCounter(&steps.last);  // the writing is not the next step's
}

}  // namespace griv
