#include "markup/markup_commands.h"

#include "ids_markup.h"

namespace griv {

namespace {
constexpr uint8_t M = kMainMenu, B = kToolBar;

constexpr CommandRule kMarkupRules[] = {
    {CM_MARKSELECT, CM_MARKREDACT, M, kImage},
    {CM_MARKCOLOUR, CM_MARKCOLOUR, M, kImage},
    {CM_MARKWIDTH_MENU, CM_MARKWIDTH8, M, kImage},
    {CM_MARKPIXELATE, CM_MARKPIXELATE, M, kImage},
    {CM_MARKUPTOOLS, CM_MARKUPTOOLS, B, kImage},
};
}  // namespace

std::span<const CommandRule> MarkupCommandRules() { return kMarkupRules; }

MarkupTool ToolOfCommand(int id) {
  if (id < CM_MARKSELECT || id > CM_MARKREDACT) return MarkupTool::None;
  return MarkupTool(int(MarkupTool::Select) + id - CM_MARKSELECT);
}

int WidthOfCommand(int id) {
  if (id < CM_MARKWIDTH2 || id > CM_MARKWIDTH8) return 0;
  return kMarkWidths[id - CM_MARKWIDTH2];
}

void AddMarkupChecks(MarkupTool tool, const MarkSettings& settings, std::vector<CheckMark>& marks) {
  for (int id = CM_MARKSELECT; id <= CM_MARKREDACT; ++id) marks.push_back({id, ToolOfCommand(id) == tool});
  for (int id = CM_MARKWIDTH2; id <= CM_MARKWIDTH8; ++id) marks.push_back({id, WidthOfCommand(id) == settings.width});
  marks.push_back({CM_MARKPIXELATE, settings.pixelate});
  marks.push_back({CM_MARKUPTOOLS, tool != MarkupTool::None});
}

}  // namespace griv
