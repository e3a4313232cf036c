#include "imaging/text_renderer.h"

#include <algorithm>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <mutex>
#include FT_FREETYPE_H

#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/translate.h"

namespace mirufo {
namespace {

struct TFontMatch {
  std::string File;
  int Index = 0;
  std::string Family;
};

// Fontconfig is asked once per family name; its answer does not change while
// the program runs.
std::mutex matchMutex;
std::map<std::string, TFontMatch> matchCache;

TFontMatch MatchFont(const std::string& family) {
  std::lock_guard lock(matchMutex);
  if (auto it = matchCache.find(family); it != matchCache.end())
    return it->second;
  TFontMatch result;
  FcPattern* pattern = FcPatternCreate();
  if (pattern != nullptr) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matchResult = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &matchResult);
    if (match != nullptr) {
      FcChar8* file = nullptr;
      FcChar8* matched = nullptr;
      int index = 0;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr)
        result.File = reinterpret_cast<const char*>(file);
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
        result.Index = index;
      if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch && matched != nullptr)
        result.Family = reinterpret_cast<const char*>(matched);
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  matchCache.emplace(family, result);
  return result;
}

char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  auto lead = static_cast<unsigned char>(s[i]);
  std::size_t length = Utf8CharLength(lead);
  if (length == 1 || i + length > s.size()) {
    ++i;
    return lead < 0x80 ? lead : U'\uFFFD';
  }
  char32_t code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    auto next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return U'\uFFFD';
    }
    code = (code << 6) | (next & 0x3F);
  }
  i += length;
  return code;
}

int PixelSizeOf(int pointSize) {
  long long points = std::llabs(static_cast<long long>(pointSize));
  long long pixels = (points * 96 + 36) / 72; // MulDiv rounds halves away from zero
  return static_cast<int>(std::clamp<long long>(pixels, 1, TTextRenderer::kMaxTextPixelSize));
}

} // namespace

struct TTextRenderer::TFaces {
  FT_Library Library = nullptr;
  FT_Face Primary = nullptr;
  FT_Face Fallback = nullptr; // a Japanese font for characters Primary lacks

  ~TFaces() {
    if (Fallback != nullptr)
      FT_Done_Face(Fallback);
    if (Primary != nullptr)
      FT_Done_Face(Primary);
    if (Library != nullptr)
      FT_Done_FreeType(Library);
  }

  FT_Face Open(const TFontMatch& match, int pixelSize) const {
    if (match.File.empty())
      return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(Library, match.File.c_str(), match.Index, &face) != 0)
      return nullptr;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
      // A bitmap-only font offers fixed sizes; take the first one.
      if (face->num_fixed_sizes == 0 || FT_Select_Size(face, 0) != 0) {
        FT_Done_Face(face);
        return nullptr;
      }
    }
    return face;
  }
};

TTextRenderer::TTextRenderer(std::string_view family, int pointSize, bool antialias)
    : faces_(std::make_unique<TFaces>()), pixelSize_(PixelSizeOf(pointSize)),
      antialias_(antialias) {
  if (FT_Init_FreeType(&faces_->Library) != 0)
    throw EMirufoError(Tr("フォントを扱えません (FreeType を初期化できません)"));
  TFontMatch primary = MatchFont(std::string(family));
  TFontMatch fallback = MatchFont("sans-serif");
  faces_->Primary = faces_->Open(primary, pixelSize_);
  if (faces_->Primary == nullptr) {
    primary = fallback;
    faces_->Primary = faces_->Open(primary, pixelSize_);
  } else if (fallback.File != primary.File || fallback.Index != primary.Index) {
    faces_->Fallback = faces_->Open(fallback, pixelSize_);
  }
  if (faces_->Primary == nullptr)
    throw EMirufoError(Tr("フォント \"") + std::string(family) +
                       Tr("\" も代わりのフォントも読み込めません"));
  fontFile_ = primary.File;
  matchedFamily_ = primary.Family;
  const FT_Size_Metrics& metrics = faces_->Primary->size->metrics;
  ascent_ = static_cast<int>((metrics.ascender + 63) >> 6);
  descent_ = static_cast<int>((-metrics.descender + 63) >> 6);
  if (ascent_ + descent_ <= 0)
    ascent_ = pixelSize_;
}

