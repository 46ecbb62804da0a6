// TPreviewForm: the print preview. The picture on a scaled picture of the
// printer page, the print scale changed by track bar, typed percentage, mouse
// clicks or keypad keys, the printer setup, and a print of the page as shown.
//
//   TPreviewForm preview(inst, mainWindow, printer, picture, options);  // throws without a printer
//   preview.ShowModal();                                                // returns when it closes
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "ids_printing.h"
#include "base/picture.h"
#include "printing/preview_math.h"
#include "printing/print_job_win.h"
#include "printing/printer_win.h"
#include "ui/speed_button_win.h"
#include "ui/window_base_win.h"

namespace griv {

inline constexpr wchar_t kPreviewClassName[] = L"TPreviewForm";
inline constexpr char kPreviewCaption[] = "Print Preview";

// The printer could not be asked for its page.
class EPreviewPrinter : public std::runtime_error {
 public:
  EPreviewPrinter() : std::runtime_error("Unable to show the print preview: no printer can be reached.") {}
};

struct PreviewOptions {
  // Style, zoom, orientation rule, date, eject and caption of the program's
  // print settings (their notes are not used).
  ImagePrintOptions print;
  bool printNotes = false;
  // Asks for the notes of a print (with printNotes); false cancels the print.
  std::function<bool(HWND owner, std::vector<std::string>& notes)> askNotes;
  std::string dialogCaption;  // title of the failure message
  // The glyphs of the setup, print and cancel buttons.
  SpeedButton::GlyphPainter setupGlyph, printGlyph, cancelGlyph;
};

class TPreviewForm : private WindowBase {
 public:
  // Copies the picture, turns the page when the options say so, computes the
  // opening scale and draws the page, in a window owned by owner that is not
  // shown yet. Throws EPreviewPrinter when the printer cannot be reached.
  // resources holds the preview's cursor.
  TPreviewForm(HINSTANCE resources, HWND owner, Printer& printer, const Picture& picture, PreviewOptions options);
  ~TPreviewForm() override;

  // Shows the preview maximised over its disabled owner; returns when it closes.
  void ShowModal();

 private:
  class Panel;
  class ScrollBox;
  class PageImage;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnSize(int width, int height) override;

  void CreateControls();
  void Layout();
  // Keys the form sees before its controls; true when one was used.
  bool PreviewKey(const MSG& msg);

  void SetupPage();
  void DrawPage();
  void SyncTrackBar();
  void ShowZoomSize();
  void ZoomChanged();

  void FormKeyDown(WPARAM key, bool ctrl, bool& handled);
  void Image1MouseDown(int button);
  void ScalePlusButtonClick();
  void ScaleMinusButtonClick();
  void trkBar1Change();
  void memZoomEnter();
  void memZoomKeyDown();
  void SetupSpeedButtonClick();
  void PrintButtonClick();
  void CancelButtonClick() { Close(); }
  void Close();

  HINSTANCE resources_;
  Printer& printer_;
  Picture previewPicture_;  // PreviewPicture
  PreviewOptions options_;
  PreviewZoom zoom_;
  PrinterPage printerPage_;
  PreviewPage page_;
  PreviewBox box_;
  std::vector<std::string> notes_;
  HCURSOR cursor_ = nullptr;
  int dpi_ = 96;
  bool done_ = false;

  UniqueFont panelFont_;
  std::unique_ptr<Panel> panel_;
  std::unique_ptr<ScrollBox> scrollBox_;
  std::unique_ptr<PageImage> image_;
  SpeedButton setupButton_, printButton_, cancelButton_, plusButton_, minusButton_;
  HWND label_ = nullptr, memZoom_ = nullptr, trkBar1_ = nullptr, tips_ = nullptr;
};

}  // namespace griv
