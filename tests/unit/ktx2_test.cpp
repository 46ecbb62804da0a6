#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/key_rules.h"
#include "crypto/ktx2.h"
#include "crypto/ktx_file.h"
#include "ktx2_kat.h"

using namespace griv;
namespace fs = std::filesystem;
using namespace griv::test;

namespace {

const std::string kData = GRIV_TEST_DATA "/ktx2/";

Bytes Range(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 7 + 3);
  return b;
}

}  // namespace

TEST(Ktx2, KnownAnswerBothWaysAndInAnyPieces) {
  const Bytes plain = ReadWholeFile(kData + "known.txt"), known = ReadWholeFile(kData + "known.txt.ktx");
  FixedCrypto c;
  EXPECT_EQ(Encrypt(c, kKnownKey, plain, kKtx2Chunk, 4096), known);
  // Pieces of any size through pieces of the cipher of any size give the same file.
  EXPECT_EQ(Encrypt(c, kKnownKey, plain, 32, 7), known);
  EXPECT_EQ(Decrypt(c, kKnownKey, known, kKtx2Chunk, known.size()), plain);
  EXPECT_EQ(Decrypt(c, kKnownKey, known, 16, 5), plain);
  EXPECT_THROW(Decrypt(c, "p\xC3\xA4ssw\xC3\xB6rd \xD0\xBA\xD0\xBB\xD1\x8E\xD0\xA7", known, 64, 64), EKtxDamaged);
}

TEST(Ktx2, StreamsAcrossPieceBoundariesOrHoldsTheWholeFile) {
  FixedCrypto c;
  c.fakeKdf = true;
  for (size_t size : {0, 1, 15, 16, 31, 32, 33, 64, 65, 200, 70000}) {
    const Bytes plain = Range(size);
    const Bytes whole = Encrypt(c, "key text", plain, kKtx2Chunk, 1 << 16);
    ASSERT_EQ(whole.size(), kKtx2HeaderBytes + size + kGcmTagBytes);
    for (bool held : {false, true}) {
      c.whole = held;
      for (size_t chunk : {16, 32, 48})
        for (size_t feed : {1, 17, 1000}) {
          if (size > 1000 && feed < 1000) continue;
          EXPECT_EQ(Encrypt(c, "key text", plain, chunk, feed), whole) << size << " " << chunk << " " << feed;
          EXPECT_EQ(Decrypt(c, "key text", whole, chunk, feed), plain) << size << " " << chunk << " " << feed;
        }
      c.whole = false;
    }
  }
}

TEST(Ktx2, EveryChangedOrMissingByteIsRefused) {
  FixedCrypto c;
  c.fakeKdf = true;
  const Bytes file = Encrypt(c, "key text", Range(40), 32, 40);
  // Header, body and tag alike: one flipped bit anywhere.
  for (size_t i = 0; i < file.size(); ++i) {
    Bytes bad = file;
    bad[i] ^= 0x10;
    EXPECT_THROW(Decrypt(c, "key text", bad, 32, 9), EKtxDamaged) << "byte " << i;
  }
  for (size_t n = 0; n < file.size(); ++n)
    EXPECT_THROW(Decrypt(c, "key text", Bytes(file.begin(), file.begin() + n), 32, 9), EKtxDamaged) << n;
  Bytes longer = file;
  longer.push_back(0);
  EXPECT_THROW(Decrypt(c, "key text", longer, 32, 9), EKtxDamaged);
}

TEST(Ktx2, HeaderFieldsOutOfRangeAreRefusedBeforeAnyKeyIsDerived) {
  Ktx2Header h;
  const auto good = BuildKtx2Header(h);
  Ktx2Header parsed;
  ASSERT_TRUE(ParseKtx2Header(good, parsed));
  EXPECT_EQ(parsed.iterations, 600000u);
  auto withIterations = [&](uint32_t it) {
    auto b = good;
    for (int i = 0; i < 4; ++i) b[8 + i] = uint8_t(it >> (8 * i));
    return b;
  };
  EXPECT_TRUE(ParseKtx2Header(withIterations(kKtx2MinIterations), parsed));
  EXPECT_TRUE(ParseKtx2Header(withIterations(kKtx2MaxIterations), parsed));

  std::vector<std::array<uint8_t, kKtx2HeaderBytes>> bad = {withIterations(kKtx2MinIterations - 1),
                                                             withIterations(kKtx2MaxIterations + 1),
                                                             withIterations(0), withIterations(0xFFFFFFFF)};
  for (size_t at : {0, 1, 2, 3, 4, 5, 6, 7})
    for (uint8_t v : {0, 2, 0xFF}) {
      auto b = good;
      if (b[at] == v) continue;
      b[at] = v;
      bad.push_back(b);
    }
  for (const auto& b : bad) {
    EXPECT_FALSE(ParseKtx2Header(b, parsed));
    int keyCalls = 0;
    EXPECT_THROW(Decrypt(SystemCrypto(), "key text", Bytes(b.begin(), b.end()), 32, 40, &keyCalls), EKtxDamaged);
    EXPECT_EQ(keyCalls, 0);
  }
}

