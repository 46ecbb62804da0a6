#include "crypto/des.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include <unistd.h>

#include "base/file_io.h"
#include "crypto/ktx_names.h"

using namespace griv;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Hex(std::string_view h) {
  std::vector<uint8_t> v;
  for (size_t i = 0; i + 1 < h.size(); i += 2) v.push_back(static_cast<uint8_t>(std::stoi(std::string(h.substr(i, 2)), nullptr, 16)));
  return v;
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

std::vector<uint8_t> Random(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

// One ECB block under a raw 8-byte key.
std::vector<uint8_t> EcbBlock(std::string_view keyHex, std::string_view blockHex, bool encrypt) {
  TDES d;
  d.SetCipherMode(TCipherMode::ECB);
  d.SetKey(Bytes(Hex(keyHex)));
  std::vector<uint8_t> in = Hex(blockHex);
  if (encrypt) {
    std::vector<uint8_t> out = d.EncryptBytes(in);
    out.resize(8);
    return out;
  }
  // Append an encrypted padding block so the in-memory decryption accepts it.
  std::vector<uint8_t> pad = d.EncryptBytes({});
  in.insert(in.end(), pad.begin(), pad.end());
  return d.DecryptBytes(in);
}

class DesFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("griv_des_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  void Put(const std::string& name, const std::vector<uint8_t>& data) const {
    WriteFileAtomic(P(name), data.data(), data.size());
  }
  std::vector<uint8_t> Get(const std::string& name) const { return ReadWholeFile(P(name)); }
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path dir_;
};

void Keyed(TDES& d, TCipherMode m, std::string_view key = "secret key 123") {
  d.SetCipherMode(m);
  d.SetIV(kKtxIVText);
  d.SetKey(key);
}

}  // namespace

