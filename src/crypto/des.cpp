#include "crypto/des.h"

#include <bit>
#include <cstring>
#include <optional>

#include "base/file_io.h"

namespace griv {

namespace {

// ---- Standard tables (FIPS 46-3). Bits are numbered 1.. from the most significant.

constexpr uint8_t kPC1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,  //
                              10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,  //
                              63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,  //
                              14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};

constexpr uint8_t kPC2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10,  //
                              23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,   //
                              41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,  //
                              44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

// Cumulative left rotations of C and D before each round.
constexpr uint8_t kRotations[16] = {1, 2, 4, 6, 8, 10, 12, 14, 15, 17, 19, 21, 23, 25, 27, 28};

constexpr uint8_t kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                            2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};

// S-boxes, 4 rows of 16.
constexpr uint8_t kS[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7,  0,  15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5,  3,  8,  4,  1,  14, 8,  13, 6,  2, 11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2,  4,  9,  1,  7,  5,  11, 3,  14, 10, 0, 6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7,  2, 13, 12, 0,  5,  10, 3,  13, 4,  7,  15, 2,
     8,  14, 12, 0,  1,  10, 6,  9,  11, 5,  0, 14, 7,  11, 10, 4,  13, 1,  5,  8,  12, 6,
     9,  3,  2,  15, 13, 8,  10, 1,  3,  15, 4, 2,  11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,  13, 7,  0,  9,  3,  4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6,  4,  9,  8,  15, 3,  0,  11, 1,  2,  12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7,  4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3,  0,  6,  9,  10, 1,  2, 8,  5,  11, 12, 4,  15, 13, 8,  11, 5,  6,  15,
     0,  3,  4,  7,  2,  12, 1,  10, 14, 9, 10, 6,  9,  0,  12, 11, 7,  13, 15, 1,  3,  14,
     5,  2,  8,  4,  3,  15, 0,  6,  10, 1, 13, 8,  9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6, 8,  5,  3,  15, 13, 0,  14, 9,  14, 11, 2, 12, 4,  7,
     13, 1,  5,  0,  15, 10, 3,  9, 8,  6,  4,  2,  1,  11, 10, 13, 7,  8,  15, 9, 12, 5,
     6,  3,  0,  14, 11, 8,  12, 7, 1,  14, 2,  13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6,  8,  0,  13, 3,  4,  14, 7,  5,  11, 10, 15, 4,  2,  7,  12,
     9,  5,  6,  1,  13, 14, 0,  11, 3,  8,  9,  14, 15, 5,  2,  8,  12, 3,  7,  0,  4,  10,
     1,  13, 11, 6,  4,  3,  2,  12, 9,  5,  15, 10, 11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0,  8, 13, 3,  12, 9,  7,  5,  10, 6,  1,  13, 0,  11, 7, 4,  9,
     1,  10, 14, 3,  5,  12, 2, 15, 8,  6,  1,  4,  11, 13, 12, 3,  7,  14, 10, 15, 6, 8,
     0,  5,  9,  2,  6,  11, 13, 8, 1,  4,  10, 7,  9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2,  8,  4,  6,  15, 11, 1,  10, 9,  3,  14, 5,  0,  12, 7,  1,  15, 13, 8, 10, 3,
     7,  4,  12, 5,  6,  11, 0,  14, 9,  2,  7,  11, 4,  1,  9,  12, 14, 2,  0,  6, 10, 13,
     15, 3,  5,  8,  2,  1,  14, 7,  4,  10, 8,  13, 15, 12, 9,  0,  3,  5,  6,  11},
};

// Each S-box combined with P. The round works on halves rotated left by one bit
// so that every 6-bit group of the expansion is a plain shift and mask away;
// the table outputs carry the same rotation.
using SPTable = std::array<std::array<uint32_t, 64>, 8>;

