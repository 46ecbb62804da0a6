// DES-CBC file encryption against `openssl enc -des-cbc` on the same 64 MiB
// file, best of three runs each. Prints throughput and the ratio
// openssl_time / griv_time (above 1.0: GRIV is faster).
#include <unistd.h>

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
constexpr int kRuns = 3;
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

template <typename F>
double BestSeconds(F&& f) {
  double best = 1e30;
  for (int i = 0; i < kRuns; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    if (!f()) return -1;
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (s < best) best = s;
  }
  return best;
}

}  // namespace

int main() {
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
  double griv = BestSeconds([&] {
    des.SetIV(griv::kKtxIVText);
    des.SetKey(kKey);
    des.EncryptFile(plain, ours);
    des.ClearKeys();
    return true;
  });

  std::string cmd = "openssl enc -des-cbc -provider legacy -provider default -K " +
                    Hex(griv::TDES::KeyBytesFromText(kKey)) + " -iv " +
                    Hex(griv::TDES::IVBytesFromText(griv::kKtxIVText)) + " -in '" + plain + "' -out '" + theirs +
                    "' 2>/dev/null";
  double openssl = BestSeconds([&] { return std::system(cmd.c_str()) == 0; });

  const double mb = double(kSize) / (1 << 20);
  std::printf("DES-CBC encryption of a %zu MiB file, best of %d\n", kSize >> 20, kRuns);
  std::printf("  griv TDES::EncryptFile  %8.1f MB/s  (%.3f s)\n", mb / griv, griv);
  if (openssl > 0) {
    bool same = griv::ReadWholeFile(ours) == griv::ReadWholeFile(theirs);
    std::printf("  openssl enc -des-cbc    %8.1f MB/s  (%.3f s)\n", mb / openssl, openssl);
    std::printf("  ratio openssl_time / griv_time = %.2f (outputs %s)\n", openssl / griv,
                same ? "identical" : "DIFFER");
  } else {
    std::printf("  openssl enc -des-cbc    not available (legacy provider missing?)\n");
  }
  fs::remove_all(dir);
  return 0;
}
