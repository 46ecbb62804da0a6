// The image handed to the external editor, the manual and the quick-start guide.
#include "app/main_form_win.h"

#include <shellapi.h>

#include "image/image_files.h"
#include "base/file_io.h"
#include "base/utf.h"
#include "ui/help_topics.h"
#include "ui/help_win.h"
#include "base/strings.h"
#include "ui/system_path_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr char kEditorHandOffName[] = "~~ktw.bmp";
constexpr char kQuickStartDocument[] = "GRIV_Quick_Start_Guide.doc";
}  // namespace

void TfrmCaptureForm::mnuEditorClick() {
  if (settings_.ImageEditor.empty() || !FileExists(settings_.ImageEditor)) return;
  const Picture& shown = doc_.ShownImage();
  if (shown.Empty()) return;
  const std::string handOff = IncludeTrailingBackslash(TempFolder()) + kEditorHandOffName;
  {
    WaitCursor wait;
    WriteImageFileBytes(handOff, shown);  // the picture as shown: at the zoom on screen, 24 bits
  }
  // In quotes: a temporary folder with blanks would otherwise reach the editor as several names.
  const std::string params = "\"" + handOff + "\"";
  OpenWithShell(settings_.ImageEditor, params, Handle());
}

void TfrmCaptureForm::mnuHelpContentClick() { ShowHelpContents(Handle()); }

void TfrmCaptureForm::mnuHelpContextClick(int context) { ShowHelpContext(Handle(), context); }

void TfrmCaptureForm::mnuGuickStartClick() {
  // A brand owner may ship a guide of its own next to the program; the manual has one otherwise.
  const std::string doc = exeFolder_ + kQuickStartDocument;
  if (FileExists(doc)) {
    WaitCursor wait;
    OpenWithShell(doc);
    return;
  }
  ShowHelpPage(Handle(), kQuickStartPage);
}

}  // namespace griv
