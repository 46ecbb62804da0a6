#include <gtest/gtest.h>

#include "base/file_io.h"
#include "../unit/ktx2_kat.h"

using namespace griv;
using namespace griv::test;

// CNG gives the bytes libcrypto gave, fed in pieces of several sizes (through
// chained calls where the system chains them, else held whole), and refuses a
// forged tag.
TEST(Ktx2Cng, GivesTheKnownAnswersInAnyPieces) {
  const Bytes plain = ReadWholeFile(GRIV_TEST_DATA "/ktx2/known.txt");
  const Bytes known = ReadWholeFile(GRIV_TEST_DATA "/ktx2/known.txt.ktx");
  FixedCrypto cng;
  EXPECT_EQ(Encrypt(cng, kKnownKey, plain, kKtx2Chunk, plain.size()), known);
  EXPECT_EQ(Encrypt(cng, kKnownKey, plain, 32, 7), known);
  EXPECT_EQ(Decrypt(cng, kKnownKey, known, 16, 100), plain);
  EXPECT_EQ(Decrypt(cng, kKnownKey, known, kKtx2Chunk, known.size()), plain);
  Bytes forged = known;
  forged.back() ^= 1;
  EXPECT_THROW(Decrypt(cng, kKnownKey, forged, 48, 1000), EKtxDamaged);
  // An empty file: the last call carries no bytes.
  cng.fakeKdf = true;
  const Bytes empty = Encrypt(cng, "any key", {}, 32, 1);
  EXPECT_EQ(Decrypt(cng, "any key", empty, 32, 1), Bytes());
  // Real random draws differ from file to file.
  Bytes salt1(16), salt2(16);
  SystemCrypto().Random(salt1.data(), 16);
  SystemCrypto().Random(salt2.data(), 16);
  EXPECT_NE(salt1, salt2);
}
