// PNG encoding through libpng.
//
// libpng reports errors through our error function, which jumps back with
// longjmp to the function that set png_jmpbuf. Those functions hold only
// plain C data; the C++ callers own every resource through guards and turn a
// failure into an exception.
#include "engine/codecs.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <csetjmp>
#include <cstring>
#include <ctime>
#include <png.h>
#include <vector>

namespace mirufo {
namespace {

constexpr std::size_t kIdatBytes = 32768;
constexpr char kSoftware[] = "Mirufo";

struct TPngError {
  char Message[256] = {};
};

[[noreturn]] void PngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<TPngError*>(png_get_error_ptr(png));
  if (error) {
    std::strncpy(error->Message, message ? message : "", sizeof error->Message - 1);
    error->Message[sizeof error->Message - 1] = '\0';
  }
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

struct TWriteGuard {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  TPngError Error;
  std::string Bytes;
  ~TWriteGuard() { png_destroy_write_struct(&Png, &Info); }
};

void WriteData(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  try {
    out->append(reinterpret_cast<const char*>(data), length);
  } catch (...) {
    png_error(png, "out of memory");
  }
}

void FlushData(png_structp) {}

// The data of a tEXt chunk: the keyword, a zero byte and the text bytes.
std::string TextChunk(const char* keyword, std::string_view text) {
  std::string data(keyword);
  data.push_back('\0');
  data.append(text);
  return data;
}

bool Write(TWriteGuard& guard, const TBitmap& picture, const TPngWriteOptions& options,
           png_bytepp rows, png_colorp palette, int paletteCount, const std::string* texts,
           std::size_t textCount) {
  if (setjmp(png_jmpbuf(guard.Png)) != 0)
    return false;
  png_set_write_fn(guard.Png, &guard.Bytes, WriteData, FlushData);
  png_set_compression_buffer_size(guard.Png, kIdatBytes);
  if (options.CompressLevel >= 0 && options.CompressLevel <= 9)
    png_set_compression_level(guard.Png, options.CompressLevel);
  const int bits = BitsPerPixel(picture.PixelFormat());
  const bool paletted = bits <= 8;
  png_set_IHDR(guard.Png, guard.Info, static_cast<png_uint_32>(picture.Width()),
               static_cast<png_uint_32>(picture.Height()), paletted ? bits : 8,
               paletted ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
               options.Interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (paletted)
    png_set_PLTE(guard.Png, guard.Info, palette, paletteCount);
  // IHDR first, then our own chunks, then PLTE and the image data.
  png_write_info_before_PLTE(guard.Png, guard.Info);
  png_time stamp;
  std::time_t now =
      options.TimeStamp >= 0 ? static_cast<std::time_t>(options.TimeStamp) : std::time(nullptr);
  // libpng's own conversion goes through gmtime's shared buffer, which two
  // threads encoding at once would overwrite under each other.
  std::tm utc{};
  if (!gmtime_r(&now, &utc))
    utc = std::tm{};
  png_convert_from_struct_tm(&stamp, &utc);
  png_byte timeData[7] = {static_cast<png_byte>(stamp.year >> 8),
                          static_cast<png_byte>(stamp.year & 0xFF),
                          stamp.month,
                          stamp.day,
                          stamp.hour,
                          stamp.minute,
                          stamp.second};
  png_write_chunk(guard.Png, reinterpret_cast<png_const_bytep>("tIME"), timeData, 7);
  for (std::size_t i = 0; i < textCount; ++i)
    png_write_chunk(guard.Png, reinterpret_cast<png_const_bytep>("tEXt"),
                    reinterpret_cast<png_const_bytep>(texts[i].data()), texts[i].size());
  png_write_info(guard.Png, guard.Info);
  if (!paletted) {
    png_set_bgr(guard.Png);
    if (bits == 32)
      png_set_filler(guard.Png, 0, PNG_FILLER_AFTER);
  }
  png_write_image(guard.Png, rows);
  png_write_end(guard.Png, nullptr);
  return true;
}

} // namespace

std::string EncodePng(const TBitmap& picture, const TPngWriteOptions& options) {
  if (picture.Empty())
    throw EMirufoError(Tr("PNGの書き込みに失敗しました: 画像が空です"));
  TWriteGuard guard;
  guard.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &guard.Error, PngError, PngWarning);
  if (guard.Png)
    guard.Info = png_create_info_struct(guard.Png);
  if (!guard.Png || !guard.Info)
    throw EOutOfResources(Tr("PNGの書き込みに失敗しました: メモリが足りません"));
  const int bits = BitsPerPixel(picture.PixelFormat());
  std::vector<png_color> palette;
  if (bits <= 8) {
    // The palette holds at most 2^bits entries; a picture without one gets
    // black entries so that every index stays valid.
    std::size_t count = std::min<std::size_t>(picture.Palette().size(), 1u << bits);
    for (std::size_t i = 0; i < count; ++i) {
      const TRGBQuad& q = picture.Palette()[i];
      palette.push_back(png_color{q.Red, q.Green, q.Blue});
    }
    if (palette.empty())
      palette.push_back(png_color{0, 0, 0});
    if (bits < 8)
      palette.resize(std::max<std::size_t>(palette.size(), 1u << bits), png_color{0, 0, 0});
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(picture.Height()));
  for (int y = 0; y < picture.Height(); ++y)
    rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(picture.ScanLine(y));
  // Everything the writer needs is prepared here, so that a failure inside
  // libpng leaves nothing behind but what the guards free.
  std::vector<std::string> texts;
  if (!options.CommentCp932.empty())
    texts.push_back(TextChunk("Comment", options.CommentCp932));
  texts.push_back(TextChunk("Software", kSoftware));
  if (options.Copyright)
    texts.push_back(TextChunk("Copyright", "On"));
  if (!Write(guard, picture, options, rows.data(), palette.data(), static_cast<int>(palette.size()),
             texts.data(), texts.size()))
    throw EMirufoError(std::string(Tr("PNGの書き込みに失敗しました: ")) + guard.Error.Message);
  return std::move(guard.Bytes);
}

} // namespace mirufo
