// The MAG reader ("MAKI02" pictures of 16 or 256 colours).
//
// A MAG file holds a comment ended by 0x1A, a 32-byte header, a palette and
// three streams: flag A (one bit per flag byte: does flag B change it), flag
// B (XOR values for the flag row) and the pixel data. Each half of a flag
// byte either takes the next two bytes of pixel data or copies a two-byte
// unit from a fixed distance left and up in the picture decoded so far. The
// picture keeps its palette: 4 bits a pixel for 16 colours, 8 for 256.
#pragma once

#include "import/graphic.h"

namespace mirufo {

// A file that is not a MAG picture, or one whose streams do not fit.
class EMagError : public EInvalidGraphic {
public:
  using EInvalidGraphic::EInvalidGraphic;
};

class TMAGImage : public TGraphic {
public:
  static const TGraphicClass Class;
  static constexpr const char* kExtension = "MAG";
  static constexpr const char* kDescription = "MAki chan Graphic format";

  void LoadFromBytes(std::string_view bytes, const std::string& name) override;
};

} // namespace mirufo
