#include "engine/standby_specification.h"
#include "output/standby_box_list.h"
#include "output/standby_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/ini_file.h"
#include "tests/support/test_handset.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::Handset;

TFormatOptions Jpeg(bool progressive) {
  TFormatOptions o;
  o.Format = ifJPEG;
  o.JpegQuality = 70;
  o.Interlace = progressive;
  return o;
}

TEST(PacketChargeText, RoundsByTheDigitsItHas) {
  struct {
    std::int64_t bytes;
    int row;
    const char* text;
  } rows[] = {
      {12800, 0, "約30円 @ imode"}, {1000, 0, "約2.34円 @ imode"}, {640, 0, "約1.5円 @ imode"},
      {0, 0, "0 円 @ imode"},       {-1, 0, "約0円 @ imode"},      // not made yet
      {1280, 9, "約3円 @ J-PHONE"}, {12800, 99, "約30円 @ imode"}, // a row outside the table
  };
  for (const auto& r : rows)
    EXPECT_EQ(PacketChargeText(r.bytes, r.row), r.text) << r.bytes << " row " << r.row;
}

TEST(FormatOptionTexts, EveryFormat) {
  auto make = [](TImageFormat format, std::uint8_t bits, int dither) {
    TFormatOptions o;
    o.Format = format;
    o.Bits = bits;
    o.Dither = static_cast<TDitherKind>(dither);
    return o;
  };
  TFormatOptions gif = make(ifGIF, 4, 1);
  gif.GifCompression = 1;
  TFormatOptions png8 = make(ifPNG8, 8, 0);
  png8.PngCompressLevel = -1;
  png8.Interlace = true;
  TFormatOptions png24 = make(ifPNG24, 24, 1);
  png24.PngCompressLevel = 0;
  const TFormatOptions bmp = make(ifBMP, 24, 0);
  const TFormatOptions bmp8 = make(ifBMP, 8, 2);
  const TFormatOptions bmp2 = make(ifBMP2, 1, 0);
  using Lines = std::array<std::string, 2>;
  EXPECT_EQ(FormatOptionTexts(gif), (Lines{"GIF 16色 ディザ", "RLE圧縮"}));
  EXPECT_EQ(FormatOptionTexts(Jpeg(false)), (Lines{"JPEG 画質70", ""}));
  EXPECT_EQ(FormatOptionTexts(Jpeg(true)), (Lines{"JPEG 画質70", "プログレッシブ"}));
  EXPECT_EQ(FormatOptionTexts(png8), (Lines{"PNG 256色", "圧縮レベル 標準インターレース"}));
  // The count a best-fit search chose, when it is not a power of two.
  png8.BestFit = true;
  png8.Colors = 200;
  EXPECT_EQ(FormatOptionTexts(png8)[0], "PNG 200色");
  png8.BestFit = false;
  EXPECT_EQ(FormatOptionTexts(png8)[0], "PNG 256色");
  EXPECT_EQ(FormatOptionTexts(png24), (Lines{"PNG24 圧縮レベルなし", ""}));
  EXPECT_EQ(FormatOptionTexts(bmp), (Lines{"BMPフルカラー", "ディザなし"}));
  EXPECT_EQ(FormatOptionTexts(bmp8), (Lines{"BMP256カラー", "ディザあり"}));
  EXPECT_EQ(FormatOptionTexts(bmp2), (Lines{"モノクロBMP", "ディザなし"}));
}

TEST(BoxGeometry, AreasAndMark) {
  EXPECT_EQ(StandbyBoxSize(240, 320, 13), (TBoxSize{264, 387}));
  const TRect box{0, 0, 264, 387};
  EXPECT_EQ(BoxTextArea(box, 13), (TRect{3, 341, 261, 384}));
  EXPECT_EQ(BoxImageArea(box, 13), (TRect{3, 3, 261, 340}));
  EXPECT_EQ(BoxScreenRect(TRect{3, 3, 261, 340}, 240, 320), (TRect{12, 11, 252, 331}));

  const TRect screen{10, 20, 110, 70}; // 100 × 50
  auto mark = PlacementMark(screen, haLeft, vaTop);
  ASSERT_TRUE(mark);
  EXPECT_EQ(mark->Horizontal, (TRect{14, 24, 26, 26}));
  EXPECT_EQ(mark->Vertical, (TRect{14, 24, 16, 36}));
  mark = PlacementMark(screen, haCenter, vaMiddle);
  EXPECT_EQ(mark->Horizontal, (TRect{54, 44, 66, 46}));
  EXPECT_EQ(mark->Vertical, (TRect{59, 39, 61, 51}));
  mark = PlacementMark(screen, haRight, vaBottom);
  EXPECT_EQ(mark->Horizontal, (TRect{94, 64, 106, 66}));
  EXPECT_EQ(mark->Vertical, (TRect{104, 54, 106, 66}));
  EXPECT_FALSE(PlacementMark(screen, haLookAt, vaTop));
  EXPECT_FALSE(PlacementMark(screen, haLeft, vaNone));
}

