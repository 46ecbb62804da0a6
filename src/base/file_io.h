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
bool FileExists(const std::string& utf8Name);
bool DirectoryExists(const std::string& utf8Name);
bool DeleteFileUtf8(const std::string& utf8Name);
int64_t FileSize(const std::string& utf8Name);  // -1 when missing
// Whole file; throws EFileIO when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& utf8Name);

// Writes to a temporary file beside target and moves it over target only when
// complete. On any failure the temporary is removed and target is untouched.
class AtomicFile {
 public:
  explicit AtomicFile(std::string target);
  ~AtomicFile();  // discards unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  std::FILE* get() const { return file_.get(); }
  const std::string& TempName() const { return temp_; }
  void Write(const void* data, size_t size);  // throws EFileIO
  void Commit();                              // flush, close, replace target; throws EFileIO
  void Discard();

 private:
  std::string target_, temp_;
  FilePtr file_;
  bool done_ = false;
};

// Convenience: the whole content in one atomic write.
void WriteFileAtomic(const std::string& utf8Name, const void* data, size_t size);

}  // namespace griv
