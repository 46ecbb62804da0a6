// "Send as Email": the image on show goes to the mail program, through the
// send-mail window and the Simple MAPI client, or through Outlook.
#pragma once
#include <string>

#include "image/image_file_commands_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

class MailCommands {
 public:
  MailCommands(AppWindow& app, const ImageDocument& doc, const Settings& settings, ImageFileCommands& files,
               std::string workFolder)
      : app_(app), doc_(doc), settings_(settings), files_(files), workFolder_(std::move(workFolder)) {}

  void AddTo(CommandTable& table);

 private:
  void SendMail();
  // The file that goes with the mail: the image's own file when it has one,
  // else the full image written as a JPEG into the work folder; none without an image.
  std::string Attachment();

  AppWindow& app_;
  const ImageDocument& doc_;
  const Settings& settings_;
  ImageFileCommands& files_;
  std::string workFolder_;
  // Cleared for the rest of the run once the mail client was found missing.
  bool mailAvailable_ = true;
};

}  // namespace griv
