#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>

#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"
#include "mail/mail_message.h"
#include "mail/mapi_rules.h"

using namespace griv;
namespace fs = std::filesystem;

TEST(MailTruncateFileName, ShortNamesStayAndLongOnesKeepTheirEnd) {
  EXPECT_EQ(TruncateFileName("abcdefgh.jpg"), "abcdefgh.jpg");  // 12: unchanged
  EXPECT_EQ(TruncateFileName("averyveryverylongname.jpg"), "longname.jpg");
  EXPECT_EQ(TruncateFileName("abcdefghijklmnopqrstuvwxyz"), "opqrstuvwxyz");  // no dot: last 12
  // A late first dot keeps the 8 characters before it, even when fewer than 12 remain...
  EXPECT_EQ(TruncateFileName("abcdefghijklmnop.gz"), "ijklmnop.gz");
  // ...an early one does not: only the last 12 count.
  EXPECT_EQ(TruncateFileName("abcdefgh.tar.gzip"), "fgh.tar.gzip");
  EXPECT_EQ(TruncateFileName("abcdefghijklmnop.tar.gz"), "lmnop.tar.gz");
  // Dots left at the front after cutting go.
  EXPECT_EQ(TruncateFileName("abcdefghij....verylong"), "verylong");
}

TEST(MailTruncateFileName, CountsCharactersNotBytes) {
  const std::string e = "\xC3\xA9";  // é
  std::string twelve, thirteen;
  for (int i = 0; i < 12; ++i) twelve += e;
  thirteen = twelve + e;
  EXPECT_EQ(TruncateFileName(twelve), twelve);
  EXPECT_EQ(TruncateFileName(thirteen), twelve);
  EXPECT_EQ(TruncateFileName("Bildschirmfoto-" + e + e + ".jpg"), "mfoto-" + e + e + ".jpg");
}

TEST(MailRecipients, BracketedLinesGoOutWithoutTheirBrackets) {
  EXPECT_EQ(BracketedAddress("[SMTP:someone@example.com]", "someone@example.com"), "SMTP:someone@example.com");
  EXPECT_EQ(BracketedAddress("Ann [SMTP:a@b.c] x", "Ann"), "Ann SMTP:a@b.c x");
  // Only the first of each bracket goes.
  EXPECT_EQ(BracketedAddress("[[x]]", "x"), "[x]");
  // The resolved record wins when the client kept a bracket, or the line had only one.
  EXPECT_EQ(BracketedAddress("[team]", "[team] list"), std::nullopt);
  EXPECT_EQ(BracketedAddress("[team]", "team]"), std::nullopt);
  EXPECT_EQ(BracketedAddress("[team", "team"), std::nullopt);
  EXPECT_EQ(BracketedAddress("Ann", "Ann Example"), std::nullopt);
}

TEST(MailRecipients, SplitOnSemicolonsOnlyAndTrim) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitRecipients("Ann; Bob ;; Carl"), (V{"Ann", "Bob", "Carl"}));
  EXPECT_EQ(SplitRecipients("Ann, Bob"), (V{"Ann, Bob"}));
  EXPECT_EQ(SplitRecipients("\tAnn\r\n;\x01 Bob\x7f;"), (V{"Ann", "Bob\x7f"}));  // DEL is no blank
  EXPECT_EQ(SplitRecipients(" ; ;\t"), V{});
  EXPECT_EQ(SplitRecipients(""), V{});
  EXPECT_EQ(SplitRecipients("J\xC3\xB6rg M\xC3\xBCller"), (V{"J\xC3\xB6rg M\xC3\xBCller"}));
  EXPECT_EQ(JoinRecipients({"Ann", "Bob Smith", "Carl"}), "Ann;Bob Smith;Carl");
  EXPECT_EQ(JoinRecipients({}), "");
  EXPECT_EQ(SplitRecipients(JoinRecipients({"Ann", "Bob Smith"})), (V{"Ann", "Bob Smith"}));
}

