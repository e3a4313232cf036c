#include "imaging/filters.h"

#include "imaging/row_table.h"
#include "platform/arith.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace mirufo {
namespace {

const TKernel kSharpenKernels[3] = {
    {{-1, -1, -1, -1, 24, -1, -1, -1, -1}, 16},
    {{-1, -1, -1, -1, 16, -1, -1, -1, -1}, 8},
    {{0, -1, 0, -1, 5, -1, 0, -1, 0}, 1},
};

const char* const kSharpenNames[3] = {
    "先鋭化フィルタ（弱）",
    "先鋭化フィルタ（中）",
    "先鋭化フィルタ（強）",
};

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
    std::vector<std::array<std::size_t, 3>> taps(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
      taps[static_cast<std::size_t>(x)] = {
          static_cast<std::size_t>(std::max(x - 1, 0)) * 3, static_cast<std::size_t>(x) * 3,
          static_cast<std::size_t>(std::min(x + 1, width - 1)) * 3};
    const auto& w = Kernel.Weights;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* tapRows[3] = {
          rows[static_cast<std::size_t>(std::max(y - 1, 0))], rows[static_cast<std::size_t>(y)],
          rows[static_cast<std::size_t>(std::min(y + 1, height - 1))]};
      std::uint8_t* dst = Dest.ScanLine(y);
      for (int x = 0; x < width; ++x, dst += 3) {
        const auto& tap = taps[static_cast<std::size_t>(x)];
        std::int32_t sum[3] = {0, 0, 0};
        for (int dy = 0; dy < 3; ++dy) {
          for (int dx = 0; dx < 3; ++dx) {
            const std::int32_t weight = w[static_cast<std::size_t>(dy * 3 + dx)];
            const std::uint8_t* p = tapRows[dy] + tap[static_cast<std::size_t>(dx)];
            sum[0] += p[0] * weight;
            sum[1] += p[1] * weight;
            sum[2] += p[2] * weight;
          }
        }
        dst[0] = ClampByte(Div(sum[0], Kernel.Divisor));
        dst[1] = ClampByte(Div(sum[1], Kernel.Divisor));
        dst[2] = ClampByte(Div(sum[2], Kernel.Divisor));
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
