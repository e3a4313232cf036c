// Text drawing on bitmaps, on FreeType with fonts found through fontconfig.
//
// A font is a family name and a size in points at 96 dots per inch (6 pt is
// 8 pixels). The family is matched with Japanese as the language, so a name
// that is not installed (the Windows "MS UI Gothic", say) falls back to an
// installed Japanese font; characters that the matched font lacks are taken
// from the Japanese fallback font. Matching never fails for a missing name.
//
// Positions follow the desktop convention: text drawn at (x, y) has the top
// of its line (the font's ascent above the baseline) at y, and a text's
// width is the sum of its characters' advance widths.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

class TTextRenderer {
public:
  // Glyphs are drawn crisp (one bit of coverage, hinted for the pixel grid)
  // unless antialias is set. Crisp is the default: at 6 to 10 points on a
  // handset wallpaper smoothed digits turn grey and blur into their outline,
  // and their blended edges become noise once the image is reduced to a
  // palette or dithered. Raises EMirufoError when no font at all can be
  // loaded (no fonts installed).
  TTextRenderer(std::string_view family, int pointSize, bool antialias = false);
  ~TTextRenderer();
  TTextRenderer(const TTextRenderer&) = delete;
  TTextRenderer& operator=(const TTextRenderer&) = delete;

  // Em height in pixels: MulDiv(|pointSize|, 96, 72), at least 1 and at
  // most kMaxTextPixelSize.
  int PixelSize() const { return pixelSize_; }
  // The file and family that matching chose for the requested family.
  const std::string& FontFile() const { return fontFile_; }
  const std::string& MatchedFamily() const { return matchedFamily_; }

  // Advance width of the text in pixels.
  int TextWidth(std::string_view utf8) const;
  // Height of a line of the font (ascent plus descent), whatever the text.
  int TextHeight(std::string_view utf8) const;
  int Ascent() const { return ascent_; }

  // Draws the text with its line top at (x, y) in the colour, without a
  // background, clipped to the bitmap. Draws on 24- and 32-bit bitmaps only;
  // other formats are left unchanged.
  void TextOut(TBitmap& bitmap, int x, int y, std::string_view utf8, TColor color) const;

  static constexpr int kMaxTextPixelSize = 1000;

private:
  struct TGlyph {
    int Left = 0; // from the pen position to the first column
    int Top = 0;  // from the baseline up to the first row
    int Width = 0;
    int Height = 0;
    int Advance = 0;
    std::vector<std::uint8_t> Coverage; // Width * Height, 0 to 255
  };
  struct TFaces;

  const TGlyph& Glyph(char32_t code) const;

  std::unique_ptr<TFaces> faces_;
  int pixelSize_ = 1;
  int ascent_ = 0;
  int descent_ = 0;
  bool antialias_ = false;
  std::string fontFile_;
  std::string matchedFamily_;
  mutable std::map<char32_t, TGlyph> glyphs_;
};

} // namespace mirufo
