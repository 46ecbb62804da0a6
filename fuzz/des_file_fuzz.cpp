// TDES::DecryptFile on arbitrary files, through its chunked file path: it
// must fail cleanly (no output left) or agree with the in-memory decryption.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"
#include "temp_path.h"

using namespace griv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto mode = static_cast<TCipherMode>(data[0] & 3);
  // Long inputs are made from short ones by repeating the body, so several
  // chunks are reached without huge test cases.
  const size_t repeat = 1 + (data[0] >> 2) * 97;
  std::vector<uint8_t> body;
  for (size_t r = 0; r < repeat && body.size() < 5 * TDES::kChunk; ++r) body.insert(body.end(), data + 1, data + size);
  const std::string in = FuzzTempFolder("des_file") + "in.ktx", out = FuzzTempFolder("des_file") + "out";
  WriteFileAtomic(in, body.data(), body.size());
  DeleteFileUtf8(out);

  TDES file, memory;
  for (TDES* d : {&file, &memory}) {
    d->SetCipherMode(mode);
    d->SetIV(kKtxIVText);
    d->SetKey("fuzzing key");
  }
  bool fileOk = true, memoryOk = true;
  std::vector<uint8_t> expected;
  try {
    file.DecryptFile(in, out);
  } catch (const EFileError&) {
    fileOk = false;
  }
  try {
    expected = memory.DecryptBytes(body);
  } catch (const EFileError&) {
    memoryOk = false;
  }
  if (fileOk != memoryOk) std::abort();
  if (fileOk && ReadWholeFile(out) != expected) std::abort();
  if (!fileOk && FileExists(out)) std::abort();
  if (file.ChainingRegister() != memory.ChainingRegister() && fileOk) std::abort();
  DeleteFileUtf8(in);
  DeleteFileUtf8(out);
  return 0;
}
