// Colour reduction of a 24-bit picture to a palette picture.
#pragma once

#include "color/palette.h"
#include "imaging/bitmap.h"

namespace mirufo {

// The palette that a method gives for the picture and a colour count of
// 2^bits. Methods 3, 4 and 11 give their fixed palettes whatever the picture
// and bits; methods 7 and 10 give exactly 2^bits entries, the leaf colours of
// the picture first and then copies of the last leaf colour (black when the
// picture has no pixel). The picture is converted to 24 bits first when it is
// not. Raises EMirufoError for an unknown method or bits outside 1 to 8.
TPalette BuildPalette(const TBitmap& source, TReductionMethod method, int bits);

// Reduces the picture to the method's palette with the given dither code (0
// to 6), scanning rows in a serpentine. The result is an 8-bit picture,
// except for cmFourGrays (4 bits) and cmMonochrome (1 bit); its palette is
// the method's palette. The source is left unchanged; one that is not 24-bit
// is read through a 24-bit copy.
//
// Raises EMirufoError for an unknown method or dither code, bits outside 1
// to 8, or an empty picture ("Invalid image dimensions").
TBitmap ReduceBitmapColors(const TBitmap& source, TReductionMethod method, int dither, int bits);
// The same with a palette of colors entries (2 to 2^bits) instead of 2^bits
// for the octree methods 7 and 10; the fixed palettes ignore the count.
// Raises EMirufoError for a count outside that range.
TBitmap ReduceBitmapColors(const TBitmap& source, TReductionMethod method, int dither, int bits,
                           int colors);

} // namespace mirufo
