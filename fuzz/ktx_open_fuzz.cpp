// Opening an encrypted picture: the .KTX file is decrypted into the work
// folder under the name its own name gives, and the copy is loaded by its
// extension. The first byte picks the picture kind and whether the rest is
// the encrypted file itself or the picture file that is encrypted first (so
// mutations reach the decoders). The chain must fail cleanly, leave no copy
// of a file that does not decrypt, and load what the plain file would load.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "image/image_files.h"
#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"
#include "temp_path.h"

using namespace griv;

namespace {

bool Same(const Picture& a, const Picture& b) {
  return a.width == b.width && a.height == b.height && a.bpp == b.bpp && a.pixels == b.pixels &&
         a.palette == b.palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const char* const kinds[] = {".bmp", ".jpg", ".JPEG", ".png"};
  const std::string plainName = std::string("shot") + kinds[data[0] & 3];
  const bool encryptFirst = !(data[0] & 4);
  const std::vector<uint8_t> payload(data + 1, data + size);

  // The encrypted file in one folder, the work folder of the copies in another.
  const std::string base = FuzzTempFolder("ktx_open"), work = base + "work/";
  std::filesystem::create_directories(base + "in");
  std::filesystem::create_directories(work);
  const std::string encrypted = base + "in/" + EncryptedFileName(plainName);
  const std::string target = DecryptedTargetName(work, encrypted);
  if (target != work + plainName) std::abort();

  TDES des;
  des.SetCipherMode(TCipherMode::CBC);
  des.SetKey("fuzzing key");
  des.SetIV(kKtxIVText);
  const std::vector<uint8_t> file = encryptFirst ? des.EncryptBytes(payload) : payload;
  WriteFileAtomic(encrypted, file.data(), file.size());
  DeleteFileUtf8(target);
  des.SetIV(kKtxIVText);
  try {
    des.DecryptFile(encrypted, target);
  } catch (const EFileError&) {
    if (encryptFirst || FileExists(target)) std::abort();
    return 0;
  }
  des.ClearKeys();
  const std::vector<uint8_t> plain = ReadWholeFile(target);
  if (encryptFirst && plain != payload) std::abort();

  bool loaded = true, decoded = true;
  Picture viaFile, direct;
  try {
    viaFile = LoadImageFileData(target);
  } catch (const EInvalidPicture&) {
    loaded = false;
  }
  try {
    direct = DecodeImageFile(plainName, plain);
  } catch (const EInvalidPicture&) {
    decoded = false;
  }
  if (loaded != decoded || (loaded && !Same(viaFile, direct))) std::abort();
  DeleteFileUtf8(target);
  return 0;
}
