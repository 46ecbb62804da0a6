// Every feature of the program, made once the main window exists: each is a
// controller of its own folder with its commands as rows of its own table.
// This is the one place that knows them all; it wires the few requests one
// feature makes of another (the steps after a capture, opening a file).
//
// A new feature: a member here, its AddTo(table) in the constructor, its
// menu items in resources/griv.rc and its rows in its own folder's table.
#pragma once
#include <string>

#include "app/view_commands_win.h"
#include "capture/capture_commands_win.h"
#include "capture/clipboard_commands_win.h"
#include "capture/stamping_win.h"
#include "crypto/encrypted_files_win.h"
#include "hotkeys/capture_hot_keys_win.h"
#include "hotkeys/hk_set_win.h"
#include "image/image_file_commands_win.h"
#include "mail/mail_commands_win.h"
#include "markup/markup_commands_win.h"
#include "options/options_commands_win.h"
#include "printing/print_commands_win.h"
#include "tray/branding.h"
#include "tray/help_commands_win.h"

namespace griv {

struct ProgramFolders {
  std::string exe, data, work;  // each ends with a backslash
};

struct Features {
  Features(AppWindow& app, ViewCommands& view, Settings& settings, const Branding& brand,
           const ProgramFolders& folders, CaptureHotKeys& hotKeys, TfrmHKSet& hotKeyEditor, CommandTable& table);
  Features(const Features&) = delete;
  Features& operator=(const Features&) = delete;

  ImageFileCommands files;
  ProgramEncryptedFilesHost cryptoHost;
  EncryptedFiles encryptedFiles;
  PrintCommands print;
  MailCommands mail;
  StampCommands stamp;
  MarkupCommands markup;
  CaptureCommands capture;
  ClipboardCommands clipboard;
  OptionsCommands options;
  HelpCommands help;
};

}  // namespace griv
