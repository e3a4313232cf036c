// Resampling of 24-bit pictures: nearest neighbour, bilinear interpolation,
// area averaging, and an automatic choice between the last two.
//
// Every method maps the corner of a destination pixel into the source with
// no half-pixel offset. The arithmetic (extended precision where a value is
// rounded, doubles and singles where a value is stored) is fixed: resized
// pictures must come out bit for bit the same on every run and machine.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/progress.h"
#include "imaging/row_table.h"

#include <cstdint>

namespace mirufo {

enum class TResampleMethod : std::uint8_t { rsNearest, rsBilinear, rsAreaAverage, rsAuto };
using enum TResampleMethod;

// Scales Source to NewWidth x NewHeight into Dest. The same size gives an
// exact copy of Source whatever its format. Otherwise rsAuto takes bilinear
// when the picture grows in either direction and area averaging otherwise.
// False, with Dest untouched, when Source is not 24-bit, when a side is below
// 1 or when Source is empty.
[[nodiscard]] bool ResizeBitmap(const TBitmap& Source, TBitmap& Dest, int NewWidth, int NewHeight,
                                TResampleMethod Method, const TProgressInfo& Info);

// The methods themselves; each reports row progress. Nearest and bilinear
// pass allocation failures on as EOutOfResources; area averaging catches
// every failure of its run and answers false.
[[nodiscard]] bool ResizeNearest(const TBitmap& Source, TBitmap& Dest, int NewWidth, int NewHeight,
                                 const TProgressInfo& Info);
[[nodiscard]] bool ResizeBilinear(const TBitmap& Source, TBitmap& Dest, int NewWidth, int NewHeight,
                                  const TProgressInfo& Info);
[[nodiscard]] bool ResizeAreaAverage(const TBitmap& Source, TBitmap& Dest, int NewWidth,
                                     int NewHeight, const TProgressInfo& Info);

} // namespace mirufo
