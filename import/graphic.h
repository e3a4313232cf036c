// The reader side of picture import: the base class every picture reader
// derives from, the progress event the readers report through, and the
// error raised for a file that is not what it claims to be.
//
// A reader decodes one file into Picture(). It never trusts a size, offset or
// count read from the file: each is checked against the data and against the
// bitmap limits before anything is read or allocated.
#pragma once

#include "imaging/bitmap.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace mirufo {

// A picture file that cannot be decoded: corrupt, truncated, of an unknown
// kind, or beyond the size limits. The message names the file.
class EInvalidGraphic : public EMirufoError {
public:
  using EMirufoError::EMirufoError;
};

// Raised by a progress handler to stop a load; it passes through the readers
// unchanged.
class ELoadAborted : public EMirufoError {
public:
  ELoadAborted() : EMirufoError(Tr("中断しました")) {}
};

enum class TLoadStage : std::uint8_t { lsStarting, lsRunning, lsEnding };
using enum TLoadStage;

// (sender, stage, percent done 0..100, redraw now, rectangle, message).
using TLoadProgressEvent =
    std::function<void(const void* sender, TLoadStage stage, std::uint8_t percentDone,
                       bool redrawNow, const TRect& rect, const std::string& message)>;

// Shows a message to the user (an error message with one OK button in the
// desktop program).
using TLoadMessageEvent = std::function<void(const std::string& text)>;

class TGraphic {
public:
  virtual ~TGraphic() = default;

  // Decodes the file into Picture(). By default reads the whole file (at most
  // Limits().MaxPictureFileBytes) and hands it to LoadFromBytes.
  virtual void LoadFromFile(const std::filesystem::path& fileName);
  // Decodes the bytes of a file; name is used in messages only.
  virtual void LoadFromBytes(std::string_view bytes, const std::string& name);

  // True for icons, which the loader draws over its brush colour instead of
  // taking their pixels over (see TIconImage).
  virtual bool IsIcon() const { return false; }

  const TBitmap& Picture() const { return picture_; }
  TBitmap& Picture() { return picture_; }

  TLoadProgressEvent OnProgress;
  TLoadMessageEvent OnMessage;

protected:
  void Progress(TLoadStage stage, std::uint8_t percent, const std::string& message) const;

  TBitmap picture_;
};

// A reader kind as the picture-format registry knows it: a name and a way to
// make a fresh reader.
struct TGraphicClass {
  std::string_view Name;
  std::unique_ptr<TGraphic> (*Create)();
};
using TGraphicClassRef = const TGraphicClass*;

// Throws EInvalidGraphic with "<name>: <what>".
[[noreturn]] void RaiseInvalidGraphic(const std::string& name, const std::string& what);

// Refuses (EInvalidGraphic naming the file) a picture size that is 0 or
// beyond the bitmap limits, before anything is allocated for it.
void CheckPictureSize(const std::string& name, std::int64_t width, std::int64_t height);

// Little-endian reads from a byte buffer; the caller has checked the range.
inline std::uint16_t ReadLE16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadLE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// True when [offset, offset + length) lies inside a buffer of size bytes,
// without overflow.
constexpr bool InRange(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
  return offset <= size && length <= size - offset;
}

} // namespace mirufo
