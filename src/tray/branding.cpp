#include "tray/branding.h"

#include <exception>

#include "base/file_io.h"
#include "crypto/des.h"
#include "base/ini.h"

namespace griv {

std::string CutTagLine(std::string_view value) {
  size_t chars = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) continue;  // continuation byte
    if (++chars > kTagLineMaxChars) return std::string(value.substr(0, i));
  }
  return std::string(value);
}

Branding ParseBranding(std::string_view iniText) {
  IniFile ini(iniText);
  Branding b;
  const std::string_view s = "Settings";
  b.mainCaption = ini.ReadString(s, "MainCaption", b.mainCaption);
  b.webSite = ini.ReadString(s, "WebSite", b.webSite);
  b.visitUrl = ini.ReadString(s, "VisitUrl", b.visitUrl);
  if (b.visitUrl.empty()) b.visitUrl = kProductWebAddress;
  b.printCaption = ini.ReadString(s, "PrintCaption", b.printCaption);
  b.captionHint = ini.ReadString(s, "CaptionHint", b.captionHint);
  b.leftBorder = ini.ReadInteger(s, "LeftBorder", b.leftBorder);
  b.rightBorder = ini.ReadInteger(s, "RightBorder", b.rightBorder);
  b.taglineFontName = ini.ReadString(s, "TaglineFontName", b.taglineFontName);
  b.taglineBackColor = static_cast<uint32_t>(ini.ReadInteger(s, "TaglineBackColor", int(b.taglineBackColor)));
  b.taglineFontColor = static_cast<uint32_t>(ini.ReadInteger(s, "TaglineFontColor", int(b.taglineFontColor)));
  b.taglineFontBold = ini.ReadInteger(s, "TaglineFontBold", 1) != 0;
  b.taglineFontItalic = ini.ReadInteger(s, "TaglineFontItalic", 1) != 0;

  b.tagLines.clear();
  for (const auto& [key, value] : ini.SectionLines("TagLines")) b.tagLines.push_back(CutTagLine(value));
  if (b.tagLines.empty()) b.tagLines.push_back(b.printCaption);
  return b;
}

TagFontStyle TaglineFontStyle(bool bold, bool italic) {
  if (bold && italic) return TagFontStyle::BoldItalic;
  if (bold) return TagFontStyle::Bold;
  return TagFontStyle::Italic;
}

TagStart StartTagIndex(int stored, size_t lineCount) {
  // A negative stored index is as much out of range as one past the end.
  if (stored < 0 || static_cast<size_t>(stored) >= lineCount) return {0, true};
  return {stored, false};
}

std::vector<uint8_t> EncryptBrand(std::string_view iniText) {
  TDES des;
  des.SetCipherMode(TCipherMode::CBC);
  des.SetIV(kBrandIVText);
  des.SetKey(kBrandKeyText);
  std::vector<uint8_t> out =
      des.EncryptBytes({reinterpret_cast<const uint8_t*>(iniText.data()), iniText.size()});
  des.ClearKeys();
  return out;
}

std::string DecryptBrand(std::span<const uint8_t> data) {
  TDES des;
  des.SetCipherMode(TCipherMode::CBC);
  des.SetIV(kBrandIVText);
  des.SetKey(kBrandKeyText);
  std::vector<uint8_t> plain = des.DecryptBytes(data);  // the destructor wipes the key state on failure
  des.ClearKeys();
  return std::string(plain.begin(), plain.end());
}

std::string BrandTextToUtf8(std::string_view plain, AnsiDecoder fromAnsi) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (plain.substr(0, kBom.size()) == kBom) return std::string(plain.substr(kBom.size()));
  if (IsValidUtf8(plain)) return std::string(plain);
  return fromAnsi(plain);
}

BrandingLoad LoadBrandingFile(const std::string& path, AnsiDecoder fromAnsi) {
  BrandingLoad r;
  try {
    int64_t size = FileSize(path);
    if (size < 0) {
      r.error = "Brand file not found: " + path;
      return r;
    }
    if (static_cast<uint64_t>(size) > kBrandFileMaxSize) {
      r.error = "Brand file too large: " + path;
      return r;
    }
    std::vector<uint8_t> data = ReadWholeFile(path);
    r.branding = ParseBranding(BrandTextToUtf8(DecryptBrand(data), fromAnsi));
    r.ok = true;
  } catch (const std::exception& e) {
    r.branding = Branding{};
    r.error = std::string("Brand file not usable: ") + e.what();
  }
  return r;
}

TagLineLook TagLineLookOf(const Branding& brand) {
  TagLineLook look;
  look.lines = brand.tagLines;
  look.hint = brand.captionHint;
  look.fontName = brand.taglineFontName;
  look.backColor = brand.taglineBackColor;
  look.fontColor = brand.taglineFontColor;
  const TagFontStyle style = TaglineFontStyle(brand.taglineFontBold, brand.taglineFontItalic);
  look.bold = style != TagFontStyle::Italic;
  look.italic = style != TagFontStyle::Bold;
  return look;
}

std::string VisitMenuText(const std::string& webSite) {
  std::string visit = webSite;
  for (const char* p : {"https://", "http://"})
    if (visit.rfind(p, 0) == 0) visit = visit.substr(std::string_view(p).size());
  return "&Visit " + visit;
}

}  // namespace griv
