// Names of encrypted files: whatever name the user types or a folder holds,
// the derived names keep their promises.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "crypto/ktx_names.h"
#include "base/strings.h"

using namespace griv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int filter = data[0] & 3;
  const std::string_view name(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string target = EncryptedImageName(name, filter);
  if (target.size() < name.size() || target.compare(0, name.size(), name) != 0) std::abort();
  if (UpperCase(ExtractFileExt(target)) != ".KTX") std::abort();
  const std::string plain = EncryptedImagePlainName(target);
  const std::string e = UpperCase(ExtractFileExt(plain));
  if (e != ".BMP" && e != ".JPG" && e != ".JPEG" && e != ".PNG") std::abort();
  (void)IsEncryptedExt(name);
  const std::string t = DecryptedTargetName("C:\\work\\", name);
  if (!t.empty()) {
    if (t.rfind("C:\\work\\", 0) != 0 || t.size() <= 8) std::abort();
    if (!IsEncryptedFileName(name)) std::abort();
  }
  return 0;
}
