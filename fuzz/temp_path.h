// Names for the files a target writes on every run: in memory-backed storage
// when there is one, and one set per process.
#pragma once
#include <unistd.h>

#include <string>

namespace griv {

inline std::string FuzzTempBase(const char* target) {
  static const std::string base = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/griv_" +
                                  target + "_" + std::to_string(getpid());
  return base;
}

}  // namespace griv
