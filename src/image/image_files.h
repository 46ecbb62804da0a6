// Image files: which format a name means, the save and open dialog rules,
// encoding and atomic writing, decoding, numbered auto-save names and
// stepping through a numbered series.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time_name.h"
#include "image/jpeg_codec.h"
#include "base/picture.h"

namespace griv {

inline constexpr int kJpegQuality = 90;

// Save dialog: two blanks after "Bitmap". PNG comes last so that the stored
// indexes 1 (bitmap) and 2 (JPEG) keep their meaning.
inline constexpr char kSaveFilter[] =
    "Bitmap  (*.bmp)|*.bmp|jpg,jpeg (*.jpeg,*.jpg)|*.jp*g|PNG Files (*.png)|*.png";
inline constexpr int kSaveFilterPng = 3;
// Open dialog: "All pictures" first, the dialog's default, then one entry per
// kind. The picture patterns end in "*" so encrypted images are listed too;
// PNG comes last, after the encrypted files.
inline constexpr char kOpenFilter[] =
    "All pictures (*.bmp;*.jpg;*.jpeg;*.png;*.ktx)|*.bmp*;*.jp*g*;*.png*;*.ktx|"
    "Bitmaps (*.bmp)|*.bmp*|JPEG Image File (*.jpeg;*.jpg)|*jp*g*|GRIV encrypted file (*.ktx)|*.ktx|"
    "PNG Files (*.png)|*.png*";
inline constexpr int kOpenFilterAll = 1;
inline constexpr int kOpenFilterPng = 5;
// Loader's message for data that is not a valid picture.
inline constexpr char kUnreadableImageMessage[] = "Unable to read or decrypt the image";
// Open-dialog preview label without a picture.
inline constexpr char kPreviewNoPictureLabel[] = "Picture:";

// By upper-cased extension: ".BMP"; ".JPG" or ".JPEG"; ".PNG".
bool IsBmpName(std::string_view name);
bool IsJpegName(std::string_view name);
bool IsPngName(std::string_view name);
// Any of the three: the names the loader takes (others go to the shell).
bool IsImageFileName(std::string_view name);

// Save dialog filter index: 2 (JPEG) when autoExt is ".jpg", 3 for ".png", else 1.
int SaveFilterIndex(std::string_view autoExt);

// The name Save As writes: unless the extension is .BMP, .JPG, .JPEG or .PNG
// (any case) ".bmp" is appended for filter 1, ".png" for filter 3 and ".jpg"
// for any other filter. shot + filter 2 -> shot.jpg; shot + filter 3 ->
// shot.png; shot.gif + filter 1 -> shot.gif.bmp.
std::string SaveAsTargetName(std::string_view chosen, int filterIndex);
// "File " + name + " exists.\r" + " Overwrite ?"
std::string OverwriteQuestion(std::string_view name);

// The bytes of an image file: BMP in the picture's own format when the
// upper-cased extension is ".BMP", 24-bit PNG for ".PNG", otherwise JPEG at
// quality 90 (colour, baseline) from the picture's 24-bit form. Throws
// EInvalidPicture.
std::vector<uint8_t> EncodeImageFile(std::string_view name, const Picture& pic);
// Encodes and writes through a temporary beside the target, so a failed
// write leaves any old file untouched and no temporary behind. Throws
// EInvalidPicture (nothing written) or EFileIO.
void WriteImageFileBytes(const std::string& name, const Picture& pic);

// Decodes by extension: ".BMP" as BMP, ".JPG"/".JPEG" as JPEG with the
// options (greys, 8-bit palette), ".PNG" as PNG (the options do not apply:
// PNG pictures come in their own form); throws EInvalidPicture for invalid
// data and for any other extension.
Picture DecodeImageFile(std::string_view name, const std::vector<uint8_t>& bytes,
                        const JpegDecodeOptions& options = {});
// Decodes BMP, JPEG or PNG data recognised by its first bytes (for the open
// dialog's preview, which takes any picture it knows). Throws EInvalidPicture.
Picture DecodeImageBytes(const uint8_t* data, size_t size, const JpegDecodeOptions& options = {});
// ReadWholeFile + DecodeImageFile. Throws EFileIO when the file cannot be
// read, EInvalidPicture when its content is not a valid picture (also when
// it is beyond the picture limits or memory runs out while decoding it).
Picture LoadImageFileData(const std::string& name, const JpegDecodeOptions& options = {});

// IncludeTrailingBackslash(folder) + prefix + "-" + FiveDigits(number) + ext:
// C:\Shots, GRIV, 42, .jpg -> C:\Shots\GRIV-00042.jpg; 100000 -> GRIV-00000.
std::string AutoSaveName(std::string_view folder, std::string_view prefix, int64_t number, std::string_view ext);

struct AutoSaveSlot {
  bool found = false;       // false: all 100000 five-digit names exist; nothing to write
  std::string name;         // the free name to write (empty when not found)
  int64_t number = 0;       // the counter value used for it
  int64_t nextCounter = 0;  // new NextSaveNo: number + 1 (next + 1 when not found)
  bool skipped = false;     // names already in use were passed over
};
inline constexpr int kAutoSaveTries = 100000;
// The auto-save name for counter `next`, moving on past names that already
// exist (only five digits count, so counters wrap onto older files) instead
// of overwriting them.
AutoSaveSlot NextFreeAutoSave(std::string_view folder, std::string_view prefix, int64_t next, std::string_view ext,
                              const std::function<bool(const std::string&)>& exists);

// A numbered save named by date and time: folder, prefix, a blank, the time
// as the capture history names it, ext; " (2)" and up when taken.
// C:\Shots, GRIV, 2026-12-07 19:30:12, .png -> C:\Shots\GRIV 2026-12-07 19-30-12.png
std::string DateTimeSaveName(std::string_view folder, std::string_view prefix, const LocalTime& time,
                             std::string_view ext, const std::function<bool(const std::string&)>& exists);

// The neighbour of the last opened file in its numbered series, looked for
// in openPath (which ends in a separator): GRIV-00007.jpg -> GRIV-00008.jpg;
// shot-2-final.jpg -> shot-00003.jpg; GRIV-00000.jpg backwards -> GRIV-000-1.jpg.
// nullopt when there is no last file or its name is not numbered (empty
// prefix, or a number part that is empty or holds more than digits and
// blanks): the caller runs the open dialog then, as it does when the
// returned file does not exist.
std::optional<std::string> AdjacentNumberedName(std::string_view lastOpenedFile, std::string_view openPath,
                                                bool next);

// Where the open dialog's preview draws a pw x ph picture in a bw x bh box.
struct PreviewPlacement {
  int x = 0, y = 0, width = 0, height = 0;
  bool scaled = false;
};
// A picture that fits is drawn unscaled and centred. A larger one is scaled
// from the top-left corner to the full box width (height = ph * bw / pw) when
// it is relatively wider than the box, else to the full box height
// (width = pw * bh / ph), so it never spills out of the box.
PreviewPlacement PreviewFit(int pw, int ph, int bw, int bh);
// " (" w "x" h ")"
std::string PreviewLabelText(int w, int h);

}  // namespace griv