TEST(MailBuffers, CopiesAreCutNeverOverrun) {
  struct {
    char buf[mapi::kTextBuffer];
    char canary[8];
  } b;
  std::memset(&b, 'Z', sizeof b);
  const std::string fits(256, 'a'), over(300, 'b');
  EXPECT_EQ(CopyBounded(fits, b.buf, sizeof b.buf), 256u);
  EXPECT_EQ(std::string(b.buf), fits);
  EXPECT_EQ(CopyBounded(over, b.buf, sizeof b.buf), 256u);
  EXPECT_EQ(std::string(b.buf), std::string(256, 'b'));
  EXPECT_EQ(std::string(b.canary, 8), std::string(8, 'Z'));
  EXPECT_EQ(CopyBounded("", b.buf, sizeof b.buf), 0u);
  EXPECT_EQ(b.buf[0], '\0');
  // A double-byte character never loses its second half at the cut.
  auto lead = [](unsigned char c) { return c >= 0x81 && c <= 0x9F; };
  std::string dbcs(255, 'a');
  dbcs += "\x82\xA0xyz";
  EXPECT_EQ(CopyBounded(dbcs, b.buf, sizeof b.buf, +lead), 255u);
  EXPECT_EQ(CopyBounded(std::string(254, 'a') + "\x82\xA0", b.buf, sizeof b.buf, +lead), 256u);
  char one[1] = {'x'};
  EXPECT_EQ(CopyBounded("abc", one, 1), 0u);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(CopyBounded("abc", one, 0), 0u);
  // Short strings are cut by characters.
  EXPECT_EQ(CutCharacters("a\xC3\xA9z", 2), "a\xC3\xA9");
  EXPECT_EQ(CutCharacters("abc", 255), "abc");
}

TEST(MailAttachmentEntry, SizeInKilobytesWithTheLocaleSeparators) {
  EXPECT_EQ(KilobytesText(1536), "1.5");
  EXPECT_EQ(KilobytesText(0), "0.0");
  EXPECT_EQ(KilobytesText(-1), "0.0");  // no such file
  EXPECT_EQ(KilobytesText(51), "0.0");
  EXPECT_EQ(KilobytesText(52), "0.1");
  EXPECT_EQ(KilobytesText(1023), "1.0");
  EXPECT_EQ(KilobytesText(1048576), "1,024.0");
  EXPECT_EQ(KilobytesText(int64_t(1024) * 999999 + 1000), "1,000,000.0");
  EXPECT_EQ(KilobytesText(1048576, ".", ","), "1.024,0");
  EXPECT_EQ(KilobytesText(1048576, "", "."), "1024.0");
  EXPECT_EQ(KilobytesText(std::numeric_limits<int64_t>::max()), "9,007,199,254,740,992.0");
}

TEST(MailAttachmentEntry, PathComesBackFromTheEntry) {
  const std::string nb(kNoBreakSpace);
  EXPECT_EQ(AttachmentEntryText("C:\\pics\\shot.jpg", 1536), "C:\\pics\\shot.jpg" + nb + "   (1.5 kb)");
  EXPECT_EQ(AttachmentEntryText("C:\\gone.txt", -1), "C:\\gone.txt" + nb + "   (0.0 kb)");
  for (const std::string& path : std::vector<std::string>{"C:\\pics\\shot.jpg", "C:\\odd" + nb + "name.jpg", "C:\\a   (b).jpg"}) {
    // A no-break space as thousands separator (some locales) must not end the path either.
    EXPECT_EQ(AttachmentEntryPath(AttachmentEntryText(path, 5 << 20, nb, ",")), path);
  }
  EXPECT_EQ(AttachmentEntryPath("C:\\plain.txt"), "C:\\plain.txt");
  EXPECT_EQ(AttachmentEntryPath("C:\\x" + nb + "y"), "C:\\x");
}

TEST(MailEncryptionChoice, AllSkipsKtxImagesByTheLastFourCharacters) {
  // "Encrypt All": everything but what is already encrypted.
  EXPECT_TRUE(EncryptsAttachment("C:\\notes.txt", true, false));
  EXPECT_TRUE(EncryptsAttachment("C:\\shot.bmp", true, true));
  EXPECT_FALSE(EncryptsAttachment("C:\\shot.bmp.ktx", true, false));
  EXPECT_FALSE(EncryptsAttachment("C:\\SHOT.KTX", true, true));
  // "Encrypt Images" alone.
  EXPECT_TRUE(EncryptsAttachment("C:\\photo.jpeg", false, true));
  EXPECT_TRUE(EncryptsAttachment("C:\\shot.bmp", false, true));
  EXPECT_TRUE(EncryptsAttachment("C:\\Shot.JpG", false, true));
  EXPECT_TRUE(EncryptsAttachment("C:\\shot.png", false, true));
  EXPECT_FALSE(EncryptsAttachment("C:\\notes.txt", false, true));
  EXPECT_FALSE(EncryptsAttachment("C:\\shot.bmp.ktx", false, true));
  EXPECT_FALSE(EncryptsAttachment("C:\\shot.gif", false, true));
  EXPECT_TRUE(EncryptsAttachment("C:\\myjpeg", false, true));  // four characters, no dot needed
  // Neither box: nothing.
  EXPECT_FALSE(EncryptsAttachment("C:\\shot.bmp", false, false));
}

