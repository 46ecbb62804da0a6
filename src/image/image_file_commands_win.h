// The image files of the main window: open, save, save as (also as shown),
// numbered saves, the previous and next numbered file, and greys, which
// goes through a JPEG of greys. It owns the current file's name.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "base/date_time_name.h"
#include "image/document_host_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

class ImageFileCommands {
 public:
  ImageFileCommands(AppWindow& app, DocumentHost& doc, Settings& settings, std::string dataFolder);

  void AddTo(CommandTable& table);
  // Opens any file by name, decrypting encrypted kinds first (the window sets it).
  std::function<void(const std::string& file)> OpenFileByName;
  // When the picture on show was captured, for saves named by date and time
  // (the capture history's time); unset or nullopt: now.
  std::function<std::optional<LocalTime>()> CaptureTime;
  // A file has become the picture (not greys, which change the picture on show).
  std::function<void()> OnOpened;

  // A numbered save: the next free name of the numbered series (Auto Save, Ctrl+F2).
  void AutoSaveImage();
  // Ctrl+PgUp / Ctrl+PgDn: the numbered file before or after the one opened last.
  void OpenAdjacentNumbered(bool next);
  // Writes the full image (or what is shown, at 24 bits) to name. silent: a
  // work copy, which leaves the file name, the save folder and the status alone.
  void WriteImageFile(const std::string& name, bool silent, bool asShown);
  void LoadImageFile(const std::string& name, bool greys);
  // The next load is of a plain copy decrypted into the work folder.
  void SetOpenedDecrypted(bool on) { openedDecrypted_ = on; }

  // A new picture that is no file's (a capture, a paste).
  void ForgetFileName() { currentFileName_.clear(); }
  const std::string& CurrentFileName() const { return currentFileName_; }

 private:
  void Open();
  void Save();
  void SaveImageAs(bool asShown);
  void Greys();

  AppWindow& app_;
  DocumentHost& doc_;
  Settings& settings_;
  std::string dataFolder_;
  std::string currentFileName_, lastOpenedFile_;
  bool openedDecrypted_ = false;
  bool saveWritten_ = false;
  bool trueColorDisplay_ = true;
};

}  // namespace griv
