#include "printing/text_print_win.h"

#include "base/handles_win.h"
#include "base/utf.h"
#include "printing/print_job_win.h"
#include "printing/text_stream.h"

namespace griv {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text");

PrintFont ConsolePrintFont(HFONT windowFont, const std::string& dosFont) {
  PrintFont f;
  LOGFONTW lf{};
  if (windowFont && GetObjectW(windowFont, sizeof lf, &lf) == sizeof lf) {
    f.weight = lf.lfWeight;
    f.italic = lf.lfItalic != 0;
    f.charset = lf.lfCharSet;
  }
  f.face = Widen(dosFont).substr(0, LF_FACESIZE - 1);
  f.points = 8;
  return f;
}

UniqueFont CreatePrintFont(HDC dc, const PrintFont& f) {
  return UniqueFont(CreateFontW(-MulDiv(f.points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, f.weight, f.italic,
                                FALSE, FALSE, f.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH, f.face.c_str()));
}

namespace {

std::wstring_view Wide(std::u16string_view s) { return {reinterpret_cast<const wchar_t*>(s.data()), s.size()}; }

// The text stream's view of a printer job; a refused step throws.
class JobTextPage : public TextPage {
 public:
  explicit JobTextPage(PrintJob& job) : job_(job) {
    width_ = GetDeviceCaps(job.dc(), HORZRES);
    height_ = GetDeviceCaps(job.dc(), VERTRES);
    GetTextMetricsW(job.dc(), &tm_);
  }
  int32_t PageWidth() override { return width_; }
  int32_t PageHeight() override { return height_; }
  int32_t TextWidth(std::u16string_view text) override { return Extent(text).cx; }
  int32_t TextHeight(std::u16string_view text) override { return Extent(text).cy; }
  int32_t AverageCharWidth() override { return tm_.tmAveCharWidth; }
  int32_t CharHeight() override { return tm_.tmHeight; }
  void Draw(int32_t x, int32_t y, std::u16string_view text) override {
    auto w = Wide(text);
    if (!TextOutW(job_.dc(), x, y, w.data(), static_cast<int>(w.size()))) {
      job_.Fail();
      throw EPrintTextError();
    }
  }
  void NewPage() override {
    if (!job_.NewPage()) throw EPrintTextError();
  }

 private:
  SIZE Extent(std::u16string_view text) {
    SIZE s{};
    auto w = Wide(text);
    GetTextExtentPoint32W(job_.dc(), w.data(), static_cast<int>(w.size()), &s);
    return s;
  }
  PrintJob& job_;
  int32_t width_ = 0, height_ = 0;
  TEXTMETRICW tm_{};
};

}  // namespace

void PrintText(Printer& printer, const std::wstring& text, const PrintFont* font) {
  if (text.empty()) return;
  UniqueMemDC dc = printer.OpenDC();
  if (!dc) throw EPrintTextError();
  PrintJob job(dc.get());
  if (!job.Begin(L"")) throw EPrintTextError();
  UniqueFont f = CreatePrintFont(dc.get(), font ? *font : PrintFont{});
  SelectObj selected(dc.get(), f.get());
  JobTextPage page(job);
  StreamText(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()), page);
  if (!job.End()) throw EPrintTextError();
}

}  // namespace griv
