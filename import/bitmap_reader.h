// The BMP reader: Windows and OS/2 bitmap files of 1, 4, 8, 16, 24 and 32
// bits, bottom-up and top-down, uncompressed, with bit fields, and with the
// 8- and 4-bit run-length compressions. Palette pictures keep their palette.
#pragma once

#include "import/graphic.h"

namespace mirufo {

class TBitmapReader : public TGraphic {
public:
  static const TGraphicClass Class;

  void LoadFromBytes(std::string_view bytes, const std::string& name) override;
};

} // namespace mirufo
