// Encrypting and decrypting whole files in either format, for every caller:
// the encrypted-file commands, mail attachments and griv-ktx. The target is
// written under a temporary name and takes its place only when complete (and,
// for KTX2, authentic), so a wrong key or a damaged file leaves nothing behind.
#pragma once
#include <string>
#include <string_view>

#include "crypto/crypto_backend.h"
#include "crypto/ktx_names.h"

namespace griv {

class TDES;

struct KtxCiphers {
  TDES& des;             // DES files: CBC with the fixed IV text; keys cleared after each file
  unsigned desCodePage;  // a DES key is its text's bytes in this code page, exactly
  CryptoBackend& crypto;
};

// Which format a file holds, by its first bytes. A file that cannot be read
// counts as DES, as every file did before KTX2.
KtxFormat KtxFileFormat(const std::string& name);

// in -> out in that format. The key is UTF-8; a DES key that the code page
// cannot hold exactly is refused (EKeyError), as is an empty key.
void EncryptKtxFile(KtxFormat format, std::string_view key, const std::string& in, const std::string& out,
                    const KtxCiphers& ciphers);
// in (format by its magic) -> out; returns the format found. A KTX2 file that
// fails in any way throws EKtxDamaged; DES failures are the cipher's own.
KtxFormat DecryptKtxFile(std::string_view key, const std::string& in, const std::string& out,
                         const KtxCiphers& ciphers);

}  // namespace griv