constexpr SPTable MakeSP() {
  SPTable t{};
  for (int box = 0; box < 8; ++box) {
    for (uint32_t v = 0; v < 64; ++v) {
      uint32_t row = ((v >> 4) & 2) | (v & 1);
      uint32_t col = (v >> 1) & 15;
      uint32_t pre = uint32_t(kS[box][row * 16 + col]) << (28 - 4 * box);
      uint32_t out = 0;
      for (int j = 0; j < 32; ++j)
        if ((pre >> (32 - kP[j])) & 1) out |= 1u << (31 - j);
      t[box][v] = std::rotl(out, 1);
    }
  }
  return t;
}

alignas(64) constexpr SPTable kSP = MakeSP();

inline uint32_t LoadBE(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  return v;
}

inline void StoreBE(uint8_t* p, uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap32(v);
  std::memcpy(p, &v, 4);
}

// One round: returns l XOR f(r, k), with k[0] holding the subkey's groups
// 1,3,5,7 and k[1] groups 2,4,6,8, one per byte. Applying k[0] to r (rather
// than to r rotated right by four) leaves three of its lookups a plain shift
// and mask; the rounds are latency bound, so the combining tree is kept shallow.
[[gnu::always_inline]] inline uint32_t Round(uint32_t l, uint32_t r, const uint32_t* k) {
  uint32_t w = r ^ std::rotl(k[0], 4);
  uint32_t v = r ^ k[1];
  uint32_t h = l ^ kSP[7][v & 63];
  uint32_t a = kSP[0][std::rotl(w, 4) & 63] | kSP[2][(w >> 20) & 63];
  uint32_t b = kSP[4][(w >> 12) & 63] | kSP[6][(w >> 4) & 63];
  uint32_t c = kSP[1][(v >> 24) & 63] | kSP[3][(v >> 16) & 63];
  uint32_t d = kSP[5][(v >> 8) & 63] ^ h;
  return (a | b) ^ (c ^ d);
}

// One block: initial permutation, 16 rounds, final permutation, on the
// big-endian halves of the 8 bytes.
[[gnu::always_inline]] inline void DesBlock(uint32_t& left, uint32_t& right, const uint32_t* keys) {
  uint32_t l = left, r = right, t;
  t = ((l >> 4) ^ r) & 0x0f0f0f0fu, r ^= t, l ^= t << 4;
  t = ((l >> 16) ^ r) & 0x0000ffffu, r ^= t, l ^= t << 16;
  t = ((r >> 2) ^ l) & 0x33333333u, l ^= t, r ^= t << 2;
  t = ((r >> 8) ^ l) & 0x00ff00ffu, l ^= t, r ^= t << 8;
  t = ((l >> 1) ^ r) & 0x55555555u, r ^= t, l ^= t << 1;
  l = std::rotl(l, 1);
  r = std::rotl(r, 1);
#pragma GCC unroll 8
  for (int i = 0; i < 32; i += 4) {
    l = Round(l, r, keys + i);
    r = Round(r, l, keys + i + 2);
  }
  // The halves leave the rounds swapped: R16 goes first into the final permutation.
  t = std::rotr(r, 1);
  r = std::rotr(l, 1);
  l = t;
  t = ((l >> 1) ^ r) & 0x55555555u, r ^= t, l ^= t << 1;
  t = ((r >> 8) ^ l) & 0x00ff00ffu, l ^= t, r ^= t << 8;
  t = ((r >> 2) ^ l) & 0x33333333u, l ^= t, r ^= t << 2;
  t = ((l >> 16) ^ r) & 0x0000ffffu, r ^= t, l ^= t << 16;
  t = ((l >> 4) ^ r) & 0x0f0f0f0fu, r ^= t, l ^= t << 4;
  left = l;
  right = r;
}

