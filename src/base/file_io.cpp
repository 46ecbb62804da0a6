#include "base/file_io.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace griv {

std::vector<uint8_t> ReadWholeFile(const std::string& name) {
  FilePtr f = OpenFile(name, "rb");
  if (!f) throw EFileIO(OpenFailureMessage(name));
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) data.insert(data.end(), buf, buf + n);
  if (std::ferror(f.get())) throw EFileIO("Error reading file " + name);
  return data;
}

std::string ReadOnlyMessage(const std::string& name) { return name + " is read-only"; }

std::string WriteFailureReason(int e) {
  switch (e) {
    case ENOSPC: return "the disk is full";
#ifdef EDQUOT
    case EDQUOT: return "the disk quota is used up";
#endif
    case EFBIG: return "the file is too large for this disk";
    case EACCES:
    case EPERM: return "access is denied";
    case EROFS: return "the disk is write-protected";
    case ENOENT:
    case ENOTDIR: return "the folder does not exist";
    case EISDIR: return "a folder has that name";
    case EIO: return "the device reported an error";
    case 0: return "the system gave no reason";
    default: return std::strerror(e);
  }
}

std::string WriteFailureMessage(const std::string& name, const std::string& reason, bool targetExisted) {
  std::string m = "Error writing file " + name + ": " + reason + ".";
  if (targetExisted) m += " The existing file was not changed.";
  return m;
}

static std::string TempNameBeside(const std::string& target) {
  static std::mt19937 rng{std::random_device{}()};
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".~%08x.tmp", static_cast<unsigned>(rng()));
  return target + suffix;
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
  targetExisted_ = FileExists(target_);
  // Refused before anything is written: the replace at the end would
  // succeed on most systems and silently drop the protection.
  if (targetExisted_ && IsReadOnlyFile(target_)) {
    done_ = true;
    throw EFileIO(ReadOnlyMessage(target_));
  }
  int error = 0;
  for (int attempt = 0; attempt < 8 && !file_; ++attempt) {
    temp_ = TempNameBeside(target_);
    if (FileExists(temp_)) continue;
    errno = 0;
    file_ = OpenFile(temp_, "wb");
    error = errno;
  }
  if (!file_) {
    temp_.clear();
    done_ = true;
    throw EFileIO(WriteFailureMessage(target_, WriteFailureReason(error), targetExisted_));
  }
}

AtomicFile::~AtomicFile() {
  if (!done_) Discard();
}

void AtomicFile::Fail(const std::string& reason) {
  Discard();
  throw EFileIO(WriteFailureMessage(target_, reason, targetExisted_));
}

void AtomicFile::Write(const void* data, size_t size) {
  if (!file_) throw EFileIO(WriteFailureMessage(target_, "the file is already closed", targetExisted_));
  errno = 0;
  if (size && std::fwrite(data, 1, size, file_.get()) != size) Fail(WriteFailureReason(errno));
}

void AtomicFile::Commit() {
  if (!file_) throw EFileIO(WriteFailureMessage(target_, "the file is already closed", targetExisted_));
  errno = 0;
  bool ok = std::fflush(file_.get()) == 0 && !std::ferror(file_.get());
  int error = errno;
  std::FILE* f = file_.release();
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) Fail(WriteFailureReason(error));
  if (FileExists(target_) && IsReadOnlyFile(target_)) {
    Discard();
    throw EFileIO(ReadOnlyMessage(target_));
  }
  std::string reason;
  if (!MoveFileReplacing(temp_, target_, reason)) Fail(reason);
  done_ = true;
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
