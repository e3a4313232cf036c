// The small vocabulary of a standby image target: the option enumerations,
// the output options, the layout block and the stage kinds.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "color/dither_engine.h"
#include "color/palette.h"
#include "imaging/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace mirufo {

enum TResizeMode : std::uint8_t {
  rzNone = 0,      // keep the source size
  rzAuto = 1,      // the shorter side of the source fits the screen
  rzFitWidth = 2,  // the width fits the screen
  rzFitHeight = 3, // the height fits the screen
  rzCustom = 4     // the stored size
};

enum THorzAlign : std::uint8_t { haLeft = 0, haCenter = 1, haRight = 2, haLookAt = 3, haNone = 4 };
enum TVertAlign : std::uint8_t { vaTop = 0, vaMiddle = 1, vaBottom = 2, vaLookAt = 3, vaNone = 4 };

// Where the background of the screen canvas comes from: a chosen colour or
// one corner pixel of the resized picture.
enum TBackgroundMode : std::uint8_t {
  bgColor = 0,
  bgTopLeft = 1,
  bgTopRight = 2,
  bgBottomLeft = 3,
  bgBottomRight = 4
};

enum TSharpness : std::uint8_t { shNone = 0, shLow = 1, shMiddle = 2, shHigh = 3 };

// The five pipeline stages, in the order a target passes them.
enum TStageKind : std::uint8_t {
  skResize = 0,
  skCanvas = 1,
  skSharpen = 2,
  skDecorate = 3,
  skFormat = 4
};
inline constexpr int kStageCount = 5;

// A position in a stage's bitmap.
struct TLookAtPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TLookAtPoint&, const TLookAtPoint&) = default;
};

// Most bytes the comment takes in a file (CP932).
inline constexpr std::size_t kCommentBytes = 255;

// The comment text that au handsets read as "do not copy this image".
inline constexpr char kCopyrightMark[] = "copy=\"NO\",kddi_copyright=on";

// The output options of a target. The first eight fields and BestFit are the
// encoding options that the format dialog edits.
struct TFormatOptions {
  TImageFormat Format = ifJPEG;
  std::uint8_t Bits = 24; // 24: no colour reduction; palette formats 1 to 8
  TReductionMethod Reduction = cmOctree;
  TDitherKind Dither = dkFloydSteinberg;
  std::uint8_t GifCompression = 0; // 0 LZW, 1 RLE
  std::uint8_t JpegQuality = 100;  // 1 to 100
  std::int32_t PngCompressLevel = 9;
  bool Interlace = false; // PNG Adam7, and progressive JPEG
  std::string Comment;    // UTF-8; at most kCommentBytes in CP932
  bool Copyright = false; // write the copy-protection mark
  bool AutoFit = true;    // lower quality or colours to fit the cache
  // The fit search finds the finest setting that fits: JPEG with optimised
  // Huffman tables at the highest quality that fits, GIF and PNG8 with the
  // most palette colours that fit. Off: the classic search in coarse steps.
  bool BestFit = false;
  // With BestFit, the palette entries the search chose when they are not
  // 2^Bits (then Bits is the fewest bits that hold them); 0 otherwise.
  std::uint16_t Colors = 0;

  friend bool operator==(const TFormatOptions&, const TFormatOptions&) = default;
};

// The palette entries a palette picture of these options has: Colors when
// the best-fit search chose a count that bits can hold, else 2^bits.
int PaletteColors(const TFormatOptions& options, int bits);

// The fewest colour bits that hold a palette of colors entries (1 for 2 or
// fewer).
int BitsForColors(int colors);

// The layout block of a target: where the resized picture goes on the
// screen canvas and what fills the rest. Compared and replaced as one unit.
struct TLayout {
  THorzAlign HorzAlign = haLookAt;
  TVertAlign VertAlign = vaLookAt;
  std::int32_t OffsetX = 0;
  std::int32_t OffsetY = 0;
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  TBackgroundMode Background = bgTopLeft;
  TColor BackgroundColor = 0;

  friend bool operator==(const TLayout&, const TLayout&) = default;
};

} // namespace mirufo
