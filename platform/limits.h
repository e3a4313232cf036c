// The size limits that every reader checks before it allocates: picture
// sides and pixel counts, and the length of text files. One object for the
// whole process, so that a reader, the bitmap and the plug-in host can never
// disagree about what is too large.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mirufo {

struct TLimits {
  // Largest picture side in pixels.
  std::int64_t MaxSide = 30000;
  // Largest picture in pixels (width times height).
  std::int64_t MaxPixels = 200'000'000;
  // Largest text file read (the settings, the handset list, the make sets,
  // side files of pictures): 16 MiB.
  std::size_t MaxTextFileBytes = std::size_t{16} << 20;
  // Largest picture file read into memory whole: 1 GiB.
  std::size_t MaxPictureFileBytes = std::size_t{1} << 30;
};

// The limits in force.
const TLimits& Limits();

// Replaces the limits of the process. Meant for tests and fuzzing, which
// lower them to keep runs fast; call it while no reader is running.
void SetLimits(const TLimits& limits);

// Sets limits for the life of the object and puts the old ones back after.
class TScopedLimits {
public:
  explicit TScopedLimits(const TLimits& limits) : saved_(Limits()) { SetLimits(limits); }
  ~TScopedLimits() { SetLimits(saved_); }
  TScopedLimits(const TScopedLimits&) = delete;
  TScopedLimits& operator=(const TScopedLimits&) = delete;

private:
  TLimits saved_;
};

// a * b in product; false (product untouched) when it does not fit 64 bits.
bool CheckedMultiply(std::uint64_t a, std::uint64_t b, std::uint64_t& product);

// True when a picture of that size may be allocated: no side negative or
// beyond MaxSide, and width * height within MaxPixels. Both sides 0 (an
// empty picture) is allowed. Safe for any pair of values.
bool IsAllowedPictureSize(std::int64_t width, std::int64_t height);

// width * height * bytesPerPixel in bytes when the picture size is allowed
// and the product fits in memory; false otherwise.
bool PictureByteCount(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel,
                      std::size_t& bytes);

} // namespace mirufo
