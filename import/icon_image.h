// The icon reader: Windows icon files whose entries are device-independent
// bitmaps (1 to 32 bits, with their transparency mask) or PNG pictures. The
// largest entry is read (the one with the most pixels, then the most bits).
//
// An icon is not taken over pixel for pixel: it is drawn over a background
// colour, as the desktop draws icons. Pixels the mask marks transparent show
// the background; 32-bit and PNG entries blend by their alpha channel.
#pragma once

#include "import/graphic.h"

#include <vector>

namespace mirufo {

class TIconImage : public TGraphic {
public:
  static const TGraphicClass Class;
  static constexpr const char* kDescription = "アイコン";

  void LoadFromBytes(std::string_view bytes, const std::string& name) override;
  bool IsIcon() const override { return true; }

  // The icon drawn over a picture of its own size filled with background.
  TBitmap Draw(TColor background) const;

private:
  // One byte a pixel, rows from the top: the AND mask (1 = transparent) for
  // mask icons, or the alpha value for icons that carry alpha.
  std::vector<std::uint8_t> mask_;
  bool hasAlpha_ = false;
};

} // namespace mirufo
