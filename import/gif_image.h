// The built-in GIF reader (giflib): the first frame, interlaced or not, on
// the logical screen filled with the screen's background colour, as a
// 24-bit picture. It decodes bytes in memory, for the preview of finished
// GIF images; the multi-format loader still reads GIF files through the
// Susie plug-ins and does not register this reader.
#pragma once

#include "import/graphic.h"

namespace mirufo {

class TGIFImage : public TGraphic {
public:
  static const TGraphicClass Class;
  void LoadFromBytes(std::string_view bytes, const std::string& name) override;
};

} // namespace mirufo
