#include "image/image_files.h"

#include <algorithm>

#include "image/bmp_codec.h"
#include "image/png_codec.h"
#include "base/file_io.h"
#include "base/strings.h"

namespace griv {

namespace {
std::string UpperExt(std::string_view name) { return UpperCase(ExtractFileExt(name)); }
}  // namespace

bool IsBmpName(std::string_view name) { return UpperExt(name) == ".BMP"; }

bool IsJpegName(std::string_view name) {
  const std::string e = UpperExt(name);
  return e == ".JPG" || e == ".JPEG";
}

bool IsPngName(std::string_view name) { return UpperExt(name) == ".PNG"; }

bool IsImageFileName(std::string_view name) { return IsBmpName(name) || IsJpegName(name) || IsPngName(name); }

int SaveFilterIndex(std::string_view autoExt) {
  if (autoExt == ".jpg") return 2;
  if (autoExt == ".png") return kSaveFilterPng;
  return 1;
}

std::string SaveAsTargetName(std::string_view chosen, int filterIndex) {
  std::string f(chosen);
  if (!IsImageFileName(f)) f += filterIndex == 1 ? ".bmp" : filterIndex == kSaveFilterPng ? ".png" : ".jpg";
  return f;
}

std::string OverwriteQuestion(std::string_view name) {
  return "File " + std::string(name) + " exists.\r" + " Overwrite ?";
}

std::vector<uint8_t> EncodeImageFile(std::string_view name, const Picture& pic) {
  if (IsBmpName(name)) return WriteBmp(pic);
  if (IsPngName(name)) return EncodePng(pic);
  return EncodeJpeg(pic, kJpegQuality);
}

void WriteImageFileBytes(const std::string& name, const Picture& pic) {
  if (!IsBmpName(name)) {
    const std::vector<uint8_t> bytes = EncodeImageFile(name, pic);
    WriteFileAtomic(name, bytes.data(), bytes.size());
    return;
  }
  // A bitmap is streamed in chunks of rows rather than built whole first. A
  // chunk small enough to stay in the cache is encoded and written in one
  // pass over the picture: the write reads back what the encoding just wrote.
  const std::vector<uint8_t> headers = BmpHeaders(pic);
  const size_t stride = size_t(pic.Stride());
  const int rowsPerChunk = int(std::max<size_t>(1, (size_t(128) << 10) / stride));
  std::vector<uint8_t> chunk(size_t(std::min(rowsPerChunk, pic.height)) * stride);
  AtomicFile file(name);
  file.Write(headers.data(), headers.size());
  for (int row = 0; row < pic.height; row += rowsPerChunk) {
    const int n = std::min(rowsPerChunk, pic.height - row);
    BmpFileRows(pic, row, n, chunk.data());
    file.Write(chunk.data(), size_t(n) * stride);
  }
  file.Commit();
}

Picture DecodeImageFile(std::string_view name, const std::vector<uint8_t>& bytes, const JpegDecodeOptions& options) {
  if (IsBmpName(name)) return ReadBmp(bytes);
  if (IsJpegName(name)) return DecodeJpeg(bytes, options);
  if (IsPngName(name)) return DecodePng(bytes);
  throw EInvalidPicture("Not an image file name: " + std::string(name));
}

Picture DecodeImageBytes(const uint8_t* data, size_t size, const JpegDecodeOptions& options) {
  if (data && size >= 2 && data[0] == 'B' && data[1] == 'M') return ReadBmp(data, size);
  if (data && size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return DecodeJpeg(data, size, options);
  if (IsPngData(data, size)) return DecodePng(data, size);
  throw EInvalidPicture("Not a BMP, JPEG or PNG picture");
}

Picture LoadImageFileData(const std::string& name, const JpegDecodeOptions& options) {
  // No file of a picture within the limits is this large; reading one whole
  // would only exhaust the address space before the decoder refuses it.
  const int64_t size = FileSize(name);
  if (size > int64_t(2 * kMaxPictureBytes)) throw EInvalidPicture("File too large for a picture");
  if (size == 0) throw EFileIO(name + " is empty (0 bytes): there is no picture in it");
  return DecodeImageFile(name, ReadWholeFile(name), options);
}

std::string AutoSaveName(std::string_view folder, std::string_view prefix, int64_t number, std::string_view ext) {
  return IncludeTrailingBackslash(folder) + std::string(prefix) + "-" + FiveDigits(number) + std::string(ext);
}

std::string DateTimeSaveName(std::string_view folder, std::string_view prefix, const LocalTime& time,
                             std::string_view ext, const std::function<bool(const std::string&)>& exists) {
  return FirstFreeName(IncludeTrailingBackslash(folder) + std::string(prefix) + " " + DateTimeName(time),
                       std::string(ext), exists);
}

AutoSaveSlot NextFreeAutoSave(std::string_view folder, std::string_view prefix, int64_t next, std::string_view ext,
                              const std::function<bool(const std::string&)>& exists) {
  AutoSaveSlot slot;
  for (int i = 0; i < kAutoSaveTries; ++i) {
    const int64_t number = next + i;
    std::string name = AutoSaveName(folder, prefix, number, ext);
    if (!exists(name)) {
      slot.found = true;
      slot.name = std::move(name);
      slot.number = number;
      slot.nextCounter = number + 1;
      slot.skipped = i > 0;
      return slot;
    }
  }
  slot.number = next;
  slot.nextCounter = next + 1;  // the number is consumed even when nothing can be written
  slot.skipped = true;
  return slot;
}

std::optional<std::string> AdjacentNumberedName(std::string_view lastOpenedFile, std::string_view openPath,
                                                bool next) {
  if (lastOpenedFile.empty()) return std::nullopt;
  const std::string b = ExtractFileName(lastOpenedFile);
  const std::string x = ExtractFileExt(b);
  const std::string r = b.substr(0, b.size() - x.size());
  const std::string p = FieldN(r, '-', 1);
  const std::string d = FieldN(r, '-', 2);
  if (p.empty() || d.empty()) return std::nullopt;
  for (char c : d)
    if (!(c >= '0' && c <= '9') && c != ' ') return std::nullopt;
  const int64_t m = int64_t(LeadingNumber(d)) + (next ? 1 : -1);
  return std::string(openPath) + p + "-" + FiveDigits(m) + x;
}

PreviewPlacement PreviewFit(int pw, int ph, int bw, int bh) {
  PreviewPlacement r;
  if (pw <= 0 || ph <= 0 || bw <= 0 || bh <= 0) return r;
  if (pw <= bw && ph <= bh) {
    r.x = (bw - pw) / 2;
    r.y = (bh - ph) / 2;
    r.width = pw;
    r.height = ph;
    return r;
  }
  r.scaled = true;
  if (int64_t(pw) * bh >= int64_t(ph) * bw) {
    r.width = bw;
    r.height = int(int64_t(ph) * bw / pw);
  } else {
    r.height = bh;
    r.width = int(int64_t(pw) * bh / ph);
  }
  return r;
}

std::string PreviewLabelText(int w, int h) { return " (" + std::to_string(w) + "x" + std::to_string(h) + ")"; }

}  // namespace griv
