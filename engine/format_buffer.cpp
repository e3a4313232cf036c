// The format stage: colour reduction, encoding with the fit search, the
// JPEG comment segment, and the preview decoded from the file.
#include "engine/format_buffer.h"

#include "color/color_reducer.h"
#include "engine/codecs.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/text_file.h"

namespace mirufo {
namespace {

// The colour bits a palette format starts its search from: above 8 is
// capped at 8; 0 (a handset of unknown depth) would ask for a palette of one
// colour, so it also starts from 8.
int PaletteStartBits(int bits) {
  return bits > 8 || bits < 1 ? 8 : bits;
}

// The next colour depth to try after an attempt that was too large.
int LowerBits(int bits) {
  return bits > 8 ? 8 : bits - 1;
}

// The picture handed to the encoder at b bits: an exact copy above 8 bits,
// otherwise the colour-reduced picture.
void Reduce(const TBitmap& input, const TFormatOptions& options, int bits, TBitmap& reduced) {
  if (bits > 8) {
    reduced = input;
    return;
  }
  reduced = ReduceBitmapColors(input, static_cast<TReductionMethod>(options.Reduction),
                               options.Dither, bits);
}

// Black and white at one bit per pixel, with the target's dither.
void ReduceMonochrome(const TBitmap& input, const TFormatOptions& options, TBitmap& reduced) {
  reduced = ReduceBitmapColors(input, cmMonochrome, options.Dither, 1);
}

TPngWriteOptions PngOptions(const TFormatOptions& options, bool copyright,
                            const std::string& comment) {
  TPngWriteOptions png;
  png.Interlace = options.Interlace;
  png.CompressLevel = options.PngCompressLevel;
  png.CommentCp932 = Utf8ToCp932(comment);
  png.Copyright = copyright;
  return png;
}

TBitmap DecodeGraphic(const TEncodedGraphic& graphic) {
  switch (graphic.Kind) {
  case TEncodedGraphic::gkGIF:
    return DecodeGif(graphic.Data);
  case TEncodedGraphic::gkJPEG:
    return DecodeJpeg(graphic.Data);
  case TEncodedGraphic::gkPNG:
    return DecodePng(graphic.Data);
  case TEncodedGraphic::gkBitmap:
    return DecodeBmp(graphic.Data);
  }
  return TBitmap();
}

} // namespace

void EncodeImage(const TBitmap& input, std::unique_ptr<TBitmap>& reduced,
                 std::unique_ptr<TEncodedGraphic>& graphic, std::int64_t limit, bool copyright,
                 const std::string& comment, TFormatOptions& options, std::int32_t& fileSize) {
  if (graphic)
    throw EMirufoError("Graphicはnilでなければなりません");
  if (input.Empty())
    throw EMirufoError("画像が空なので変換できません");
  if (!reduced)
    reduced = std::make_unique<TBitmap>();
  int b = options.Bits;
  int q = options.JpegQuality;
  // Each attempt is a full encode; the previous attempt's object goes first.
  auto attempt = [&](TEncodedGraphic::TKind kind, auto encode) {
    graphic.reset();
    graphic = std::make_unique<TEncodedGraphic>(kind, encode());
    std::string stream;
    SaveWithComment(*graphic, stream, comment, copyright);
    fileSize = static_cast<std::int32_t>(stream.size());
    return limit > 0 && static_cast<std::int64_t>(stream.size()) > limit;
  };
  switch (options.Format) {
  case ifGIF: {
    const TGifCodeStream stream = options.GifCompression == 1 ? gcRLE : gcLZW;
    for (b = PaletteStartBits(b);; b = LowerBits(b)) {
      Reduce(input, options, b, *reduced);
      if (!attempt(TEncodedGraphic::gkGIF, [&] { return EncodeGif(*reduced, stream); }) || b <= 1)
        break;
    }
    break;
  }
  case ifJPEG:
    b = 24;
    *reduced = input;
    for (;; q -= 10) {
      if (!attempt(TEncodedGraphic::gkJPEG,
                   [&] { return EncodeJpeg(*reduced, q, options.Interlace); }) ||
          q <= 10)
        break;
    }
    break;
  case ifPNG8: {
    const TPngWriteOptions png = PngOptions(options, copyright, comment);
    for (b = PaletteStartBits(b);; b = LowerBits(b)) {
      Reduce(input, options, b, *reduced);
      if (!attempt(TEncodedGraphic::gkPNG, [&] { return EncodePng(*reduced, png); }) || b <= 1)
        break;
    }
    break;
  }
  case ifPNG24:
    b = 24;
    *reduced = input;
    if (reduced->PixelFormat() != pf24bit)
      reduced->SetPixelFormat(pf24bit);
    attempt(TEncodedGraphic::gkPNG,
            [&] { return EncodePng(*reduced, PngOptions(options, copyright, comment)); });
    break;
  case ifBMP:
    if (b < 1)
      b = PaletteStartBits(b);
    for (;; b = LowerBits(b)) {
      if (b == 1)
        ReduceMonochrome(input, options, *reduced);
      else
        Reduce(input, options, b, *reduced);
      if (!attempt(TEncodedGraphic::gkBitmap, [&] { return EncodeBmp(*reduced); }) || b <= 1)
        break;
    }
    break;
  case ifBMP2:
    b = 1;
    ReduceMonochrome(input, options, *reduced);
    attempt(TEncodedGraphic::gkBitmap, [&] { return EncodeBmp(*reduced); });
    break;
  default:
    throw EMirufoError("未対応の画像形式です");
  }
  options.Bits = static_cast<std::uint8_t>(b);
  options.JpegQuality = static_cast<std::uint8_t>(q);
}

void SettleFormatOptions(TFormatOptions& options) {
  switch (options.Format) {
  case ifGIF:
  case ifPNG8:
    options.Bits = static_cast<std::uint8_t>(PaletteStartBits(options.Bits));
    break;
  case ifJPEG:
  case ifPNG24:
    options.Bits = 24;
    break;
  case ifBMP:
    if (options.Bits < 1)
      options.Bits = static_cast<std::uint8_t>(PaletteStartBits(options.Bits));
    break;
  case ifBMP2:
    options.Bits = 1;
    break;
  default:
    break;
  }
}

void SaveWithComment(const TEncodedGraphic& graphic, std::string& stream,
                     const std::string& comment, bool copyright) {
  if (graphic.Kind != TEncodedGraphic::gkJPEG) {
    stream += graphic.Data;
    return;
  }
  std::string text = copyright ? kCopyrightMark : "";
  if (!comment.empty()) {
    if (!text.empty())
      text += ',';
    text += comment;
  }
  InsertJpegComment(graphic, stream, text);
}

void InsertJpegComment(const TEncodedGraphic& jpeg, std::string& stream, std::string_view text) {
  const std::string bytes = Utf8ToCp932(text);
  if (bytes.size() > 0xFFFF - 2)
    throw EMirufoError("JPEGのコメントが長すぎます");
  if (jpeg.Data.size() < kJpegHeaderBytes)
    throw EMirufoError("JPEGデータが壊れています");
  const std::size_t length = bytes.size() + 2;
  stream.reserve(stream.size() + jpeg.Data.size() + length + 2);
  stream.append(jpeg.Data, 0, kJpegHeaderBytes);
  stream.push_back(static_cast<char>(0xFF));
  stream.push_back(static_cast<char>(0xFE));
  stream.push_back(static_cast<char>(length >> 8));
  stream.push_back(static_cast<char>(length & 0xFF));
  stream += bytes;
  stream.append(jpeg.Data, kJpegHeaderBytes);
}

TFormatBuffer::TFormatBuffer(TStandbySpecification* target) : TImageBufferNode(target) {}

void TFormatBuffer::Execute(const TStageParams& params) {
  params_ = params;
  if (!Parent())
    return;
  LookAt = Parent()->LookAt;
  reducedBitmap_.reset();
  graphic_.reset();
  // Encode with a copy, so that the stored parameters stay those the stage
  // was looked up by.
  TFormatOptions options = params.Format;
  EncodeImage(Parent()->Bitmap, reducedBitmap_, graphic_, 0, params.Format.Copyright,
              params.Format.Comment, options, fileSize_);
  // The preview is the file decoded again, so it shows what the handset shows.
  Bitmap = DecodeGraphic(*graphic_);
}

std::string TFormatBuffer::FileBytes() const {
  std::string bytes;
  if (graphic_)
    SaveWithComment(*graphic_, bytes, params_.Format.Comment, params_.Format.Copyright);
  return bytes;
}

void TFormatBuffer::SaveToFile(const std::filesystem::path& fileName) const {
  WriteFileAtomic(fileName, FileBytes());
}

} // namespace mirufo
