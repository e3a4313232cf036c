// The format stage: colour reduction, encoding with the fit search, the
// JPEG comment segment, and the preview decoded from the file.
#include "engine/format_buffer.h"

#include "color/palette.h"
#include "engine/codecs.h"
#include "engine/encode_ahead.h"
#include "engine/output_format.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/text_file.h"
#include "platform/translate.h"

#include <algorithm>

namespace mirufo {
namespace {

// The best-fit search over one setting: a JPEG quality or a palette's colour
// count, where a higher setting gives a finer picture and, as a rule, a
// larger file.
class TBestFitSearch {
public:
  TBestFitSearch(const TBitmap& input, const TOutputFormat& format, const TFormatOptions& options,
                 std::int64_t limit, bool copyright, const std::string& comment)
      : input_(input), format_(format), work_(options), limit_(limit), copyright_(copyright),
        comment_(comment) {}

  // The finest setting from the start down to the lowest whose file fits.
  // First the classic ladder (quality down by 10, colours halved) finds a
  // setting that fits with the one above it over; bisection then finds the
  // finest that fits between the two. File sizes do not always grow with the
  // setting, so only measured attempts count: the answer is the finest
  // setting seen to fit, or the lowest one when none fits.
  int Run(int start, int ceiling) {
    if (Attempt(start))
      return start;
    int over = std::min(start, ceiling);
    int fits = 0;
    for (int s = over;;) {
      s = std::max(Lower(s), Lowest());
      if (s >= over)
        return kept_;
      if (Attempt(s)) {
        fits = s;
        break;
      }
      over = s;
    }
    while (over - fits > 1) {
      const int middle = fits + (over - fits) / 2;
      if (Attempt(middle))
        fits = middle;
      else
        over = middle;
    }
    return kept_;
  }

  // The kept attempt: the finest that fitted, else the lowest tried.
  TBitmap Reduced;
  std::string Data;
  std::int32_t FileSize = 0;

private:
  bool Colours() const { return format_.BestFit == frColors; }
  int Lowest() const { return Colours() ? 2 : 1; }
  int Lower(int s) const { return Colours() ? 1 << (BitsForColors(s) - 1) : s - 10; }

  bool Attempt(int s) {
    int bits = format_.StartBits(work_.Bits);
    int quality = work_.JpegQuality;
    if (Colours()) {
      bits = BitsForColors(s);
      work_.Bits = static_cast<std::uint8_t>(bits);
      work_.Colors = static_cast<std::uint16_t>(s);
    } else {
      quality = s;
    }
    if (!Colours() ? prepared_ < 0 : prepared_ != s) {
      format_.Prepare(input_, work_, bits, picture_);
      prepared_ = s;
    }
    std::string data = format_.Encode(picture_, work_, quality, copyright_, comment_);
    std::string stream;
    format_.Save(data, stream, comment_, copyright_);
    const bool fits = static_cast<std::int64_t>(stream.size()) <= limit_;
    const bool keep = fits ? !keptFits_ || s > kept_ : !keptFits_ && (kept_ < 0 || s < kept_);
    if (keep) {
      kept_ = s;
      keptFits_ = fits;
      Reduced = picture_;
      Data = std::move(data);
      FileSize = static_cast<std::int32_t>(stream.size());
    }
    return fits;
  }

