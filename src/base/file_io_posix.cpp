// The file primitives of file_io.h on POSIX systems.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/file_io.h"

namespace griv {

FilePtr OpenFile(const std::string& name, const char* mode) { return FilePtr(std::fopen(name.c_str(), mode)); }

std::string OpenFailureMessage(const std::string& name) {
  const int e = errno;
  return "Cannot open file " + name + ": " + (e == ENOENT ? "the file does not exist" : WriteFailureReason(e));
}

bool FileExists(const std::string& name) {
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& name) {
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFileUtf8(const std::string& name) { return unlink(name.c_str()) == 0; }

int64_t FileSize(const std::string& name) {
  struct stat st {};
  if (stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

bool IsReadOnlyFile(const std::string& name) {
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& reason) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  reason = WriteFailureReason(errno);
  return false;
}

}  // namespace griv
