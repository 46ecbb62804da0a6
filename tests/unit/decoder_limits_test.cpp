// Files that declare far more picture than their data holds are refused
// quickly and without holding much memory on the way.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

#include "image/bmp_codec.h"
#include "image/image_files.h"
#include "image/jpeg_codec.h"
#include "image/picture_preview.h"
#include "base/file_io.h"
#include "image_craft.h"

#if defined(__SANITIZE_ADDRESS__)
#define GRIV_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRIV_COUNTS_ALLOCATIONS 1
#endif
#endif
#ifdef GRIV_COUNTS_ALLOCATIONS
// The address sanitizer's allocator hooks (its header is not always installed).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                        void (*)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* p);
#endif

namespace griv {
namespace {

// Bytes held by the process through malloc and new (libjpeg's too), and the
// highest value since the last Reset.
struct HeapMeter {
  static inline std::atomic<int64_t> current{0}, peak{0};
  static bool Install() {
#ifdef GRIV_COUNTS_ALLOCATIONS
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    return installed;
#else
    return false;
#endif
  }
  static void Reset() { peak = current.load(); }
  static int64_t PeakAbove(int64_t base) { return peak - base; }

#ifdef GRIV_COUNTS_ALLOCATIONS
  static void OnMalloc(const volatile void*, size_t size) {
    const int64_t now = current += int64_t(size);
    int64_t p = peak.load();
    while (now > p && !peak.compare_exchange_weak(p, now)) {
    }
  }
  static void OnFree(const volatile void* ptr) {
    current -= int64_t(__sanitizer_get_allocated_size(ptr));
  }
#endif
};

constexpr int64_t kMaxPeak = 128 << 20;

std::vector<uint8_t> Bomb(const std::string& name) {
  return ReadWholeFile(std::string(GRIV_TEST_DATA) + "/bombs/" + name);
}

// Every bomb: refused by the file loader and by the preview, within 128 MB.
TEST(DecoderLimits, BombsAreRefusedWithBoundedMemory) {
  const bool metered = HeapMeter::Install();
  for (const char* name : {"arith_8448x16149.jpg", "arith_8000x8000.jpg", "arith_progressive_6000x6000.jpg",
                           "huffman_379_scans_3000x3000.jpg", "rle8_20000x20000.bmp", "rle8_8000x8000.bmp",
                           "rle4_8000x8000.bmp"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> data = Bomb(name);
    ASSERT_LE(data.size(), 64u * 1024);
    int64_t w = 0, h = 0;
    ASSERT_TRUE(DeclaredSize(data.data(), data.size(), w, h));
    EXPECT_GE(w * h, 9'000'000);
    for (bool grey : {false, true}) {
      JpegDecodeOptions o;
      o.grey = grey;
      const int64_t base = HeapMeter::current;
      HeapMeter::Reset();
      const auto start = std::chrono::steady_clock::now();
      EXPECT_THROW(DecodeImageFile(data[0] == 'B' ? "bomb.bmp" : "bomb.jpg", data, o), EInvalidPicture);
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (metered) {
        EXPECT_LT(HeapMeter::PeakAbove(base), kMaxPeak);
      }
      std::printf("  %-36s grey=%d refused in %.0f ms, peak %.1f MB\n", name, grey, ms,
                  metered ? double(HeapMeter::PeakAbove(base)) / (1 << 20) : -1.0);
    }
    const int64_t base = HeapMeter::current;
    HeapMeter::Reset();
    EXPECT_TRUE(PreviewPictureFromBytes(data.data(), data.size()).Empty());
    if (metered) {
      EXPECT_LT(HeapMeter::PeakAbove(base), kMaxPeak);
    }
  }
}

// The most a 60 000-byte input may still make the decoder do (30 Mi pixels
// of arithmetic-coded nothing): it is decoded, within the same 128 MB.
TEST(DecoderLimits, LargestAllowedForItsSizeStaysWithinBounds) {
  const bool metered = HeapMeter::Install();
  const std::vector<uint8_t> data = Bomb("arith_5000x6000_60k.jpg");
  const int64_t base = HeapMeter::current;
  HeapMeter::Reset();
  const auto start = std::chrono::steady_clock::now();
  const Picture p = DecodeJpeg(data);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(p.width, 5000);
  if (metered) {
    EXPECT_LT(HeapMeter::PeakAbove(base), kMaxPeak);
  }
  std::printf("  arith_5000x6000_60k.jpg decoded in %.0f ms, peak %.1f MB\n", ms,
              metered ? double(HeapMeter::PeakAbove(base)) / (1 << 20) : -1.0);
  // One byte less of the same data may not declare as much.
  EXPECT_THROW(DecodeJpeg(data.data(), 58000), EInvalidPicture);
}

// The bounds leave real files alone: large pictures whose data is as small
// as Huffman coding allows, and run-length files of long runs.
TEST(DecoderLimits, RealFilesStillDecode) {
  Picture solid;
  solid.Resize(2560, 1440, 24);  // a screen of one colour
  std::fill(solid.pixels.begin(), solid.pixels.end(), uint8_t(200));
  const std::vector<uint8_t> jpg = EncodeJpeg(solid, 90);
  EXPECT_LT(jpg.size(), 200'000u);
  EXPECT_EQ(DecodeJpeg(jpg).width, 2560);
  const Picture small = craft::TestPattern(64, 48, 24);
  for (auto kind : {craft::JpegKind::Progressive, craft::JpegKind::Arithmetic, craft::JpegKind::Grey})
    EXPECT_EQ(DecodeJpeg(craft::MakeJpeg(small, kind)).height, 48);

  // RLE8: a 5000 x 4000 picture of runs of 255 pixels, each row ended by an end-of-line.
  craft::BmpSpec s;
  s.width = 5000;
  s.height = 4000;
  s.bits = 8;
  s.compression = 1;
  s.palette = GreyPalette();
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; x += 255) {
      s.pixels.push_back(uint8_t(std::min(255, s.width - x)));
      s.pixels.push_back(uint8_t(y));
    }
    s.pixels.push_back(0), s.pixels.push_back(0);
  }
  s.pixels.push_back(0), s.pixels.push_back(1);
  const Picture rle = ReadBmp(craft::MakeBmp(s));
  EXPECT_EQ(rle.width, 5000);
  EXPECT_EQ(rle.Row(0)[4999], uint8_t(3999 & 255));
}

}  // namespace
}  // namespace griv