TEST(SaveFilter, ByFormat) {
  EXPECT_EQ(SaveFilter(ifJPEG, false),
            "Joint Photographic Experts Group (*.jpg;*.jpeg)|*.jpg;*.jpeg");
  EXPECT_EQ(SaveFilter(ifPNG8, false), "Portable Network Graphics (*.png)|*.png");
  EXPECT_EQ(SaveFilter(ifPNG24, true), "Png's Not Gif (*.png)|*.png");
  EXPECT_EQ(SaveFilter(ifBMP2, true), "ビットマップ (*.bmp)|*.bmp");
  EXPECT_EQ(SaveFilter(ifGIF, false), "Graphics Interchange Format (*.gif)|*.gif");
}

class BoxList : public testing::Test {
protected:
  void SetUp() override {
    TBitmap picture(40, 30);
    picture.Fill(RGB(40, 90, 140));
    set.Maker().SetSource(picture);
    set.AddHandset(Handset("A", 24, 32));
    set.AddHandset(Handset("B", 48, 20));
    set.AddHandset(Handset("C", 24, 32, ifPNG8));
    set.SetSelected(1, false);
    boxes.Rebuild();
  }

  TTanmatsuOptionList set;
  TStandbyBoxList boxes{set};
};

TEST_F(BoxList, BoxesFollowTheTargetsInHandsetOrder) {
  ASSERT_EQ(boxes.Count(), 2);
  EXPECT_EQ(boxes.HandsetOf(1), 2u);
  EXPECT_EQ(boxes.BoxOf(2), 1);
  EXPECT_EQ(boxes.BoxOf(1), -1);
  EXPECT_EQ(boxes.LargestScreen(), (TBoxSize{24, 32}));
  boxes.SetSelection({5, 1, 1, -1});
  EXPECT_EQ(boxes.Selection(), std::vector<int>{1});
  set.SetSelected(1, true);
  boxes.Rebuild();
  EXPECT_EQ(boxes.Count(), 3);
  EXPECT_EQ(boxes.LargestScreen(), (TBoxSize{48, 32}));
  set.SetSelected(2, false);
  boxes.Rebuild();
  EXPECT_EQ(boxes.Selection(), std::vector<int>{1}); // now handset B's box
}

TEST_F(BoxList, MixedSelectionLightsSeveralMarksOfAGroup) {
  EXPECT_EQ(boxes.Checks().ResizeMode, (std::array<bool, 5>{})); // nothing selected
  EXPECT_TRUE(boxes.SetFastResample(true).empty());
  boxes.SetSelection({0});
  boxes.SetFastResample(true);
  boxes.SetHorzAlign(haRight);
  boxes.SetSharpenCount(3);
  boxes.SelectAll();
  const TStandbyChecks c = boxes.Checks();
  EXPECT_TRUE(c.Fast && c.Quality);
  EXPECT_EQ(c.HorzAlign, (std::array<bool, 5>{false, false, true, true, false}));
  EXPECT_EQ(c.SharpenCount, (std::array<bool, 4>{false, true, false, true}));
  EXPECT_EQ(c.Sharpness, (std::array<bool, 4>{false, false, true, false}));
  EXPECT_EQ(c.Background, (std::array<bool, 5>{false, true, false, false, false}));
}

TEST_F(BoxList, BackgroundColourIsKeptByTheCornersAndSetByTheColour) {
  boxes.SelectAll();
  boxes.SetBackground(bgColor, RGB(1, 2, 3));
  boxes.SetBackground(bgBottomRight);
  const TLayout& layout = boxes.TargetOf(1)->Layout();
  EXPECT_EQ(layout.Background, bgBottomRight);
  EXPECT_EQ(layout.BackgroundColor, RGB(1, 2, 3));
}

