// The system's monitors in the order it enumerates them.
#pragma once
#include <windows.h>

#include <vector>

#include "base/strings.h"

namespace griv {

struct MonitorInfo {
  HMONITOR handle = nullptr;
  MonitorRect bounds;  // desktop coordinates
  bool primary = false;
};

std::vector<MonitorInfo> EnumerateMonitors();

}  // namespace griv
