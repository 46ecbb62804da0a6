// Saving the image as BMP or JPEG, numbered saves, opening and loading files.
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include "ui/ui_win.h"
#include "ui/file_dialogs_win.h"
#include "image/image_files.h"
#include "app/main_form_win.h"
#include "image/open_picture_dialog_win.h"
#include "base/file_io.h"
#include "base/utf.h"
#include "resource.h"
#include "base/strings.h"

namespace griv {

void TfrmCaptureForm::Save1Click() {
  if (doc_.FullImage().Empty()) return;
  if (!currentFileName_.empty()) WriteImageFile(currentFileName_, false, false);
  else SaveAs1Click();
}

void TfrmCaptureForm::SaveImageAs(bool asShown) {
  FileDialogOptions o;
  o.initialDir = settings_.SavePath;
  o.filter = kSaveFilter;
  o.filterIndex = SaveFilterIndex(settings_.AutoExt);
  if (!RunSaveDialog(Handle(), o)) return;
  const std::string name = SaveAsTargetName(o.fileName, o.filterIndex);
  if (FileExists(name) &&
      ShowMessage(OverwriteQuestion(name), dialogCaption_, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  WriteImageFile(name, false, asShown);
}

void TfrmCaptureForm::WriteImageFile(const std::string& name, bool silent, bool asShown) {
  WaitCursor wait;
  if (!silent) currentFileName_ = name;
  // What is on show is written with 24 bits a pixel, whatever it is held in.
  Picture shown24;
  if (asShown) shown24 = doc_.ShownImage24();
  const Picture& source = asShown ? shown24 : doc_.FullImage();
  WriteImageFileBytes(name, source);  // replaces the old file only when the new one is complete
  if (!silent) {
    settings_.SavePath = ExtractFilePath(name);
    doc_.SetStatusAction(name);
    ShowImageStatus();
  }
  if (!saveWritten_) {
    saveWritten_ = true;
    UpdateCommands();
  }
}

void TfrmCaptureForm::AutoSaveImage() {
  AutoSaveSlot slot = NextFreeAutoSave(settings_.AutoSavePath, settings_.AutoPrefix, settings_.NextSaveNo,
                                       settings_.AutoExt, [](const std::string& n) { return FileExists(n); });
  settings_.NextSaveNo = static_cast<int32_t>(std::min<int64_t>(slot.nextCounter, INT32_MAX));
  if (store_) store_->WriteString("NextSaveNo", std::to_string(settings_.NextSaveNo));
  if (!slot.found) {
    ShowMessage("Every numbered name " + settings_.AutoPrefix + "-00000" + settings_.AutoExt + " to " +
                    settings_.AutoPrefix + "-99999" + settings_.AutoExt + " is taken in " + settings_.AutoSavePath +
                    ".\r\nThe capture was not saved.",
                dialogCaption_, MB_OK | MB_ICONWARNING);
    return;
  }
  // Said with the status of this save, and kept until the next picture comes.
  autoSaveNote_ =
      slot.skipped ? " - saved as " + ExtractFileName(slot.name) + " (numbered names before it already existed)" : "";
  WriteImageFile(slot.name, false, false);
  MessageBeep(0);
}

void TfrmCaptureForm::mnuOpenFileClick() {
  TOpenPictureDialog2 dialog;
  std::string name;
  if (dialog.Execute(Handle(), settings_.OpenPath, kOpenFilter, kOpenFilterAll, name))
    OpenFileByName(name);
}

void TfrmCaptureForm::LoadImageFile(const std::string& name, bool greys) {
  WaitCursor wait;
  SaveUndo();
  if (!IsImageFileName(name)) return;
  JpegDecodeOptions options;
  options.grey = greys;
  options.palette8 = !trueColorDisplay_;
  Picture pic;
  try {
    pic = LoadImageFileData(name, options);
  } catch (const EInvalidPicture&) {
    // A decrypted plain copy that is no picture must not wait in the work folder.
    if (openedDecrypted_ && FileExists(name)) DeleteFileUtf8(name);
    ShowMessage("Unable to read or decrypt the image", dialogCaption_, MB_OK | MB_ICONWARNING);
    return;
  }
  doc_.SetFullImage(std::move(pic));
  if (openedDecrypted_) {
    if (FileExists(name)) DeleteFileUtf8(name);
    currentFileName_.clear();
    lastOpenedFile_.clear();
  } else if (!greys) {
    currentFileName_ = name;
    lastOpenedFile_ = name;
    settings_.OpenPath = ExtractFilePath(name);
  }
  ResetZoom();
  RenderView(1.0);
  if (!greys) doc_.SetStatusAction(openedDecrypted_ ? "Encrypted Image" : name);
  ShowImageStatus();  // greys keep the action, but the view went back to 1:1
  EnableImageCommands(true);
}

void TfrmCaptureForm::OpenAdjacentNumbered(bool next) {
  auto name = AdjacentNumberedName(lastOpenedFile_, IncludeTrailingBackslash(settings_.OpenPath), next);
  if (name && FileExists(*name)) LoadImageFile(*name, false);
  else mnuOpenFileClick();
}

}  // namespace griv