void CookedKeySchedule(const std::array<uint8_t, 8>& key, uint32_t enc[32], uint32_t dec[32]) {
  auto keyBit = [&](int n) { return (key[(n - 1) / 8] >> (7 - (n - 1) % 8)) & 1; };
  uint8_t pc1[56];
  for (int i = 0; i < 56; ++i) pc1[i] = static_cast<uint8_t>(keyBit(kPC1[i]));
  for (int round = 0; round < 16; ++round) {
    uint8_t cd[56];
    int s = kRotations[round];
    for (int i = 0; i < 28; ++i) {
      cd[i] = pc1[(i + s) % 28];
      cd[28 + i] = pc1[28 + (i + s) % 28];
    }
    uint8_t groups[8] = {};
    for (int i = 0; i < 48; ++i) groups[i / 6] = static_cast<uint8_t>((groups[i / 6] << 1) | cd[kPC2[i] - 1]);
    uint32_t w0 = (uint32_t(groups[0]) << 24) | (uint32_t(groups[2]) << 16) | (uint32_t(groups[4]) << 8) | groups[6];
    uint32_t w1 = (uint32_t(groups[1]) << 24) | (uint32_t(groups[3]) << 16) | (uint32_t(groups[5]) << 8) | groups[7];
    enc[2 * round] = w0;
    enc[2 * round + 1] = w1;
    dec[2 * (15 - round)] = w0;
    dec[2 * (15 - round) + 1] = w1;
  }
}

void SecureZero(void* p, size_t n) {
  volatile uint8_t* v = static_cast<volatile uint8_t*>(p);
  while (n--) *v++ = 0;
}

// True when nothing follows in the stream; leaves the stream where it was.
bool AtEnd(std::FILE* f) {
  int c = std::fgetc(f);
  if (c == EOF) return true;
  std::ungetc(c, f);
  return false;
}

}  // namespace

const char* CipherModeName(TCipherMode m) {
  switch (m) {
    case TCipherMode::CBC: return "CBC";
    case TCipherMode::ECB: return "ECB";
    case TCipherMode::CFB: return "CFB";
    case TCipherMode::OFB: return "OFB";
  }
  return "CBC";
}

bool ParseCipherMode(std::string_view name, TCipherMode& out) {
  for (auto m : {TCipherMode::CBC, TCipherMode::ECB, TCipherMode::CFB, TCipherMode::OFB})
    if (name == CipherModeName(m)) {
      out = m;
      return true;
    }
  return false;
}

const char* StringModeName(TStringMode m) { return m == TStringMode::smNormal ? "smNormal" : "smEncode"; }

bool ParseStringMode(std::string_view name, TStringMode& out) {
  if (name == "smEncode") out = TStringMode::smEncode;
  else if (name == "smNormal") out = TStringMode::smNormal;
  else return false;
  return true;
}

TDES::TDES() = default;

TDES::~TDES() { SecureZero(&ks_, sizeof ks_); }

std::array<uint8_t, 8> TDES::KeyBytesFromText(std::string_view text) {
  std::array<uint8_t, 8> k{};
  for (size_t p = 0; p < text.size(); ++p) k[p % 8] = static_cast<uint8_t>(text[p]);
  return k;
}

std::array<uint8_t, 8> TDES::IVBytesFromText(std::string_view text) {
  std::array<uint8_t, 8> iv{};
  for (size_t p = 0; p < text.size(); ++p) iv[p % 8] ^= static_cast<uint8_t>(text[p]);
  return iv;
}

void TDES::SetKey(std::string_view keyText) {
  std::array<uint8_t, 8> key = KeyBytesFromText(keyText);
  CookedKeySchedule(key, ks_.encKeys, ks_.decKeys);
  SecureZero(key.data(), key.size());
  std::memset(ks_.saved, 0, sizeof ks_.saved);
  std::memset(ks_.work, 0, sizeof ks_.work);
  ks_.keySet = true;
}

void TDES::SetIV(std::string_view ivText) {
  std::array<uint8_t, 8> iv = IVBytesFromText(ivText);
  std::memcpy(ks_.chain, iv.data(), 8);
  ks_.ivSet = true;
}

void TDES::ClearKeys() { SecureZero(&ks_, sizeof ks_); }

