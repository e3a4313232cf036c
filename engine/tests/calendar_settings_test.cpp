#include "engine/calendar_decorator.h"
#include "platform/encoding.h"
#include "platform/ini_file.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(CalendarSettingsTest, AbsentKeysGiveTheUsualLook) {
  TempDir dir;
  TIniFile ini(dir / "none.ini");
  TCalendarDecorator calendar;
  calendar.MarginX = 9; // the decorator's own keys default to the current values
  const double before = TodayDate();
  calendar.LoadFromIni(ini, "Standby", "Calendar");
  const double after = TodayDate();
  EXPECT_TRUE(calendar.Enabled);
  EXPECT_EQ(calendar.Alignment, 1);
  EXPECT_EQ(calendar.Layout, 1);
  EXPECT_EQ(calendar.MarginX, 9);
  EXPECT_EQ(calendar.MarginY, 4);
  EXPECT_EQ(calendar.FontName, "MS UI Gothic");
  EXPECT_EQ(calendar.FontSize, 6);
  EXPECT_TRUE(calendar.Calendar.Date == before || calendar.Calendar.Date == after);
  EXPECT_EQ(calendar.Calendar.LetterSpace, 6);
  EXPECT_EQ(calendar.Calendar.LineSpace, 2);
  EXPECT_EQ(calendar.Calendar.Alignment, 1);
  EXPECT_EQ(calendar.Calendar.Layout, 2);
  EXPECT_EQ(calendar.Calendar.Color, 16777215u);
  EXPECT_EQ(calendar.Calendar.SundayColor, 255u);
  EXPECT_TRUE(calendar.Calendar.Outline);
  EXPECT_EQ(calendar.Calendar.OutlineColor, 0u);
  EXPECT_EQ(calendar.Calendar.MonthLabelStyle, 0);
  EXPECT_EQ(calendar.Calendar.MonthLabels[0], "1");
  EXPECT_EQ(calendar.Calendar.MonthLabels[11], "12");
}

TEST(CalendarSettingsTest, ReadsTheFileAndWritesItBackWithEverythingElse) {
  TempDir dir;
  std::filesystem::path path = dir / "mirufo.ini";
  WriteBytes(path, Utf8ToCp932("[General]\r\n"
                               "FormPosition.X=32\r\n"
                               "[standby]\r\n"
                               "Comment=powered by ミルフォ\r\n"
                               "CALENDAR.DRAW=0\r\n"
                               "Calendar.Alignment=258\r\n"
                               "Calendar.Layout=0\r\n"
                               "Calendar.MarginX=0x10\r\n"
                               "Calendar.MarginY=four\r\n"
                               "Calendar.FontName=\r\n"
                               "Calendar.FontSize=9\r\n"
                               "Calendar.Calen.Date=38018\r\n"
                               "Calendar.Calen.Color=0xFF00\r\n"
                               "Calendar.Calen.Outline=0x0\r\n"
                               "Calendar.Calen.MonthLabelStyle=5\r\n"
                               "Calendar.Calen.MonthLabels[0]=睦\r\n"
                               "Calendar.Calen.MonthLabels[11]=師\r\n"
                               "Calendar.Future=kept\r\n"
                               "[Save]\r\n"
                               "Folder=C:\\out\r\n"));
  TIniFile ini(path);
  TCalendarDecorator calendar;
  calendar.LoadFromIni(ini, "Standby", "Calendar");
  EXPECT_FALSE(calendar.Enabled);
  EXPECT_EQ(calendar.Alignment, 2); // the low byte of 258
  EXPECT_EQ(calendar.Layout, 0);
  EXPECT_EQ(calendar.MarginX, 16);
  EXPECT_EQ(calendar.MarginY, 4);   // unreadable: the default
  EXPECT_EQ(calendar.FontName, ""); // present though empty
  EXPECT_EQ(calendar.FontSize, 9);
  EXPECT_EQ(calendar.Calendar.Date, 38018.0);
  EXPECT_EQ(calendar.Calendar.Color, RGB(0, 255, 0));
  EXPECT_FALSE(calendar.Calendar.Outline);
  TCalendarDate date = DecodeCalendarDate(calendar.Calendar.Date);
  EXPECT_EQ(date.Year, 2004);
  EXPECT_EQ(date.Month, 2);
  EXPECT_EQ(TCalendarDecorator::MonthLabel(calendar.Calendar, 1), "睦");
  EXPECT_EQ(TCalendarDecorator::MonthLabel(calendar.Calendar, 12), "師");
  EXPECT_EQ(TCalendarDecorator::MonthLabel(calendar.Calendar, 6), "6");

  calendar.Calendar.Date = 38019.75; // the time of day is not kept
  calendar.MarginY = -3;
  calendar.SaveToIni(ini, "Standby", "Calendar");
  ini.UpdateFile();

  TIniFile again(path);
  EXPECT_EQ(again.ReadInteger("General", "FormPosition.X", 0), 32);
  EXPECT_EQ(again.ReadString("Save", "Folder", ""), "C:\\out");
  EXPECT_EQ(again.ReadString("Standby", "Comment", ""), "powered by ミルフォ");
  EXPECT_EQ(again.ReadString("Standby", "Calendar.Future", ""), "kept");
  EXPECT_EQ(again.ReadString("Standby", "Calendar.Calen.Date", ""), "38019");
  EXPECT_EQ(again.ReadString("Standby", "Calendar.Draw", ""), "0");
  EXPECT_EQ(again.ReadString("Standby", "Calendar.Calen.Color", ""), "65280");
  TCalendarDecorator reloaded;
  reloaded.LoadFromIni(again, "Standby", "Calendar");
  calendar.Calendar.Date = 38019;
  reloaded.Enabled = calendar.Enabled = true; // compare every setting
  EXPECT_TRUE(reloaded.Equals(calendar));
  EXPECT_EQ(reloaded.Calendar.MonthLabels, calendar.Calendar.MonthLabels);
  // The existing section keeps its spelling and its place; no second one.
  std::string text = Cp932ToUtf8(ReadBytes(path));
  EXPECT_NE(text.find("[standby]"), std::string::npos);
  EXPECT_EQ(text.find("[Standby]"), std::string::npos);
  EXPECT_LT(text.find("[General]"), text.find("[standby]"));
  EXPECT_LT(text.find("[standby]"), text.find("[Save]"));
}

