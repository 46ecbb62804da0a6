// The tray icon while a delayed capture counts down: the seconds left in
// white on a red disc.
#pragma once
#include <windows.h>

#include "base/handles_win.h"

namespace griv {

UniqueIcon MakeCountdownIcon(int seconds, int size);

}  // namespace griv
