#include "crypto/ktx_names.h"

#include "shell/strings.h"

namespace griv {

static bool IsImageExt(std::string_view upperExt) {
  return upperExt == ".BMP" || upperExt == ".JPG" || upperExt == ".JPEG" || upperExt == ".PNG";
}

static std::string_view DropLast(std::string_view s, size_t n) {
  return s.size() >= n ? s.substr(0, s.size() - n) : std::string_view();
}

KtxFormat ParseKtxFormat(std::string_view text) {
  return UpperCase(text) == "DES" ? KtxFormat::Des : KtxFormat::Aes;
}

const char* KtxFormatName(KtxFormat f) { return f == KtxFormat::Des ? "DES" : "AES"; }

std::string EncryptedImageName(std::string_view chosen, int filterIndex) {
  if (UpperCase(ExtractFileExt(chosen)) == ".KTX" && IsImageExt(UpperCase(ExtractFileExt(DropLast(chosen, 4)))))
    return std::string(chosen);
  const char* ext = filterIndex == kKtxFilterJpeg ? ".jpg.ktx" : filterIndex == kKtxFilterPng ? ".png.ktx" : ".bmp.ktx";
  return std::string(chosen) + ext;
}

std::string EncryptedImagePlainName(std::string_view encryptedName) {
  return std::string(DropLast(ExtractFileName(encryptedName), 4));
}

std::string EncryptedFileName(std::string_view plainName) { return std::string(plainName) + ".KTX"; }

bool IsEncryptedExt(std::string_view ext) {
  std::string e = UpperCase(ext);
  return e == ".KTX" || e == ".BMPX" || e == ".JPGX" || e == ".JPEGX";
}

bool IsEncryptedFileName(std::string_view fileName) { return IsEncryptedExt(ExtractFileExt(fileName)); }

std::string DecryptedTargetName(std::string_view workFolder, std::string_view encryptedName) {
  std::string ext = UpperCase(ExtractFileExt(encryptedName));
  if (!IsEncryptedExt(ext)) return {};
  std::string b = ExtractFileName(encryptedName);
  std::string_view plain = DropLast(b, ext == ".KTX" ? 4 : 1);
  // "." and ".." would name the work folder or its parent, not a file.
  if (plain.empty() || plain == "." || plain == "..") return {};
  return std::string(workFolder) + std::string(plain);
}

}  // namespace griv
