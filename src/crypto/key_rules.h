// When a typed key can be taken: long enough (8 characters), the same in both
// boxes when it is chosen for encrypting, and for DES made only of characters
// that the key's code page holds exactly (otherwise different keys would give
// the same bytes). An AES key is any text: its UTF-8 bytes are used as typed.
#pragma once
#include <string>
#include <string_view>

#include "crypto/ktx_names.h"

namespace griv {

struct KeyVerdict {
  bool ok = false;
  std::string hint;  // why OK is greyed, for the user; empty when there is nothing to say
};

// key and again as typed (UTF-8); confirm: the key is chosen for encrypting.
KeyVerdict JudgeKey(std::string_view key, std::string_view again, bool confirm, unsigned codePage,
                    KtxFormat format = KtxFormat::Des);

inline constexpr char kKeyNotInCodePage[] =
    "The key holds characters that cannot be used in a key on this computer. Use others.";
inline constexpr char kKeyTypeAgain[] = "Type the key again in the second box.";
inline constexpr char kKeysDiffer[] = "The two keys differ.";

}  // namespace griv