TEST_F(BoxList, TextsOfMadeAndUnmadeBoxes) {
  TBoxTexts texts = boxes.Texts(0);
  EXPECT_EQ(texts.Left[0], "A");
  EXPECT_EQ(texts.Left[2], "0sec @ 9.6K");
  EXPECT_EQ(texts.Right[0], "JPEG");
  EXPECT_EQ(texts.Right[1], "");
  EXPECT_EQ(texts.Right[2], "20KB");
  set.Maker().MakeAll();
  texts = boxes.Texts(0);
  const std::int32_t size = boxes.TargetOf(0)->FileSize();
  EXPECT_EQ(texts.Right[0], "JPEG 画質100");
  EXPECT_EQ(texts.Right[2], FileSizeText(size) + " / 20KB");
  boxes.FileSizeInfo = fiPacketCharge;
  boxes.PacketChargeIndex = 9;
  EXPECT_EQ(boxes.Texts(0).Left[2], PacketChargeText(size, 9));
  boxes.FileSizeInfo = 7;
  EXPECT_EQ(boxes.Texts(0).Left[2], "");
}

TEST_F(BoxList, FormatEditsApplyToMadeTargetsAndCancelRestoresThem) {
  set.Maker().MakeAll();
  set.Maker().Items(0)->ReleaseFrom(skFormat); // box 0 not made
  boxes.SelectAll();
  boxes.RememberFormats();
  auto quality40 = [](const TFormatOptions& o) {
    TFormatOptions copy = o;
    copy.Format = ifJPEG;
    copy.JpegQuality = 40;
    copy.AutoFit = false;
    copy.BestFit = true;
    return copy;
  };
  EXPECT_EQ(boxes.ApplyFormat(quality40), std::vector<int>{1});
  EXPECT_EQ(boxes.TargetOf(1)->FormatOptions().JpegQuality, 40);
  EXPECT_EQ(boxes.TargetOf(0)->FormatOptions().JpegQuality, 100);
  EXPECT_EQ(boxes.RestoreFormats(), (std::vector<int>{0, 1}));
  const TFormatOptions& restored = boxes.TargetOf(1)->FormatOptions();
  EXPECT_EQ(restored.Format, ifPNG8);
  EXPECT_TRUE(restored.AutoFit);
  EXPECT_FALSE(restored.BestFit);
  EXPECT_TRUE(boxes.TargetOf(1)->IsMade());
}

TEST_F(BoxList, SingleMadeTargetNeedsExactlyOneMadeBox) {
  boxes.SetSelection({0});
  EXPECT_EQ(boxes.SingleMadeTarget(), nullptr);
  set.Maker().MakeAll();
  EXPECT_EQ(boxes.SingleMadeTarget(), boxes.TargetOf(0));
  boxes.SelectAll();
  EXPECT_EQ(boxes.SingleMadeTarget(), nullptr);
}

TEST_F(BoxList, SettingsReadOutOfRangeRowAsTheFirst) {
  TIniFile ini(std::filesystem::path(testing::TempDir()) / "box_list.ini");
  ini.WriteInteger("Standby", "PacketChargeIndex", 12);
  ini.WriteInteger("General", "FileSizeInfo", 257);
  boxes.LoadSettings(ini);
  EXPECT_EQ(boxes.PacketChargeIndex, 0);
  EXPECT_EQ(boxes.FileSizeInfo, 1);
  boxes.PacketChargeIndex = 6;
  boxes.SaveSettings(ini);
  EXPECT_EQ(ini.ReadInteger("Standby", "PacketChargeIndex", 0), 6);
}

TEST(BoxGeometry, TodaysScreensShowScaledDownAndTheOldOnesAtFullSize) {
  // Every built-in screen is at most 400 pixels long: shown pixel for pixel.
  EXPECT_EQ(BoxPreviewScale(240, 400), 1.0);
  EXPECT_EQ(PreviewSide(400, BoxPreviewScale(240, 400)), 400);
  // A 5K monitor shows its screen at 480 x 270, a tall phone at 221 x 480,
  // and a thin screen keeps at least one pixel.
  const double scale = BoxPreviewScale(5120, 2880);
  EXPECT_EQ(PreviewSide(5120, scale), 480);
  EXPECT_EQ(PreviewSide(2880, scale), 270);
  const double phone = BoxPreviewScale(1320, 2868);
  EXPECT_EQ(PreviewSide(1320, phone), 221);
  EXPECT_EQ(PreviewSide(2868, phone), 480);
  EXPECT_EQ(PreviewSide(1, scale), 1);
  EXPECT_EQ(BoxPreviewScale(1, 30000), 480.0 / 30000);
}

} // namespace
} // namespace mirufo
