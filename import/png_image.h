// The PNG reader (libpng): every colour type and bit depth, interlaced or
// not. Transparency (an alpha channel or a transparent colour) is composited
// on white, so the picture is always 24 bits.
#pragma once

#include "import/graphic.h"

#include <vector>

namespace mirufo {

class TPNGImage : public TGraphic {
public:
  static const TGraphicClass Class;

  void LoadFromBytes(std::string_view bytes, const std::string& name) override;
};

// True when the bytes start with the PNG signature.
bool HasPngSignature(std::string_view bytes);

// Decodes a PNG into a 24-bit picture and its alpha channel (one byte a
// pixel, rows from the top; 255 everywhere for an opaque picture). Raises
// EInvalidGraphic naming name.
TBitmap ReadPngWithAlpha(std::string_view bytes, const std::string& name,
                         std::vector<std::uint8_t>& alpha);

// Blends colour over background by alpha (0 shows the background).
inline std::uint8_t BlendOver(std::uint8_t colour, std::uint8_t background, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

} // namespace mirufo
