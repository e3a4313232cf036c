#include "platform/window_placement.h"

#include "platform/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace mirufo {
namespace {

struct TPlacementKey {
  const char* Suffix;
  std::int32_t TWindowPlacement::*Field;
};

constexpr TPlacementKey kKeys[] = {
    {".Flags", &TWindowPlacement::Flags}, {".Show", &TWindowPlacement::Show},
    {".MaxX", &TWindowPlacement::MaxX},   {".MaxY", &TWindowPlacement::MaxY},
    {".X", &TWindowPlacement::Left},      {".Y", &TWindowPlacement::Top},
    {".XSize", &TWindowPlacement::Right}, {".YSize", &TWindowPlacement::Bottom},
};

// Moves one edge pair so that the near edge lies on the screen.
void KeepEdge(std::int32_t& nearEdge, std::int32_t& farEdge, std::int32_t screenSize) {
  std::int64_t moveTo = nearEdge;
  if (nearEdge < 0)
    moveTo = 0;
  else if (static_cast<std::int64_t>(nearEdge) > static_cast<std::int64_t>(screenSize) - 8)
    moveTo = 32;
  const std::int64_t size = static_cast<std::int64_t>(farEdge) - nearEdge;
  nearEdge = static_cast<std::int32_t>(moveTo);
  farEdge =
      static_cast<std::int32_t>(std::clamp<std::int64_t>(moveTo + size, INT32_MIN, INT32_MAX));
}

} // namespace

void ReadWindowPlacement(const TIniFile& file, std::string_view section, std::string_view prefix,
                         TWindowPlacement& placement) {
  for (const TPlacementKey& key : kKeys) {
    std::int32_t& field = placement.*key.Field;
    field = file.ReadInteger(section, std::string(prefix) + key.Suffix, field);
  }
}

void WriteWindowPlacement(TIniFile& file, std::string_view section, std::string_view prefix,
                          const TWindowPlacement& placement) {
  for (const TPlacementKey& key : kKeys)
    file.WriteInteger(section, std::string(prefix) + key.Suffix, placement.*key.Field);
}

void KeepOnScreen(TWindowPlacement& placement, std::int32_t screenWidth,
                  std::int32_t screenHeight) {
  KeepEdge(placement.Left, placement.Right, screenWidth);
  KeepEdge(placement.Top, placement.Bottom, screenHeight);
}

TScreenRect FitIntoArea(const TScreenRect& window, const TFrameMargins& frame,
                        const TScreenRect& area) {
  // In 64 bits: a stored placement may hold any 32-bit numbers.
  auto fit = [](std::int64_t start, std::int64_t size, std::int64_t before, std::int64_t after,
                std::int64_t areaStart, std::int64_t areaSize, std::int32_t& outStart,
                std::int32_t& outSize) {
    size = std::clamp<std::int64_t>(size, 0, std::max<std::int64_t>(areaSize - before - after, 1));
    const std::int64_t last = areaStart + areaSize - after - size;
    start = std::max(std::min(start, last), areaStart + before);
    outStart = static_cast<std::int32_t>(std::clamp<std::int64_t>(start, INT32_MIN, INT32_MAX));
    outSize = static_cast<std::int32_t>(size);
  };
  TScreenRect fitted;
  fit(window.Left, window.Width, frame.Left, frame.Right, area.Left, area.Width, fitted.Left,
      fitted.Width);
  fit(window.Top, window.Height, frame.Top, frame.Bottom, area.Top, area.Height, fitted.Top,
      fitted.Height);
  return fitted;
}

} // namespace mirufo
