// Names of encrypted files (.KTX) and of their plain copies. The kind of the
// plain file travels in the name only: an encrypted file is the plain name with
// an extension added.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ktx_format.h"

namespace griv {

// IV text of every encrypted file the program writes or opens.
inline constexpr std::string_view kKtxIVText = "mTbKvRnLpWxZcQhJ";

// Filter indexes of the "Save Image Encrypted" dialog (1-based, as the dialog reports them).
inline constexpr int kKtxFilterBitmap = 1;
inline constexpr int kKtxFilterJpeg = 2;
inline constexpr int kKtxFilterPng = 3;

// Target of "Save Image Encrypted": the chosen name as it is when it already
// reads like name.bmp.ktx / name.jpg.ktx / name.jpeg.ktx / name.png.ktx (any
// case), else with ".jpg.ktx" appended for the JPEG filter, ".png.ktx" for the
// PNG filter and ".bmp.ktx" for any other.
std::string EncryptedImageName(std::string_view chosen, int filterIndex);
// File-name part of an encrypted image name without its last 4 characters:
// C:\a\shot.bmp.ktx -> shot.bmp. Its extension decides BMP, PNG or JPEG.
std::string EncryptedImagePlainName(std::string_view encryptedName);
// Target of "Encrypt a File": the file name with ".KTX" appended.
std::string EncryptedFileName(std::string_view plainName);
// ".KTX", ".BMPX", ".JPGX", ".JPEGX" in any case (the dot included).
bool IsEncryptedExt(std::string_view ext);
bool IsEncryptedFileName(std::string_view fileName);
// Where an encrypted file decrypts to: workFolder (ending in a separator) plus
// the file-name part without ".KTX", or without the trailing X of the other
// three extensions. Empty when that leaves no usable name (".KTX", "..KTX"), or
// when the name is not an encrypted one.
std::string DecryptedTargetName(std::string_view workFolder, std::string_view encryptedName);

}  // namespace griv
