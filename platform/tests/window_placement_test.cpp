// The window placement keys and the rule that brings a window placed off the
// screen back into view.
#include "platform/ini_file.h"
#include "platform/window_placement.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TEST(WindowPlacement, MissingKeysKeepTheCurrentPlacement) {
  test::TempDir dir;
  TIniFile ini(dir / "a.ini");
  TWindowPlacement p;
  ReadWindowPlacement(ini, "General", "FormPosition", p);
  EXPECT_EQ(p, TWindowPlacement{});
  EXPECT_EQ(p.Left, 32);
  EXPECT_EQ(p.Width(), 640);
  EXPECT_EQ(p.Height(), 480);
}

TEST(WindowPlacement, WrittenKeysReadBackAsEdges) {
  test::TempDir dir;
  TWindowPlacement p{.Flags = 2,
                     .Show = kShowMaximized,
                     .MaxX = -4,
                     .MaxY = -4,
                     .Left = 100,
                     .Top = 50,
                     .Right = 900,
                     .Bottom = 650};
  {
    TIniFile ini(dir / "a.ini");
    WriteWindowPlacement(ini, "General", "FormPosition", p);
    ini.UpdateFile();
  }
  TIniFile ini(dir / "a.ini");
  EXPECT_EQ(ini.ReadInteger("General", "FormPosition.XSize", 0), 900);
  TWindowPlacement read;
  ReadWindowPlacement(ini, "general", "FormPosition", read);
  EXPECT_EQ(read, p);
}

TEST(WindowPlacement, OffScreenEdgesMoveBackKeepingTheSize) {
  struct TCase {
    std::int32_t Left, Top;
    std::int32_t WantLeft, WantTop;
  } cases[] = {
      {5000, 10, 32, 10},  {-50, 10, 0, 10}, {1016, 760, 1016, 760},
      {1017, 761, 32, 32}, {10, -1, 10, 0},  {INT32_MIN + 1, 0, 0, 0},
  };
  for (const TCase& c : cases) {
    TWindowPlacement p{.Left = c.Left, .Top = c.Top, .Right = c.Left + 640, .Bottom = c.Top + 480};
    KeepOnScreen(p, 1024, 768);
    EXPECT_EQ(p.Left, c.WantLeft) << c.Left;
    EXPECT_EQ(p.Top, c.WantTop) << c.Top;
    EXPECT_EQ(p.Width(), 640);
    EXPECT_EQ(p.Height(), 480);
  }
}

// The first-start window on a 640 x 480 screen: moved and shrunk so that
// its frame fits; one that fits stays; an area that does not start at 0
// (a panel on the left) and a frame wider than the area.
TEST(WindowPlacement, FitIntoAreaKeepsTheFrameOnTheScreen) {
  const TFrameMargins frame{1, 24, 1, 1};
  EXPECT_EQ(FitIntoArea({32, 32, 640, 480}, frame, {0, 0, 640, 480}),
            (TScreenRect{1, 24, 638, 455}));
  EXPECT_EQ(FitIntoArea({32, 32, 640, 480}, frame, {0, 0, 1280, 1024}),
            (TScreenRect{32, 32, 640, 480}));
  EXPECT_EQ(FitIntoArea({1200, -50, 200, 100}, frame, {40, 0, 1240, 1024}),
            (TScreenRect{1079, 24, 200, 100}));
  EXPECT_EQ(FitIntoArea({0, 0, 300, 200}, {200, 0, 200, 0}, {0, 0, 300, 200}).Width, 1);
  EXPECT_EQ(FitIntoArea({INT32_MAX, INT32_MIN, 10, 10}, frame, {0, 0, 640, 480}),
            (TScreenRect{629, 24, 10, 10}));
}

} // namespace
} // namespace mirufo
