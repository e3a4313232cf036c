// The table of output formats.
#include "engine/output_format.h"

#include "color/color_reducer.h"
#include "engine/codecs.h"
#include "engine/format_buffer.h"
#include "import/bitmap_reader.h"
#include "import/gif_image.h"
#include "import/jpeg_image.h"
#include "import/png_image.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <algorithm>
#include <array>

namespace mirufo {
namespace {

// The colour bits a palette format starts its search from: above 8 is
// capped at 8; 0 (a handset of unknown depth) would ask for a palette of one
// colour, so it also starts from 8.
int PaletteStartBits(int bits) {
  return bits > 8 || bits < 1 ? 8 : bits;
}

int TrueColourBits(int) {
  return 24;
}

int BmpStartBits(int bits) {
  return bits < 1 ? PaletteStartBits(bits) : bits;
}

int MonochromeBits(int) {
  return 1;
}

// An exact copy above 8 bits, otherwise the colour-reduced picture.
void ReduceToBits(const TBitmap& input, const TFormatOptions& options, int bits, TBitmap& reduced) {
  if (bits > 8) {
    reduced = input;
    return;
  }
  reduced = ReduceBitmapColors(input, options.Reduction, static_cast<int>(options.Dither), bits,
                               PaletteColors(options, bits));
}

void CopyExactly(const TBitmap& input, const TFormatOptions&, int, TBitmap& reduced) {
  reduced = input;
}

void CopyAs24Bits(const TBitmap& input, const TFormatOptions&, int, TBitmap& reduced) {
  reduced = input;
  if (reduced.PixelFormat() != pf24bit)
    reduced.SetPixelFormat(pf24bit);
}

// Black and white at one bit per pixel, with the target's dither.
void ReduceMonochrome(const TBitmap& input, const TFormatOptions& options, int, TBitmap& reduced) {
  reduced = ReduceBitmapColors(input, cmMonochrome, static_cast<int>(options.Dither), 1);
}

void ReduceBmp(const TBitmap& input, const TFormatOptions& options, int bits, TBitmap& reduced) {
  if (bits == 1)
    ReduceMonochrome(input, options, bits, reduced);
  else
    ReduceToBits(input, options, bits, reduced);
}

std::string WriteGif(const TBitmap& reduced, const TFormatOptions& options, int, bool,
                     const std::string&) {
  return EncodeGif(reduced, options.GifCompression == 1 ? gcRLE : gcLZW);
}

std::string WriteJpeg(const TBitmap& reduced, const TFormatOptions& options, int quality, bool,
                      const std::string&) {
  return EncodeJpeg(reduced, quality, options.Interlace, options.BestFit);
}

std::string WritePng(const TBitmap& reduced, const TFormatOptions& options, int, bool copyright,
                     const std::string& comment) {
  TPngWriteOptions png;
  png.Interlace = options.Interlace;
  png.CompressLevel = options.PngCompressLevel;
  png.CommentCp932 = Utf8ToCp932(comment);
  png.Copyright = copyright;
  return EncodePng(reduced, png);
}

std::string WriteBmp(const TBitmap& reduced, const TFormatOptions&, int, bool, const std::string&) {
  return EncodeBmp(reduced);
}

void SaveAsWritten(std::string_view data, std::string& stream, const std::string&, bool) {
  stream += data;
}

// The copyright mark, then "," and the comment when both are present.
void SaveJpegWithComment(std::string_view data, std::string& stream, const std::string& comment,
                         bool copyright) {
  std::string text = copyright ? kCopyrightMark : "";
  if (!comment.empty()) {
    if (!text.empty())
      text += ',';
    text += comment;
  }
  InsertJpegComment(data, stream, text);
}

bool SameGifOptions(const TFormatOptions& a, const TFormatOptions& b) {
  return a.GifCompression == b.GifCompression;
}

bool SameJpegOptions(const TFormatOptions& a, const TFormatOptions& b) {
  // Best fit also means optimised Huffman tables, so different bytes.
  return a.JpegQuality == b.JpegQuality && a.Interlace == b.Interlace && a.BestFit == b.BestFit;
}

bool SamePngOptions(const TFormatOptions& a, const TFormatOptions& b) {
  return a.PngCompressLevel == b.PngCompressLevel && a.Interlace == b.Interlace;
}

bool NoMoreOptions(const TFormatOptions&, const TFormatOptions&) {
  return true;
}

// Indexed by the format code.
const std::array<TOutputFormat, 6> kOutputFormats = {{
    {ifGIF, "GIF", "gif", frBits, frColors, PaletteStartBits, ReduceToBits, WriteGif, SaveAsWritten,
     SameGifOptions, &TGIFImage::Class},
    {ifJPEG, "JPEG", "jpg", frQuality, frQuality, TrueColourBits, CopyExactly, WriteJpeg,
     SaveJpegWithComment, SameJpegOptions, &TJPEGImage::Class},
    {ifPNG8, "PNG8", "png", frBits, frColors, PaletteStartBits, ReduceToBits, WritePng,
     SaveAsWritten, SamePngOptions, &TPNGImage::Class},
    {ifPNG24, "PNG24", "png", frNone, frNone, TrueColourBits, CopyAs24Bits, WritePng, SaveAsWritten,
     SamePngOptions, &TPNGImage::Class},
    {ifBMP, "BMP", "bmp", frBits, frBits, BmpStartBits, ReduceBmp, WriteBmp, SaveAsWritten,
     NoMoreOptions, &TBitmapReader::Class},
    {ifBMP2, "BMP2", "bmp", frNone, frNone, MonochromeBits, ReduceMonochrome, WriteBmp,
     SaveAsWritten, NoMoreOptions, &TBitmapReader::Class},
}};

} // namespace

int BitsForColors(int colors) {
  int bits = 1;
  while (bits < 8 && (1 << bits) < colors)
    ++bits;
  return bits;
}

int PaletteColors(const TFormatOptions& options, int bits) {
  if (options.BestFit && options.Colors >= 2 && BitsForColors(options.Colors) == bits)
    return options.Colors;
  return 1 << std::clamp(bits, 1, 8);
}

const TOutputFormat* FindOutputFormat(TImageFormat format) {
  const auto code = static_cast<std::size_t>(format);
  return code < kOutputFormats.size() ? &kOutputFormats[code] : nullptr;
}

const TOutputFormat& OutputFormat(TImageFormat format) {
  const TOutputFormat* found = FindOutputFormat(format);
  if (!found)
    throw EMirufoError(Tr("未対応の画像形式です"));
  return *found;
}

std::string FormatExt(TImageFormat format) {
  const TOutputFormat* found = FindOutputFormat(format);
  return found ? found->Ext : "";
}

std::string FormatName(TImageFormat format) {
  const TOutputFormat* found = FindOutputFormat(format);
  return found ? found->Name : "";
}

TBitmap DecodeOutputFile(TImageFormat format, std::string_view bytes) {
  const TOutputFormat& description = OutputFormat(format);
  std::unique_ptr<TGraphic> reader = description.Reader->Create();
  reader->LoadFromBytes(bytes, description.Name);
  TBitmap picture = std::move(reader->Picture());
  if (picture.PixelFormat() != pf24bit)
    picture.SetPixelFormat(pf24bit);
  return picture;
}

} // namespace mirufo