// Published values: the classic worked example, the standard's variable
// plaintext and variable key sets (key 01..01 with one plaintext bit; one key
// bit over a zero block) and its permutation and substitution checks.
TEST(Des, PublishedVectorsInEcb) {
  struct V {
    const char *key, *plain, *cipher;
  } vectors[] = {
      {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
      {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
      {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
      {"0101010101010101", "4000000000000000", "DD7F121CA5015619"},
      {"0101010101010101", "2000000000000000", "2E8653104F3834EA"},
      {"0101010101010101", "0000000000000001", "166B40B44ABA4BD6"},
      {"8001010101010101", "0000000000000000", "95A8D72813DAA94D"},
      {"4001010101010101", "0000000000000000", "0EEC1487DD8C26D5"},
      {"2001010101010101", "0000000000000000", "7AD16FFB79C45926"},
      {"1046913489980131", "0000000000000000", "88D55E54F54C97B4"},
      {"7CA110454A1A6E57", "01A1D6D039776742", "690F5B0D9A26939B"},
  };
  for (const auto& v : vectors) {
    SCOPED_TRACE(v.key + std::string("/") + v.plain);
    EXPECT_EQ(EcbBlock(v.key, v.plain, true), Hex(v.cipher));
    EXPECT_EQ(EcbBlock(v.key, v.cipher, false), Hex(v.plain));
  }
}

TEST(Des, KeyAndIVFromText) {
  auto enc = [](std::string_view key) {
    TDES d;
    d.SetCipherMode(TCipherMode::ECB);
    d.SetKey(key);
    return d.EncryptBytes(Hex("0123456789ABCDEF"));
  };
  // Bytes the text does not reach stay zero.
  EXPECT_EQ(enc("abc"), enc(std::string("abc\0\0\0\0\0", 8)));
  // A 16-character text keeps only its last 8 characters.
  EXPECT_EQ(enc("XXXXXXXXabcdefgh"), enc("abcdefgh"));
  // Texts differing only in overwritten characters give one key; a 10-character
  // text puts its last two characters into bytes 0 and 1.
  EXPECT_EQ(enc("12cdefghij"), enc("ijcdefgh"));
  EXPECT_EQ(enc("PQcdefghij"), enc("12cdefghij"));
  EXPECT_NE(enc("abcdefgh"), enc("abcdefgj"));
  // The low bit of each key byte is parity and plays no part.
  EXPECT_EQ(enc("abcdefgh"), enc("abcdefgi"));
  // Keys are case-sensitive.
  EXPECT_NE(enc("Abcdefgh"), enc("abcdefgh"));

  std::array<uint8_t, 8> iv = TDES::IVBytesFromText(kKtxIVText);
  for (size_t j = 0; j < 8; ++j) EXPECT_EQ(iv[j], uint8_t(kKtxIVText[j] ^ kKtxIVText[j + 8]));
  TDES d;
  d.SetIV(kKtxIVText);
  EXPECT_EQ(d.ChainingRegister(), iv);
  // Unlike the key, the IV folds: "ab" at positions 0 and 8 cancel out.
  d.SetIV("aXXXXXXXa");
  EXPECT_EQ(d.ChainingRegister()[0], 0);
  EXPECT_EQ(d.ChainingRegister()[1], 'X');
}

TEST(Des, KeyStatesAndClearKeys) {
  TDES d;
  EXPECT_EQ(d.CipherMode(), TCipherMode::CBC);
  EXPECT_EQ(d.StringMode(), TStringMode::smEncode);
  EXPECT_TRUE(d.KeyStateIsClear());
  try {
    d.EncryptBytes({});
    FAIL();
  } catch (const EKeyError& e) {
    EXPECT_STREQ(e.what(), "DES: Key not set");
  }
  d.SetIV("iv only");
  EXPECT_THROW(d.EncryptBytes({}), EKeyError);  // still no key

  TDES k;
  k.SetKey("only a key");
  for (auto m : {TCipherMode::CBC, TCipherMode::CFB, TCipherMode::OFB}) {
    k.SetCipherMode(m);
    try {
      k.EncryptBytes({});
      FAIL() << CipherModeName(m);
    } catch (const EKeyError& e) {
      EXPECT_STREQ(e.what(), "DES: IV not set");
    }
  }
  k.SetCipherMode(TCipherMode::ECB);
  EXPECT_EQ(k.EncryptBytes({}).size(), 8u);

  Keyed(k, TCipherMode::CBC);
  EXPECT_TRUE(k.KeyIsSet());
  EXPECT_TRUE(k.IVIsSet());
  k.EncryptBytes(Random(100, 1));
  k.ClearKeys();
  EXPECT_FALSE(k.KeyIsSet());
  EXPECT_FALSE(k.IVIsSet());
  EXPECT_TRUE(k.KeyStateIsClear());
  for (auto m : {TCipherMode::CBC, TCipherMode::ECB}) {
    k.SetCipherMode(m);
    try {
      k.DecryptBytes(std::vector<uint8_t>(8));
      FAIL();
    } catch (const EKeyError& e) {
      EXPECT_STREQ(e.what(), "DES: Key not set");
    }
  }
  // Setting the key again leaves the chaining register alone.
  k.SetIV("abcdefgh");
  auto before = k.ChainingRegister();
  k.SetKey("another key");
  EXPECT_EQ(k.ChainingRegister(), before);
  // Layout names.
  TCipherMode m{};
  EXPECT_TRUE(ParseCipherMode("OFB", m));
  EXPECT_EQ(m, TCipherMode::OFB);
  EXPECT_FALSE(ParseCipherMode("XYZ", m));
  TStringMode sm{};
  EXPECT_TRUE(ParseStringMode(StringModeName(TStringMode::smNormal), sm));
  EXPECT_EQ(sm, TStringMode::smNormal);
}

TEST(Des, ChainCarriesOverWithoutFreshIV) {
  std::vector<uint8_t> data = Random(1000, 2);
  TDES d;
  Keyed(d, TCipherMode::CBC);
  auto first = d.EncryptBytes(data);
  auto second = d.EncryptBytes(data);
  EXPECT_NE(first, second);
  d.SetIV(kKtxIVText);
  EXPECT_EQ(d.EncryptBytes(data), first);
  // ECB has no chain: repeated plain blocks give repeated cipher blocks.
  d.SetCipherMode(TCipherMode::ECB);
  auto ecb = d.EncryptBytes(std::vector<uint8_t>(16, 'A'));
  EXPECT_TRUE(std::equal(ecb.begin(), ecb.begin() + 8, ecb.begin() + 8));
}

TEST(Des, CorruptInputInMemory) {
  TDES d;
  Keyed(d, TCipherMode::CBC);
  auto c = d.EncryptBytes(Random(50, 3));
  for (size_t bad : {size_t(0), size_t(7), size_t(9), c.size() - 1}) {
    d.SetIV(kKtxIVText);
    try {
      d.DecryptBytes(std::span(c.data(), bad));
      FAIL() << bad;
    } catch (const EFileError& e) {
      EXPECT_STREQ(e.what(), kDesBadLength);
    }
  }
  TDES wrong;
  Keyed(wrong, TCipherMode::CBC, "wrong key 123");
  EXPECT_THROW(wrong.DecryptBytes(c), EFileError);
}

TEST_F(DesFiles, RoundTripsAllModesAndSizes) {
  const size_t sizes[] = {0, 1, 7, 8, 4095, 4096, 4097, 40000, 3 * 1024 * 1024 + 5};
  for (auto mode : {TCipherMode::CBC, TCipherMode::ECB, TCipherMode::CFB, TCipherMode::OFB}) {
    for (size_t n : sizes) {
      SCOPED_TRACE(std::string(CipherModeName(mode)) + " " + std::to_string(n));
      // Many chunks in the mode the file format uses; the sanitizer build is slow.
      if (n > 1000000 && mode != TCipherMode::CBC) continue;
      std::vector<uint8_t> plain = Random(n, static_cast<uint32_t>(n));
      Put("p", plain);
      TDES d;
      Keyed(d, mode);
      d.EncryptFile(P("p"), P("c"));
      std::vector<uint8_t> c = Get("c");
      ASSERT_EQ(c.size(), (n / 8 + 1) * 8);
      // The file and in-memory paths agree, so chunks chain exactly like one pass.
      d.SetIV(kKtxIVText);
      ASSERT_EQ(d.EncryptBytes(plain), c);
      d.SetIV(kKtxIVText);
      d.DecryptFile(P("c"), P("d"));
      ASSERT_EQ(Get("d"), plain);
      d.SetIV(kKtxIVText);
      ASSERT_EQ(d.DecryptBytes(c), plain);
    }
  }
  EXPECT_EQ(Listing(), (std::vector<std::string>{"c", "d", "p"}));
}

TEST_F(DesFiles, EmptyFileIsOnePaddingBlock) {
  Put("empty", {});
  TDES d;
  d.SetCipherMode(TCipherMode::ECB);
  d.SetKey("some key");
  d.EncryptFile(P("empty"), P("c"));
  std::vector<uint8_t> c = Get("c");
  ASSERT_EQ(c.size(), 8u);
  auto block = d.EncryptBytes(std::vector<uint8_t>(8, 8));
  EXPECT_TRUE(std::equal(c.begin(), c.end(), block.begin()));
  d.DecryptFile(P("c"), P("d"));
  EXPECT_TRUE(Get("d").empty());
}

// Fixtures made independently with
//   openssl enc -des-cbc -provider legacy -provider default -K 7921657374206B65 -iv 1D031A1115030606 -in plain.txt -out plain.txt.ktx
// (and the same for chunked.bin, 9001 bytes, three chunks). The key is the
// text "Grivanta test key!" and the IV the image IV text, derived as above.
TEST_F(DesFiles, MatchesIndependentCiphertext) {
  std::array<uint8_t, 8> key = TDES::KeyBytesFromText("Grivanta test key!");
  EXPECT_EQ(std::vector<uint8_t>(key.begin(), key.end()), Hex("7921657374206B65"));
  const std::string data = std::string(GRIV_TEST_DATA) + "/des/";
  for (std::string name : {"plain.txt", "chunked.bin"}) {
    SCOPED_TRACE(name);
    TDES d;
    Keyed(d, TCipherMode::CBC, "Grivanta test key!");
    d.EncryptFile(data + name, P("out.ktx"));
    d.ClearKeys();
    EXPECT_EQ(Get("out.ktx"), ReadWholeFile(data + name + ".ktx"));
    Keyed(d, TCipherMode::CBC, "Grivanta test key!");
    d.DecryptFile(data + name + ".ktx", P("out.plain"));
    EXPECT_EQ(Get("out.plain"), ReadWholeFile(data + name));
  }
}

TEST_F(DesFiles, FailuresLeaveNoOutputAndKeepExistingTarget) {
  TDES d;
  Keyed(d, TCipherMode::CBC);
  Put("target", {'o', 'l', 'd'});
  auto expectError = [&](auto op, const char* message) {
    try {
      op();
      ADD_FAILURE() << "no error, expected " << message;
    } catch (const EFileError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  };
  expectError([&] { d.EncryptFile(P("missing"), P("target")); }, "DES: Input file not found");
  expectError([&] { d.DecryptFile(P("missing"), P("target")); }, "DES: Input file not found");
  Put("plain", Random(100, 4));
  expectError([&] { d.EncryptFile(P("plain"), P("no/such/dir/out")); }, "DES: Could not open output file");

  // Not whole blocks: empty, short, and a long file cut inside its last chunk.
  Put("empty", {});
  expectError([&] { d.DecryptFile(P("empty"), P("target")); }, kDesBadLength);
  Put("odd", Random(13, 5));
  expectError([&] { d.DecryptFile(P("odd"), P("target")); }, kDesBadLength);
  Put("cut", Random(4096 + 12, 6));
  expectError([&] { d.DecryptFile(P("cut"), P("target")); }, kDesBadLength);

  // A wrong key is caught by the padding check, after a whole chunk went out.
  Put("big", Random(10000, 7));
  d.SetIV(kKtxIVText);
  d.EncryptFile(P("big"), P("big.ktx"));
  TDES wrong;
  Keyed(wrong, TCipherMode::CBC, "not the key");
  expectError([&] { wrong.DecryptFile(P("big.ktx"), P("target")); }, kDesBadPadding);
  // So is a damaged last block.
  std::vector<uint8_t> damaged = Get("big.ktx");
  damaged.back() ^= 0x40;
  Put("damaged.ktx", damaged);
  d.SetIV(kKtxIVText);
  expectError([&] { d.DecryptFile(P("damaged.ktx"), P("target")); }, kDesBadPadding);

  EXPECT_EQ(Get("target"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(Listing(), (std::vector<std::string>{"big", "big.ktx", "cut", "damaged.ktx", "empty", "odd", "plain", "target"}));
  // The key state survives a failure; callers wipe it.
  EXPECT_TRUE(d.KeyIsSet());
}

// Only a final block whose padding bytes all equal its last byte is taken
// as padding: a last byte that looks valid in front of other bytes is a
// wrong key or a damaged file, not bytes to cut off.
TEST_F(DesFiles, EveryPaddingByteIsChecked) {
  // Plain data of whole blocks is encrypted with its padding block, which
  // is then dropped: the file decrypts to exactly the chosen last block.
  auto fileEndingIn = [&](const std::string& name, std::vector<uint8_t> last, size_t chunks) {
    std::vector<uint8_t> plain = Random(chunks * TDES::kChunk, 11);
    plain.insert(plain.end(), last.begin(), last.end());
    TDES d;
    Keyed(d, TCipherMode::CBC);
    std::vector<uint8_t> c = d.EncryptBytes(plain);
    c.resize(c.size() - 8);
    Put(name, c);
    return plain;
  };
  for (size_t chunks : {size_t(0), size_t(1)}) {  // the last block alone, and after a full chunk
    SCOPED_TRACE(chunks);
    std::vector<uint8_t> good = fileEndingIn("good", {'a', 'b', 'c', 'd', 'e', 3, 3, 3}, chunks);
    TDES d;
    Keyed(d, TCipherMode::CBC);
    d.DecryptFile(P("good"), P("out"));
    good.resize(good.size() - 3);
    EXPECT_EQ(Get("out"), good);
    const std::vector<std::vector<uint8_t>> bad = {
        {'a', 'b', 'c', 'd', 'e', 1, 2, 3},  // last byte valid, the others not
        {'a', 'b', 'c', 'd', 'e', 'f', 7, 2},
        {8, 8, 8, 8, 8, 8, 8, 7},
        {7, 7, 7, 7, 7, 7, 8, 8},
        {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0},
        {9, 9, 9, 9, 9, 9, 9, 9}};
    for (const auto& last : bad) {
      fileEndingIn("bad", last, chunks);
      Keyed(d, TCipherMode::CBC);
      try {
        d.DecryptFile(P("bad"), P("out"));
        ADD_FAILURE() << "accepted padding ending in " << int(last.back());
      } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), kDesBadPadding);
      }
      EXPECT_EQ(Get("out"), good);  // the earlier result stays
    }
  }
}

TEST_F(DesFiles, SameFileInAndOut) {
  std::vector<uint8_t> plain = Random(5000, 8);
  Put("f", plain);
  TDES d;
  Keyed(d, TCipherMode::CBC);
  d.EncryptFile(P("f"), P("f"));
  EXPECT_EQ(Get("f").size(), 5008u);
  d.SetIV(kKtxIVText);
  d.DecryptFile(P("f"), P("f"));
  EXPECT_EQ(Get("f"), plain);
}
