// The hand-off file of a second start: any bytes give a name without line
// breaks or NULs, or none.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/hand_off.h"
#include "base/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string name = griv::HandedFileName(bytes);
  if (!name.empty()) {
    if (name.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) std::abort();
    if (!griv::IsValidUtf8(name)) std::abort();
  }
  return 0;
}