  const TBitmap& input_;
  const TOutputFormat& format_;
  TFormatOptions work_;
  const std::int64_t limit_;
  const bool copyright_;
  const std::string& comment_;
  TBitmap picture_;
  int prepared_ = -1;
  int kept_ = -1;
  bool keptFits_ = false;
};

// Best fit searches JPEG qualities, and the colour counts of the octree
// palettes; a fixed palette gives the same picture at every count.
bool SearchesBestFit(const TOutputFormat& format, const TFormatOptions& options) {
  if (!options.BestFit)
    return false;
  if (format.BestFit == frQuality)
    return true;
  const TReductionMethod method = options.Reduction;
  return format.BestFit == frColors && (method == cmOctree || method == cmOctreeGrid332);
}

} // namespace

void EncodeImage(const TBitmap& input, std::unique_ptr<TBitmap>& reduced,
                 std::unique_ptr<TEncodedGraphic>& graphic, std::int64_t limit, bool copyright,
                 const std::string& comment, TFormatOptions& options, std::int32_t& fileSize) {
  if (graphic)
    throw EMirufoError(Tr("Graphicはnilでなければなりません"));
  if (input.Empty())
    throw EMirufoError(Tr("画像が空なので変換できません"));
  const TOutputFormat& format = OutputFormat(options.Format);
  if (!reduced)
    reduced = std::make_unique<TBitmap>();
  if (limit > 0 && SearchesBestFit(format, options)) {
    TBestFitSearch search(input, format, options, limit, copyright, comment);
    graphic.reset();
    if (format.BestFit == frColors) {
      const int bits = format.StartBits(options.Bits);
      const int colors = search.Run(PaletteColors(options, bits), 1 << bits);
      options.Bits = static_cast<std::uint8_t>(BitsForColors(colors));
      options.Colors = colors == 1 << options.Bits ? 0 : static_cast<std::uint16_t>(colors);
    } else {
      options.JpegQuality = static_cast<std::uint8_t>(search.Run(options.JpegQuality, 100));
      options.Bits = static_cast<std::uint8_t>(format.StartBits(options.Bits));
    }
    *reduced = std::move(search.Reduced);
    graphic = std::make_unique<TEncodedGraphic>(options.Format, std::move(search.Data));
    fileSize = search.FileSize;
    return;
  }
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

TFormatResult MakeFormatResult(const TBitmap& input, const TFormatOptions& options, bool preview) {
  TFormatResult result;
  // Encode with a copy, so that the caller's options stay those the stage
  // was looked up by.
  TFormatOptions used = options;
  EncodeImage(input, result.Reduced, result.Graphic, 0, options.Copyright, options.Comment, used,
              result.FileSize);
  if (!preview) {
    result.Reduced.reset();
    return result;
  }
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
    throw EMirufoError(Tr("JPEGのコメントが長すぎます"));
  if (jpeg.size() < kJpegHeaderBytes)
    throw EMirufoError(Tr("JPEGデータが壊れています"));
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
  dropped_ = false;
  if (!Parent())
    return;
  const TFormatParams& format = std::get<TFormatParams>(params);
  LookAt = Parent()->LookAt;
  reducedBitmap_.reset();
  graphic_.reset();
  const TImageBufferNode* root = Parent();
  while (root->Parent())
    root = root->Parent();
  TFormatResult result;
  if (!(root->EncodeAhead &&
        root->EncodeAhead->TakeEncode(Parent()->Serial(), format.Format, result))) {
    Parent()->RestorePixels();
    result = MakeFormatResult(Parent()->Bitmap, format.Format, root->KeepPictures);
  }
  reducedBitmap_ = std::move(result.Reduced);
  graphic_ = std::move(result.Graphic);
  fileSize_ = result.FileSize;
  Bitmap = std::move(result.Preview);
  if (!root->KeepPictures) {
    // The file is all that is kept; the preview's size is the input's.
    dropped_ = true;
    droppedWidth_ = Parent()->Width();
    droppedHeight_ = Parent()->Height();
  }
}

std::string TFormatBuffer::FileBytes() const {
  std::string bytes;
  if (graphic_)
    SaveWithComment(*graphic_, bytes, ParamsOf<TFormatParams>().Format.Comment,
                    ParamsOf<TFormatParams>().Format.Copyright);
  return bytes;
}

void TFormatBuffer::SaveToFile(const std::filesystem::path& fileName) const {
  WriteFileAtomic(fileName, FileBytes());
}

} // namespace mirufo
