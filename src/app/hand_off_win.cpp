#include "app/hand_off_win.h"

#include "app/hand_off.h"
#include "base/handles_win.h"
#include "base/strings.h"
#include "base/utf.h"
#include "ui/system_path_win.h"

namespace griv {

std::string ReadHandOffFile() {
  const std::string name = IncludeTrailingBackslash(TempFolder()) + kHandOffFileName;
  UniqueFileHandle f(CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return {};
  const DWORD size = GetFileSize(f.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > kHandOffMaxBytes) return {};
  if (!LockFileRegion(f.get(), 0, size ? size : 1)) return {};
  std::string bytes(size, '\0');
  DWORD got = 0;
  const bool ok = size == 0 || (ReadFile(f.get(), bytes.data(), size, &got, nullptr) && got == size);
  UnlockFileRegion(f.get(), 0, size ? size : 1);
  return ok ? HandedFileName(bytes) : std::string();
}

std::string HandedCopyDataName(const COPYDATASTRUCT* cd) {
  if (!cd || cd->dwData != kHandOffCopyData || !cd->lpData) return {};
  return HandedWideFileName({static_cast<const uint8_t*>(cd->lpData), cd->cbData});
}

}  // namespace griv
