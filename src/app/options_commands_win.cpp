// The Options command: the options dialog over the current settings, and on
// Ok the settings stored back, the toggles run, the hot keys re-registered
// and everything saved. The capture hot keys are off while it is open.
#include "app/main_form_win.h"
#include "options/option_values.h"
#include "options/options_dialog_win.h"
#include "base/file_io.h"
#include "base/scope_exit.h"
#include "ui/ui_win.h"

namespace griv {

void TfrmCaptureForm::mnuOptionsClick() {
  shk1_->SetActive(false);
  ScopeExit keysBack([this] {
    Guarded([this] {
      shk1_->SetActive(true);
      UpdateHotKeyNote();
      UpdateStatusPanels();
    });
  });

  TfrmSettings::Host host;
  host.resources = inst_;
  host.hotKeyEditor = &hkSet_;
  host.helpCaller = Handle();
  host.icon = reinterpret_cast<HICON>(GetClassLongPtrW(Handle(), GCLP_HICON));
  host.hotKeyInUse = [](const std::string& text) {
    return HotKeyHeldElsewhere(HotKeyTextToKey(text), HotKeyTextToModifiers(text));
  };
  TfrmSettings dialog(std::move(host), FillOptionValues(settings_));
  RECT r;
  GetWindowRect(Handle(), &r);
  if (!dialog.ShowModal(Handle(), r.left + Scale(15, dpi_), r.top + Scale(25, dpi_))) return;

  const OptionValues& v = dialog.Values();
  const StoreOutcome out = StoreOptionValues(v, settings_, [](const std::string& f) { return FileExists(f); });
  editorExists_ = !settings_.ImageEditor.empty() && FileExists(settings_.ImageEditor);
  UpdateCommands();
  if (out.toggleAutoSave) mnuAutoSaveClick();
  if (out.toggleAutoPrint) mnuAutoPrintClick();
  if (out.hotKeysChanged) {
    RemoveCaptureHotKeys();
    ApplyHotKeyTexts(v, settings_);
    RegisterCaptureHotKeys();
    if (store_) settings_.SaveHotKeys(*store_);
  }
  if (store_) settings_.Save(*store_);
}

void TfrmCaptureForm::UpdateHotKeyNote() {
  // While the keys are off nothing is registered: the last word stays.
  if (!shk1_ || !shk1_->Active()) return;
  const std::array<std::string, kCaptureHotKeyCount> texts = {EffectiveHotKeyText(0, settings_.HotKeyFull),
                                                              EffectiveHotKeyText(1, settings_.HotKeyActive),
                                                              EffectiveHotKeyText(2, settings_.HotKeyArea)};
  std::array<HotKeyRegistration, kCaptureHotKeyCount> keys{};
  for (int i = 0; i < kCaptureHotKeyCount && i < shk1_->Count(); ++i) {
    const THotKeyItem& item = shk1_->Item(i);
    keys[i] = {item.Key, item.Modifiers, item.Registered != 0};
  }
  hotKeyNote_ = RefusedHotKeysNote(texts, RefusedElsewhere(keys));
}

}  // namespace griv
