// The image handed to the external editor, the manual, the quick-start
// guide, the brand's web site and the About box with its start-up splash.
#pragma once
#include <memory>
#include <string>

#include "image/document.h"
#include "options/settings.h"
#include "tray/about_win.h"
#include "tray/branding.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

class HelpCommands {
 public:
  HelpCommands(AppWindow& app, const ImageDocument& doc, const Settings& settings, const Branding& brand,
               std::string exeFolder)
      : app_(app), doc_(doc), settings_(settings), brand_(brand), exeFolder_(std::move(exeFolder)) {}

  void AddTo(CommandTable& table);

  // The shown picture to the image editor (also the Auto Edit step).
  void SendToEditor();
  void ShowHelpContents();
  // The brand's site (a click on the banner).
  void OpenWebSite();
  // The product's site, or the one the brand names for it (Help > Visit, the tray, About).
  void VisitWebSite();
  // After the options changed: whether the named editor is there.
  void CheckEditor();

  // The About box without its buttons, over owner for the first seconds.
  void ShowSplash(HWND owner);
  void CloseSplash() { splash_.reset(); }

 private:
  void QuickStart();
  void About();
  AboutInfo AboutBoxInfo() const;

  AppWindow& app_;
  const ImageDocument& doc_;
  const Settings& settings_;
  const Branding& brand_;
  std::string exeFolder_;
  bool editorExists_ = true;  // the editor named in the settings was there when last looked at
  std::unique_ptr<TdlgAbout> splash_;
};

}  // namespace griv
