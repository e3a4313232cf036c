// 3x3 convolution of 24-bit pictures and the three sharpening kernels.
//
// Border pixels repeat outward, so a picture of one colour keeps that colour
// under every kernel whose weights add up to its divisor.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/image_processor.h"
#include "imaging/progress.h"

#include <array>
#include <cstdint>
#include <string>

namespace mirufo {

// Nine weights row by row from the top-left, and the divisor.
struct TKernel {
  std::array<std::int32_t, 9> Weights{};
  std::int32_t Divisor = 1;
};

// The sharpening kernel of strength 1 (weak), 2 (medium) or 3 (strong), or
// null for any other strength.
const TKernel* SharpenKernel(int Strength);
// Its name, the caption of a sharpening step; empty for an unknown strength.
std::string SharpenKernelName(int Strength);

// Convolves Source into Dest (24-bit, Source's size): per channel the sum of
// weight times pixel, truncated by the divisor and clamped into 0..255.
// False with Dest untouched when Source is not 24-bit or the divisor is 0;
// false when anything fails on the way (Dest may then have its new size).
[[nodiscard]] bool Convolve3x3(const TBitmap& Source, TBitmap& Dest, const TKernel& Kernel,
                               const TProgressInfo& Info);

// One pass of the sharpening kernel of the strength; false for an unknown
// strength.
[[nodiscard]] bool FilterBitmap(const TBitmap& Source, TBitmap& Dest, int Strength,
                                const TProgressInfo& Info);

// Count passes, each reading the result of the one before, run as one
// sequence captioned with the kernel's name and "(Count回)". Dest receives
// the last result only when every pass succeeded; otherwise it is left as it
// was.
[[nodiscard]] bool FilterBitmapRepeated(const TBitmap& Source, TBitmap& Dest, int Strength,
                                        const TProgressInfo& Info, int Count);

// A sharpening pass as a processing step.
class TImageFilterer : public TImageProcessor {
public:
  explicit TImageFilterer(int Strength) : Strength(Strength) {}
  std::string GetName() const override;
  [[nodiscard]] bool Execute() override;

  int Strength;
};

} // namespace mirufo
