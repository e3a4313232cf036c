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

} // namespace mirufo
