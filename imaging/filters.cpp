#include "imaging/filters.h"

#include "imaging/row_table.h"
#include "platform/arith.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

namespace mirufo {
namespace {

constexpr TKernel kSharpenKernels[3] = {
    {{-1, -1, -1, -1, 24, -1, -1, -1, -1}, 16},
    {{-1, -1, -1, -1, 16, -1, -1, -1, -1}, 8},
    {{0, -1, 0, -1, 5, -1, 0, -1, 0}, 1},
};

const char* const kSharpenNames[3] = {
    "先鋭化フィルタ（弱）",
    "先鋭化フィルタ（中）",
    "先鋭化フィルタ（強）",
};

using TTaps = std::array<std::size_t, 3>;

bool SameKernel(const TKernel& a, const TKernel& b) {
  return a.Weights == b.Weights && a.Divisor == b.Divisor;
}

// The kernel of a convolution row: a built-in sharpening kernel known at
// compile time (so that its zero weights vanish and its divisor becomes a
// shift), or any other kernel given at run time.
template <int Strength> constexpr const TKernel& KernelOf(std::integral_constant<int, Strength>) {
  return kSharpenKernels[Strength - 1];
}
inline const TKernel& KernelOf(const TKernel& kernel) {
  return kernel;
}

// One destination row: per channel the sum of weight times tap, div the
// divisor, clamped. A built-in kernel's sums stay far inside 32 bits; any
// other kernel's sums are formed in 64 bits so that large weights cannot
// overflow.
template <typename K>
void ConvolveRow(const std::uint8_t* const (&tapRows)[3], const std::vector<TTaps>& taps,
                 std::uint8_t* dst, K kernelSource) {
  using TSum = std::conditional_t<std::is_same_v<K, TKernel>, std::int64_t, std::int32_t>;
  const TKernel& kernel = KernelOf(kernelSource);
  const TSum divisor = kernel.Divisor;
  for (const TTaps& tap : taps) {
    TSum sum[3] = {0, 0, 0};
#pragma GCC unroll 3
    for (int dy = 0; dy < 3; ++dy) {
#pragma GCC unroll 3
      for (int dx = 0; dx < 3; ++dx) {
        const TSum weight = kernel.Weights[static_cast<std::size_t>(dy * 3 + dx)];
        const std::uint8_t* p = tapRows[dy] + tap[static_cast<std::size_t>(dx)];
        sum[0] += p[0] * weight;
        sum[1] += p[1] * weight;
        sum[2] += p[2] * weight;
      }
    }
    for (int c = 0; c < 3; ++c) {
      const TSum value = Div(sum[c], divisor);
      dst[c] = ClampByte(static_cast<std::int32_t>(std::clamp<TSum>(value, -1, 256)));
    }
    dst += 3;
  }
}

} // namespace

const TKernel* SharpenKernel(int Strength) {
  if (Strength < 1 || Strength > 3)
    return nullptr;
  return &kSharpenKernels[Strength - 1];
}

std::string SharpenKernelName(int Strength) {
  if (Strength < 1 || Strength > 3)
    return {};
  return kSharpenNames[Strength - 1];
}

bool Convolve3x3(const TBitmap& Source, TBitmap& Dest, const TKernel& Kernel,
                 const TProgressInfo& Info) {
  if (Source.PixelFormat() != pf24bit || Kernel.Divisor == 0)
    return false;
  if (&Source == &Dest) {
    const TBitmap copy = Source;
    return Convolve3x3(copy, Dest, Kernel, Info);
  }
  try {
    const int width = Source.Width(), height = Source.Height();
    PrepareDest(Dest, width, height, pf24bit);
    if (width == 0 || height == 0)
      return true;
    const auto rows = SourceRowTable(Source);

    // Byte offsets of the left, centre and right taps of every column, with
    // the border columns repeated outward.
    std::vector<TTaps> taps(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
      taps[static_cast<std::size_t>(x)] = {
          static_cast<std::size_t>(std::max(x - 1, 0)) * 3, static_cast<std::size_t>(x) * 3,
          static_cast<std::size_t>(std::min(x + 1, width - 1)) * 3};
    int sharpen = 0;
    for (int strength = 1; strength <= 3; ++strength)
      if (SameKernel(Kernel, kSharpenKernels[strength - 1]))
        sharpen = strength;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* tapRows[3] = {
          rows[static_cast<std::size_t>(std::max(y - 1, 0))], rows[static_cast<std::size_t>(y)],
          rows[static_cast<std::size_t>(std::min(y + 1, height - 1))]};
      std::uint8_t* dst = Dest.ScanLine(y);
      switch (sharpen) {
      case 1:
        ConvolveRow(tapRows, taps, dst, std::integral_constant<int, 1>{});
        break;
      case 2:
        ConvolveRow(tapRows, taps, dst, std::integral_constant<int, 2>{});
        break;
      case 3:
        ConvolveRow(tapRows, taps, dst, std::integral_constant<int, 3>{});
        break;
      default:
        ConvolveRow(tapRows, taps, dst, Kernel);
        break;
      }
      ReportRowProgress(Info, y, height);
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool FilterBitmap(const TBitmap& Source, TBitmap& Dest, int Strength, const TProgressInfo& Info) {
  const TKernel* kernel = SharpenKernel(Strength);
  if (!kernel)
    return false;
  return Convolve3x3(Source, Dest, *kernel, Info);
}

bool FilterBitmapRepeated(const TBitmap& Source, TBitmap& Dest, int Strength,
                          const TProgressInfo& Info, int Count) {
  if (Count < 1 || !SharpenKernel(Strength))
    return false;
  std::vector<std::unique_ptr<TImageFilterer>> filterers;
  std::vector<TImageProcessor*> steps;
  for (int i = 0; i < Count; ++i) {
    auto filterer = std::make_unique<TImageFilterer>(Strength);
    filterer->Source = i == 0 ? &Source : &filterers.back()->Result;
    filterer->OnProgress = Info.OnProgress;
    filterer->Sender = Info.Sender;
    steps.push_back(filterer.get());
    filterers.push_back(std::move(filterer));
  }
  const std::string caption = filterers.front()->GetName() + "(" + std::to_string(Count) + "回)";
  TImageSequencer sequencer;
  if (!RunSequence(sequencer, steps, caption))
    return false;
  Dest = std::move(filterers.back()->Result);
  return true;
}

std::string TImageFilterer::GetName() const {
  return SharpenKernelName(Strength);
}

bool TImageFilterer::Execute() {
  const TKernel* kernel = SharpenKernel(Strength);
  if (!Source || !kernel)
    return false;
  TBitmap filtered;
  if (!Convolve3x3(*Source, filtered, *kernel, ProgressInfo()))
    return false;
  Result = std::move(filtered);
  return true;
}

} // namespace mirufo
