// Stands in for libFuzzer's engine in the sanitizer test tree: runs the
// target once over every file under the folders it is given (its seeds and
// the kept crash inputs), so a stale property or a regression fails a test.
// The folder of kept inputs may be missing; finding no input at all fails.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    if (fs::is_regular_file(argv[i], ec)) inputs.emplace_back(argv[i]);
    for (fs::recursive_directory_iterator it(argv[i], ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file()) inputs.push_back(it->path());
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "no input found\n");
    return 1;
  }
  for (const fs::path& p : inputs) {
    // Named first, so that a sanitizer report or an abort says which input it was.
    std::printf("%s\n", p.c_str());
    std::fflush(stdout);
    std::ifstream in(p, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    // A buffer of exactly the input's size, so that reading past it is caught.
    const std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
  }
  std::printf("%zu inputs passed\n", inputs.size());
  return 0;
}
