// Printing from the main window: the picture on one page (by the menu, the
// tool button, Ctrl+N with notes and Auto Print), the notes prompt, the
// printer setup, the print preview and the console's text copies.
#pragma once
#include <string>
#include <vector>

#include "image/document_host_win.h"
#include "options/settings.h"
#include "printing/printer_win.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

struct ImagePrintOptions;

class PrintCommands {
 public:
  PrintCommands(AppWindow& app, DocumentHost& doc, const Settings& settings, const std::string& printCaption)
      : app_(app), doc_(doc), settings_(settings), printCaption_(printCaption) {}

  void AddTo(CommandTable& table);
  // At start-up, once the settings are read: the printer they chose, and
  // whether there is one that can be set up at all.
  void Start(const PrinterChoice& choice);
  bool PrinterReady() const { return setupEnabled_; }
  // Printers come and go while GRIV runs: looked at again when the system
  // says its settings changed and before a print command runs. The state of
  // start-up holds while the system lists the same printers.
  void RecheckPrinter();

  // "Print", with the notes when "Add Notes to Image" is on (also Auto Print).
  void Print() { PrintImage(settings_.PrintNotes); }
  // Ctrl+N: with notes, and a word when there is no printer.
  void PrintWithNotesKey();
  // The text a full-screen console copied to the clipboard.
  void PrintConsoleText();

 private:
  void PrintImage(bool withNotes);
  bool AskNotes(HWND owner = nullptr);
  void Setup();
  void Preview();
  ImagePrintOptions Options() const;

  AppWindow& app_;
  DocumentHost& doc_;
  const Settings& settings_;
  const std::string& printCaption_;
  Printer printer_;
  std::vector<std::string> noteLines_;  // NoteLines: the notes last entered
  std::vector<std::wstring> printers_;   // as last listed
  bool setupEnabled_ = false;
};

}  // namespace griv
