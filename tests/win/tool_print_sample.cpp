// griv-print-sample: prints through GRIV's own printing code, for the end-to-end
// tests to find on paper.
//   griv-print-sample [--printer NAME] image STYLE ZOOM W H ORIENT DATE EJECT CAPTION [NOTE...]
//       a W x H colour pattern (quadrants red, green / blue, yellow); ORIENT is
//       auto, portrait or landscape; DATE and EJECT are 0 or 1
//   griv-print-sample [--printer NAME] text FILE [FACE POINTS]
//       the UTF-8 text of FILE through the console text printer
//   griv-print-sample [--printer NAME] preview W H SCALE DATE CAPTION
//       the pattern as the print preview prints it at SCALE
//   griv-print-sample abort
//       begins a job, draws the pattern, then fails it (nothing may come out)
//   griv-print-sample setup
//       the printer setup dialog, then a 600 x 300 pattern in style Zoom on what it chose
//   griv-print-sample vanish
//       reads the printer's settings, deletes the printer, then prints the pattern
// Prints what it used: "page W H DPIX DPIY OFFX OFFY LANDSCAPE", "placement L T W H",
// "font AVGWIDTH HEIGHT", "date D", "time T", and last "result 1" (or 0 on failure).
#include <windows.h>
#include <shellapi.h>
#include <winspool.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/utf.h"
#include "printing/print_job_win.h"
#include "printing/text_print_win.h"

using namespace griv;

namespace {

Picture Pattern(int w, int h) {
  Picture p;
  p.Resize(w, h, 24);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = p.Row(y);
    for (int x = 0; x < w; ++x) {
      const bool right = x >= w / 2, bottom = y >= h / 2;
      // B, G, R
      uint8_t b = 0, g = 0, r = 0;
      if (!right && !bottom) r = 255;                  // red
      if (right && !bottom) g = 255;                   // green
      if (!right && bottom) b = 255;                   // blue
      if (right && bottom) r = g = 255;                // yellow
      row[x * 3] = b;
      row[x * 3 + 1] = g;
      row[x * 3 + 2] = r;
    }
  }
  return p;
}

void Report(Printer& printer) {
  PrinterPage page;
  if (printer.QueryPage(page))
    std::printf("page %d %d %d %d %d %d %d\n", page.width, page.height, page.dpiX, page.dpiY, page.offsetX,
                page.offsetY, page.landscape ? 1 : 0);
}

int Image(Printer& printer, const std::vector<std::string>& a) {
  if (a.size() < 8) return 2;
  const std::string style = a[0];
  const double zoom = std::stod(a[1]);
  const int w = std::stoi(a[2]), h = std::stoi(a[3]);
  const std::string orient = a[4];
  ImagePrintOptions o;
  o.printStyle = style;
  o.zoom = zoom;
  o.autoOrient = orient == "auto";
  if (orient == "portrait" || orient == "landscape") printer.SetLandscape(orient == "landscape");
  o.printDate = a[5] == "1";
  o.eject = a[6] == "1";
  o.caption = a[7];
  std::vector<std::string> notes(a.begin() + 8, a.end());
  if (!notes.empty()) o.notes = &notes;
  Picture pic = Pattern(w, h);
  std::printf("date %s\ntime %s\n", ShortDateNow().c_str(), ShortTimeNow().c_str());
  bool ok = PrintImage(printer, pic, o);
  Report(printer);
  PrinterPage page;
  if (printer.QueryPage(page)) {
    PrintPlacement p = PlaceImage(ParsePrintFit(style), w, h, zoom, page.width, page.height, printer.Landscape());
    std::printf("placement %d %d %d %d\n", p.Left, p.Top, p.Width, p.Height);
  }
  return ok ? 0 : 1;
}

