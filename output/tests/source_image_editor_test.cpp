// The source picture's editing rules without windows: open and paste, undo,
// selection drags and cropping, zoom limits, tone commands reaching the
// maker, and where the page draws the picture.
#include "imaging/tone.h"
#include "output/source_image_editor.h"
#include "output/source_view_layout.h"
#include "output/standby_session.h"
#include "platform/ini_file.h"
#include "test_picture.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

// A 4 × 3 picture whose pixels all differ.
TBitmap Picture(int width = 4, int height = 3) {
  return test::MakePicture(width, height, [](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60),
               static_cast<std::uint8_t>(100 + x + y));
  });
}

struct Fixture {
  TStandbySession session;
  TSourceImageEditor editor{session};
};

TEST(SourceImageEditor, OpenSetsNamePictureCentreAndZoom) {
  Fixture f;
  f.editor.ZoomIn();
  TBitmap eight(5, 4, pf8bit);
  f.editor.Open("/p/photo.jpg", eight);
  EXPECT_EQ(f.session.SourceFileName(), "/p/photo.jpg");
  EXPECT_EQ(f.editor.Picture().PixelFormat(), pf24bit);
  EXPECT_TRUE(f.session.SourceBitmap().SamePixels(f.editor.Picture()));
  EXPECT_EQ(f.session.LookAtPoint(), (TLookAtPoint{2, 2}));
  EXPECT_EQ(f.editor.Zoom(), 1.0f);
  EXPECT_FALSE(f.editor.HasSelection());
  EXPECT_FALSE(f.editor.CanUndo());

  f.editor.Paste(Picture());
  EXPECT_EQ(f.session.SourceFileName(), kClipboardSourceName);
  EXPECT_FALSE(f.editor.CanUndo());
}

TEST(SourceImageEditor, TheLookAtPointGoesOnTheSubjectOnRequestOrOnOpening) {
  const TRect patch{420, 60, 560, 200};
  const TBitmap photo = test::SharpSubjectPicture(640, 480, patch);
  auto onPatch = [&](TLookAtPoint p) {
    return p.X >= patch.Left && p.X < patch.Right && p.Y >= patch.Top && p.Y < patch.Bottom;
  };
  Fixture f;
  EXPECT_FALSE(f.editor.AutoLookAt()); // no picture yet
  f.editor.Open("/p/a.png", photo);
  EXPECT_EQ(f.session.LookAtPoint(), (TLookAtPoint{320, 240}));
  ASSERT_TRUE(f.editor.AutoLookAt());
  EXPECT_TRUE(onPatch(f.session.LookAtPoint()));

  // With the option, opening and pasting find it; an edit of the picture
  // puts the point back at the centre as always.
  f.editor.AutoLookAtOnOpen = true;
  f.editor.Open("/p/b.png", photo);
  EXPECT_TRUE(onPatch(f.session.LookAtPoint()));
  ASSERT_TRUE(f.editor.ApplyTone(tkGrayscale));
  EXPECT_EQ(f.session.LookAtPoint(), (TLookAtPoint{320, 240}));
  f.editor.Paste(photo);
  EXPECT_TRUE(onPatch(f.session.LookAtPoint()));
}

TEST(SourceImageEditor, TheOpeningOptionIsOffUnlessTheSettingsSayOn) {
  Fixture f;
  f.editor.LoadSettings(TIniFile("/x.ini", ""));
  EXPECT_FALSE(f.editor.AutoLookAtOnOpen);
  f.editor.LoadSettings(TIniFile("/x.ini", "[sourceimage]\nAutoLookAtOnOpen=0x1\n"));
  EXPECT_TRUE(f.editor.AutoLookAtOnOpen);
  TIniFile written("/x.ini", "[SourceImage]\nRecentFiles.Count=0\n");
  f.editor.SaveSettings(written);
  EXPECT_EQ(written.ReadString(kSourceImageSection, kAutoLookAtOnOpenKey, ""), "1");
  EXPECT_EQ(written.ReadString(kSourceImageSection, "RecentFiles.Count", ""), "0");
}

