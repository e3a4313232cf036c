// A deterministic photograph-like picture for demonstrations and benchmarks:
// a smooth sky, a sun with a soft halo, layered hills with fractal texture,
// a row of houses with sharp edges and windows, and grass with fine detail.
// The same size and seed always give the same pixels.
#pragma once

#include "imaging/bitmap.h"

#include <cstdint>

namespace mirufo {

TBitmap MakeSamplePicture(int width, int height, std::uint32_t seed = 1);

} // namespace mirufo
