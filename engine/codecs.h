// Encoders of the output file formats, working on bytes in memory. They
// return the file exactly as the format's writer produces it (the JPEG
// comment segment is added later, by SaveWithComment). Every failure raises
// EMirufoError; nothing is ever printed. The files are decoded again by the
// readers of import/ (see output_format.h).
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mirufo {

// JPEG through libjpeg: quality 1 to 100 (0 and below taken as 1, above 100 as
// 100), baseline or progressive. The output starts with SOI and a 16-byte
// JFIF APP0 segment, 20 bytes in all. The picture is 24 or 32 bits. optimize
// fits the Huffman tables to the picture (a smaller file, a second pass).
std::string EncodeJpeg(const TBitmap& picture, int quality, bool progressive,
                       bool optimize = false);

// Length of the SOI marker plus the JFIF APP0 segment that starts every file
// EncodeJpeg writes.
inline constexpr std::size_t kJpegHeaderBytes = 20;

// What the PNG writer puts into the file besides the picture.
struct TPngWriteOptions {
  bool Interlace = false;      // Adam7
  int CompressLevel = -1;      // -1 the zlib default, 0 none, 1 to 9
  std::string CommentCp932;    // tEXt "Comment", written when not empty
  bool Copyright = false;      // tEXt "Copyright" "On"
  std::int64_t TimeStamp = -1; // tIME, seconds since 1970 (UTC); -1 the current time
};

// PNG through libpng: a palette picture (1, 4 or 8 bits) gives a palette PNG
// of that bit depth, a 24- or 32-bit picture a true-colour PNG. IDAT chunks
// hold at most 32768 data bytes. After IHDR come tIME, tEXt "Comment",
// tEXt "Software" and tEXt "Copyright", then the image chunks.
std::string EncodePng(const TBitmap& picture, const TPngWriteOptions& options);

// Windows bitmap file: 1, 4, 8 or 24 bits as the picture holds them (32 bits
// is written as 24), palette for 8 bits or fewer, rows bottom-up.
std::string EncodeBmp(const TBitmap& picture);

// The two code streams the GIF writer can produce.
enum TGifCodeStream : std::uint8_t {
  gcLZW = 0, // the ordinary LZW compression (giflib's encoder)
  gcRLE = 1  // literal codes only, with clear codes keeping the code width fixed
};

// GIF of a palette picture (1, 4 or 8 bits; its palette is the colour
// table, padded to a power of two).
std::string EncodeGif(const TBitmap& picture, TGifCodeStream stream);

} // namespace mirufo
