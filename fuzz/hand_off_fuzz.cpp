// What a second start hands over: the bytes of the hand-off file, and the
// same bytes read as the UTF-16 of the window message. Either gives a name
// without line breaks or NULs, in valid UTF-8, or none.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/hand_off.h"
#include "base/codepage.h"

namespace {
void Check(const std::string& name) {
  if (name.empty()) return;
  if (name.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) std::abort();
  if (!griv::IsValidUtf8(name)) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(griv::HandedFileName(std::string_view(reinterpret_cast<const char*>(data), size)));
  const std::string wide = griv::HandedWideFileName({data, size});
  Check(wide);
  // Every UTF-16 unit gives one to three bytes, a pair four.
  if (!wide.empty() && (wide.size() < size / 2 || wide.size() > size / 2 * 3)) std::abort();
  return 0;
}
