// The brand a customer ships next to the executable: an ini text encrypted
// with DES-CBC under built-in key and IV texts (griv.dat), and the rules that
// turn it into captions, the web address and the scrolling tag lines.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"

namespace griv {

inline constexpr std::string_view kBrandFileName = "griv.dat";
// Brand files are made and read with exactly these two texts.
inline constexpr std::string_view kBrandKeyText = "Snap the screen and smile";
inline constexpr std::string_view kBrandIVText = "HdQwZrTpLyVbNkXs";
// Longer files are not brand files; refusing them keeps start-up from reading
// something huge into memory.
inline constexpr size_t kBrandFileMaxSize = 1u << 20;
inline constexpr size_t kTagLineMaxChars = 200;

// The product's own web address, built into the program.
inline constexpr char kProductWebAddress[] = "https://www.grivanta.com";

struct Branding {
  std::string mainCaption = "Grivanta";
  std::string webSite = "https://www.grivanta.com";  // the banner opens it
  // Help > Visit, the tray's "Visit our Web Site" and the About box: the
  // product's address, unless the brand names its own ([Settings] VisitUrl).
  std::string visitUrl = kProductWebAddress;
  std::string printCaption = "Captured with Grivanta - www.grivanta.com";
  std::string captionHint;
  int leftBorder = 200;
  int rightBorder = 80;
  std::string taglineFontName = "Verdana";
  uint32_t taglineBackColor = 10537215;  // 0x00BBGGRR
  uint32_t taglineFontColor = 128;
  bool taglineFontBold = true;
  bool taglineFontItalic = true;
  // Never empty once read: the print caption stands in for a missing section.
  std::vector<std::string> tagLines{printCaption};

  // Title of the program's message boxes.
  std::string DialogCaption() const { return mainCaption + "   "; }
};

// Values of a plain brand ini text; absent keys keep their defaults.
Branding ParseBranding(std::string_view iniText);

// The text of one tag line: value after the first "=", cut to 200 characters
// (UTF-8 characters, never inside one).
std::string CutTagLine(std::string_view value);

enum class TagFontStyle { BoldItalic, Bold, Italic };
// Bold and italic only together; bold alone; italic in every other case.
TagFontStyle TaglineFontStyle(bool bold, bool italic);

struct TagStart {
  int index;        // tag line the banner shows first
  bool writeBack;   // the stored value was out of range: store 0
};
// Stored NextTagToShow against the number of tag lines.
TagStart StartTagIndex(int stored, size_t lineCount);

// Brand file bytes from a plain ini text, and back. DecryptBrand throws
// EFileError when the data is not a brand file made with the built-in texts.
std::vector<uint8_t> EncryptBrand(std::string_view iniText);
std::string DecryptBrand(std::span<const uint8_t> data);

// The decrypted ini text as UTF-8. Brand files are written with whatever
// editor the customer has: UTF-8 with a byte-order mark, plain UTF-8, or the
// Windows code page. Text with the mark (which is dropped) or that is valid
// UTF-8 is taken as it is; anything else goes through fromAnsi.
using AnsiDecoder = std::string (*)(std::string_view);
std::string BrandTextToUtf8(std::string_view plain, AnsiDecoder fromAnsi);

struct BrandingLoad {
  Branding branding;  // the defaults when !ok
  bool ok = false;
  std::string error;  // why the file was not used
};
// Reads and decrypts a brand file in memory (the plain text never touches the
// disk) and reads its text as BrandTextToUtf8 does (the ANSI code page by
// default). Never throws: a missing, oversized or undecryptable file gives the
// defaults with ok false.
BrandingLoad LoadBrandingFile(const std::string& path, AnsiDecoder fromAnsi = AnsiToUtf8);

// How the banner's tag lines look.
struct TagLineLook {
  std::vector<std::string> lines;
  std::string hint;
  std::string fontName = "Verdana";
  uint32_t backColor = 0xA0C8FF, fontColor = 0x000080;  // 0x00BBGGRR
  bool bold = true, italic = true;
};
TagLineLook TagLineLookOf(const Branding& brand);

// The Help menu's web-site item: "&Visit " and the site without its scheme.
std::string VisitMenuText(const std::string& webSite);

}  // namespace griv
