// The KTX2 reader on arbitrary files: the header's limits and the streaming
// state machine, fed in pieces of a size the input chooses through small
// cipher pieces. Whatever the pieces, the verdict and the plain bytes must be
// those of one whole read. The key is fixed (no key derivation per run).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "crypto/ktx2.h"

using namespace griv;

namespace {

bool Read(const uint8_t* data, size_t size, size_t feed, size_t chunk, std::vector<uint8_t>& plain) {
  plain.clear();
  Ktx2Reader r(
      SystemCrypto(), [](const Ktx2Header&, Ktx2Key& k) { std::memset(k.bytes.data(), 0x5A, k.bytes.size()); },
      [&](const uint8_t* p, size_t n) { plain.insert(plain.end(), p, p + n); }, chunk);
  try {
    for (size_t i = 0; i < size; i += feed) r.Feed(data + i, std::min(feed, size - i));
    r.Finish();
  } catch (const EKtxDamaged&) {
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t feed = 1 + data[0] % 61, chunk = kAesBlockBytes * (1 + (data[0] >> 6));
  ++data;
  --size;
  Ktx2Header h;
  const bool headerOk = ParseKtx2Header(std::span(data, size), h);
  if (headerOk && (h.iterations < kKtx2MinIterations || h.iterations > kKtx2MaxIterations)) std::abort();

  std::vector<uint8_t> whole, pieces;
  const bool wholeOk = Read(data, size, size ? size : 1, 4096, whole);
  const bool piecesOk = Read(data, size, feed, chunk, pieces);
  if (wholeOk != piecesOk || (wholeOk && whole != pieces)) std::abort();
  if (wholeOk && (!headerOk || whole.size() + kKtx2HeaderBytes + kGcmTagBytes != size)) std::abort();
  return 0;
}
