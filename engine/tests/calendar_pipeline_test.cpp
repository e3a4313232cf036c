// The calendar inside the making pipeline: the decorate stage draws it,
// equal calendars share the stage, and an edit remakes the decorate and
// format stages, whether the caller redecorates or the next make run finds
// the stage stale.
#include "engine/calendar_decorator.h"
#include "engine/standby_image_decorator.h"
#include "engine/standby_maker.h"
#include "imaging/text_renderer.h"
#include "test_handset.h"
#include "test_picture.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TTanmatsuRecord Screen240x320() {
  return test::Screen("W21CA", 240, 320, ifPNG24, 24);
}

TBitmap Picture() {
  return test::MakePicture(240, 320, [](int x, int y) {
    return RGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y / 2), 90);
  });
}

TCalendarDecorator February2004() {
  TCalendarDecorator calendar;
  calendar.Calendar.Date = EncodeCalendarDate(2004, 2, 1);
  calendar.Calendar.LetterSpace = 6;
  calendar.Calendar.LineSpace = 2;
  calendar.Calendar.Alignment = 1;
  calendar.Calendar.Layout = 2;
  calendar.Calendar.Color = RGB(255, 255, 255);
  calendar.Calendar.SundayColor = RGB(255, 0, 0);
  calendar.Calendar.Outline = true;
  calendar.FontSize = 8;
  return calendar;
}

// The rectangle the calendar block of this decorator covers on a 240 x 320
// image, grown by the one-pixel outline.
TRect BlockRect(const TCalendarDecorator& calendar) {
  TTextRenderer font(calendar.FontName, calendar.FontSize);
  TCalendarSize size = TCalendarDecorator::MeasureCalendar(font, calendar.Calendar);
  int x = calendar.Alignment == 0 ? calendar.MarginX : 240 - size.Width - calendar.MarginX;
  int y = 320 - size.Height - calendar.MarginY;
  return {x - 2, y - 2, x + size.Width + 2, y + size.Height + 2};
}

// True when the two bitmaps differ somewhere inside rect and nowhere outside.
bool DifferOnlyInside(const TBitmap& a, const TBitmap& b, TRect rect) {
  bool inside = false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      bool in = x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom;
      if (a.GetPixel(x, y) != b.GetPixel(x, y)) {
        if (!in)
          return false;
        inside = true;
      }
    }
  return inside;
}

struct Fixture {
  TStandbyMaker Maker;
  Fixture() {
    Maker.SetSource(Picture());
    Maker.SetLookAt({120, 160});
  }
  TStandbySpecification& Add(const TStandbyImageDecoratorList* decorators) {
    TStandbySpecification& target = *Maker.Items(Maker.AddSpecification(Screen240x320()));
    target.SetDecorators(decorators);
    return target;
  }
};

TEST(CalendarPipelineTest, DecorateStageDrawsTheCalendarAndEqualCalendarsShareIt) {
  Fixture f;
  TCalendarDecorator first = February2004();
  TCalendarDecorator equal = February2004();
  TCalendarDecorator left = February2004();
  left.Alignment = 0;
  TStandbyImageDecoratorList one, two, three;
  one.Add(&first);
  two.Add(&equal);
  three.Add(&left);
  TStandbySpecification& a = f.Add(&one);
  TStandbySpecification& b = f.Add(&two);
  TStandbySpecification& c = f.Add(&three);
  TStandbySpecification& plain = f.Add(nullptr);
  f.Maker.MakeAll();
  ASSERT_TRUE(a.IsMade() && b.IsMade() && c.IsMade() && plain.IsMade());

  EXPECT_EQ(a.Stages(skDecorate), b.Stages(skDecorate));
  EXPECT_EQ(a.Stages(skFormat), b.Stages(skFormat));
  EXPECT_NE(a.Stages(skDecorate), c.Stages(skDecorate));
  EXPECT_EQ(a.Stages(skSharpen), c.Stages(skSharpen));
  EXPECT_EQ(a.Stages(skSharpen), plain.Stages(skSharpen));

  const TBitmap& sharpened = a.Stages(skSharpen)->Bitmap;
  EXPECT_TRUE(plain.Stages(skDecorate)->Bitmap.SamePixels(sharpened));
  EXPECT_TRUE(DifferOnlyInside(a.Stages(skDecorate)->Bitmap, sharpened, BlockRect(first)));
  EXPECT_TRUE(DifferOnlyInside(c.Stages(skDecorate)->Bitmap, sharpened, BlockRect(left)));
  // A lossless format keeps the calendar in the finished image.
  ASSERT_NE(a.FinalBitmap(), nullptr);
  EXPECT_TRUE(DifferOnlyInside(*a.FinalBitmap(), sharpened, BlockRect(first)));
}

