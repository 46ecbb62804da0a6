// Printing from the main window: the picture on one page (by the menu, the
// tool button, Ctrl+N with notes and Auto Print), the notes prompt, the
// printer setup, the print preview and the console's text copies.
#include <optional>

#include "app/main_form_win.h"
#include "app/settings_host_win.h"
#include "base/scope_exit.h"
#include "printing/preview_win.h"
#include "printing/text_print_win.h"
#include "resource.h"
#include "ui/clipboard_win.h"
#include "printing/get_notes_win.h"
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

SpeedButton::GlyphPainter GlyphOf(Glyph g) {
  return [g](HDC dc, const RECT& r, bool enabled, int dpi) { DrawGlyph(dc, r, g, enabled, dpi); };
}

}  // namespace

ImagePrintOptions TfrmCaptureForm::PrintOptions() const {
  ImagePrintOptions o;
  o.printStyle = settings_.PrintStyle;
  o.zoom = doc_.ZoomRatio();
  o.autoOrient = settings_.AutoOrient;
  o.printDate = settings_.PrintDate;
  o.eject = settings_.Eject;
  o.caption = brand_.printCaption;
  return o;
}

void TfrmCaptureForm::ApplyPrinterChoice(const PrinterChoice& choice) {
  printer_.Select(choice.name);
  if (choice.orientationKnown) printer_.SetLandscape(choice.landscape);
}

void TfrmCaptureForm::SetHotKeysActive(bool on) {
  // The window may have been closed from the tray while a print or the preview ran.
  if (shk1_) shk1_->SetActive(on);
}

bool TfrmCaptureForm::AskNotes(HWND owner) {
  RECT r{};
  GetWindowRect(Handle(), &r);
  return ::griv::AskNotes(inst_, owner ? owner : Handle(), r.left + 15, r.top + 25, noteLines_);
}

void TfrmCaptureForm::PrintImage(bool withNotes) {
  HotKeysOff keys(*this);
  if (withNotes && !AskNotes()) return;
  SetStatusText(0, kPrintingStatus);
  UpdateWindow(statusBar_);
  ScopeExit status([&] { ShowImageStatus(); });
  ImagePrintOptions options = PrintOptions();
  if (withNotes) options.notes = &noteLines_;
  bool printed = false;
  {
    WaitCursor wait;
    printed = ::griv::PrintImage(printer_, doc_.FullImage(), options);
  }
  if (!printed) ShowMessage(kPrintFailedMessage, dialogCaption_, MB_OK | MB_ICONWARNING);
}

void TfrmCaptureForm::PrintWithNotesKey() {
  if (!doc_.Present() || doc_.FullImage().Empty()) return;  // nothing to print
  if (!printSetupEnabled_) {
    ShowMessage(kNoPrinter, dialogCaption_, MB_OK | MB_ICONWARNING);
    return;
  }
  PrintImage(true);
}

void TfrmCaptureForm::PrintSetup1Click() {
  if (!printSetupEnabled_) return;
  WaitCursor wait;
  printer_.SetupDialog(Handle());
}

void TfrmCaptureForm::PrintPreview1Click() {
  if (doc_.FullImage().Empty()) return;
  HotKeysOff keys(*this);
  PreviewOptions options;
  options.print = PrintOptions();
  options.printNotes = settings_.PrintNotes;
  options.askNotes = [this](HWND owner, std::vector<std::string>& notes) {
    const bool ok = AskNotes(owner);
    notes = noteLines_;
    return ok;
  };
  options.dialogCaption = dialogCaption_;
  options.setupGlyph = GlyphOf(Glyph::PrintSetup);
  options.printGlyph = GlyphOf(Glyph::Print);
  options.cancelGlyph = GlyphOf(Glyph::Exit);
  std::optional<WaitCursor> wait(std::in_place);
  // Without a printer this throws, and the general error report says so.
  TPreviewForm preview(inst_, Handle(), printer_, doc_.FullImage(), std::move(options));
  wait.reset();
  preview.ShowModal();
}

void TfrmCaptureForm::PrintConsoleText() {
  shk1_->SetActive(false);
  // Also after a failed print, whose error the general report shows.
  ScopeExit keys([&] { SetHotKeysActive(true); });
  const std::wstring text = ClipboardText(Handle());
  auto windowFont = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  if (!windowFont) windowFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const PrintFont font = ConsolePrintFont(windowFont, settings_.DosFont);
  PrintText(printer_, text, &font);
  ShowWindow(Handle(), SW_HIDE);
}

}  // namespace griv
