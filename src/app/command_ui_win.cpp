#include "app/command_ui_win.h"

#include "ids_app.h"
#include "ids_markup.h"

namespace griv {

int SubMenuCommand(HMENU sub) {
  switch (GetMenuItemID(sub, 0)) {
    case CM_ZMI01: return CM_ZOOMIN_MENU;
    case CM_ZMO01: return CM_ZOOMOUT_MENU;
    case CM_MARKWIDTH2: return CM_MARKWIDTH_MENU;
  }
  return 0;
}

namespace {
void SetEnabled(HMENU menu, UINT item, UINT by, bool on) {
  const UINT state = GetMenuState(menu, item, by);
  if (state == static_cast<UINT>(-1)) return;
  const bool now = !(state & (MF_GRAYED | MF_DISABLED));
  if (now != on) EnableMenuItem(menu, item, by | (on ? MF_ENABLED : MF_GRAYED));
}
}  // namespace

void CommandUi::Attach(HWND window, HMENU mainMenu, HMENU trayMenu, HMENU imageMenu, ToolBar* toolBar) {
  window_ = window;
  main_ = mainMenu;
  tray_ = trayMenu;
  image_ = imageMenu;
  toolBar_ = toolBar;
}

void CommandUi::ApplyMenu(HMENU menu, Place place, const CommandTable& table, const CommandContext& c) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      if (const int id = SubMenuCommand(sub))
        SetEnabled(menu, static_cast<UINT>(i), MF_BYPOSITION, table.Enabled(id, place, c));
      ApplyMenu(sub, place, table, c);
      continue;
    }
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators
    SetEnabled(menu, static_cast<UINT>(i), MF_BYPOSITION, table.Enabled(static_cast<int>(id), place, c));
  }
}

void CommandUi::CheckMenu(HMENU menu, const std::vector<CheckMark>& marks) {
  for (const CheckMark& m : marks)
    if (GetMenuState(menu, static_cast<UINT>(m.id), MF_BYCOMMAND) != static_cast<UINT>(-1))
      CheckMenuItem(menu, static_cast<UINT>(m.id), MF_BYCOMMAND | (m.checked ? MF_CHECKED : MF_UNCHECKED));
}

void CommandUi::Apply(const CommandTable& table) {
  const CommandContext c = table.State();
  const auto marks = table.Checks();
  const struct {
    HMENU menu;
    Place place;
  } menus[] = {{main_, kMainMenu}, {tray_, kTrayMenu}, {image_, kImageMenu}};
  for (const auto& m : menus) {
    if (!m.menu) continue;
    ApplyMenu(m.menu, m.place, table, c);
    CheckMenu(m.menu, marks);
  }
  if (toolBar_) {
    toolBar_->ForEachCommand([&](int id) { toolBar_->Enable(id, table.Enabled(id, kToolBar, c)); });
    // A toggle button is down while its command is checked (stamping armed).
    for (const CheckMark& m : marks)
      if (toolBar_->ButtonHandle(m.id)) toolBar_->SetDown(m.id, m.checked);
  }
  if (window_ && main_) DrawMenuBar(window_);
}

}  // namespace griv
