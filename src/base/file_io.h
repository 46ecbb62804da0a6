// Files by UTF-8 name on both platforms, and writes that never leave a
// half-written file in place of a good one.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace griv {

class EFileIO : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// mode as for fopen ("rb", "wb"); null on failure.
FilePtr OpenFile(const std::string& utf8Name, const char* mode);
// Right after OpenFile failed: "Cannot open file <name>: <why>" (the file
// is in use by another program, access is denied...).
std::string OpenFailureMessage(const std::string& utf8Name);
bool FileExists(const std::string& utf8Name);
bool DirectoryExists(const std::string& utf8Name);
bool DeleteFileUtf8(const std::string& utf8Name);
int64_t FileSize(const std::string& utf8Name);  // -1 when missing
// Whole file; throws EFileIO when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& utf8Name);
// An existing file that the user marked read-only (no write permission for
// its owner on POSIX, the read-only attribute on Windows).
bool IsReadOnlyFile(const std::string& utf8Name);

// "<name> is read-only"
std::string ReadOnlyMessage(const std::string& utf8Name);
// Why a write failed, in words for a message ("the disk is full"), from a C
// library error number.
std::string WriteFailureReason(int errnoValue);
// "Error writing file <name>: <reason>." and, when the target existed
// before, " The existing file was not changed."
std::string WriteFailureMessage(const std::string& utf8Name, const std::string& reason, bool targetExisted);

// Moves `from` over `to` (replacing it) in one step; on failure returns false
// and sets reason (as WriteFailureReason words).
bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& reason);

// Writes to a temporary file beside target and moves it over target only when
// complete. On any failure the temporary is removed and target is untouched;
// the EFileIO says why (WriteFailureMessage, or ReadOnlyMessage for a
// read-only target, which is never replaced).
class AtomicFile {
 public:
  explicit AtomicFile(std::string target);
  ~AtomicFile();  // discards unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  std::FILE* get() const { return file_.get(); }
  void Write(const void* data, size_t size);  // throws EFileIO
  void Commit();                              // flush, close, replace target; throws EFileIO
  void Discard();

 private:
  [[noreturn]] void Fail(const std::string& reason);

  std::string target_, temp_;
  FilePtr file_;
  bool done_ = false;
  bool targetExisted_ = false;
};

// Convenience: the whole content in one atomic write.
void WriteFileAtomic(const std::string& utf8Name, const void* data, size_t size);

}  // namespace griv
