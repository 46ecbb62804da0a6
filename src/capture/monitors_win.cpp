#include "capture/monitors_win.h"

#include <exception>

namespace griv {

namespace {
struct Collect {
  std::vector<MonitorInfo> list;
  std::exception_ptr failure;  // carried past the system's callback, never through it
};

BOOL CALLBACK AddMonitor(HMONITOR m, HDC, LPRECT, LPARAM data) {
  auto* c = reinterpret_cast<Collect*>(data);
  try {
    MONITORINFO mi{sizeof mi};
    if (GetMonitorInfoW(m, &mi)) {
      MonitorInfo info;
      info.handle = m;
      info.bounds = {mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right - mi.rcMonitor.left,
                     mi.rcMonitor.bottom - mi.rcMonitor.top};
      info.primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
      c->list.push_back(info);
    }
    return TRUE;
  } catch (...) {
    c->failure = std::current_exception();
    return FALSE;
  }
}
}  // namespace

std::vector<MonitorInfo> EnumerateMonitors() {
  Collect c;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&c));
  if (c.failure) std::rethrow_exception(c.failure);
  if (c.list.empty()) {
    MonitorInfo info;
    info.bounds = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    info.primary = true;
    c.list.push_back(info);
  }
  return std::move(c.list);
}

}  // namespace griv
