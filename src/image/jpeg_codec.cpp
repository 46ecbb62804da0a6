#include "image/jpeg_codec.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

// libjpeg reports fatal errors through error_exit, which must not return. It
// is called from C frames, so a C++ exception cannot travel through them on
// every target; it longjmps back instead. The functions that call setjmp
// (RunDecode, RunEncode) therefore hold no object with a destructor: all C++
// state lives in their callers and is reached through plain pointers, and
// the helpers they call finish before libjpeg can fail again.

namespace griv {
namespace {

constexpr int kMaxScans = 500;    // real progressive files use about ten
constexpr int kBatchRows = 16;

// What a file may make the decoder spend. Arithmetic coding (and Huffman
// progressive scans with long end-of-band runs) can describe a huge picture
// in a few hundred bytes, so pixels, memory and work are tied to the size of
// the input instead of the declared picture alone. A Huffman-coded file
// needs at least one bit per 8x8 block, i.e. it holds at most 512 pixels
// (1536 bytes of 24-bit result) per byte, so real files pass (the one kind
// refused is a progressive file of more than about 8 Mi pixels that is all
// one colour, whose coefficient buffers come on top of the result):
//  - pixels: up to kFreeDecodePixels for any file (two 4K screens), beyond
//    that kPixelsPerInputByte for each byte of input. Decoding time follows
//    the pixels: a 64 KB input gives at most 32 Mi pixels.
//  - memory (the result plus libjpeg's whole-image buffers): up to
//    kFreeDecodeBytes, beyond that kDecodeBytesPerInputByte for each byte;
//    96 MiB for a 64 KB input.
//  - work: the blocks that the scans of a multi-scan file visit, at most
//    kScanVisitsPerBlock times the picture's blocks (the usual progressive
//    script needs about 6), checked at the start of each scan before it runs.
constexpr uint64_t kFreeDecodePixels = 16ull << 20;
constexpr uint64_t kPixelsPerInputByte = 512;
constexpr uint64_t kFreeDecodeBytes = 48ull << 20;
constexpr uint64_t kDecodeBytesPerInputByte = 3 * kPixelsPerInputByte;
constexpr uint64_t kScanVisitsPerBlock = 32;

uint64_t DecodeMemoryBudget(size_t inputBytes) {
  const uint64_t byInput = uint64_t(inputBytes) * kDecodeBytesPerInputByte;
  return std::min(std::max(kFreeDecodeBytes, byInput), kMaxPictureBytes + (kMaxPictureBytes >> 1));
}

struct ErrorMgr {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool shortDataFatal;  // entropy data that ends before the rows do is an error
  bool eofFatal;        // so is the end of the file (arithmetic coding reports nothing else)
  bool arithSingleScan; // arithmetic coding, one scan: see ArithDataEndedEarly
};

void OnError(j_common_ptr c) {
  ErrorMgr* e = reinterpret_cast<ErrorMgr*>(c->err);
  (*c->err->format_message)(c, e->message);
  std::longjmp(e->jump, 1);
}

void OnMessage(j_common_ptr c, int level) {
  ErrorMgr* e = reinterpret_cast<ErrorMgr*>(c->err);
  // The decoder fills missing data with zeros after this warning; the result
  // would be a picture with a grey rest, so a cut-off file counts as invalid.
  if (level < 0 && c->err->msg_code == JWRN_HIT_MARKER && e->shortDataFatal) (*c->err->error_exit)(c);
  if (level < 0 && c->err->msg_code == JWRN_JPEG_EOF && e->eofFatal) (*c->err->error_exit)(c);
  // other warnings (also a missing end marker) and trace messages are ignored
}

// An arithmetic coder may leave out the last bytes of a scan, so its decoder
// meets the next marker early and supplies zeros, but only within the final
// rows; meeting it sooner means the data ends early and the rest would be
// made up (libjpeg warns of nothing then).
bool ArithDataEndedEarly(j_decompress_ptr d) {
  return reinterpret_cast<ErrorMgr*>(d->err)->arithSingleScan && d->unread_marker != 0 &&
         d->input_iMCU_row + 2 < d->total_iMCU_rows;
}

struct ProgressMgr {
  jpeg_progress_mgr pub;
  int lastScan;          // the scan whose blocks are counted in visits
  uint64_t visits;       // blocks the scans so far go through
  uint64_t visitBudget;  // 0 until the picture's size is known
};

// Blocks of the components that the current scan covers.
uint64_t ScanBlocks(j_decompress_ptr d) {
  uint64_t blocks = 0;
  for (int i = 0; i < d->comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i)
    if (const jpeg_component_info* ci = d->cur_comp_info[i])
      blocks += uint64_t(ci->width_in_blocks) * ci->height_in_blocks;
  return blocks;
}

// Called before every step of input (also while a multi-scan file is taken
// in whole before output, and during the colour quantiser's first pass,
// which reads the whole picture before the first row comes out).
void OnProgress(j_common_ptr c) {
  if (!c->is_decompressor) return;
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(c);
  ProgressMgr* p = reinterpret_cast<ProgressMgr*>(c->progress);
  if (p->visitBudget && d->input_scan_number != p->lastScan) {
    p->lastScan = d->input_scan_number;
    p->visits += ScanBlocks(d);
  }
  const char* why = d->input_scan_number > kMaxScans                      ? "too many scans"
                    : p->visitBudget && p->visits > p->visitBudget        ? "scans need too much work"
                    : ArithDataEndedEarly(d)                              ? "data ends before the picture"
                                                                          : nullptr;
  if (why) {
    ErrorMgr* e = reinterpret_cast<ErrorMgr*>(c->err);
    std::snprintf(e->message, sizeof e->message, "%s", why);
    std::longjmp(e->jump, 1);
  }
}

void InitErrors(ErrorMgr* err) {
  std::memset(err, 0, sizeof *err);
  jpeg_std_error(&err->pub);
  err->pub.error_exit = OnError;
  err->pub.emit_message = OnMessage;
  err->shortDataFatal = true;
}

// ---------------------------------------------------------------- decoding

enum class OutMode { Bgr, Grey, Palette, CmykBgr, CmykGrey };

struct DecodeJob {
  const uint8_t* data;
  size_t size;
  JpegDecodeOptions options;
  Picture* pic;
  std::vector<uint8_t>* scratch;  // CMYK rows before conversion
  OutMode mode;
  const char* failure;            // our own reason, when not libjpeg's
};

// Allocates the whole result at once: growing it row by row would hold the
// old and the new buffer together at each step (half as much again at the
// peak). What a file may claim is already tied to its size, so a tiny file
// cannot make this large.
bool BeginPicture(DecodeJob* job, int w, int h, int bits) noexcept {
  try {
    job->pic->ResizeForOverwrite(w, h, bits);
    // The decoder writes the pixels only; rows go into files and onto the
    // clipboard whole, so their padding must not carry old memory.
    const size_t used = size_t(w) * size_t(bits / 8), stride = size_t(job->pic->Stride());
    if (used < stride)
      for (int y = 0; y < h; ++y) std::memset(job->pic->Row(y) + used, 0, stride - used);
    if (job->mode == OutMode::CmykBgr || job->mode == OutMode::CmykGrey)
      job->scratch->assign(size_t(w) * 4 * kBatchRows, 0);
    return true;
  } catch (const EInvalidPicture&) {
    job->failure = "picture too large";
  } catch (...) {
    job->failure = "out of memory";
  }
  return false;
}

// Makes rows [0, rows) of the result exist.
bool EnsureRows(DecodeJob* job, int rows) noexcept {
  Picture& p = *job->pic;
  const size_t stride = size_t(p.Stride());
  const size_t total = stride * size_t(p.height);
  const size_t need = stride * size_t(rows);
  if (need <= p.pixels.size()) return true;
  try {
    if (need > p.pixels.capacity())
      p.pixels.reserve(std::min(total, std::max({need, p.pixels.capacity() * 2, size_t(1) << 20})));
    p.pixels.resize(need);
    return true;
  } catch (...) {
    job->failure = "out of memory";
    return false;
  }
}

// CMYK as Adobe applications store it (inverted) or plain.
void ConvertCmyk(DecodeJob* job, bool inverted, int firstRow, int rows) noexcept {
  Picture& p = *job->pic;
  const int w = p.width;
  for (int r = 0; r < rows; ++r) {
    const uint8_t* s = job->scratch->data() + size_t(r) * w * 4;
    uint8_t* o = p.Row(firstRow + r);
    for (int x = 0; x < w; ++x, s += 4) {
      int c = s[0], m = s[1], y = s[2], k = s[3];
      if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
      const int R = c * k / 255, G = m * k / 255, B = y * k / 255;
      if (job->mode == OutMode::CmykGrey) {
        o[x] = uint8_t((R * 19595 + G * 38470 + B * 7471 + 32768) >> 16);
      } else {
        o[3 * x] = uint8_t(B), o[3 * x + 1] = uint8_t(G), o[3 * x + 2] = uint8_t(R);
      }
    }
  }
}

bool SetPalette(DecodeJob* job, JSAMPARRAY map, int count, int components) noexcept {
  try {
    std::vector<uint32_t>& pal = job->pic->palette;
    pal.assign(size_t(std::clamp(count, 0, 256)), 0);
    for (size_t i = 0; i < pal.size(); ++i) {
      uint32_t r = map[0][i], g = components >= 3 ? map[1][i] : r, b = components >= 3 ? map[2][i] : r;
      pal[i] = (r << 16) | (g << 8) | b;
    }
    return true;
  } catch (...) {
    job->failure = "out of memory";
    return false;
  }
}

bool SetGreyPalette(DecodeJob* job) noexcept {
  try {
    job->pic->palette = GreyPalette();
    return true;
  } catch (...) {
    job->failure = "out of memory";
    return false;
  }
}

// Working memory libjpeg will ask for beyond a few rows: whole-image
// coefficient buffers for multi-scan files, a whole-image buffer for the
// two-pass colour quantiser.
uint64_t WorkingMemory(j_decompress_ptr c) {
  uint64_t bytes = 0;
  if (c->progressive_mode || jpeg_has_multiple_scans(c)) {
    for (int i = 0; i < c->num_components; ++i) {
      const jpeg_component_info& ci = c->comp_info[i];
      bytes += uint64_t(ci.width_in_blocks + ci.h_samp_factor) * (ci.height_in_blocks + ci.v_samp_factor) *
               sizeof(JBLOCK);
    }
  }
  if (c->quantize_colors) bytes += uint64_t(c->output_width) * c->output_height * 3;
  return bytes;
}

// Every block of a complete Huffman-coded picture costs at least one bit, so
// shorter data cannot hold the picture its header claims (arithmetic coding
// has no such floor).
uint64_t MinimumBits(j_decompress_ptr c) {
  if (c->arith_code) return 0;
  uint64_t blocks = 0;
  for (int i = 0; i < c->num_components; ++i)
    blocks += uint64_t(c->comp_info[i].width_in_blocks) * c->comp_info[i].height_in_blocks;
  return blocks;
}

uint64_t TotalBlocks(j_decompress_ptr c) {
  uint64_t blocks = 0;
  for (int i = 0; i < c->num_components; ++i)
    blocks += uint64_t(c->comp_info[i].width_in_blocks) * c->comp_info[i].height_in_blocks;
  return blocks;
}

bool RunDecode(jpeg_decompress_struct* c, ErrorMgr* err, ProgressMgr* progress, DecodeJob* job) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(c);
  c->progress = &progress->pub;
  const uint64_t budget = DecodeMemoryBudget(job->size);
  // libjpeg's whole-image buffers come out of the same budget.
  c->mem->max_memory_to_use = long(std::min<uint64_t>(budget, LONG_MAX));
  jpeg_mem_src(c, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(c, TRUE);
  err->eofFatal = c->arith_code;
  err->arithSingleScan = c->arith_code && !jpeg_has_multiple_scans(c);

  const bool cmyk = c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK;
  if (cmyk) {
    c->out_color_space = JCS_CMYK;
    job->mode = job->options.grey ? OutMode::CmykGrey : OutMode::CmykBgr;
  } else if (job->options.grey) {
    c->out_color_space = JCS_GRAYSCALE;
    job->mode = OutMode::Grey;
  } else if (job->options.palette8) {
    c->out_color_space = JCS_RGB;
    c->quantize_colors = TRUE;
    c->desired_number_of_colors = 256;
    job->mode = OutMode::Palette;
  } else {
    c->out_color_space = JCS_EXT_BGR;
    job->mode = OutMode::Bgr;
  }
  jpeg_calc_output_dimensions(c);
  const bool eight = job->mode == OutMode::Grey || job->mode == OutMode::Palette || job->mode == OutMode::CmykGrey;
  if (c->output_width > unsigned(kMaxPictureSide) || c->output_height > unsigned(kMaxPictureSide)) {
    job->failure = "picture too large";
    return false;
  }
  if (MinimumBits(c) > uint64_t(job->size) * 8) {
    job->failure = "data too short for the picture size";
    return false;
  }
  const int w = int(c->output_width), h = int(c->output_height);
  const uint64_t resultBytes = uint64_t(Picture::StrideFor(w, eight ? 8 : 24)) * uint64_t(h);
  if (uint64_t(w) * uint64_t(h) > std::max(kFreeDecodePixels, uint64_t(job->size) * kPixelsPerInputByte) ||
      resultBytes + WorkingMemory(c) > budget) {
    job->failure = "picture too large for the size of its data";
    return false;
  }
  if (!BeginPicture(job, w, h, eight ? 8 : 24)) return false;
  progress->visitBudget = std::max<uint64_t>(1, TotalBlocks(c) * kScanVisitsPerBlock);

  jpeg_start_decompress(c);
  const bool viaScratch = job->mode == OutMode::CmykBgr || job->mode == OutMode::CmykGrey;
  JSAMPROW rows[kBatchRows];
  while (c->output_scanline < c->output_height) {
    const int y = int(c->output_scanline);
    const int k = std::min(kBatchRows, h - y);
    if (!EnsureRows(job, y + k)) return false;
    for (int i = 0; i < k; ++i)
      rows[i] = viaScratch ? job->scratch->data() + size_t(i) * w * 4 : job->pic->Row(y + i);
    const int got = int(jpeg_read_scanlines(c, rows, JDIMENSION(k)));
    if (got <= 0) {
      job->failure = "decoder stalled";
      return false;
    }
    if (viaScratch) ConvertCmyk(job, c->saw_Adobe_marker, y, got);
    if (ArithDataEndedEarly(c)) {
      job->failure = "data ends before the picture";
      return false;
    }
  }
  err->shortDataFatal = err->eofFatal = err->arithSingleScan = false;  // all rows are in
  if (job->mode == OutMode::Palette && !SetPalette(job, c->colormap, c->actual_number_of_colors, c->out_color_components))
    return false;
  if ((job->mode == OutMode::Grey || job->mode == OutMode::CmykGrey) && !SetGreyPalette(job)) return false;
  jpeg_finish_decompress(c);
  return true;
}

// ---------------------------------------------------------------- encoding

struct VectorDest {
  jpeg_destination_mgr pub;
  std::vector<uint8_t>* out;
  size_t initial;
};

bool GrowOutput(VectorDest* d) noexcept {
  try {
    d->out->resize(d->out->empty() ? d->initial : d->out->size() * 2);
    return true;
  } catch (...) {
    return false;
  }
}

void DestInit(j_compress_ptr c) {
  VectorDest* d = reinterpret_cast<VectorDest*>(c->dest);
  d->out->clear();
  if (!GrowOutput(d)) ERREXIT1(c, JERR_OUT_OF_MEMORY, 0);
  d->pub.next_output_byte = d->out->data();
  d->pub.free_in_buffer = d->out->size();
}

boolean DestEmpty(j_compress_ptr c) {
  VectorDest* d = reinterpret_cast<VectorDest*>(c->dest);
  const size_t used = d->out->size();  // the whole buffer is full
  if (!GrowOutput(d)) ERREXIT1(c, JERR_OUT_OF_MEMORY, 1);
  d->pub.next_output_byte = d->out->data() + used;
  d->pub.free_in_buffer = d->out->size() - used;
  return TRUE;
}

void DestTerm(j_compress_ptr c) {
  VectorDest* d = reinterpret_cast<VectorDest*>(c->dest);
  d->out->resize(d->out->size() - d->pub.free_in_buffer);
}

struct EncodeJob {
  const Picture* pic;
  int quality;
  VectorDest dest;
  std::vector<uint8_t>* scratch;  // 8-bit rows expanded to BGR
  const uint8_t (*lut)[3];
};

void ExpandRows(EncodeJob* job, int firstRow, int rows) noexcept {
  const Picture& p = *job->pic;
  for (int r = 0; r < rows; ++r) {
    const uint8_t* s = p.Row(firstRow + r);
    uint8_t* o = job->scratch->data() + size_t(r) * p.width * 3;
    for (int x = 0; x < p.width; ++x, o += 3) std::memcpy(o, job->lut[s[x]], 3);
  }
}

bool RunEncode(jpeg_compress_struct* c, ErrorMgr* err, EncodeJob* job) {
  if (setjmp(err->jump)) return false;
  jpeg_create_compress(c);
  job->dest.pub.init_destination = DestInit;
  job->dest.pub.empty_output_buffer = DestEmpty;
  job->dest.pub.term_destination = DestTerm;
  c->dest = &job->dest.pub;

  const Picture& p = *job->pic;
  c->image_width = JDIMENSION(p.width);
  c->image_height = JDIMENSION(p.height);
  c->input_components = p.bpp == 32 ? 4 : 3;
  c->in_color_space = p.bpp == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(c);
  jpeg_set_quality(c, job->quality, TRUE);
  jpeg_start_compress(c, TRUE);
  JSAMPROW rows[kBatchRows];
  while (c->next_scanline < c->image_height) {
    const int y = int(c->next_scanline);
    const int k = std::min(kBatchRows, p.height - y);
    if (p.bpp == 8) {
      ExpandRows(job, y, k);
      for (int i = 0; i < k; ++i) rows[i] = job->scratch->data() + size_t(i) * p.width * 3;
    } else {
      for (int i = 0; i < k; ++i) rows[i] = const_cast<uint8_t*>(p.Row(y + i));
    }
    jpeg_write_scanlines(c, rows, JDIMENSION(k));
  }
  jpeg_finish_compress(c);
  return true;
}

bool RunReadHeader(jpeg_decompress_struct* c, ErrorMgr* err, const uint8_t* data, size_t size) {
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(c);
  jpeg_mem_src(c, data, static_cast<unsigned long>(size));
  return jpeg_read_header(c, TRUE) == JPEG_HEADER_OK;
}

}  // namespace

bool JpegDeclaredSize(const uint8_t* data, size_t size, int& width, int& height) {
  if (!data || size == 0 || size > ULONG_MAX) return false;
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorMgr err;
  InitErrors(&err);
  cinfo.err = &err.pub;
  const bool ok = RunReadHeader(&cinfo, &err, data, size);
  if (ok) {
    width = int(cinfo.image_width);
    height = int(cinfo.image_height);
  }
  jpeg_destroy_decompress(&cinfo);
  return ok;
}

Picture DecodeJpeg(const uint8_t* data, size_t size, const JpegDecodeOptions& options) {
  if (!data || size == 0) throw EInvalidPicture("Invalid JPEG: no data");
  if (size > ULONG_MAX) throw EInvalidPicture("Invalid JPEG: too large");
  Picture pic;
  std::vector<uint8_t> scratch;
  DecodeJob job{data, size, options, &pic, &scratch, OutMode::Bgr, nullptr};
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorMgr err;
  InitErrors(&err);
  cinfo.err = &err.pub;
  ProgressMgr progress;
  std::memset(&progress, 0, sizeof progress);
  progress.pub.progress_monitor = OnProgress;

  const bool ok = RunDecode(&cinfo, &err, &progress, &job);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) throw EInvalidPicture(std::string("Invalid JPEG: ") + (job.failure ? job.failure : err.message));
  return pic;
}

