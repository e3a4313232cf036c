#include "output/format_dialog_model.h"

#include "engine/option_vocabulary.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <charconv>
#include <limits>

namespace mirufo {

const std::array<const char*, 8> kColorCountItems = {"256", "128", "64", "32", "16", "8", "4", "2"};
const std::array<const char*, 9> kBmpColorItems = {N_("なし"), "256", "128", "64", "32",
                                                   "16",       "8",   "4",   "2"};
const std::array<const char*, kDitherKindCount> kDitherItems = [] {
  std::array<const char*, kDitherKindCount> items{};
  for (const auto& row : DitherKinds())
    items[static_cast<std::size_t>(row.Value)] = row.Caption;
  return items;
}();
const std::array<const char*, 11> kCompressionItems = {
    N_("標準"), N_("なし"), N_("1(速度優先)"),  "2", "3", "4", "5", "6",
    "7",        "8",        N_("9(圧縮率優先)")};
const std::array<const char*, 4> kQualityPresetCaptions = {N_("低"), N_("中"), N_("高"),
                                                           N_("最高")};
const std::array<int, 4> kQualityPresets = {10, 40, 70, 100};
const char* const kBestFitCaption = N_("キャッシュに収まる最高画質");

bool PageHasBestFit(TFormatPage page) {
  return page == fpJPEG || page == fpPNG8 || page == fpGIF;
}

namespace {

// The list index of a colour count of 2^bits in the lists of 256 down to 2
// colours: 8 bits are item 0, 1 bit item 7; -1 for other depths.
int ColorIndex(std::uint8_t bits) {
  return bits >= 1 && bits <= 8 ? 8 - bits : -1;
}

// The depth of a chosen colour count, or the base's when none is chosen.
std::uint8_t BitsOfColorIndex(int index, std::uint8_t base) {
  return index >= 0 && index < 8 ? static_cast<std::uint8_t>(8 - index) : base;
}

int ListIndex(int value, int count) {
  return value >= 0 && value < count ? value : -1;
}

// The dither of a list choice, or the base one when nothing is chosen.
TDitherKind ChosenDither(int index, TDitherKind base) {
  return index >= 0 && index < kDitherKindCount ? static_cast<TDitherKind>(index) : base;
}

} // namespace

TFormatPage PageOfFormat(TImageFormat format) {
  switch (format) {
  case ifGIF:
    return fpGIF;
  case ifJPEG:
    return fpJPEG;
  case ifPNG8:
    return fpPNG8;
  case ifPNG24:
    return fpPNG24;
  case ifBMP:
    return fpBMP;
  case ifBMP2:
    return fpBMP2;
  }
  return fpJPEG;
}

TImageFormat FormatOfPage(TFormatPage page) {
  static constexpr std::array<TImageFormat, kFormatPageCount> kFormats = {ifJPEG, ifPNG8, ifPNG24,
                                                                          ifBMP,  ifBMP2, ifGIF};
  return kFormats[page < kFormatPageCount ? page : 0];
}

const char* FormatPageCaption(TFormatPage page) {
  static constexpr std::array<const char*, kFormatPageCount> kCaptions = {"JPEG", "PNG8", "PNG24",
                                                                          "BMP",  "BMP2", "GIF"};
  return kCaptions[page < kFormatPageCount ? page : 0];
}

TFormatDialogValues LoadFormatValues(const TFormatOptions& o) {
  TFormatDialogValues v;
  v.Page = PageOfFormat(o.Format);
  v.Quality = std::to_string(o.JpegQuality);
  v.Progressive = o.Interlace;
  const int colors = ColorIndex(o.Bits);
  v.Png8Colors = colors >= 0 ? colors : 0; // "256" when the count is not listed
  v.Png8Dither = ListIndex(static_cast<int>(o.Dither), kDitherKindCount);
  v.Compression = ListIndex(o.PngCompressLevel + 1, static_cast<int>(kCompressionItems.size()));
  v.Interlace = o.Interlace;
  v.BmpColors = o.Bits < 9 ? (colors >= 0 ? colors + 1 : -1) : 0;
  v.BmpDither = v.Png8Dither;
  v.GifColors = colors;
  v.GifDither = v.Png8Dither;
  v.GifLzw = o.GifCompression == 0;
  v.BestFit = o.BestFit;
  return v;
}

TFormatOptions ReadFormatValues(const TFormatDialogValues& v, const TFormatOptions& base,
                                TReductionMethod reduction) {
  TFormatOptions o = base;
  o.Format = FormatOfPage(v.Page);
  switch (v.Page) {
  case fpJPEG:
    o.Bits = 24;
    o.JpegQuality = static_cast<std::uint8_t>(ParseInteger(v.Quality));
    o.Interlace = v.Progressive;
    break;
  case fpPNG8:
    o.Bits = BitsOfColorIndex(v.Png8Colors, base.Bits);
    o.Dither = ChosenDither(v.Png8Dither, base.Dither);
    if (v.Compression >= 0)
      o.PngCompressLevel = v.Compression - 1;
    o.Interlace = v.Interlace;
    break;
  case fpPNG24:
    o.Bits = 24;
    if (v.Compression >= 0)
      o.PngCompressLevel = v.Compression - 1;
    o.Interlace = v.Interlace;
    break;
  case fpBMP:
    o.Bits = v.BmpColors == 0 ? 24 : BitsOfColorIndex(v.BmpColors - 1, base.Bits);
    o.Dither = ChosenDither(v.BmpDither, base.Dither);
    break;
  case fpBMP2:
    o.Bits = 2;
    o.Dither = ChosenDither(v.BmpDither, base.Dither);
    break;
  case fpGIF:
    o.Bits = BitsOfColorIndex(v.GifColors, base.Bits);
    o.Dither = ChosenDither(v.GifDither, base.Dither);
    o.GifCompression = v.GifLzw ? 0 : 1;
    break;
  }
  o.Reduction = reduction;
  // One check box for every page; it acts where there is a quality or a
  // colour count to search.
  o.BestFit = v.BestFit;
  return o;
}

std::int32_t ParseInteger(std::string_view text) {
  std::string_view t = text;
  while (!t.empty() && t.front() == ' ')
    t.remove_prefix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() ||
      value > std::numeric_limits<std::int32_t>::max() + std::int64_t{negative ? 1 : 0})
    throw EConvertError("'" + std::string(text) + Tr("' は有効な整数値ではありません"));
  return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace mirufo
