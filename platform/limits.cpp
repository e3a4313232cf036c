#include "platform/limits.h"

#include <limits>

namespace mirufo {
namespace {

TLimits& CurrentLimits() {
  static TLimits limits;
  return limits;
}

} // namespace

const TLimits& Limits() {
  return CurrentLimits();
}

void SetLimits(const TLimits& limits) {
  CurrentLimits() = limits;
}

bool CheckedMultiply(std::uint64_t a, std::uint64_t b, std::uint64_t& product) {
  std::uint64_t result = 0;
  if (__builtin_mul_overflow(a, b, &result))
    return false;
  product = result;
  return true;
}

bool IsAllowedPictureSize(std::int64_t width, std::int64_t height) {
  const TLimits& limits = Limits();
  if (width < 0 || height < 0 || width > limits.MaxSide || height > limits.MaxSide)
    return false;
  std::uint64_t pixels = 0;
  if (!CheckedMultiply(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height),
                       pixels))
    return false;
  return pixels <= static_cast<std::uint64_t>(limits.MaxPixels);
}

bool PictureByteCount(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel,
                      std::size_t& bytes) {
  if (bytesPerPixel < 0 || !IsAllowedPictureSize(width, height))
    return false;
  std::uint64_t pixels = 0;
  std::uint64_t total = 0;
  if (!CheckedMultiply(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height),
                       pixels) ||
      !CheckedMultiply(pixels, static_cast<std::uint64_t>(bytesPerPixel), total) ||
      total > std::numeric_limits<std::size_t>::max())
    return false;
  bytes = static_cast<std::size_t>(total);
  return true;
}

} // namespace mirufo
