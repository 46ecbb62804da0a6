#include "printing/print_job_win.h"

#include <cstring>
#include <exception>

#include "base/utf.h"

namespace griv {

bool PrintJob::Begin(const std::wstring& title) {
  if (open_ || failed_) return false;
  DOCINFOW di{};
  di.cbSize = sizeof di;
  di.lpszDocName = title.c_str();
  if (StartDocW(dc_, &di) <= 0) {
    failed_ = true;
    return false;
  }
  open_ = true;
  if (StartPage(dc_) <= 0) {
    Fail();
    return false;
  }
  pageOpen_ = true;
  return true;
}

bool PrintJob::NewPage() {
  if (!Ok()) return false;
  pageOpen_ = false;
  if (EndPage(dc_) <= 0 || StartPage(dc_) <= 0) {
    Fail();
    return false;
  }
  pageOpen_ = true;
  return true;
}

bool PrintJob::End() {
  if (!Ok()) return false;
  pageOpen_ = false;
  if (EndPage(dc_) <= 0) {
    Fail();
    return false;
  }
  if (EndDoc(dc_) <= 0) {
    Fail();
    return false;
  }
  open_ = false;
  return true;
}

void PrintJob::Fail() {
  failed_ = true;
  Abort();
}

void PrintJob::Abort() {
  if (open_) AbortDoc(dc_);
  open_ = pageOpen_ = false;
}

bool PrintDIB(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, const Picture& picture) {
  if (picture.Empty() || width <= 0 || height <= 0) return false;
  try {
    Picture converted;
    const Picture* src = &picture;
    if (picture.bpp != 24) {
      converted = ConvertTo24(picture);
      src = &converted;
    }
    // Bottom-up rows: the layout every printer driver takes.
    const size_t stride = static_cast<size_t>(src->Stride());
    PixelBuffer bits(stride * static_cast<size_t>(src->height));
    for (int r = 0; r < src->height; ++r)
      std::memcpy(bits.data() + stride * static_cast<size_t>(src->height - 1 - r), src->Row(r), stride);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = src->width;
    bi.bmiHeader.biHeight = src->height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    // Shrinking must not merge pixels as black-on-white would.
    SetStretchBltMode(dc, COLORONCOLOR);
    int lines = StretchDIBits(dc, x, y, width, height, 0, 0, src->width, src->height, bits.data(), &bi,
                              DIB_RGB_COLORS, SRCCOPY);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
  } catch (const std::exception&) {
    return false;  // no memory for the copy
  }
}

namespace {
constexpr int kPrintFontPoints = 10;
}

PrintTextFont::PrintTextFont(HDC dc) : dc_(dc) {
  // The stock font of a printer differs from driver to driver (and is tiny on
  // some): a named face at a size in points looks alike everywhere.
  const int height = -MulDiv(kPrintFontPoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
  font_.reset(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial"));
  if (font_) old_ = SelectObject(dc_, font_.get());
}

PrintTextFont::~PrintTextFont() {
  if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
}

bool PrintHeader(PrintJob& job, const PrintPlacement& placement, const std::string& text) {
  if (!job.Ok()) return false;
  if (text.empty()) return true;
  const std::wstring w = Widen(text);
  SIZE size{};
  if (!GetTextExtentPoint32W(job.dc(), w.c_str(), static_cast<int>(w.size()), &size) ||
      !TextOutW(job.dc(), placement.Left, HeaderTop(placement, size.cy), w.c_str(), static_cast<int>(w.size()))) {
    job.Fail();
    return false;
  }
  return true;
}

bool PrintNoteLines(PrintJob& job, const PrintPlacement& placement, int32_t pageHeight,
                    const std::vector<std::string>& lines) {
  if (!job.Ok()) return false;
  if (lines.empty()) return true;
  SIZE x{};
  if (!GetTextExtentPoint32W(job.dc(), L"X", 1, &x)) {
    job.Fail();
    return false;
  }
  for (const NoteOp& op : LayoutNotes(placement, pageHeight, x.cy, lines.size())) {
    if (op.newPage) {
      if (!job.NewPage()) return false;
      continue;
    }
    const std::wstring w = Widen(lines[op.line]);
    if (w.empty()) continue;
    SIZE size{};
    GetTextExtentPoint32W(job.dc(), w.c_str(), static_cast<int>(w.size()), &size);
    RECT clip{op.x, op.y, op.x + size.cx, op.y + op.height};
    if (!ExtTextOutW(job.dc(), op.x, op.y, ETO_CLIPPED, &clip, w.c_str(), static_cast<UINT>(w.size()), nullptr)) {
      job.Fail();
      return false;
    }
  }
  return true;
}

std::string ShortDateNow() {
  wchar_t buf[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, 128);
  return Narrow(buf);
}

std::string ShortTimeNow() {
  wchar_t buf[128] = {};
  GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buf, 128);
  return Narrow(buf);
}

bool PrintPicture(HDC dc, const PicturePrint& page) {
  if (!dc || !page.picture || page.picture->Empty() || page.placement.Empty()) return false;
  PrintJob job(dc);
  if (!job.Begin(page.title)) return false;
  PrintTextFont font(dc);
  if (page.header && !PrintHeader(job, page.placement, *page.header)) return false;
  const PrintPlacement& p = page.placement;
  if (!PrintDIB(dc, p.Left, p.Top, p.Width, p.Height, *page.picture)) {
    job.Fail();
    return false;
  }
  if (page.notes && !PrintNoteLines(job, p, GetDeviceCaps(dc, VERTRES), *page.notes)) return false;
  if (page.eject && !job.NewPage()) return false;
  return job.End();
}

bool PrintImage(Printer& printer, const Picture& picture, const ImagePrintOptions& options) {
  try {
    if (picture.Empty()) return false;
    if (options.autoOrient && !printer.SetLandscape(AutoOrientLandscape(picture.width, picture.height)))
      return false;
    UniqueMemDC dc = printer.OpenDC();
    if (!dc) return false;
    const PrinterPage page = PageOf(dc.get());
    PicturePrint print;
    print.picture = &picture;
    print.placement = PlaceImage(ParsePrintFit(options.printStyle), picture.width, picture.height, options.zoom,
                                 page.width, page.height, printer.Landscape());
    print.header = HeaderText(options.printDate, ShortDateNow(), ShortTimeNow(), options.caption);
    print.notes = options.notes;
    print.eject = options.eject;
    print.title = kImageJobTitle;
    return PrintPicture(dc.get(), print);
  } catch (const std::exception&) {
    return false;
  }
}

bool PrintFromPreview(Printer& printer, const Picture& picture, const PreviewPage& preview, const PreviewBox& box,
                      double scale, const ImagePrintOptions& options) {
  try {
    if (picture.Empty()) return false;
    UniqueMemDC dc = printer.OpenDC();
    if (!dc) return false;
    const PrinterPage page = PageOf(dc.get());
    PicturePrint print;
    print.picture = &picture;
    print.placement =
        PreviewPrintPlacement(preview, box, picture.width, picture.height, scale, page.width, page.height);
    if (options.printDate) print.header = HeaderText(true, ShortDateNow(), ShortTimeNow(), options.caption);
    print.notes = options.notes;
    print.eject = options.eject;
    return PrintPicture(dc.get(), print);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace griv