TEST(MailAnsiNames, EncryptedCopiesGetNamesTheCodePageHoldsAndKeepTheirKind) {
  std::vector<std::string> used;
  auto name = [&](const std::string& path, unsigned cp = 1252) {
    return EncryptedAttachmentName("W/", path, used, cp);
  };
  const std::string snimok = "\xD1\x81\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA";  // снимок
  EXPECT_EQ(name("C:\\a\\caf\xC3\xA9.bmp"), "W/caf\xC3\xA9.bmp.ktx");             // 1252 holds it
  EXPECT_EQ(name("C:\\a\\" + snimok + ".bmp"), "W/snimok.bmp.ktx");
  EXPECT_EQ(name("C:\\b\\" + snimok + ".bmp"), "W/snimok (2).bmp.ktx");
  EXPECT_EQ(name("C:\\a\\" + snimok + ".jpg", 1251), "W/" + snimok + ".jpg.ktx");
  EXPECT_EQ(name("C:\\a\\Stra\u00DFe.jpg", 1251), "W/Strasse.jpg.ktx");
  // No simple Latin spelling (CJK): numbered, the kind kept.
  EXPECT_EQ(name("C:\\a\\\xE7\x94\xBB.jpg"), "W/attachment-1.jpg.ktx");
  EXPECT_EQ(name("C:\\b\\\xE7\x94\xBB.jpg"), "W/attachment-2.jpg.ktx");
  EXPECT_EQ(LatinSpelling("\xD0\xA9\xD1\x83\xD0\xBA\xD0\xB0 \xD0\x81\xD0\xB6"), "Shchuka Yozh");  // Щука Ёж
  EXPECT_EQ(LatinSpelling("\u00C6sir \u0141\u00F3d\u017A \u0153uvre"), "AEsir Lodz oeuvre");
  EXPECT_EQ(LatinSpelling("\xCE\xB1"), std::nullopt);  // Greek
}

TEST(MailLossyText, UnicodeClientsLoseOnlyRecipientsAndTheQuestionNamesWhat) {
  MailDraft d;
  d.subject = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
  d.body = "caf\xC3\xA9";
  using V = std::vector<std::string>;
  EXPECT_EQ(LossyParts(d, false, 1252), V{"subject"});
  EXPECT_EQ(LossyParts(d, false, 1251), V{"message text"});
  d.bcc = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD";
  EXPECT_EQ(LossyParts(d, true, 1252), V{"recipients"});
  EXPECT_EQ(LostCharactersQuestion({"recipients", "subject", "message text"}),
            "Some characters of the recipients, the subject and the message text cannot be passed to your mail "
            "program: they will arrive as \"?\".\r\n\r\nSend anyway?");
}

class MailPrepare : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("griv_mail_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "work");
    fs::create_directories(dir_ / "a");
    fs::create_directories(dir_ / "b");
    work_ = (dir_ / "work").string() + "/";
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Put(const std::string& rel, const std::string& content) {
    std::string p = (dir_ / rel).string();
    WriteFileAtomic(p, content.data(), content.size());
    return p;
  }
  static KtxCiphers Des(TDES& des) { return {des, 1252, SystemCrypto()}; }
  std::string Decrypt(const std::string& file, std::string_view key) {
    TDES d;
    d.SetCipherMode(TCipherMode::CBC);
    d.SetIV(kKtxIVText);
    d.SetKey(key);
    std::string out = (dir_ / "plain.out").string();
    d.DecryptFile(file, out);
    auto bytes = ReadWholeFile(out);
    return std::string(bytes.begin(), bytes.end());
  }
  fs::path dir_;
  std::string work_;
};