TTextRenderer::~TTextRenderer() = default;

const TTextRenderer::TGlyph& TTextRenderer::Glyph(char32_t code) const {
  if (auto it = glyphs_.find(code); it != glyphs_.end())
    return it->second;
  TGlyph& glyph = glyphs_[code];
  FT_Face face = faces_->Primary;
  FT_UInt index = FT_Get_Char_Index(face, code);
  if (index == 0 && faces_->Fallback != nullptr) {
    FT_UInt fallbackIndex = FT_Get_Char_Index(faces_->Fallback, code);
    if (fallbackIndex != 0) {
      face = faces_->Fallback;
      index = fallbackIndex;
    }
  }
  FT_Int32 loadFlags = antialias_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
  if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | loadFlags) != 0)
    return glyph;
  FT_GlyphSlot slot = face->glyph;
  glyph.Advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (FT_Render_Glyph(slot, antialias_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
    return glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.Left = slot->bitmap_left;
  glyph.Top = slot->bitmap_top;
  glyph.Width = static_cast<int>(bitmap.width);
  glyph.Height = static_cast<int>(bitmap.rows);
  glyph.Coverage.assign(static_cast<std::size_t>(glyph.Width) * glyph.Height, 0);
  for (int row = 0; row < glyph.Height; ++row) {
    const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    std::uint8_t* dst = glyph.Coverage.data() + static_cast<std::size_t>(row) * glyph.Width;
    for (int col = 0; col < glyph.Width; ++col) {
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        dst[col] = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays == 256)
        dst[col] = src[col];
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        dst[col] = static_cast<std::uint8_t>(src[col] * 255 / std::max(1, bitmap.num_grays - 1));
    }
  }
  return glyph;
}

int TTextRenderer::TextWidth(std::string_view utf8) const {
  int width = 0;
  for (std::size_t i = 0; i < utf8.size();)
    width += Glyph(NextCodePoint(utf8, i)).Advance;
  return width;
}

int TTextRenderer::TextHeight(std::string_view /*utf8*/) const {
  return ascent_ + descent_;
}

void TTextRenderer::TextOut(TBitmap& bitmap, int x, int y, std::string_view utf8,
                            TColor color) const {
  int bytesPerPixel;
  if (bitmap.PixelFormat() == pf24bit)
    bytesPerPixel = 3;
  else if (bitmap.PixelFormat() == pf32bit)
    bytesPerPixel = 4;
  else
    return;
  const int colour[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
  long long pen = x;
  const long long baseline = static_cast<long long>(y) + ascent_;
  for (std::size_t i = 0; i < utf8.size();) {
    const TGlyph& glyph = Glyph(NextCodePoint(utf8, i));
    const long long left = pen + glyph.Left;
    const long long top = baseline - glyph.Top;
    pen += glyph.Advance;
    // Clip in 64 bits: positions far outside the bitmap must not wrap.
    const int rowFrom = static_cast<int>(std::clamp<long long>(-top, 0, glyph.Height));
    const int rowTo =
        static_cast<int>(std::clamp<long long>(bitmap.Height() - top, 0, glyph.Height));
    const int colFrom = static_cast<int>(std::clamp<long long>(-left, 0, glyph.Width));
    const int colTo =
        static_cast<int>(std::clamp<long long>(bitmap.Width() - left, 0, glyph.Width));
    for (int row = rowFrom; row < rowTo; ++row) {
      std::uint8_t* line = bitmap.ScanLine(static_cast<int>(top + row));
      const std::uint8_t* coverage =
          glyph.Coverage.data() + static_cast<std::size_t>(row) * glyph.Width;
      for (int col = colFrom; col < colTo; ++col) {
        const int a = coverage[col];
        if (a == 0)
          continue;
        std::uint8_t* pixel = line + (left + col) * bytesPerPixel;
        for (int c = 0; c < 3; ++c)
          pixel[c] = static_cast<std::uint8_t>((pixel[c] * (255 - a) + colour[c] * a + 127) / 255);
      }
    }
  }
}

} // namespace mirufo
