#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "base/dib_win.h"
#include "base/handles_win.h"
#include "printing/print_job_win.h"
#include "printing/text_print_win.h"

using namespace griv;

namespace {

// A white 32-bit canvas standing in for a printer page.
struct Canvas {
  UniqueMemDC dc{CreateCompatibleDC(nullptr)};
  DibSection dib;
  HGDIOBJ old = nullptr;
  int w, h;
  Canvas(int width, int height) : w(width), h(height) {
    Picture p;
    p.Resize(w, h, 32);
    std::fill(p.pixels.begin(), p.pixels.end(), 0xFF);
    MakeDibSection(p, dib, true);
    old = SelectObject(dc.get(), dib.bitmap.get());
  }
  ~Canvas() { SelectObject(dc.get(), old); }
  COLORREF At(int x, int y) const {
    const uint8_t* px = static_cast<const uint8_t*>(dib.bits) + (static_cast<size_t>(y) * w + x) * 4;
    return RGB(px[2], px[1], px[0]);
  }
};

// Four cells: red, green / blue, white, in the given depth.
Picture Cells(int bits) {
  Picture p;
  p.Resize(2, 2, bits);
  const COLORREF c[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  for (int i = 0; i < 4; ++i) {
    uint8_t* px = p.Row(i / 2);
    const int x = i % 2;
    if (bits == 8) {
      p.palette.push_back(GetRValue(c[i]) << 16 | GetGValue(c[i]) << 8 | GetBValue(c[i]));
      px[x] = static_cast<uint8_t>(i);
    } else {
      const int n = bits / 8;
      px[x * n] = GetBValue(c[i]);
      px[x * n + 1] = GetGValue(c[i]);
      px[x * n + 2] = GetRValue(c[i]);
    }
  }
  return p;
}

}  // namespace

TEST(PrintDIB, StretchesTheWholePictureIntoTheRectangleTheRightWayUp) {
  for (int bits : {24, 32, 8}) {
    Canvas page(60, 50);
    ASSERT_TRUE(PrintDIB(page.dc.get(), 10, 5, 40, 30, Cells(bits))) << bits;
    EXPECT_EQ(page.At(15, 10), RGB(255, 0, 0)) << bits;   // top left cell stays on top
    EXPECT_EQ(page.At(45, 10), RGB(0, 255, 0)) << bits;
    EXPECT_EQ(page.At(15, 30), RGB(0, 0, 255)) << bits;
    EXPECT_EQ(page.At(10, 5), RGB(255, 0, 0)) << bits;    // first and last pixels inside
    EXPECT_EQ(page.At(49, 34), RGB(255, 255, 255)) << bits;
    EXPECT_EQ(page.At(9, 10), RGB(255, 255, 255)) << bits;  // nothing outside
    EXPECT_EQ(page.At(15, 35), RGB(255, 255, 255)) << bits;
  }
}

TEST(PrintDIB, RefusesNothingToDraw) {
  Canvas page(10, 10);
  EXPECT_FALSE(PrintDIB(page.dc.get(), 0, 0, 5, 5, Picture()));
  EXPECT_FALSE(PrintDIB(page.dc.get(), 0, 0, 0, 5, Cells(24)));
  EXPECT_EQ(page.At(0, 0), RGB(255, 255, 255));
}

TEST(PrintJobTest, ADeviceThatRefusesTheDocumentFailsEveryStep) {
  Canvas screen(10, 10);  // not a printer: no document can start
  PrintJob job(screen.dc.get());
  EXPECT_FALSE(job.Begin(kImageJobTitle));
  EXPECT_FALSE(job.Ok());
  EXPECT_FALSE(job.NewPage());
  EXPECT_FALSE(job.End());
  EXPECT_FALSE(PrintHeader(job, PrintPlacement{125, 125, 10, 10}, "Caption"));
  std::vector<std::string> notes{"a"};
  EXPECT_FALSE(PrintNoteLines(job, PrintPlacement{125, 125, 10, 10}, 3000, notes));
  PicturePrint p;
  Picture pic = Cells(24);
  p.picture = &pic;
  p.placement = {1, 1, 4, 4};
  EXPECT_FALSE(PrintPicture(screen.dc.get(), p));
}

TEST(PrinterTest, AMissingPrinterFailsWithoutCrashing) {
  Printer printer;
  printer.Select(L"GRIV Printer That Does Not Exist");
  EXPECT_FALSE(printer.OpenDC());
  PrinterPage page;
  EXPECT_FALSE(printer.QueryPage(page));
  EXPECT_FALSE(printer.SetLandscape(true));
  EXPECT_TRUE(printer.Landscape());  // the wish is kept for when it can be applied
  Picture pic = Cells(24);
  ImagePrintOptions o;
  o.autoOrient = true;
  EXPECT_FALSE(PrintImage(printer, pic, o));
  o.autoOrient = false;
  EXPECT_FALSE(PrintImage(printer, pic, o));
  EXPECT_THROW(PrintText(printer, L"text"), EPrintTextError);
  // Empty text is no job at all, so no printer is needed.
  EXPECT_NO_THROW(PrintText(printer, L""));
}

TEST(PrinterTest, WithoutAnyPrinterTheDefaultIsEmpty) {
  if (!ListPrinters().empty()) GTEST_SKIP() << "this prefix has printers";
  Printer printer;
  EXPECT_EQ(printer.Name(), L"");
  EXPECT_FALSE(printer.OpenDC());
  EXPECT_FALSE(PrintImage(printer, Cells(24), ImagePrintOptions{}));
}

TEST(ConsolePrintFontTest, TakesTheWindowFontsStyleAtEightPointsInTheChosenFace) {
  LOGFONTW lf{};
  lf.lfHeight = -40;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = TRUE;
  lf.lfCharSet = ANSI_CHARSET;
  wcscpy(lf.lfFaceName, L"Tahoma");
  UniqueFont window(CreateFontIndirectW(&lf));
  PrintFont f = ConsolePrintFont(window.get(), "Arial");
  EXPECT_EQ(f.face, L"Arial");
  EXPECT_EQ(f.points, 8);
  EXPECT_EQ(f.weight, FW_BOLD);
  EXPECT_TRUE(f.italic);
  EXPECT_EQ(f.charset, ANSI_CHARSET);
  // A face name longer than a font can carry is cut, not overrun.
  EXPECT_EQ(ConsolePrintFont(nullptr, std::string(40, 'x')).face.size(), size_t{LF_FACESIZE - 1});
}

TEST(PrintDateTime, ShortFormatsAreFilled) {
  EXPECT_FALSE(ShortDateNow().empty());
  EXPECT_FALSE(ShortTimeNow().empty());
  const std::string t = ShortTimeNow();
  EXPECT_LE(std::count(t.begin(), t.end(), ':'), 1) << t;  // no seconds
}