TEST_F(MailPrepare, EncryptsImagesIntoTheWorkFolderAndKeepsTheRest) {
  MailDraft d;
  d.to = "Ann; Bob ;; Carl";
  d.cc = "Dora, Ed";
  d.subject = std::string(300, 's');
  d.body = "line one\r\nline two";
  d.encryptImages = true;
  const std::string shot = Put("a/shot.bmp", "pixels of a"), same = Put("b/shot.bmp", "pixels of b"),
                    notes = Put("a/notes.txt", "plain words"), done = Put("a/old.jpg.ktx", "already");
  d.attachments = {shot, "", notes, same, done};
  TDES des;
  des.SetCipherMode(TCipherMode::ECB);
  std::vector<std::string> said;
  PreparedMail m = PrepareMail(d, work_, "k3y", KtxFormat::Des, Des(des), [&](const std::string& s) { said.push_back(s); });

  EXPECT_EQ(said, (std::vector<std::string>{kStatusEncrypting, kStatusPreparing}));
  EXPECT_EQ(m.to, (std::vector<std::string>{"Ann", "Bob", "Carl"}));
  EXPECT_EQ(m.cc, (std::vector<std::string>{"Dora, Ed"}));
  EXPECT_TRUE(m.bcc.empty());
  EXPECT_EQ(m.subject, std::string(255, 's'));
  EXPECT_EQ(m.note, d.body);
  // The empty entry is skipped; two files of one name both go out, decryptable.
  ASSERT_EQ(m.attachments.size(), 4u);
  EXPECT_EQ(m.attachments[0], work_ + "shot.bmp.ktx");
  EXPECT_EQ(m.attachments[1], notes);
  EXPECT_EQ(m.attachments[2], work_ + "shot (2).bmp.ktx");
  EXPECT_EQ(m.attachments[3], done);
  EXPECT_EQ(Decrypt(m.attachments[0], "k3y"), "pixels of a");
  EXPECT_EQ(Decrypt(m.attachments[2], "k3y"), "pixels of b");
  // The originals are untouched; the cipher keeps no key and runs in CBC.
  EXPECT_EQ(ReadWholeFile(shot).size(), 11u);
  EXPECT_TRUE(des.KeyStateIsClear());
  EXPECT_EQ(des.CipherMode(), TCipherMode::CBC);
}

TEST_F(MailPrepare, NothingToEncryptNeedsNoKeyAndSaysNoEncrypting) {
  MailDraft d;
  d.to = "Ann";
  d.attachments = {Put("a/notes.txt", "x")};
  TDES des;
  std::vector<std::string> said;
  PreparedMail m = PrepareMail(d, work_, "", KtxFormat::Des, Des(des), [&](const std::string& s) { said.push_back(s); });
  EXPECT_EQ(said, std::vector<std::string>{kStatusPreparing});
  EXPECT_EQ(m.attachments, d.attachments);
  EXPECT_TRUE(fs::is_empty(dir_ / "work"));
}

TEST_F(MailPrepare, CipherFailuresStopWithTheKeysCleared) {
  MailDraft d;
  d.encryptAll = true;
  d.attachments = {Put("a/one.txt", "1"), (dir_ / "a/missing.txt").string()};
  TDES des;
  EXPECT_THROW(PrepareMail(d, work_, "key", KtxFormat::Des, Des(des)), EFileError);
  EXPECT_TRUE(des.KeyStateIsClear());
  EXPECT_FALSE(fs::exists(dir_ / "work/missing.txt.ktx"));
  // A key of no bytes encrypts nothing.
  d.attachments.pop_back();
  EXPECT_THROW(PrepareMail(d, work_, "", KtxFormat::Des, Des(des)), EKeyError);
}

TEST_F(MailPrepare, AFailedSendTakesBackTheCopiesItEncrypted) {
  // The first two are written before the third is found missing: neither
  // may stay. A copy an earlier send left is not this send's to take.
  MailDraft d;
  d.encryptAll = true;
  const std::string earlier = Put("work/kept.txt.ktx", "an earlier send");
  d.attachments = {Put("a/one.txt", "1"), Put("b/two.jpg", "2"), (dir_ / "a/gone.bmp").string()};
  TDES des;
  EXPECT_THROW(PrepareMail(d, work_, "key", KtxFormat::Des, Des(des)), EFileError);
  EXPECT_TRUE(des.KeyStateIsClear());
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(dir_ / "work")) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"kept.txt.ktx"});
  EXPECT_EQ(ReadWholeFile(earlier).size(), 15u);
  // Put right, the same draft goes out whole.
  Put("a/gone.bmp", "3");
  PreparedMail m = PrepareMail(d, work_, "key", KtxFormat::Des, Des(des));
  ASSERT_EQ(m.attachments.size(), 3u);
  EXPECT_EQ(Decrypt(m.attachments[2], "key"), "3");
}
