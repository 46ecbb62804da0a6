// Printing from the main window: the picture on one page (by the menu, the
// tool button, Ctrl+N with notes and Auto Print), the notes prompt, the
// printer setup, the print preview and the console's text copies.
#include "printing/print_commands_win.h"

#include <optional>

#include "base/scope_exit.h"
#include "ids_app.h"
#include "printing/get_notes_win.h"
#include "printing/preview_win.h"
#include "printing/print_commands.h"
#include "printing/text_print_win.h"
#include "ui/clipboard_win.h"
#include "ui/glyphs_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {

constexpr char kPrintingStatus[] = "Printing........";
constexpr char kNoPrinter[] = "No printer is installed - Unable to print image";

// The text on the clipboard; empty when there is none or it cannot be opened.
// The wide form keeps every character a console copied, whatever the code page.
std::wstring ClipboardText(HWND owner) {
  ClipboardSession clipboard(owner);
  if (!clipboard) return {};
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    const auto* p = static_cast<const wchar_t*>(GlobalLock(data));
    if (!p) return {};
    std::wstring text(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
    GlobalUnlock(data);
    return text;
  }
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    const auto* p = static_cast<const char*>(GlobalLock(data));
    if (!p) return {};
    const int n = static_cast<int>(strnlen(p, GlobalSize(data)));
    std::wstring text(static_cast<size_t>(n), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, p, n, text.data(), n)));
    GlobalUnlock(data);
    return text;
  }
  return {};
}

}  // namespace

void PrintCommands::AddTo(CommandTable& table) {
  table.Add(PrintCommandRules(), {{CM_PRINTSETUP, CM_PRINTSETUP, [this](int) { Setup(); }},
                                  {CM_PRINTPREVIEW, CM_PRINTPREVIEW, [this](int) { Preview(); }},
                                  {CM_PRINT, CM_PRINT, [this](int) { Print(); }}});
  table.AddState([this](CommandContext& c) { c.printer = setupEnabled_; });
}

void PrintCommands::Start(const PrinterChoice& choice) {
  printers_ = ListPrinters();
  setupEnabled_ = !printers_.empty() && settings_.PrintSetupEnabled;
  printer_.Select(choice.name);
  if (choice.orientationKnown) printer_.SetLandscape(choice.landscape);
}

void PrintCommands::RecheckPrinter() {
  std::vector<std::wstring> now = ListPrinters();
  if (now == printers_) return;
  printers_ = std::move(now);
  const bool ready = !printers_.empty();
  if (ready == setupEnabled_) return;
  setupEnabled_ = ready;
  app_.UpdateCommands();
}

ImagePrintOptions PrintCommands::Options() const {
  ImagePrintOptions o;
  o.printStyle = settings_.PrintStyle;
  o.zoom = doc_.Document().ZoomRatio();
  o.autoOrient = settings_.AutoOrient;
  o.printDate = settings_.PrintDate;
  o.eject = settings_.Eject;
  o.caption = printCaption_;
  return o;
}

bool PrintCommands::AskNotes(HWND owner) {
  RECT r{};
  GetWindowRect(app_.Window(), &r);
  return ::griv::AskNotes(app_.Resources(), owner ? owner : app_.Window(), r.left + 15, r.top + 25, noteLines_);
}

void PrintCommands::PrintImage(bool withNotes) {
  HotKeysOff keys(app_);
  if (withNotes && !AskNotes()) return;
  app_.SetStatusText(kPrintingStatus);
  ScopeExit status([&] { doc_.ShowImageStatus(); });
  ImagePrintOptions options = Options();
  if (withNotes) options.notes = &noteLines_;
  bool printed = false;
  {
    WaitCursor wait;
    printed = ::griv::PrintImage(printer_, doc_.Document().OutputPicture(), options);
  }
  if (!printed) ShowMessage(app_.Window(), kPrintFailedMessage, app_.DialogCaption(), MB_OK | MB_ICONWARNING);
}

void PrintCommands::PrintWithNotesKey() {
  const ImageDocument& doc = doc_.Document();
  if (!doc.Present() || doc.FullImage().Empty()) return;  // nothing to print
  RecheckPrinter();
  if (!setupEnabled_) {
    ShowMessage(app_.Window(), kNoPrinter, app_.DialogCaption(), MB_OK | MB_ICONWARNING);
    return;
  }
  PrintImage(true);
}

void PrintCommands::Setup() {
  if (!setupEnabled_) return;
  WaitCursor wait;
  printer_.SetupDialog(app_.Window());
}

void PrintCommands::Preview() {
  if (doc_.Document().FullImage().Empty()) return;
  const Picture& full = doc_.Document().OutputPicture();
  HotKeysOff keys(app_);
  PreviewOptions options;
  options.print = Options();
  options.printNotes = settings_.PrintNotes;
  options.askNotes = [this](HWND owner, std::vector<std::string>& notes) {
    const bool ok = AskNotes(owner);
    notes = noteLines_;
    return ok;
  };
  options.dialogCaption = app_.DialogCaption();
  options.setupGlyph = GlyphPainterOf(Glyph::PrintSetup);
  options.printGlyph = GlyphPainterOf(Glyph::Print);
  options.cancelGlyph = GlyphPainterOf(Glyph::Exit);
  std::optional<WaitCursor> wait(std::in_place);
  // Without a printer this throws, and the general error report says so.
  TPreviewForm preview(app_.Resources(), app_.Window(), printer_, full, std::move(options));
  wait.reset();
  preview.ShowModal();
}

void PrintCommands::PrintConsoleText() {
  // Also after a failed print, whose error the general report shows.
  HotKeysOff keys(app_);
  const HWND window = app_.Window();
  const std::wstring text = ClipboardText(window);
  auto windowFont = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (!windowFont) windowFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const PrintFont font = ConsolePrintFont(windowFont, settings_.DosFont);
  PrintText(printer_, text, &font);
  ShowWindow(window, SW_HIDE);
}

}  // namespace griv
