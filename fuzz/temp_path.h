// A folder for the files a target writes on every run: in memory-backed
// storage when there is one, one per process, removed when the process ends.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace griv {

inline std::string FuzzTempFolder(const char* target) {
  // Never destroyed: the exit handler runs after the destructors of statics.
  static const std::string& folder = *[&] {
    auto* f = new std::string(std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/griv_" + target +
                              "_" + std::to_string(getpid()) + "/");
    std::filesystem::create_directories(*f);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
    });
    return f;
  }();
  return folder;
}

}  // namespace griv
