// Applies the command table's states to every place a command appears in:
// the main menu, the tray menu, the image pop-up menu and the tool bar.
#pragma once
#include <windows.h>

#include "app/toolbar_win.h"
#include "ui/commands.h"

namespace griv {

// The id a sub-menu stands for: the zoom menus are enabled as one command each.
int SubMenuCommand(HMENU sub);

class CommandUi {
 public:
  void Attach(HWND window, HMENU mainMenu, HMENU trayMenu, HMENU imageMenu, ToolBar* toolBar);
  void Apply(const CommandTable& table);

 private:
  void ApplyMenu(HMENU menu, Place place, const CommandTable& table, const CommandContext& c);
  void CheckMenu(HMENU menu, const std::vector<CheckMark>& marks);

  HWND window_ = nullptr;
  HMENU main_ = nullptr, tray_ = nullptr, image_ = nullptr;
  ToolBar* toolBar_ = nullptr;
};

}  // namespace griv