std::array<uint8_t, 8> TDES::ChainingRegister() const {
  std::array<uint8_t, 8> r;
  std::memcpy(r.data(), ks_.chain, 8);
  return r;
}

bool TDES::KeyStateIsClear() const {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&ks_);
  for (size_t i = 0; i < sizeof ks_; ++i)
    if (p[i]) return false;
  return true;
}

void TDES::CheckKeys() const {
  if (!ks_.keySet) throw EKeyError(kDesKeyNotSet);
  if (cipherMode_ != TCipherMode::ECB && !ks_.ivSet) throw EKeyError(kDesIVNotSet);
}

// The mode is fixed for the length of one pass, so it is chosen once per pass
// and the chaining register is kept in registers meanwhile.
void TDES::EncryptBuffer(uint8_t* p, size_t n) {
  CheckKeys();
  const uint32_t* ek = ks_.encKeys;
  uint32_t cl = LoadBE(ks_.chain), cr = LoadBE(ks_.chain + 4);
  uint8_t* end = p + (n & ~size_t(7));
  switch (cipherMode_) {
    case TCipherMode::CBC:
      for (; p != end; p += 8) {
        cl ^= LoadBE(p);
        cr ^= LoadBE(p + 4);
        DesBlock(cl, cr, ek);
        StoreBE(p, cl);
        StoreBE(p + 4, cr);
      }
      break;
    case TCipherMode::ECB:
      for (; p != end; p += 8) {
        uint32_t l = LoadBE(p), r = LoadBE(p + 4);
        DesBlock(l, r, ek);
        StoreBE(p, l);
        StoreBE(p + 4, r);
      }
      break;
    case TCipherMode::CFB:
      for (; p != end; p += 8) {
        DesBlock(cl, cr, ek);
        cl ^= LoadBE(p);
        cr ^= LoadBE(p + 4);
        StoreBE(p, cl);
        StoreBE(p + 4, cr);
      }
      break;
    case TCipherMode::OFB:
      for (; p != end; p += 8) {
        DesBlock(cl, cr, ek);
        StoreBE(p, LoadBE(p) ^ cl);
        StoreBE(p + 4, LoadBE(p + 4) ^ cr);
      }
      break;
  }
  StoreBE(ks_.chain, cl);
  StoreBE(ks_.chain + 4, cr);
  if (n >= 8) std::memcpy(ks_.work, end - 8, 8);
}

void TDES::DecryptBuffer(uint8_t* p, size_t n) {
  CheckKeys();
  const uint32_t* dk = ks_.decKeys;
  const uint32_t* ek = ks_.encKeys;
  uint32_t cl = LoadBE(ks_.chain), cr = LoadBE(ks_.chain + 4);
  uint8_t* end = p + (n & ~size_t(7));
  switch (cipherMode_) {
    case TCipherMode::CBC:
      for (; p != end; p += 8) {
        uint32_t sl = LoadBE(p), sr = LoadBE(p + 4);
        uint32_t l = sl, r = sr;
        DesBlock(l, r, dk);
        StoreBE(p, l ^ cl);
        StoreBE(p + 4, r ^ cr);
        cl = sl;
        cr = sr;
      }
      break;
    case TCipherMode::ECB:
      for (; p != end; p += 8) {
        uint32_t l = LoadBE(p), r = LoadBE(p + 4);
        DesBlock(l, r, dk);
        StoreBE(p, l);
        StoreBE(p + 4, r);
      }
      break;
    case TCipherMode::CFB:
      for (; p != end; p += 8) {
        uint32_t sl = LoadBE(p), sr = LoadBE(p + 4);
        DesBlock(cl, cr, ek);
        StoreBE(p, sl ^ cl);
        StoreBE(p + 4, sr ^ cr);
        cl = sl;
        cr = sr;
      }
      break;
    case TCipherMode::OFB:
      for (; p != end; p += 8) {
        DesBlock(cl, cr, ek);
        StoreBE(p, LoadBE(p) ^ cl);
        StoreBE(p + 4, LoadBE(p + 4) ^ cr);
      }
      break;
  }
  StoreBE(ks_.chain, cl);
  StoreBE(ks_.chain + 4, cr);
  if (n >= 8) std::memcpy(ks_.work, end - 8, 8);
}