TEST(CalendarPipelineTest, DisabledCalendarsShareAndCopyTheirInput) {
  Fixture f;
  TCalendarDecorator off1 = February2004();
  TCalendarDecorator off2 = February2004();
  off1.Enabled = off2.Enabled = false;
  off2.FontSize = 20;
  TStandbyImageDecoratorList one, two;
  one.Add(&off1);
  two.Add(&off2);
  TStandbySpecification& a = f.Add(&one);
  TStandbySpecification& b = f.Add(&two);
  f.Maker.MakeAll();
  EXPECT_EQ(a.Stages(skDecorate), b.Stages(skDecorate));
  EXPECT_TRUE(a.Stages(skDecorate)->Bitmap.SamePixels(a.Stages(skSharpen)->Bitmap));
}

TEST(CalendarPipelineTest, EditThenReleaseAndRedecorateRemakesTheLateStages) {
  Fixture f;
  TCalendarDecorator calendar = February2004();
  TStandbyImageDecoratorList list;
  list.Add(&calendar);
  TStandbySpecification& a = f.Add(&list);
  TStandbySpecification& b = f.Add(&list);
  f.Maker.MakeAll();
  TImageBufferNode* sharpen = a.Stages(skSharpen);
  const TBitmap before = a.Stages(skDecorate)->Bitmap;
  const TBitmap finalBefore = *a.FinalBitmap();

  // An edit alone changes nothing made.
  calendar.Alignment = 0;
  EXPECT_TRUE(a.Stages(skDecorate)->Bitmap.SamePixels(before));

  for (TStandbySpecification* target : {&a, &b})
    target->ReleaseFrom(skDecorate);
  EXPECT_FALSE(a.IsMade());
  EXPECT_EQ(a.Stages(skDecorate), nullptr);
  for (TStandbySpecification* target : {&a, &b})
    target->Redecorate();

  ASSERT_TRUE(a.IsMade() && b.IsMade());
  EXPECT_EQ(a.Stages(skSharpen), sharpen);
  EXPECT_EQ(a.Stages(skDecorate), b.Stages(skDecorate));
  EXPECT_EQ(a.Stages(skFormat), b.Stages(skFormat));
  EXPECT_TRUE(DifferOnlyInside(a.Stages(skDecorate)->Bitmap, sharpen->Bitmap, BlockRect(calendar)));
  EXPECT_FALSE(a.FinalBitmap()->SamePixels(finalBefore));
  EXPECT_TRUE(DifferOnlyInside(*a.FinalBitmap(), sharpen->Bitmap, BlockRect(calendar)));
}

TEST(CalendarPipelineTest, TheNextMakeRunRedrawsAnEditedCalendar) {
  Fixture f;
  TCalendarDecorator calendar = February2004();
  TStandbyImageDecoratorList list;
  list.Add(&calendar);
  TStandbySpecification& a = f.Add(&list);
  TStandbySpecification& plain = f.Add(nullptr);
  f.Maker.MakeAll();
  TImageBufferNode* sharpen = a.Stages(skSharpen);
  TImageBufferNode* plainFormat = plain.Stages(skFormat);
  const TRect before = BlockRect(calendar);
  EXPECT_FALSE(a.DecorationsStale());

  // The stage keeps the settings it was drawn with, not the live object.
  calendar.Alignment = 0;
  EXPECT_TRUE(a.DecorationsStale());
  EXPECT_FALSE(plain.DecorationsStale());
  EXPECT_TRUE(DifferOnlyInside(a.Stages(skDecorate)->Bitmap, sharpen->Bitmap, before));

  f.Maker.MakeAll();
  ASSERT_TRUE(a.IsMade());
  EXPECT_FALSE(a.DecorationsStale());
  EXPECT_EQ(a.Stages(skSharpen), sharpen);
  EXPECT_EQ(plain.Stages(skFormat), plainFormat);
  EXPECT_TRUE(DifferOnlyInside(*a.FinalBitmap(), sharpen->Bitmap, BlockRect(calendar)));

  // Switching the calendar off is an edit like any other.
  calendar.Enabled = false;
  f.Maker.MakeAll();
  EXPECT_TRUE(a.FinalBitmap()->SamePixels(sharpen->Bitmap));
}

} // namespace
} // namespace mirufo
