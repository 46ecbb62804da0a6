#include "image/resample.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace griv {

namespace {

// How n source cells spread over m output cells (m <= n): output j covers
// [j*n, (j+1)*n) in units of 1/m of a source cell, and takes each source
// cell i it meets with the length they share. The weights of one output add
// up to n.
struct Span {
  int first = 0, count = 0;
  size_t weights = 0;  // index of its first weight
};

void MakeSpans(int n, int m, std::vector<Span>& spans, std::vector<uint32_t>& weights) {
  spans.resize(size_t(m));
  weights.clear();
  for (int j = 0; j < m; ++j) {
    const int64_t lo = int64_t(j) * n, hi = int64_t(j + 1) * n;
    const int first = int(lo / m), last = int((hi - 1) / m);
    spans[size_t(j)] = {first, last - first + 1, weights.size()};
    for (int i = first; i <= last; ++i) {
      const int64_t a = std::max(lo, int64_t(i) * m), b = std::min(hi, int64_t(i + 1) * m);
      weights.push_back(uint32_t(b - a));
    }
  }
}

}  // namespace

Picture ShrinkSmooth(const Picture& src, int w, int h) {
  if (w < 1 || h < 1 || w > src.width || h > src.height) throw std::invalid_argument("not a reduction");
  const int W = src.width, H = src.height;
  const int bytes = src.bpp / 8;
  if (bytes != 1 && bytes != 3 && bytes != 4) throw std::invalid_argument("unsupported depth");
  uint8_t lut[256][3] = {};
  for (size_t i = 0; i < src.palette.size() && i < 256; ++i)
    for (int c = 0; c < 3; ++c) lut[i][c] = uint8_t(src.palette[i] >> (8 * c));

  std::vector<Span> xs, ys;
  std::vector<uint32_t> xw, yw;
  MakeSpans(W, w, xs, xw);
  MakeSpans(H, h, ys, yw);

  Picture out;
  out.Resize(w, h, 24);
  // A source row reduced across: each channel as value * 256, rounded.
  std::vector<uint32_t> across(size_t(w) * 3), sums(size_t(w) * 3);
  for (int y = 0; y < h; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    const Span& sy = ys[size_t(y)];
    for (int k = 0; k < sy.count; ++k) {
      const uint8_t* row = src.Row(sy.first + k);
      for (int x = 0; x < w; ++x) {
        const Span& sx = xs[size_t(x)];
        uint32_t c0 = 0, c1 = 0, c2 = 0;
        for (int i = 0; i < sx.count; ++i) {
          const uint32_t wt = xw[sx.weights + size_t(i)];
          const uint8_t* p = row + size_t(sx.first + i) * size_t(bytes);
          const uint8_t* v = bytes == 1 ? lut[*p] : p;
          c0 += wt * v[0];
          c1 += wt * v[1];
          c2 += wt * v[2];
        }
        // The weights add up to W: 255 * W fits, and so does the vertical sum
        // of 65280 * H below for every side the picture limits allow.
        across[size_t(x) * 3] = (c0 * 256 + uint32_t(W) / 2) / uint32_t(W);
        across[size_t(x) * 3 + 1] = (c1 * 256 + uint32_t(W) / 2) / uint32_t(W);
        across[size_t(x) * 3 + 2] = (c2 * 256 + uint32_t(W) / 2) / uint32_t(W);
      }
      const uint32_t wt = yw[sy.weights + size_t(k)];
      for (size_t i = 0; i < sums.size(); ++i) sums[i] += wt * across[i];
    }
    uint8_t* d = out.Row(y);
    const uint64_t div = uint64_t(H) * 256;
    for (size_t i = 0; i < sums.size(); ++i) d[i] = uint8_t((uint64_t(sums[i]) + div / 2) / div);
  }
  return out;
}

ThumbSize FitInside(int width, int height, int maxW, int maxH) {
  if (width <= 0 || height <= 0 || maxW <= 0 || maxH <= 0) return {};
  if (width <= maxW && height <= maxH) return {width, height};
  // Whichever side reaches its limit first decides.
  if (int64_t(width) * maxH >= int64_t(height) * maxW)
    return {maxW, std::max(1, int((int64_t(height) * maxW + width / 2) / width))};
  return {std::max(1, int((int64_t(width) * maxH + height / 2) / height)), maxH};
}

}  // namespace griv
