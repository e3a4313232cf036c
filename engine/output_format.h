// One description per output format: its name and file extension, how its
// picture is prepared and encoded, how the fit search makes the file smaller,
// which options make two encodings differ, how the file is written, and the
// reader that decodes the file again for the preview. A new output format is
// a new code, one file with its encoder, and one row of the table.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "engine/standby_types.h"
#include "imaging/bitmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mirufo {

struct TGraphicClass;

// How the fit search makes a file that is over the cache smaller.
enum TFitRule : std::uint8_t {
  frNone,    // one attempt only
  frQuality, // JPEG quality down by 10 while above 10
  frBits,    // colour bits down (above 8 to 8, then by one) while above 1
  // Best fit only:
  frColors // the most palette colours that fit, any count from 2 to the start
};

struct TOutputFormat {
  TImageFormat Format;
  const char* Name; // "JPEG"
  const char* Ext;  // "jpg", without a dot
  TFitRule Fit;
  // How the best-fit search goes: frQuality the highest quality that fits,
  // frColors the most colours; frBits and frNone as the classic search.
  TFitRule BestFit;
  // The colour bits of the first attempt, from the target's bits.
  int (*StartBits)(int bits);
  // The picture handed to the encoder at the given bits (a colour-reduced
  // picture, or an exact copy of the input).
  void (*Prepare)(const TBitmap& input, const TFormatOptions& options, int bits, TBitmap& reduced);
  // The file bytes as the format's writer produces them.
  std::string (*Encode)(const TBitmap& reduced, const TFormatOptions& options, int quality,
                        bool copyright, const std::string& comment);
  // Appends the file to stream: the writer's bytes and whatever the format
  // adds when saving (the JPEG comment segment).
  void (*Save)(std::string_view data, std::string& stream, const std::string& comment,
               bool copyright);
  // Equality of the options that only this format uses (format, colour,
  // comment and copyright are compared for every format).
  bool (*SameOptions)(const TFormatOptions& a, const TFormatOptions& b);
  // The import reader that decodes the file for the preview.
  const TGraphicClass* Reader;
};

// The description of a format; nullptr for an unknown code.
const TOutputFormat* FindOutputFormat(TImageFormat format);
// The description of a format; raises "未対応の画像形式です" for an unknown code.
const TOutputFormat& OutputFormat(TImageFormat format);

// File extension of a format, without a dot; "" for an unknown code.
std::string FormatExt(TImageFormat format);

// Name of a format: "GIF", "JPEG", "PNG8", "PNG24", "BMP", "BMP2"; "" for an
// unknown code.
std::string FormatName(TImageFormat format);

// Decodes a file of the format with its reader into a 24-bit picture (the
// preview). Raises the reader's error for bytes it cannot decode.
TBitmap DecodeOutputFile(TImageFormat format, std::string_view bytes);

} // namespace mirufo
