#include "base/ktx_format.h"

#include "base/strings.h"

namespace griv {

KtxFormat ParseKtxFormat(std::string_view text) { return UpperCase(text) == "DES" ? KtxFormat::Des : KtxFormat::Aes; }

const char* KtxFormatName(KtxFormat f) { return f == KtxFormat::Des ? "DES" : "AES"; }

}  // namespace griv
