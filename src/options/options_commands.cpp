#include "options/options_commands.h"

#include "ids_app.h"

namespace griv {

namespace {
constexpr CommandRule kRules[] = {
    {CM_OPTIONS, CM_OPTIONS, kMainMenu | kToolBar, kAlways},
    {CM_AUTOPRINT, CM_SWNOTES, kTrayMenu | kImageMenu, kAlways},
};
}  // namespace

std::span<const CommandRule> OptionsCommandRules() { return kRules; }

void AddOptionChecks(bool autoPrint, bool autoSave, bool printNotes, std::vector<CheckMark>& marks) {
  marks.insert(marks.end(), {{CM_AUTOPRINT, autoPrint}, {CM_AUTOSAVE, autoSave}, {CM_SWNOTES, printNotes}});
}

}  // namespace griv
