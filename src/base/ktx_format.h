// The two formats of encrypted files: DES for older copies of the program,
// AES (KTX2) for everything new. Readers tell them apart by the content; the
// options choose which one the program writes.
#pragma once
#include <cstdint>
#include <string_view>

namespace griv {

enum class KtxFormat : uint8_t { Des, Aes };

// The setting's texts: "AES" and "DES" (any case); anything else, including
// nothing, is AES.
KtxFormat ParseKtxFormat(std::string_view text);
const char* KtxFormatName(KtxFormat f);

}  // namespace griv