TEST(SourceImageEditor, UndoIsOneLevelAndEmptiesTheSelection) {
  Fixture f;
  f.editor.Open("/a.bmp", Picture());
  ASSERT_TRUE(f.editor.Rotate(rk90Clockwise));
  EXPECT_EQ(f.session.SourceBitmap().Width(), 3);
  f.editor.StartSelection({0, 0});
  f.editor.Undo();
  EXPECT_TRUE(f.editor.Picture().SamePixels(Picture()));
  EXPECT_TRUE(f.session.SourceBitmap().SamePixels(Picture()));
  EXPECT_FALSE(f.editor.HasSelection());
  EXPECT_FALSE(f.editor.CanUndo());
  f.editor.Undo(); // nothing left: no change, no error
  EXPECT_TRUE(f.editor.Picture().SamePixels(Picture()));
}

TEST(SourceImageEditor, ToneAndGeometryReachTheMaker) {
  Fixture f;
  EXPECT_FALSE(f.editor.ApplyTone(tkSepia)); // no picture
  EXPECT_FALSE(f.editor.Rotate(rk180));
  EXPECT_FALSE(f.editor.CanUndo());
  f.editor.Open("/a.bmp", Picture());
  ASSERT_TRUE(f.editor.ApplyTone(tkSepia));
  TBitmap sepia = Picture();
  ASSERT_TRUE(ApplySepia(sepia, {}));
  EXPECT_TRUE(f.session.SourceBitmap().SamePixels(sepia));
  EXPECT_TRUE(f.editor.UndoPicture().SamePixels(Picture()));
  ASSERT_TRUE(f.editor.FlipVertical());
  EXPECT_EQ(f.session.SourceBitmap().GetPixel(0, 0), sepia.GetPixel(0, 2));
  ASSERT_TRUE(f.editor.ApplyBrightnessContrast(0, -100));
  EXPECT_EQ(f.session.SourceBitmap().GetPixel(3, 1), RGB(128, 128, 128));
}

TEST(SourceImageEditor, SelectionDragsAndCrops) {
  struct Case {
    const char* name;
    TPixel from;
    TPixel to;
    TRect expected;
  } cases[] = {
      {"one pixel", {2, 1}, {2, 1}, {2, 1, 3, 2}},
      {"past the right and bottom edges", {0, 0}, {50, 40}, {0, 0, 4, 3}},
      {"backwards past the top-left", {3, 2}, {-9, -1}, {0, 0, 4, 3}},
      {"inside", {3, 0}, {1, 1}, {1, 0, 4, 2}},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.editor.Open("/a.bmp", Picture());
    f.editor.StartSelection(c.from);
    f.editor.DragSelection(c.to);
    f.editor.EndSelection();
    EXPECT_EQ(f.editor.Selection(), c.expected) << c.name;
    ASSERT_TRUE(f.editor.Crop()) << c.name;
    EXPECT_EQ(f.editor.Picture().Width(), c.expected.Width()) << c.name;
    EXPECT_EQ(f.editor.Picture().Height(), c.expected.Height()) << c.name;
    EXPECT_EQ(f.editor.Picture().GetPixel(0, 0),
              Picture().GetPixel(c.expected.Left, c.expected.Top))
        << c.name;
    EXPECT_EQ(f.editor.Selection(), (TRect{0, 0, c.expected.Width(), c.expected.Height()}));
    EXPECT_TRUE(f.editor.CanUndo());
  }
}

TEST(SourceImageEditor, ClicksOffThePictureOrOnASelectionClearIt) {
  Fixture f;
  f.editor.Open("/a.bmp", Picture());
  f.editor.StartSelection({4, 0}); // just right of the picture
  EXPECT_FALSE(f.editor.HasSelection());
  EXPECT_FALSE(f.editor.Selecting());
  f.editor.StartSelection({1, 1});
  f.editor.EndSelection();
  f.editor.StartSelection({2, 2});
  EXPECT_FALSE(f.editor.HasSelection());
  EXPECT_FALSE(f.editor.Crop());
  EXPECT_FALSE(f.editor.CanUndo());
  EXPECT_EQ(f.editor.SelectionPicture(), nullptr);
  EXPECT_FALSE(f.editor.SetLookAt({-1, 0}));
  EXPECT_TRUE(f.editor.SetLookAt({3, 2}));
  EXPECT_EQ(f.session.LookAtPoint(), (TLookAtPoint{3, 2}));
}

