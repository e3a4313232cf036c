// What the format dialog shows for a target's encoding options and what its
// controls mean as options, without the widgets: the page per format, the
// lists and their items, and the mapping both ways.
#pragma once

#include "engine/standby_types.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mirufo {

// The dialog's pages in tab order.
enum TFormatPage : std::uint8_t {
  fpJPEG = 0,
  fpPNG8 = 1,
  fpPNG24 = 2,
  fpBMP = 3,
  fpBMP2 = 4,
  fpGIF = 5
};
inline constexpr int kFormatPageCount = 6;
TFormatPage PageOfFormat(TImageFormat format);
TImageFormat FormatOfPage(TFormatPage page);
const char* FormatPageCaption(TFormatPage page);

// The lists' items; the BMP colour list starts with "なし" (full colour).
extern const std::array<const char*, 8> kColorCountItems;
extern const std::array<const char*, 9> kBmpColorItems;
extern const std::array<const char*, kDitherKindCount> kDitherItems; // in code order
extern const std::array<const char*, 11> kCompressionItems;
// The preset quality buttons "低", "中", "高", "最高" and their values.
extern const std::array<const char*, 4> kQualityPresetCaptions;
extern const std::array<int, 4> kQualityPresets;

// The controls' state. A list index of -1 means no item is chosen.
struct TFormatDialogValues {
  TFormatPage Page = fpJPEG;
  std::string Quality = "100";
  bool Progressive = false;
  int Png8Colors = 0;
  int Png8Dither = 0;
  int Compression = 0; // shared by both PNG pages
  bool Interlace = false;
  int BmpColors = 0;
  int BmpDither = 0; // shared by both BMP pages
  int GifColors = 0;
  int GifDither = 0;
  bool GifLzw = true;
  bool BestFit = false; // "キャッシュに収まる最高画質", one box shared by the pages
};

// The best-fit check box's caption, and the pages that show it: those with a
// quality or a colour count for the fit search to choose.
extern const char* const kBestFitCaption;
bool PageHasBestFit(TFormatPage page);

// The controls for a target's options.
TFormatDialogValues LoadFormatValues(const TFormatOptions& options);

// The options the controls give, starting from base (the target's current
// options): the active page sets the format and its own fields, the
// reduction method is always the remembered one. Raises EConvertError with
// the conversion message when the JPEG quality is not an integer (only a
// JPEG page reads it).
TFormatOptions ReadFormatValues(const TFormatDialogValues& values, const TFormatOptions& base,
                                TReductionMethod reduction);

// An integer as the dialog's quality field takes it; raises EConvertError
// "'<text>' は有効な整数値ではありません" otherwise.
std::int32_t ParseInteger(std::string_view text);

} // namespace mirufo