TEST(CalendarSettingsTest, EveryKeyIsWrittenUnderThePrefix) {
  TempDir dir;
  TIniFile ini(dir / "a.ini");
  TCalendarDecorator calendar;
  calendar.SaveToIni(ini, "Standby", "Cal");
  for (const char* key :
       {"Cal.Draw", "Cal.Alignment", "Cal.Layout", "Cal.MarginX", "Cal.MarginY", "Cal.FontName",
        "Cal.FontSize", "Cal.Calen.Date", "Cal.Calen.LetterSpace", "Cal.Calen.LineSpace",
        "Cal.Calen.Alignment", "Cal.Calen.Layout", "Cal.Calen.Color", "Cal.Calen.SundayColor",
        "Cal.Calen.Outline", "Cal.Calen.OutlineColor", "Cal.Calen.MonthLabelStyle",
        "Cal.Calen.MonthLabels[0]", "Cal.Calen.MonthLabels[11]"})
    EXPECT_TRUE(ini.ValueExists("Standby", key)) << key;
  EXPECT_FALSE(ini.ValueExists("Standby", "Cal.Calen.MonthLabels[12]"));
}

TEST(CalendarSettingsTest, LongMonthLabelsAreCutWithoutSplittingACharacter) {
  TempDir dir;
  TIniFile ini(dir / "a.ini");
  std::string label;
  for (int i = 0; i < 200; ++i)
    label += "月"; // two CP932 bytes each
  ini.WriteString("Standby", "Calendar.Calen.MonthLabels[2]", label);
  TCalendarDecorator calendar;
  calendar.LoadFromIni(ini, "Standby", "Calendar");
  EXPECT_EQ(Cp932Length(calendar.Calendar.MonthLabels[2]), 254u);
  EXPECT_EQ(calendar.Calendar.MonthLabels[2], label.substr(0, 127 * 3));
}

TEST(CalendarSettingsTest, DatesBeyondTheSettingsRangeAreWrittenInRange) {
  TempDir dir;
  TIniFile ini(dir / "a.ini");
  TCalendarDecorator calendar;
  calendar.Calendar.Date = 1e12;
  calendar.SaveToIni(ini, "Standby", "Calendar");
  EXPECT_EQ(ini.ReadInteger("Standby", "Calendar.Calen.Date", 0), 2958465); // 9999-12-31
}

} // namespace
} // namespace mirufo
