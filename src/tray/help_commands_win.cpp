#include "tray/help_commands_win.h"

#include "base/file_io.h"
#include "base/strings.h"
#include "ids_app.h"
#include "image/image_files.h"
#include "image/jpeg_codec.h"
#include "tray/help_commands.h"
#include "ui/help_topics.h"
#include "ui/help_win.h"
#include "ui/system_path_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr char kEditorHandOffName[] = "~~ktw.bmp";
constexpr char kQuickStartDocument[] = "GRIV_Quick_Start_Guide.doc";

// The About box's picture is kept as a JPEG: a bitmap would be a fifth of the program.
Picture SplashPicture(HINSTANCE inst) {
  HRSRC res = FindResourceW(inst, L"SPLASH", RT_RCDATA);
  HGLOBAL data = res ? LoadResource(inst, res) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return {};
  try {
    return DecodeJpeg(static_cast<const uint8_t*>(bytes), SizeofResource(inst, res));
  } catch (const std::exception&) {
    return {};
  }
}
}  // namespace

void HelpCommands::AddTo(CommandTable& table) {
  auto context = [this](int topic) { return [this, topic](int) { ShowHelpContext(app_.Window(), topic); }; };
  table.Add(HelpCommandRules(), {{CM_EDITOR, CM_EDITOR, [this](int) { SendToEditor(); }},
                                 {CM_SENDTOEDITOR, CM_SENDTOEDITOR, [this](int) { SendToEditor(); }},
                                 {CM_HELPCONTENT, CM_HELPCONTENT, [this](int) { ShowHelpContents(); }},
                                 {CM_HELP1, CM_HELP1, [this](int) { ShowHelpContents(); }},
                                 {CM_HELPCAPTURE, CM_HELPCAPTURE, context(kHelpCapturing)},
                                 {CM_HELPPRINT, CM_HELPPRINT, context(kHelpPrinting)},
                                 {CM_HELPSAVE, CM_HELPSAVE, context(kHelpSaving)},
                                 {CM_HELPCONTACT, CM_HELPCONTACT, context(kHelpContact)},
                                 {CM_QUICKSTART, CM_QUICKSTART, [this](int) { QuickStart(); }},
                                 {CM_WEBLINK, CM_WEBLINK, [this](int) { VisitWebSite(); }},
                                 {CM_VISIT1, CM_VISIT1, [this](int) { VisitWebSite(); }},
                                 {CM_ABOUT, CM_ABOUT, [this](int) { About(); }}});
  table.AddState([this](CommandContext& c) {
    c.editorConfigured = !settings_.ImageEditor.empty();
    c.editorExists = editorExists_;
  });
}

void HelpCommands::SendToEditor() {
  if (settings_.ImageEditor.empty() || !FileExists(settings_.ImageEditor)) return;
  if (doc_.ShownImage().Empty()) return;
  const std::string handOff = IncludeTrailingBackslash(TempFolder()) + kEditorHandOffName;
  {
    WaitCursor wait;
    // The picture as shown with its marks, at the zoom on screen, with 24 bits
    // at every zoom: the 32-bit picture of 1:1 has no alpha, and an editor
    // that honours it would show nothing.
    WriteImageFileBytes(handOff, doc_.ShownImage24());
  }
  // In quotes: a temporary folder with blanks would otherwise reach the editor as several names.
  const std::string params = "\"" + handOff + "\"";
  OpenWithShell(settings_.ImageEditor, params, app_.Window());
}

void HelpCommands::CheckEditor() {
  editorExists_ = !settings_.ImageEditor.empty() && FileExists(settings_.ImageEditor);
}

void HelpCommands::ShowHelpContents() { ::griv::ShowHelpContents(app_.Window()); }

void HelpCommands::OpenWebSite() { OpenWithShell(brand_.webSite); }

void HelpCommands::VisitWebSite() {
  WaitCursor wait;
  OpenWithShell(brand_.visitUrl);
}

void HelpCommands::QuickStart() {
  // A brand owner may ship a guide of its own next to the program; the manual has one otherwise.
  const std::string doc = exeFolder_ + kQuickStartDocument;
  if (FileExists(doc)) {
    WaitCursor wait;
    OpenWithShell(doc);
    return;
  }
  ShowHelpPage(app_.Window(), kQuickStartPage);
}

AboutInfo HelpCommands::AboutBoxInfo() const {
  return AboutInfo{brand_.mainCaption, brand_.visitUrl, SplashPicture(app_.Resources())};
}

void HelpCommands::About() {
  TdlgAbout about(app_.Resources(), AboutBoxInfo());
  about.ShowModal(app_.Window());
}

void HelpCommands::ShowSplash(HWND owner) {
  splash_ = std::make_unique<TdlgAbout>(app_.Resources(), AboutBoxInfo());
  splash_->CreateSplash(owner);
}

}  // namespace griv