TEST(SourceImageEditor, ZoomStaysBetweenOneAndSixteen) {
  Fixture f;
  EXPECT_FALSE(f.editor.CanZoomOut());
  f.editor.ZoomOut();
  EXPECT_EQ(f.editor.Zoom(), 1.0f);
  for (int i = 0; i < 20; ++i)
    f.editor.ZoomIn();
  EXPECT_EQ(f.editor.Zoom(), 16.0f);
  EXPECT_FALSE(f.editor.CanZoomIn());
  f.editor.ZoomOut();
  EXPECT_EQ(f.editor.Zoom(), 15.0f);
  f.editor.ActualPixels();
  EXPECT_EQ(f.editor.Zoom(), 1.0f);
}

TEST(SourceImageEditor, PreviewIsTheVisiblePartWithTheValues) {
  const TBitmap preview = BrightnessContrastPreview(Picture(), {1, -5, 90, 2}, 255, 0);
  ASSERT_EQ(preview.Width(), 3);
  ASSERT_EQ(preview.Height(), 2);
  EXPECT_EQ(preview.GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_TRUE(BrightnessContrastPreview(Picture(), {9, 9, 20, 20}, 0, 0).Empty());
}

TEST(SourceViewLayout, ScrollBarsCentringAndRanges) {
  struct Case {
    const char* name;
    int width, height;
    float zoom;
    bool h, v;
    int maxX, maxY, offsetX, offsetY;
  } cases[] = {
      // Page 100 × 80, bars 10 thick.
      {"fits: centred", 40, 20, 1, false, false, 0, 0, 30, 30},
      {"too wide", 150, 20, 1, true, false, 51, 0, 0, 25},
      {"too high takes width", 95, 90, 1, true, true, 6, 21, 0, 0},
      {"zoomed past both", 30, 30, 4, true, true, 31, 51, 0, 0},
      {"exactly fits", 100, 80, 1, false, false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const TSourceViewLayout l = LayoutSourceView(c.width, c.height, c.zoom, 100, 80, 10, 10);
    EXPECT_EQ(l.HasHorizontal, c.h) << c.name;
    EXPECT_EQ(l.HasVertical, c.v) << c.name;
    EXPECT_EQ(l.MaxX, c.maxX) << c.name;
    EXPECT_EQ(l.MaxY, c.maxY) << c.name;
    EXPECT_EQ(l.OffsetX, c.offsetX) << c.name;
    EXPECT_EQ(l.OffsetY, c.offsetY) << c.name;
  }
}

TEST(SourceViewLayout, PixelsHandAndAutoScroll) {
  const TSourceViewLayout l = LayoutSourceView(30, 10, 4, 100, 80, 10, 10);
  EXPECT_EQ(l.OffsetY, 15);
  EXPECT_EQ(PixelAt(l, {8, 0}, 4, {0, 15}), (TPixel{2, 0}));
  EXPECT_EQ(PixelAt(l, {8, 0}, 4, {3, 14}), (TPixel{2, -1}));
  EXPECT_EQ(PixelAt(l, {0, 0}, 4, {200, 54}), (TPixel{50, 9}));

  EXPECT_EQ(HandScrollPosition(10, 100, 105, 3, 50), 17); // 10 + 7.5
  EXPECT_EQ(HandScrollPosition(10, 100, 97, 3, 50), 5);   // 10 - 4.5
  EXPECT_EQ(HandScrollPosition(10, 100, 0, 3, 50), 0);
  EXPECT_EQ(HandScrollPosition(10, 0, 100, 3, 50), 50);

  EXPECT_EQ(AutoScrollStep(50, 100), 0);
  EXPECT_EQ(AutoScrollStep(-20, 100), -2);
  EXPECT_EQ(AutoScrollStep(117, 100), 2);
  EXPECT_EQ(AutoScrollStep(-7, 100), 0);
}

} // namespace
} // namespace mirufo
