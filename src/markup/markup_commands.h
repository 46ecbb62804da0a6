// The markup commands as data: the "&Markup" menu's tools, colour, widths
// and pixelation, and the tool bar's drop-down button; and which of them
// carry a check mark.
#pragma once
#include <span>
#include <vector>

#include "markup/mark_settings.h"
#include "markup/markup_session.h"
#include "ui/commands.h"

namespace griv {

std::span<const CommandRule> MarkupCommandRules();

// The tool of a tool command, None for any other id.
MarkupTool ToolOfCommand(int id);
// The width of a "Line Width" item, 0 for any other id.
int WidthOfCommand(int id);

// The picked tool and the width as radio items, pixelation as a check, and
// the tool bar's button down while a tool is picked.
void AddMarkupChecks(MarkupTool tool, const MarkSettings& settings, std::vector<CheckMark>& marks);

}  // namespace griv
