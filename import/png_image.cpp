#include "import/png_image.h"

#include "platform/translate.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>

namespace mirufo {
namespace {

// libpng reports errors by longjmp; these steps keep only plain data on the
// stack between setjmp and the library calls, and leave the message here.
struct TPngReadState {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
  std::size_t Pos = 0;
  char Error[256] = {};
};

void PngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<TPngReadState*>(png_get_error_ptr(png));
  std::snprintf(state->Error, sizeof state->Error, "%s", message);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, png_size_t length) {
  auto* state = static_cast<TPngReadState*>(png_get_io_ptr(png));
  if (length > state->Size - state->Pos)
    png_error(png, Tr("ファイルが途中で終わっています"));
  std::memcpy(out, state->Data + state->Pos, length);
  state->Pos += length;
}

bool ReadHeader(TPngReadState& s, png_uint_32& width, png_uint_32& height) {
  if (setjmp(png_jmpbuf(s.Png)))
    return false;
  png_set_read_fn(s.Png, &s, PngRead);
  // libpng's own side limit would refuse a large picture as a broken file;
  // the caller has checked the size against the limits.
  png_set_user_limits(s.Png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_read_info(s.Png, s.Info);
  width = png_get_image_width(s.Png, s.Info);
  height = png_get_image_height(s.Png, s.Info);
  return true;
}

// Sets up the conversion to blue, green, red, alpha; this allocates row
// buffers, so it runs only after the size has been checked.
bool PrepareRows(TPngReadState& s, png_uint_32 width) {
  if (setjmp(png_jmpbuf(s.Png)))
    return false;
  // Every colour type becomes 8-bit blue, green, red, alpha.
  png_set_expand(s.Png);
  png_set_scale_16(s.Png);
  png_set_gray_to_rgb(s.Png);
  png_set_filler(s.Png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(s.Png);
  png_set_interlace_handling(s.Png);
  png_read_update_info(s.Png, s.Info);
  if (png_get_rowbytes(s.Png, s.Info) != static_cast<png_size_t>(width) * 4) {
    std::snprintf(s.Error, sizeof s.Error, "%s", Tr("画素の形式を変換できません"));
    return false;
  }
  return true;
}

bool ReadRows(TPngReadState& s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(s.Png)))
    return false;
  png_read_image(s.Png, rows);
  png_read_end(s.Png, nullptr);
  return true;
}

} // namespace

const TGraphicClass TPNGImage::Class{
    "TPNGImage", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TPNGImage>(); }};

bool HasPngSignature(std::string_view bytes) {
  return bytes.size() >= 8 &&
         png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) == 0;
}

TBitmap ReadPngWithAlpha(std::string_view bytes, const std::string& name,
                         std::vector<std::uint8_t>& alpha) {
  if (!HasPngSignature(bytes))
    RaiseInvalidGraphic(name, Tr("PNG ファイルではありません"));
  // IHDR is always the first chunk: a picture past the limits is refused as
  // too large before libpng reads on and finds anything else to complain of.
  if (bytes.size() >= 24 && bytes.substr(12, 4) == "IHDR") {
    const auto* ihdr = reinterpret_cast<const std::uint8_t*>(bytes.data()) + 16;
    CheckPictureSize(name, png_get_uint_32(ihdr), png_get_uint_32(ihdr + 4));
  }
  TPngReadState s;
  s.Data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  s.Size = bytes.size();
  s.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, PngError, PngWarning);
  if (!s.Png)
    throw EOutOfResources(name + Tr(": PNG を読む準備ができません"));
  s.Info = png_create_info_struct(s.Png);
  struct TCleanup {
    TPngReadState& S;
    ~TCleanup() { png_destroy_read_struct(&S.Png, S.Info ? &S.Info : nullptr, nullptr); }
  } cleanup{s};
  if (!s.Info)
    throw EOutOfResources(name + Tr(": PNG を読む準備ができません"));

  png_uint_32 width = 0, height = 0;
  if (!ReadHeader(s, width, height))
    RaiseInvalidGraphic(name, std::string(Tr("PNG ファイルが壊れています (")) + s.Error + ")");
  CheckPictureSize(name, width, height);
  if (!PrepareRows(s, width))
    RaiseInvalidGraphic(name, std::string(Tr("PNG ファイルが壊れています (")) + s.Error + ")");

  std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * height * 4);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = bgra.data() + static_cast<std::size_t>(y) * width * 4;
  if (!ReadRows(s, rows.data()))
    RaiseInvalidGraphic(name, std::string(Tr("PNG ファイルが壊れています (")) + s.Error + ")");

  TBitmap out(static_cast<int>(width), static_cast<int>(height), pf24bit);
  alpha.assign(static_cast<std::size_t>(width) * height, 0);
  for (png_uint_32 y = 0; y < height; ++y) {
    const std::uint8_t* src = rows[y];
    std::uint8_t* dst = out.ScanLine(static_cast<int>(y));
    for (png_uint_32 x = 0; x < width; ++x) {
      std::memcpy(dst + 3 * x, src + 4 * x, 3);
      alpha[static_cast<std::size_t>(y) * width + x] = src[4 * x + 3];
    }
  }
  return out;
}

void TPNGImage::LoadFromBytes(std::string_view bytes, const std::string& name) {
  std::vector<std::uint8_t> alpha;
  TBitmap picture = ReadPngWithAlpha(bytes, name, alpha);
  for (int y = 0; y < picture.Height(); ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    const std::uint8_t* a = alpha.data() + static_cast<std::size_t>(y) * picture.Width();
    for (int x = 0; x < picture.Width(); ++x)
      for (int c = 0; c < 3; ++c)
        row[3 * x + c] = BlendOver(row[3 * x + c], 255, a[x]);
  }
  picture_ = std::move(picture);
}

} // namespace mirufo
