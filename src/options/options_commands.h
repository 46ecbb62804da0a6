// The options commands as data: the options dialog and the toggles of the tray and image menus.
#pragma once
#include <span>
#include <vector>

#include "ui/commands.h"

namespace griv {

std::span<const CommandRule> OptionsCommandRules();
// "Auto Print", "Auto Save" and "Add Notes to Image" follow the settings.
void AddOptionChecks(bool autoPrint, bool autoSave, bool printNotes, std::vector<CheckMark>& marks);

}  // namespace griv