TEST(KtxFile, BothFormatsRoundTripAndFailuresLeaveNothing) {
  const fs::path dir = fs::temp_directory_path() / ("ktx_file_test_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  auto at = [&](const char* name) { return (dir / name).string(); };
  const std::string text = "the plain words of a report";
  WriteFileAtomic(at("plain.txt"), text.data(), text.size());
  TDES des;
  FixedCrypto crypto;  // the derivation itself has its known answer above
  crypto.fakeKdf = true;
  const KtxCiphers ciphers{des, kDefaultKeyCodePage, crypto};

  EncryptKtxFile(KtxFormat::Aes, "Gr\xC3\xBC\xC3\x9F" "e key", at("plain.txt"), at("a.ktx"), ciphers);
  EncryptKtxFile(KtxFormat::Des, "Gr\xC3\xBC\xC3\x9F" "e key", at("plain.txt"), at("d.ktx"), ciphers);
  EXPECT_EQ(KtxFileFormat(at("a.ktx")), KtxFormat::Aes);
  EXPECT_EQ(KtxFileFormat(at("d.ktx")), KtxFormat::Des);
  EXPECT_EQ(FileSize(at("a.ktx")), int64_t(kKtx2HeaderBytes + text.size() + kGcmTagBytes));
  EXPECT_EQ(FileSize(at("d.ktx")), 32);
  EXPECT_EQ(DecryptKtxFile("Gr\xC3\xBC\xC3\x9F" "e key", at("a.ktx"), at("a.out"), ciphers), KtxFormat::Aes);
  EXPECT_EQ(DecryptKtxFile("Gr\xC3\xBC\xC3\x9F" "e key", at("d.ktx"), at("d.out"), ciphers), KtxFormat::Des);
  EXPECT_EQ(ReadWholeFile(at("a.out")), ReadWholeFile(at("plain.txt")));
  EXPECT_EQ(ReadWholeFile(at("d.out")), ReadWholeFile(at("plain.txt")));
  EXPECT_TRUE(des.KeyStateIsClear());
  // A DES file of an earlier version still opens.
  DecryptKtxFile("pässwörd1", GRIV_TEST_DATA "/des/umlaut.txt.ktx", at("old.out"), ciphers);
  EXPECT_EQ(ReadWholeFile(at("old.out")), ReadWholeFile(GRIV_TEST_DATA "/des/umlaut.txt"));

  // A wrong key or a changed byte: the earlier plain file stays as it was, and nothing else appears.
  const size_t before = std::distance(fs::directory_iterator(dir), fs::directory_iterator());
  EXPECT_THROW(DecryptKtxFile("Gr\xC3\xBC\xC3\x9F" "e kez", at("a.ktx"), at("a.out"), ciphers), EKtxDamaged);
  Bytes damaged = ReadWholeFile(at("a.ktx"));
  damaged[kKtx2HeaderBytes + 3] ^= 1;
  WriteFileAtomic(at("a.ktx"), damaged.data(), damaged.size());
  EXPECT_THROW(DecryptKtxFile("Gr\xC3\xBC\xC3\x9F" "e key", at("a.ktx"), at("new.out"), ciphers), EKtxDamaged);
  EXPECT_EQ(ReadWholeFile(at("a.out")), ReadWholeFile(at("plain.txt")));
  EXPECT_EQ(size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator())), before);
  // A DES key must exist in the code page; an AES key need not.
  EXPECT_THROW(EncryptKtxFile(KtxFormat::Des, "\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87 1234", at("plain.txt"), at("x"),
                              ciphers),
               EKeyError);
  fs::remove_all(dir);
}

TEST(KtxFile, AesKeysCountCharactersAndTakeAnyText) {
  const std::string cyrillic7 = "\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xBA\xD0\xBB\xD1\x8E";  // 7 characters, 14 bytes
  EXPECT_FALSE(JudgeKey(cyrillic7, "", false, 1252, KtxFormat::Aes).ok);
  EXPECT_TRUE(JudgeKey(cyrillic7 + "!", "", false, 1252, KtxFormat::Aes).ok);
  EXPECT_EQ(JudgeKey(cyrillic7 + "!", "", false, 1252, KtxFormat::Des).hint, kKeyNotInCodePage);
  EXPECT_EQ(ParseKtxFormat("des"), KtxFormat::Des);
  EXPECT_EQ(ParseKtxFormat(""), KtxFormat::Aes);
  EXPECT_EQ(ParseKtxFormat("3DES"), KtxFormat::Aes);
}
