#include "image/image_file_commands_win.h"

#include "base/file_io.h"
#include "base/scope_exit.h"
#include "base/strings.h"
#include "ids_app.h"
#include "image/image_commands.h"
#include "image/image_files.h"
#include "image/open_picture_dialog_win.h"
#include "ui/file_dialogs_win.h"
#include "ui/ui_win.h"

namespace griv {

ImageFileCommands::ImageFileCommands(AppWindow& app, DocumentHost& doc, Settings& settings, std::string dataFolder)
    : app_(app), doc_(doc), settings_(settings), dataFolder_(std::move(dataFolder)) {
  WindowDC screen(nullptr);
  trueColorDisplay_ = GetDeviceCaps(screen.get(), NUMCOLORS) == -1;
}

void ImageFileCommands::AddTo(CommandTable& table) {
  table.Add(ImageFileCommandRules(), {{CM_OPENFILE, CM_OPENFILE, [this](int) { Open(); }},
                                      {CM_SAVE, CM_SAVE, [this](int) { Save(); }},
                                      {CM_SAVEAS, CM_SAVEAS, [this](int) { SaveImageAs(false); }},
                                      {CM_SAVEASSHOWN, CM_SAVEASSHOWN, [this](int) { SaveImageAs(true); }},
                                      {CM_GREY, CM_GREY, [this](int) { Greys(); }}});
  table.AddState([this](CommandContext& c) { c.saveWritten = saveWritten_; });
}

void ImageFileCommands::Save() {
  if (doc_.Document().FullImage().Empty()) return;
  if (!currentFileName_.empty()) WriteImageFile(currentFileName_, false, false);
  else SaveImageAs(false);
}

void ImageFileCommands::SaveImageAs(bool asShown) {
  FileDialogOptions o;
  o.initialDir = settings_.SavePath;
  o.filter = kSaveFilter;
  o.filterIndex = SaveFilterIndex(settings_.AutoExt);
  if (!RunSaveDialog(app_.Window(), o)) return;
  const std::string name = SaveAsTargetName(o.fileName, o.filterIndex);
  if (FileExists(name) &&
      ShowMessage(app_.Window(), OverwriteQuestion(name), app_.DialogCaption(), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  WriteImageFile(name, false, asShown);
}

void ImageFileCommands::WriteImageFile(const std::string& name, bool silent, bool asShown) {
  WaitCursor wait;
  if (!silent) currentFileName_ = name;
  ImageDocument& doc = doc_.Document();
  // The picture as the outputs take it (marks painted in); what is on show
  // is written with 24 bits a pixel, whatever it is held in.
  Picture shown24;
  const Picture* source = asShown ? &doc.OutputShown() : &doc.OutputPicture();
  if (asShown && source->bpp != 24) source = &(shown24 = ConvertTo24(*source));
  WriteImageFileBytes(name, *source);  // replaces the old file only when the new one is complete
  if (!silent) {
    doc.NoteSaved();
    settings_.SavePath = ExtractFilePath(name);
    doc.SetStatusAction(name);
    doc_.ShowImageStatus();
  }
  if (!saveWritten_) {
    saveWritten_ = true;
    app_.UpdateCommands();
  }
}

void ImageFileCommands::AutoSaveImage() {
  AutoSaveSlot slot = NextFreeAutoSave(settings_.AutoSavePath, settings_.AutoPrefix, settings_.NextSaveNo,
                                       settings_.AutoExt, [](const std::string& n) { return FileExists(n); });
  settings_.NextSaveNo = static_cast<int32_t>(std::min<int64_t>(slot.nextCounter, INT32_MAX));
  if (SettingsStore* store = app_.Store()) store->WriteString("NextSaveNo", std::to_string(settings_.NextSaveNo));
  if (!slot.found) {
    ShowMessage(app_.Window(), "Every numbered name " + settings_.AutoPrefix + "-00000" + settings_.AutoExt + " to " +
                    settings_.AutoPrefix + "-99999" + settings_.AutoExt + " is taken in " + settings_.AutoSavePath +
                    ".\r\nThe capture was not saved.",
                app_.DialogCaption(), MB_OK | MB_ICONWARNING);
    return;
  }
  // Said with the status of this save, and kept until the next picture comes.
  doc_.Document().SetStatusNote(
      slot.skipped ? " - saved as " + ExtractFileName(slot.name) + " (numbered names before it already existed)" : "");
  WriteImageFile(slot.name, false, false);
  MessageBeep(0);
}

void ImageFileCommands::Open() {
  TOpenPictureDialog2 dialog;
  std::string name;
  if (dialog.Execute(app_.Window(), settings_.OpenPath, kOpenFilter, kOpenFilterAll, name) && OpenFileByName)
    OpenFileByName(name);
}

void ImageFileCommands::LoadImageFile(const std::string& name, bool greys) {
  WaitCursor wait;
  doc_.SaveUndo();
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
    ShowMessage(app_.Window(), "Unable to read or decrypt the image", app_.DialogCaption(), MB_OK | MB_ICONWARNING);
    return;
  }
  ImageDocument& doc = doc_.Document();
  doc.SetFullImage(std::move(pic));
  if (greys) doc.NoteEdit();  // the same picture, turned grey
  if (openedDecrypted_) {
    if (FileExists(name)) DeleteFileUtf8(name);
    currentFileName_.clear();
    lastOpenedFile_.clear();
  } else if (!greys) {
    currentFileName_ = name;
    lastOpenedFile_ = name;
    settings_.OpenPath = ExtractFilePath(name);
  }
  doc_.ResetZoom();
  doc_.RenderView(1.0);
  if (!greys) doc.SetStatusAction(openedDecrypted_ ? "Encrypted Image" : name);
  doc_.ShowImageStatus();  // greys keep the action, but the view went back to 1:1
  app_.UpdateCommands();
}

void ImageFileCommands::OpenAdjacentNumbered(bool next) {
  auto name = AdjacentNumberedName(lastOpenedFile_, IncludeTrailingBackslash(settings_.OpenPath), next);
  if (name && FileExists(*name)) LoadImageFile(*name, false);
  else Open();
}

void ImageFileCommands::Greys() {
  WaitCursor wait;
  const std::string temp = dataFolder_ + "~~tmp.jpg";
  ScopeExit remove([&] {
    if (FileExists(temp)) DeleteFileUtf8(temp);
  });
  WriteImageFile(temp, true, false);
  LoadImageFile(temp, true);
}

}  // namespace griv
