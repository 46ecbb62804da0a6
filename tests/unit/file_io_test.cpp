#include "base/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include <csignal>
#include <filesystem>
#include <set>

#include "image/image_files.h"
#include "image_craft.h"

namespace griv {
namespace {

namespace fs = std::filesystem;

struct Folder {
  fs::path path = fs::temp_directory_path() / ("griv_fileio_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  Folder() {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~Folder() {
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(path);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  std::set<std::string> Entries() const {
    std::set<std::string> v;
    for (auto& e : fs::directory_iterator(path)) v.insert(e.path().filename().string());
    return v;
  }
};

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EFileIO& e) {
    return e.what();
  }
  return "no error";
}

// Files beyond `bytes` cannot grow while this lives: the next write fails
// with EFBIG, the way a full disk fails it, after the file was opened.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    old_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit r = saved_;
    r.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &r) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  void (*old_)(int) = nullptr;
  bool ok_ = false;
};

// A read-only file is never replaced, although renaming over it would work.
TEST(AtomicWrite, ReadOnlyTargetIsKept) {
  Folder dir;
  const std::string target = dir.File("shot.bmp");
  WriteImageFileBytes(target, craft::TestPattern(8, 8, 24));
  const std::vector<uint8_t> before = ReadWholeFile(target);
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  ASSERT_TRUE(IsReadOnlyFile(target));
  EXPECT_EQ(MessageOf([&] { WriteImageFileBytes(target, craft::TestPattern(20, 20, 24)); }),
            target + " is read-only");
  EXPECT_EQ(MessageOf([&] { WriteFileAtomic(target, "x", 1); }), target + " is read-only");
  EXPECT_EQ(ReadWholeFile(target), before);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"shot.bmp"});
  EXPECT_FALSE(IsReadOnlyFile(dir.File("missing")));
  EXPECT_FALSE(IsReadOnlyFile(dir.path.string()));

  // Made read-only between opening and replacing: still refused.
  const std::string other = dir.File("other.bin");
  WriteFileAtomic(other, "old", 3);
  {
    AtomicFile f(other);
    f.Write("new", 3);
    fs::permissions(other, fs::perms::owner_read);
    EXPECT_EQ(MessageOf([&] { f.Commit(); }), other + " is read-only");
  }
  EXPECT_EQ(ReadWholeFile(other), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"other.bin", "shot.bmp"}));
}

// A write that fails after the temporary file was opened (here: the file
// size limit, as a full disk would) leaves the old image byte for byte, no
// temporary behind, and says why and that the old file is unchanged. An
// image writer that wrote in place would have truncated the target.
TEST(AtomicWrite, FailureAfterOpenKeepsTheOldImage) {
  Folder dir;
  for (const char* name : {"shot.bmp", "shot.jpg"}) {
    SCOPED_TRACE(name);
    const std::string target = dir.File(name);
    WriteImageFileBytes(target, craft::TestPattern(16, 16, 24));
    const std::vector<uint8_t> before = ReadWholeFile(target);
    const Picture big = craft::TestPattern(700, 500, 24);
    std::string message;
    {
      FileSizeLimit limit(before.size() + 4096);
      ASSERT_TRUE(limit.ok());
      message = MessageOf([&] { WriteImageFileBytes(target, big); });
    }
    EXPECT_EQ(message, "Error writing file " + target +
                           ": the file is too large for this disk. The existing file was not changed.");
    EXPECT_EQ(ReadWholeFile(target), before);
    EXPECT_EQ(dir.Entries().count(std::string(name)), 1u);
  }
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"shot.bmp", "shot.jpg"}));

  // A new file that cannot be written leaves nothing, and does not claim an old one.
  std::string message;
  {
    FileSizeLimit limit(1000);
    message = MessageOf([&] { WriteImageFileBytes(dir.File("new.bmp"), craft::TestPattern(300, 300, 24)); });
  }
  EXPECT_EQ(message, "Error writing file " + dir.File("new.bmp") + ": the file is too large for this disk.");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"shot.bmp", "shot.jpg"}));
}

TEST(AtomicWrite, ReasonsInWords) {
  Folder dir;
  EXPECT_EQ(MessageOf([&] { WriteFileAtomic(dir.File("no/such/folder/a.bmp"), "x", 1); }),
            "Error writing file " + dir.File("no/such/folder/a.bmp") + ": the folder does not exist.");
  EXPECT_EQ(WriteFailureReason(ENOSPC), "the disk is full");
  EXPECT_EQ(WriteFailureReason(EACCES), "access is denied");
  EXPECT_EQ(WriteFailureReason(EROFS), "the disk is write-protected");
  EXPECT_FALSE(WriteFailureReason(EINTR).empty());
  EXPECT_EQ(WriteFailureMessage("T:\\big.bmp", "the disk is full", true),
            "Error writing file T:\\big.bmp: the disk is full. The existing file was not changed.");
}

}  // namespace
}  // namespace griv
