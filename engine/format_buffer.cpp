// The format stage: colour reduction, encoding with the fit search, the
// JPEG comment segment, and the preview decoded from the file.
#include "engine/format_buffer.h"

#include "engine/codecs.h"
#include "engine/encode_ahead.h"
#include "engine/output_format.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/text_file.h"

namespace mirufo {

void EncodeImage(const TBitmap& input, std::unique_ptr<TBitmap>& reduced,
                 std::unique_ptr<TEncodedGraphic>& graphic, std::int64_t limit, bool copyright,
                 const std::string& comment, TFormatOptions& options, std::int32_t& fileSize) {
  if (graphic)
    throw EMirufoError("Graphicはnilでなければなりません");
  if (input.Empty())
    throw EMirufoError("画像が空なので変換できません");
  const TOutputFormat& format = OutputFormat(options.Format);
  if (!reduced)
    reduced = std::make_unique<TBitmap>();
  int b = format.StartBits(options.Bits);
  int q = options.JpegQuality;
  int preparedBits = -1;
  for (;;) {
    if (b != preparedBits) {
      format.Prepare(input, options, b, *reduced);
      preparedBits = b;
    }
    // Each attempt is a full encode; the previous attempt's object goes first.
    graphic.reset();
    graphic = std::make_unique<TEncodedGraphic>(
        options.Format, format.Encode(*reduced, options, q, copyright, comment));
    std::string stream;
    format.Save(graphic->Data, stream, comment, copyright);
    fileSize = static_cast<std::int32_t>(stream.size());
    const bool over = limit > 0 && static_cast<std::int64_t>(stream.size()) > limit;
    if (over && format.Fit == frQuality && q > 10)
      q -= 10;
    else if (over && format.Fit == frBits && b > 1)
      b = b > 8 ? 8 : b - 1;
    else
      break;
  }
  options.Bits = static_cast<std::uint8_t>(b);
  options.JpegQuality = static_cast<std::uint8_t>(q);
}

void SettleFormatOptions(TFormatOptions& options) {
  if (const TOutputFormat* format = FindOutputFormat(options.Format))
    options.Bits = static_cast<std::uint8_t>(format->StartBits(options.Bits));
}

TFormatResult MakeFormatResult(const TBitmap& input, const TFormatOptions& options) {
  TFormatResult result;
  // Encode with a copy, so that the caller's options stay those the stage
  // was looked up by.
  TFormatOptions used = options;
  EncodeImage(input, result.Reduced, result.Graphic, 0, options.Copyright, options.Comment, used,
              result.FileSize);
  // The preview is the file decoded again, so it shows what the handset shows.
  result.Preview = DecodeOutputFile(result.Graphic->Format, result.Graphic->Data);
  return result;
}

void SaveWithComment(const TEncodedGraphic& graphic, std::string& stream,
                     const std::string& comment, bool copyright) {
  OutputFormat(graphic.Format).Save(graphic.Data, stream, comment, copyright);
}

void InsertJpegComment(const TEncodedGraphic& jpeg, std::string& stream, std::string_view text) {
  InsertJpegComment(std::string_view(jpeg.Data), stream, text);
}

void InsertJpegComment(std::string_view jpeg, std::string& stream, std::string_view text) {
  const std::string bytes = Utf8ToCp932(text);
  if (bytes.size() > 0xFFFF - 2)
    throw EMirufoError("JPEGのコメントが長すぎます");
  if (jpeg.size() < kJpegHeaderBytes)
    throw EMirufoError("JPEGデータが壊れています");
  const std::size_t length = bytes.size() + 2;
  stream.reserve(stream.size() + jpeg.size() + length + 2);
  stream.append(jpeg.substr(0, kJpegHeaderBytes));
  stream.push_back(static_cast<char>(0xFF));
  stream.push_back(static_cast<char>(0xFE));
  stream.push_back(static_cast<char>(length >> 8));
  stream.push_back(static_cast<char>(length & 0xFF));
  stream += bytes;
  stream.append(jpeg.substr(kJpegHeaderBytes));
}

TFormatBuffer::TFormatBuffer(TStandbySpecification* target) : TImageBufferNode(target) {}

void TFormatBuffer::Execute(const TStageParams& params) {
  params_ = params;
  if (!Parent())
    return;
  LookAt = Parent()->LookAt;
  reducedBitmap_.reset();
  graphic_.reset();
  const TImageBufferNode* root = Parent();
  while (root->Parent())
    root = root->Parent();
  TFormatResult result;
  if (!(root->EncodeAhead &&
        root->EncodeAhead->TakeEncode(Parent()->Serial(), params.Format, result)))
    result = MakeFormatResult(Parent()->Bitmap, params.Format);
  reducedBitmap_ = std::move(result.Reduced);
  graphic_ = std::move(result.Graphic);
  fileSize_ = result.FileSize;
  Bitmap = std::move(result.Preview);
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
