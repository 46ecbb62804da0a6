#include "options/options_commands_win.h"

#include "base/file_io.h"
#include "ids_app.h"
#include "options/option_values.h"
#include "options/options_commands.h"
#include "options/options_dialog_win.h"
#include "ui/ui_win.h"

namespace griv {

void OptionsCommands::AddTo(CommandTable& table) {
  table.Add(OptionsCommandRules(), {{CM_OPTIONS, CM_OPTIONS, [this](int) { ShowOptions(); }},
                                    {CM_AUTOPRINT, CM_AUTOPRINT, [this](int) { ToggleAutoPrint(); }},
                                    {CM_AUTOSAVE, CM_AUTOSAVE, [this](int) { ToggleAutoSave(); }},
                                    {CM_SWNOTES, CM_SWNOTES, [this](int) {
                                       settings_.PrintNotes = !settings_.PrintNotes;
                                       app_.UpdateCommands();
                                     }}});
  table.AddChecks([this](std::vector<CheckMark>& marks) {
    AddOptionChecks(settings_.AutoPrint, settings_.AutoSave, settings_.PrintNotes, marks);
  });
}

void OptionsCommands::ToggleAutoPrint() {
  settings_.SetAutoPrint(!settings_.AutoPrint);
  app_.UpdateCommands();
}

void OptionsCommands::ToggleAutoSave() {
  settings_.SetAutoSave(!settings_.AutoSave, true);
  app_.UpdateCommands();
}

void OptionsCommands::ShowOptions() {
  RunDialog();
  // Cancelled too: the keys are back on, and what another program holds is said again.
  if (!app_.Window()) return;
  hotKeys_.UpdateNote(settings_.CaptureHotKeyTexts());
  app_.UpdateCommands();
}

bool OptionsCommands::RunDialog() {
  // The capture hot keys are off while the dialog is open.
  HotKeysOff keys(app_);
  TfrmSettings::Host host;
  host.resources = app_.Resources();
  host.hotKeyEditor = &hotKeyEditor_;
  host.helpCaller = app_.Window();
  host.icon = reinterpret_cast<HICON>(GetClassLongPtrW(app_.Window(), GCLP_HICON));
  host.hotKeyInUse = [](const std::string& text) {
    return HotKeyHeldElsewhere(HotKeyTextToKey(text), HotKeyTextToModifiers(text));
  };
  TfrmSettings dialog(std::move(host), FillOptionValues(settings_));
  RECT r;
  GetWindowRect(app_.Window(), &r);
  const int dpi = app_.Dpi();
  if (!dialog.ShowModal(app_.Window(), r.left + Scale(15, dpi), r.top + Scale(25, dpi)) || !app_.Window())
    return false;

  const OptionValues& v = dialog.Values();
  const StoreOutcome out = StoreOptionValues(v, settings_, [](const std::string& f) { return FileExists(f); });
  if (OnApplied) OnApplied();
  app_.UpdateCommands();
  if (out.toggleAutoSave) ToggleAutoSave();
  if (out.toggleAutoPrint) ToggleAutoPrint();
  SettingsStore* store = app_.Store();
  if (out.hotKeysChanged) {
    hotKeys_.Remove();
    ApplyHotKeyTexts(v, settings_);
    hotKeys_.Register(settings_.CaptureHotKeyTexts());
    if (store) settings_.SaveHotKeys(*store);
  }
  if (store) settings_.Save(*store);
  return true;
}

}  // namespace griv
