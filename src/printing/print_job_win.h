// Printing a picture on the printer: one job with an optional header line above
// the picture and notes below it. Every call reports failure instead of
// throwing, and a job that fails on the way is aborted, never left open.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/picture.h"
#include "printing/preview_math.h"
#include "printing/print_layout.h"
#include "printing/printer_win.h"

namespace griv {

inline constexpr const wchar_t* kImageJobTitle = L"GRIV Print Image";
// What the user is told when a print of the picture fails, whatever the cause.
inline constexpr char kPrintFailedMessage[] = "Printer problem - Unable to print image";

// One print job on a printer device context. Begin starts the document and
// its first page; a failing step aborts the whole job, after which every
// further step fails too. A job still open at destruction is aborted.
class PrintJob {
 public:
  explicit PrintJob(HDC dc) : dc_(dc) {}
  ~PrintJob() { Abort(); }
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  HDC dc() const { return dc_; }
  bool Ok() const { return open_ && !failed_; }
  // title may be empty (the job then has no name of its own).
  bool Begin(const std::wstring& title);
  bool NewPage();
  bool End();
  // Marks the job failed (a drawing step went wrong) and aborts it.
  void Fail();

 private:
  void Abort();
  HDC dc_;
  bool open_ = false, pageOpen_ = false, failed_ = false;
};

// Draws the whole picture stretched into the rectangle (24-bit colour).
bool PrintDIB(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, const Picture& picture);

// The font of the header and notes: a plain sans-serif of a fixed size in
// points, scaled to the printer's resolution. Selected into dc for its life.
class PrintTextFont {
 public:
  explicit PrintTextFont(HDC dc);
  PrintTextFont(const PrintTextFont&) = delete;
  PrintTextFont& operator=(const PrintTextFont&) = delete;
  ~PrintTextFont();

 private:
  HDC dc_;
  UniqueFont font_;
  HGDIOBJ old_ = nullptr;
};

// The header line above a placed picture (nothing is drawn for an empty text).
bool PrintHeader(PrintJob& job, const PrintPlacement& placement, const std::string& text);
// Notes below a placed picture, going on to new pages as needed. pageHeight is
// the printable height in device pixels.
bool PrintNoteLines(PrintJob& job, const PrintPlacement& placement, int32_t pageHeight,
                    const std::vector<std::string>& lines);

// Today's date and the time now, in the user's short formats.
std::string ShortDateNow();
std::string ShortTimeNow();

// Everything one printed page of a picture carries.
struct PicturePrint {
  const Picture* picture = nullptr;
  PrintPlacement placement;
  std::optional<std::string> header;  // none: no header line at all
  const std::vector<std::string>* notes = nullptr;  // none or empty: no notes
  bool eject = false;                 // a blank page after the picture
  std::wstring title;
};
// Runs the whole job on an open printer device context.
bool PrintPicture(HDC dc, const PicturePrint& page);

// The main print command's options.
struct ImagePrintOptions {
  std::string printStyle = "Full";  // "Full", "Best" or "Zoom"
  double zoom = 1.0;                // the view's zoom factor (for "Zoom")
  bool autoOrient = false;
  bool printDate = true;
  bool eject = false;
  std::string caption;              // the brand's print caption
  const std::vector<std::string>* notes = nullptr;  // printed when given and not empty
};

// Prints a picture on one page of the printer: orientation (when autoOrient),
// placement by style, header with date and time or the caption alone, the
// picture, notes, eject. False on any failure, from a missing printer to a job
// the printer refused; nothing is left open.
bool PrintImage(Printer& printer, const Picture& picture, const ImagePrintOptions& options);

// The print preview's print: the picture where the preview shows it, at scale
// printer pixels per picture pixel; a header line only with printDate; no job
// title. printStyle, zoom and autoOrient of options are not used.
bool PrintFromPreview(Printer& printer, const Picture& picture, const PreviewPage& preview, const PreviewBox& box,
                      double scale, const ImagePrintOptions& options);

}  // namespace griv
