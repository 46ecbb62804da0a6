// DES-CBC file encryption against `openssl enc -des-cbc` on the same 64 MiB
// file. The two run in turns (GRIV, openssl, GRIV, ...) so both meet the same
// load on a shared machine; best of each. Prints throughput and the ratio
// openssl_time / griv_time (goal: at least 1.0, GRIV as fast or faster).
//   des_bench [runs]   (default 3 each)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kSize = 64u << 20;
constexpr std::string_view kKey = "bench key text";

std::string Hex(const std::array<uint8_t, 8>& b) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  for (uint8_t v : b) {
    s += digits[v >> 4];
    s += digits[v & 15];
  }
  return s;
}

// Seconds f takes; negative when it fails.
template <typename F>
double Seconds(F&& f) {
  auto t0 = std::chrono::steady_clock::now();
  if (!f()) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  fs::path dir = fs::temp_directory_path() / ("griv_des_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string plain = (dir / "plain.bin").string();
  const std::string ours = (dir / "griv.ktx").string();
  const std::string theirs = (dir / "openssl.ktx").string();
  {
    std::mt19937_64 rng(2026);
    std::vector<uint8_t> data(kSize);
    for (size_t i = 0; i < kSize; i += 8) {
      uint64_t v = rng();
      std::memcpy(&data[i], &v, 8);
    }
    griv::WriteFileAtomic(plain, data.data(), data.size());
  }

  griv::TDES des;
  des.SetCipherMode(griv::TCipherMode::CBC);
  auto ourRun = [&] {
    des.SetIV(griv::kKtxIVText);
    des.SetKey(kKey);
    des.EncryptFile(plain, ours);
    des.ClearKeys();
    return true;
  };
  const std::string cmd = "openssl enc -des-cbc -provider legacy -provider default -K " +
                          Hex(griv::TDES::KeyBytesFromText(kKey)) + " -iv " +
                          Hex(griv::TDES::IVBytesFromText(griv::kKtxIVText)) + " -in '" + plain + "' -out '" +
                          theirs + "' 2>/dev/null";
  auto theirRun = [&] { return std::system(cmd.c_str()) == 0; };

  double griv = 1e30, openssl = 1e30;
  for (int i = 0; i < runs && openssl > 0; ++i) {
    griv = std::min(griv, Seconds(ourRun));
    const double s = Seconds(theirRun);
    openssl = s < 0 ? s : std::min(openssl, s);
  }

  const double mb = double(kSize) / (1 << 20);
  std::printf("DES-CBC encryption of a %zu MiB file, best of %d each, in turns\n", kSize >> 20, runs);
  std::printf("  griv TDES::EncryptFile  %8.1f MB/s  (%.3f s)\n", mb / griv, griv);
  char measure[96], ourFigure[32], anchor[64], ratio[32];
  std::snprintf(measure, sizeof measure, "DES-CBC encryption, %zu MiB file (openssl time / GRIV time)", kSize >> 20);
  std::snprintf(ourFigure, sizeof ourFigure, "%.1f MB/s", mb / griv);
  int status = 0;
  if (openssl > 0) {
    const bool same = griv::ReadWholeFile(ours) == griv::ReadWholeFile(theirs);
    std::printf("  openssl enc -des-cbc    %8.1f MB/s  (%.3f s)\n", mb / openssl, openssl);
    std::printf("  ratio openssl_time / griv_time = %.2f (outputs %s)\n", openssl / griv,
                same ? "identical" : "DIFFER");
    std::snprintf(anchor, sizeof anchor, "openssl enc -des-cbc %.1f MB/s", mb / openssl);
    std::snprintf(ratio, sizeof ratio, "%.2f", openssl / griv);
    if (!same) {
      // A speed of a wrong result says nothing.
      std::fprintf(stderr, "GRIV's and openssl's encrypted files differ\n");
      std::snprintf(ratio, sizeof ratio, "outputs differ");
      status = 1;
    }
  } else {
    std::printf("  openssl enc -des-cbc    failed (legacy provider missing?)\n");
    std::fprintf(stderr, "openssl enc -des-cbc failed\n");
    std::snprintf(anchor, sizeof anchor, "openssl enc -des-cbc failed");
    std::snprintf(ratio, sizeof ratio, "-");
    status = 1;
  }
  std::printf("TABLE|%s|%s|%s|%s|>= 1.0\n", measure, anchor, ourFigure, ratio);
  fs::remove_all(dir);
  return status;
}
