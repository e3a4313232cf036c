// The JPEG reader (libjpeg-turbo): colour, greyscale and CMYK (plain or as
// Adobe applications store it, inverted) pictures, baseline or progressive,
// decoded to 24 bits. A file that ends before its picture does is refused.
#pragma once

#include "import/graphic.h"

namespace mirufo {

class TJPEGImage : public TGraphic {
public:
  static const TGraphicClass Class;
  // The description the format registry lists JPEG files under.
  static constexpr const char* kDescription = "JPEG Image File";

  void LoadFromBytes(std::string_view bytes, const std::string& name) override;
};

} // namespace mirufo
