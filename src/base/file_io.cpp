#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <random>

#ifdef _WIN32
#include <windows.h>

#include "base/utf.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace griv {

FilePtr OpenFile(const std::string& name, const char* mode) {
#ifdef _WIN32
  return FilePtr(_wfopen(Widen(name).c_str(), Widen(mode).c_str()));
#else
  return FilePtr(std::fopen(name.c_str(), mode));
#endif
}

bool FileExists(const std::string& name) {
#ifdef _WIN32
  DWORD a = GetFileAttributesW(Widen(name).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

bool DirectoryExists(const std::string& name) {
#ifdef _WIN32
  DWORD a = GetFileAttributesW(Widen(name).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

bool DeleteFileUtf8(const std::string& name) {
#ifdef _WIN32
  return DeleteFileW(Widen(name).c_str()) != 0;
#else
  return unlink(name.c_str()) == 0;
#endif
}

int64_t FileSize(const std::string& name) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(Widen(name).c_str(), GetFileExInfoStandard, &d)) return -1;
  if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (int64_t(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
#else
  struct stat st {};
  if (stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
#endif
}

std::vector<uint8_t> ReadWholeFile(const std::string& name) {
  FilePtr f = OpenFile(name, "rb");
  if (!f) throw EFileIO("Cannot open file " + name);
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) data.insert(data.end(), buf, buf + n);
  if (std::ferror(f.get())) throw EFileIO("Error reading file " + name);
  return data;
}

static std::string TempNameBeside(const std::string& target) {
  static std::mt19937 rng{std::random_device{}()};
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".~%08x.tmp", static_cast<unsigned>(rng()));
  return target + suffix;
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  for (int attempt = 0; attempt < 8 && !file_; ++attempt) {
    temp_ = TempNameBeside(target_);
    if (FileExists(temp_)) continue;
    file_ = OpenFile(temp_, "wb");
  }
  if (!file_) throw EFileIO("Cannot create file " + target_);
}

AtomicFile::~AtomicFile() {
  if (!done_) Discard();
}

void AtomicFile::Write(const void* data, size_t size) {
  if (!file_) throw EFileIO("Error writing file " + target_);
  if (size && std::fwrite(data, 1, size, file_.get()) != size) throw EFileIO("Error writing file " + target_);
}

void AtomicFile::Commit() {
  if (!file_) throw EFileIO("Error writing file " + target_);
  bool ok = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
  std::FILE* f = file_.release();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) {
    DeleteFileUtf8(temp_);
    done_ = true;
    throw EFileIO("Error writing file " + target_);
  }
#ifdef _WIN32
  ok = MoveFileExW(Widen(temp_).c_str(), Widen(target_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
  ok = std::rename(temp_.c_str(), target_.c_str()) == 0;
#endif
  done_ = true;
  if (!ok) {
    DeleteFileUtf8(temp_);
    throw EFileIO("Cannot replace file " + target_);
  }
}

void AtomicFile::Discard() {
  file_.reset();
  if (!temp_.empty()) DeleteFileUtf8(temp_);
  done_ = true;
}

void WriteFileAtomic(const std::string& name, const void* data, size_t size) {
  AtomicFile f(name);
  f.Write(data, size);
  f.Commit();
}

}  // namespace griv
