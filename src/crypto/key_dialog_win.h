// TdlgGetKey: the modal dialog in which the user types an encryption key.
#pragma once
#include <windows.h>

#include <string>

#include "crypto/ktx_names.h"

namespace griv {

inline constexpr char kKeyDialogCaption[] = "GRIV - Enter Encryption Key";
inline constexpr char kKeyDialogAdvice[] =
    "The key must be 8 characters or more.\r\nIt is case sensitive. Do not forget it!\r\n"
    "The key can not be recovered if you lose it.";
// Shortest key the dialog accepts.

class TdlgGetKey {
 public:
  // Shows the dialog modally (layout from `resources`, centred on the
  // desktop) and returns the key as UTF-8, or an empty text when cancelled.
  // With fileName the advice text is replaced by "\r\nFile: " and the name's
  // file part. With confirm (a key chosen for encrypting) the key must be
  // typed twice alike. For DES a key that the ANSI code page cannot hold
  // exactly is never taken; the caller turns it into cipher bytes with
  // TextToCodePageExact. An AES key may hold any characters.
  static std::string AskForKey(HINSTANCE resources, HWND owner, const std::string* fileName = nullptr,
                               bool confirm = false, KtxFormat format = KtxFormat::Des);

  // OK is enabled exactly when the key is longer than 7 characters.
};

}  // namespace griv
