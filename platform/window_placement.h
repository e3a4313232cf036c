// The main window's placement as the settings file keeps it, and the rule
// that brings a window placed off the screen back into view. No windows: the
// desktop program reads the window into this record and applies it back.
#pragma once

#include <cstdint>
#include <string_view>

namespace mirufo {

class TIniFile;

// Show states.
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMinimized = 2;
inline constexpr std::int32_t kShowMaximized = 3;

// Edges, not sizes: Right and Bottom are the normal window's right and
// bottom edge coordinates.
struct TWindowPlacement {
  std::int32_t Flags = 0;
  std::int32_t Show = kShowNormal;
  std::int32_t MaxX = -1;
  std::int32_t MaxY = -1;
  std::int32_t Left = 32;
  std::int32_t Top = 32;
  std::int32_t Right = 32 + 640;
  std::int32_t Bottom = 32 + 480;

  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  friend bool operator==(const TWindowPlacement&, const TWindowPlacement&) = default;
};

// Reads the eight keys prefix + ".Flags", ".Show", ".MaxX", ".MaxY", ".X",
// ".Y", ".XSize", ".YSize" over placement, each with its current value as
// the default.
void ReadWindowPlacement(const TIniFile& file, std::string_view section, std::string_view prefix,
                         TWindowPlacement& placement);
void WriteWindowPlacement(TIniFile& file, std::string_view section, std::string_view prefix,
                          const TWindowPlacement& placement);

// A left edge below 0 moves to 0, one beyond screenWidth - 8 moves to 32;
// the same for the top edge against screenHeight. The size stays.
void KeepOnScreen(TWindowPlacement& placement, std::int32_t screenWidth, std::int32_t screenHeight);

// A rectangle by its top-left corner and size.
struct TScreenRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  friend bool operator==(const TScreenRect&, const TScreenRect&) = default;
};

// What the window system's frame adds around a window's area.
struct TFrameMargins {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
};

// The window's area moved, and where it is too large made smaller, so that
// the window with its frame lies inside the screen's free area: a window
// never opens with its title bar or its buttons out of reach. A window
// that fits keeps its place and size.
TScreenRect FitIntoArea(const TScreenRect& window, const TFrameMargins& frame,
                        const TScreenRect& area);

} // namespace mirufo
