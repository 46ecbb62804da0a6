#include "capture/monitors_win.h"

namespace griv {

namespace {
BOOL CALLBACK AddMonitor(HMONITOR m, HDC, LPRECT, LPARAM data) {
  MONITORINFO mi{sizeof mi};
  if (GetMonitorInfoW(m, &mi)) {
    MonitorInfo info;
    info.handle = m;
    info.bounds = {mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right - mi.rcMonitor.left,
                   mi.rcMonitor.bottom - mi.rcMonitor.top};
    info.primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
    reinterpret_cast<std::vector<MonitorInfo>*>(data)->push_back(info);
  }
  return TRUE;
}
}  // namespace

std::vector<MonitorInfo> EnumerateMonitors() {
  std::vector<MonitorInfo> list;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  if (list.empty()) {
    MonitorInfo info;
    info.bounds = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    info.primary = true;
    list.push_back(info);
  }
  return list;
}

}  // namespace griv
