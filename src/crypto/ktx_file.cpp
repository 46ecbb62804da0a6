#include "crypto/ktx_file.h"

#include <cstdio>
#include <vector>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/scope_exit.h"
#include "crypto/des.h"
#include "crypto/key_rules.h"
#include "crypto/ktx2.h"

namespace griv {

namespace {

constexpr size_t kReadPiece = 256 * 1024;

FilePtr OpenInput(const std::string& name) {
  FilePtr f = OpenFile(name, "rb");
  if (!f) throw EFileIO(OpenFailureMessage(name));
  return f;
}

// Feeds the whole of f to feed, in pieces.
template <class Feed>
void Stream(std::FILE* f, const std::string& name, Feed feed) {
  std::vector<uint8_t> piece(kReadPiece);
  ScopeExit wipe([&] { WipeBytes(piece.data(), piece.size()); });
  for (;;) {
    const size_t n = std::fread(piece.data(), 1, piece.size(), f);
    if (n) feed(piece.data(), n);
    if (n < piece.size()) break;
  }
  if (std::ferror(f)) throw EFileIO("Error reading file " + name);
}

// Runs op with the DES component keyed from the text; the key bytes and the
// cipher's key state are wiped whatever happens.
template <class Op>
void WithDesKey(std::string_view key, const KtxCiphers& c, Op op) {
  std::string bytes;
  ScopeExit wipe([&] {
    WipeBytes(bytes.data(), bytes.size());
    c.des.ClearKeys();
  });
  if (TextToCodePageExact(key, c.desCodePage, bytes) != CodePageResult::Ok) throw EKeyError(kKeyNotInCodePage);
  c.des.SetCipherMode(TCipherMode::CBC);
  c.des.SetIV(kKtxIVText);
  c.des.SetKey(bytes);
  op(c.des);
}

void CheckKey(std::string_view key) {
  if (key.empty()) throw EKeyError(kDesKeyNotSet);
}

}  // namespace

KtxFormat KtxFileFormat(const std::string& name) {
  FilePtr f = OpenFile(name, "rb");
  uint8_t magic[4] = {};
  const size_t n = f ? std::fread(magic, 1, sizeof magic, f.get()) : 0;
  return HasKtx2Magic(std::span(magic, n)) ? KtxFormat::Aes : KtxFormat::Des;
}

void EncryptKtxFile(KtxFormat format, std::string_view key, const std::string& in, const std::string& out,
                    const KtxCiphers& c) {
  CheckKey(key);
  if (format == KtxFormat::Des) {
    WithDesKey(key, c, [&](TDES& des) { des.EncryptFile(in, out); });
    return;
  }
  FilePtr src = OpenInput(in);
  AtomicFile dst(out);
  Ktx2Writer writer(c.crypto, key, [&](const uint8_t* p, size_t n) { dst.Write(p, n); });
  Stream(src.get(), in, [&](const uint8_t* p, size_t n) { writer.Feed(p, n); });
  writer.Finish();
  dst.Commit();
}

KtxFormat DecryptKtxFile(std::string_view key, const std::string& in, const std::string& out, const KtxCiphers& c) {
  CheckKey(key);
  if (KtxFileFormat(in) == KtxFormat::Des) {
    WithDesKey(key, c, [&](TDES& des) { des.DecryptFile(in, out); });
    return KtxFormat::Des;
  }
  FilePtr src = OpenInput(in);
  // Plain bytes reach the temporary file before the tag is known; it is
  // removed unless the tag holds.
  AtomicFile dst(out);
  Ktx2Reader reader(c.crypto, Ktx2Reader::FromText(c.crypto, key), [&](const uint8_t* p, size_t n) {
    dst.Write(p, n);
  });
  Stream(src.get(), in, [&](const uint8_t* p, size_t n) { reader.Feed(p, n); });
  reader.Finish();
  dst.Commit();
  return KtxFormat::Aes;
}

}  // namespace griv