std::vector<uint8_t> EncodeJpeg(const Picture& pic, int quality) {
  if (pic.Empty()) throw EInvalidPicture("Cannot write an empty picture");
  Picture::CheckSize(pic.width, pic.height, pic.bpp);
  if (pic.pixels.size() < size_t(pic.Stride()) * size_t(pic.height)) throw EInvalidPicture("Picture data incomplete");

  std::vector<uint8_t> out, scratch;
  uint8_t lut[256][3] = {};
  if (pic.bpp == 8) {
    const size_t n = std::min<size_t>(pic.palette.size(), 256);
    for (size_t i = 0; i < n; ++i)
      lut[i][0] = uint8_t(pic.palette[i]), lut[i][1] = uint8_t(pic.palette[i] >> 8), lut[i][2] = uint8_t(pic.palette[i] >> 16);
    if (pic.palette.empty())
      for (int i = 0; i < 256; ++i) lut[i][0] = lut[i][1] = lut[i][2] = uint8_t(i);
    scratch.assign(size_t(pic.width) * 3 * kBatchRows, 0);
  }
  EncodeJob job{&pic, std::clamp(quality, 1, 100), {}, &scratch, lut};
  job.dest.out = &out;
  // Screenshots at quality 90 take about half a byte per pixel; most fit at once.
  job.dest.initial = std::max<size_t>(size_t(pic.width) * size_t(pic.height) / 2, 16384);

  jpeg_compress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorMgr err;
  InitErrors(&err);
  cinfo.err = &err.pub;
  const bool ok = RunEncode(&cinfo, &err, &job);
  jpeg_destroy_compress(&cinfo);
  if (!ok) throw EInvalidPicture(std::string("JPEG coding failed: ") + err.message);
  if (out.capacity() > 2 * out.size()) out.shrink_to_fit();
  return out;
}

}  // namespace griv
