// The point on a picture's main subject: where the look-at point goes when
// the program is asked to find it, so that every screen's crop keeps what
// the picture is about.
//
// The picture is read once into a reduced copy (long side at most
// kSubjectMapSide cells); each cell keeps its mean colour and the fine detail
// of the full-size pixels it covers (luma gradients with a noise floor taken
// off, so that in a photograph with a blurred background the sharp subject
// stands out). From the reduced copy an attention map is built per block:
// detail, colour saturation, skin tones and the colour's contrast with its
// surroundings, each measured against the picture's own typical value so
// that what covers the whole picture draws no attention. The map is smoothed
// and weighted gently towards the centre; the point is the centre of the
// strongest connected region above half the map's peak. A picture with
// nothing that stands out keeps its centre (width div 2, height div 2).
#pragma once

#include "imaging/bitmap.h"

namespace mirufo {

// Cells on the reduced copy's long side.
inline constexpr int kSubjectMapSide = 512;

struct TSubjectPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TSubjectPoint&, const TSubjectPoint&) = default;
};

// The point on the picture's main subject: always a pixel of the picture,
// (0, 0) for an empty one. Any pixel format; pictures that are not 24- or
// 32-bit are read through a 24-bit copy. threads is how many threads read
// the picture (0: every hardware thread); the result does not depend on it.
TSubjectPoint FindSubjectPoint(const TBitmap& picture, int threads = 0);

} // namespace mirufo