size_t TDES::PaddingLength(const uint8_t* p, size_t n) {
  if (n < 8 || n % 8 != 0) throw EFileError(kDesBadLength);
  size_t k = p[n - 1];
  if (k < 1 || k > 8) throw EFileError(kDesBadPadding);
  for (size_t i = n - k; i < n; ++i)
    if (p[i] != k) throw EFileError(kDesBadPadding);
  return k;
}

void TDES::EncryptFile(const std::string& inName, const std::string& outName) {
  CheckKeys();
  FilePtr in = OpenFile(inName, "rb");
  if (!in) throw EFileError(kDesInputNotFound);
  std::optional<AtomicFile> out;
  try {
    out.emplace(outName);
  } catch (const EFileIO&) {
    throw EFileError(kDesCannotOpenOutput);
  }
  for (;;) {
    size_t n = std::fread(buffer_, 1, kChunk, in.get());
    if (std::ferror(in.get())) throw EFileError(kDesReadError);
    bool last = AtEnd(in.get());
    if (last) {
      size_t k = 8 - n % 8;
      std::memset(buffer_ + n, static_cast<int>(k), k);
      n += k;
    }
    EncryptBuffer(buffer_, n);
    try {
      out->Write(buffer_, n);
    } catch (const EFileIO&) {
      throw EFileError(kDesWriteError);
    }
    if (last) break;
  }
  try {
    out->Commit();
  } catch (const EFileIO&) {
    throw EFileError(kDesWriteError);
  }
}

void TDES::DecryptFile(const std::string& inName, const std::string& outName) {
  CheckKeys();
  FilePtr in = OpenFile(inName, "rb");
  if (!in) throw EFileError(kDesInputNotFound);
  std::optional<AtomicFile> out;
  try {
    out.emplace(outName);
  } catch (const EFileIO&) {
    throw EFileError(kDesCannotOpenOutput);
  }
  for (;;) {
    size_t n = std::fread(buffer_, 1, kChunk, in.get());
    if (std::ferror(in.get())) throw EFileError(kDesReadError);
    bool last = AtEnd(in.get());
    // Only the final chunk may be short, and it must still end on a block
    // boundary and hold at least the padding block.
    if (n % 8 != 0 || (last && n == 0)) throw EFileError(kDesBadLength);
    DecryptBuffer(buffer_, n);
    if (last) n -= PaddingLength(buffer_, n);
    try {
      out->Write(buffer_, n);
    } catch (const EFileIO&) {
      throw EFileError(kDesWriteError);
    }
    if (last) break;
  }
  try {
    out->Commit();
  } catch (const EFileIO&) {
    throw EFileError(kDesWriteError);
  }
}

std::vector<uint8_t> TDES::EncryptBytes(std::span<const uint8_t> plain) {
  CheckKeys();
  size_t k = 8 - plain.size() % 8;
  std::vector<uint8_t> out(plain.size() + k, static_cast<uint8_t>(k));
  if (!plain.empty()) std::memcpy(out.data(), plain.data(), plain.size());
  EncryptBuffer(out.data(), out.size());
  return out;
}

std::vector<uint8_t> TDES::DecryptBytes(std::span<const uint8_t> cipher) {
  CheckKeys();
  if (cipher.empty() || cipher.size() % 8 != 0) throw EFileError(kDesBadLength);
  std::vector<uint8_t> out(cipher.begin(), cipher.end());
  DecryptBuffer(out.data(), out.size());
  out.resize(out.size() - PaddingLength(out.data(), out.size()));
  return out;
}

}  // namespace griv