int Preview(Printer& printer, const std::vector<std::string>& a) {
  if (a.size() < 5) return 2;
  const int w = std::stoi(a[0]), h = std::stoi(a[1]);
  const double scale = std::stod(a[2]);
  ImagePrintOptions o;
  o.printDate = a[3] == "1";
  o.caption = a[4];
  PrinterPage page;
  if (!printer.QueryPage(page)) return 1;
  PreviewPage pp = SetupPreviewPage(page.width, page.height, page.dpiX, page.landscape);
  PreviewBox box = PlacePreviewBox(pp, w, h, scale);
  Picture pic = Pattern(w, h);
  bool ok = PrintFromPreview(printer, pic, pp, box, scale, o);
  Report(printer);
  PrintPlacement p = PreviewPrintPlacement(pp, box, w, h, scale, page.width, page.height);
  std::printf("placement %d %d %d %d\n", p.Left, p.Top, p.Width, p.Height);
  return ok ? 0 : 1;
}

int Text(Printer& printer, const std::vector<std::string>& a) {
  if (a.empty()) return 2;
  std::ifstream in(Widen(a[0]).c_str(), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  PrintFont font;
  if (a.size() >= 3) {
    font.face = Widen(a[1]);
    font.points = std::stoi(a[2]);
  }
  Report(printer);
  // The font's measures on this printer, for the test to work out tab columns.
  if (UniqueMemDC dc = printer.OpenDC()) {
    UniqueFont f = CreatePrintFont(dc.get(), font);
    SelectObj sel(dc.get(), f.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    std::printf("font %ld %ld\n", tm.tmAveCharWidth, tm.tmHeight);
  }
  try {
    PrintText(printer, Widen(ss.str()), &font);
    return 0;
  } catch (const EPrintTextError& e) {
    std::printf("error %s\n", e.what());
    return 1;
  }
}

int Abort(Printer& printer) {
  UniqueMemDC dc = printer.OpenDC();
  if (!dc) return 1;
  PrintJob job(dc.get());
  if (!job.Begin(L"GRIV aborted job")) return 1;
  Picture pic = Pattern(40, 30);
  if (!PrintDIB(dc.get(), 125, 125, 400, 300, pic)) return 1;
  job.Fail();
  // Nothing more goes through a failed job.
  return !job.Ok() && !job.NewPage() && !job.End() ? 0 : 1;
}

int Setup(Printer& printer) {
  const bool before = printer.Landscape();
  const bool ok = printer.SetupDialog(nullptr);
  std::printf("dialog %d\nlandscape %d %d\n", ok ? 1 : 0, before ? 1 : 0, printer.Landscape() ? 1 : 0);
  std::fflush(stdout);
  ImagePrintOptions o;
  o.printStyle = "Zoom";
  Picture pic = Pattern(600, 300);
  bool printed = PrintImage(printer, pic, o);
  Report(printer);
  return ok && printed ? 0 : 1;
}

int Vanish(Printer& printer) {
  PrinterPage page;
  if (!printer.QueryPage(page)) return 1;
  std::wstring name = printer.Name();
  PRINTER_DEFAULTSW pd{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE h = nullptr;
  if (!OpenPrinterW(name.data(), &h, &pd)) return 1;
  BOOL deleted = DeletePrinter(h);
  ClosePrinter(h);
  std::printf("deleted %d\n", deleted ? 1 : 0);
  ImagePrintOptions o;
  Picture pic = Pattern(40, 30);
  bool printed = PrintImage(printer, pic, o);
  std::printf("printed %d\n", printed ? 1 : 0);
  return printed ? 1 : 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Narrow(wargv[i]));
  Printer printer;
  if (args.size() >= 2 && args[0] == "--printer") {
    printer.Select(Widen(args[1]));
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return 2;
  const std::string cmd = args[0];
  args.erase(args.begin());
  int rc = 2;
  if (cmd == "image") rc = Image(printer, args);
  if (cmd == "text") rc = Text(printer, args);
  if (cmd == "preview") rc = Preview(printer, args);
  if (cmd == "abort") rc = Abort(printer);
  if (cmd == "vanish") rc = Vanish(printer);
  if (cmd == "setup") rc = Setup(printer);
  std::printf("result %d\n", rc == 0 ? 1 : 0);
  std::fflush(stdout);
  return rc;
}
