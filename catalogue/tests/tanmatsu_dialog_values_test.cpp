// The handset dialog's values: filling from records, the record returned,
// and multi mode's undetermined fields.
#include "catalogue/tanmatsu_dialog_values.h"
#include "fake_selection.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

TTanmatsuDialogValues Dialog() {
  TTanmatsuDialogValues values;
  values.CacheNames = {"DoCoMo 8KB", "au 9KB"};
  return values;
}

TTanmatsuRecord RoundTrip(const TTanmatsuRecord& record) {
  TTanmatsuDialogValues values = Dialog();
  values.FillFromRecord(record);
  return values.ToRecord();
}

TEST(TanmatsuDialogValues, NamedCacheComesBackAndDisablesTheNumber) {
  TTanmatsuRecord r = test::UserHandset("X");
  r.CacheName = "AU 9kb"; // letter case ignored when looking it up
  r.Cache = 9;
  TTanmatsuDialogValues values = Dialog();
  values.FillFromRecord(r);
  EXPECT_EQ(values.CacheItem, 2);
  EXPECT_EQ(values.ToRecord().CacheName, "au 9KB");
}

TEST(TanmatsuDialogValues, FieldsAreKeptWithinTheControls) {
  struct Row {
    const char* what;
    void (*change)(TTanmatsuRecord&);
    bool (*check)(const TTanmatsuRecord&);
  };
  const Row rows[] = {
      {"fixed 7.5 KB gives 7", [](TTanmatsuRecord& r) { r.Cache = 7.5f; },
       [](const TTanmatsuRecord& r) { return r.Cache == 7 && r.CacheName.empty(); }},
      {"width 20 gives 32", [](TTanmatsuRecord& r) { r.Width = 20; },
       [](const TTanmatsuRecord& r) { return r.Width == 32; }},
      {"bits 0 gives 1", [](TTanmatsuRecord& r) { r.Bit = 0; },
       [](const TTanmatsuRecord& r) { return r.Bit == 1; }},
      {"28.8K is offered", [](TTanmatsuRecord& r) { r.Bps = 28800; },
       [](const TTanmatsuRecord& r) { return r.Bps == 28800; }},
      {"9.6K is offered", [](TTanmatsuRecord& r) { r.Bps = 9600; },
       [](const TTanmatsuRecord& r) { return r.Bps == 9600; }},
      {"2.4M is not: the item stays on 384", [](TTanmatsuRecord& r) { r.Bps = 2400000; },
       [](const TTanmatsuRecord& r) { return r.Bps == 384000; }},
      {"standard PNG8 alone",
       [](TTanmatsuRecord& r) {
         r.Format = ifPNG8;
         r.SupportFormats = {};
       },
       [](const TTanmatsuRecord& r) { return r.SupportFormats == TImageFormats{ifPNG8}; }},
      {"GIF keeps the dialog's JPEG", [](TTanmatsuRecord& r) { r.Format = ifGIF; },
       [](const TTanmatsuRecord& r) { return r.Format == ifJPEG; }},
      {"a built-in record comes back as a user one",
       [](TTanmatsuRecord& r) {
         r.Carrier = crDoCoMo;
         r.Series = "901i シリーズ";
         r.Screen = "メイン";
       },
       [](const TTanmatsuRecord& r) {
         return r.Carrier == crUser && r.Series.empty() && r.Screen.empty();
       }},
  };
  for (const Row& row : rows) {
    TTanmatsuRecord r = test::UserHandset("X");
    row.change(r);
    EXPECT_TRUE(row.check(RoundTrip(r))) << row.what;
  }
}

TEST(TanmatsuDialogValues, SpeedTextsAreExact) {
  EXPECT_EQ(SpeedItemBps("9.6"), 9600);
  EXPECT_EQ(SpeedItemBps("28.8"), 28800);
  EXPECT_EQ(SpeedItemBps("384"), 384000);
  EXPECT_EQ(SpeedItemBps("x"), 0);
  EXPECT_EQ(SpeedItemBps(""), 0);
}

TEST(TanmatsuDialogValues, MultiModeAppliesOnlyWhatIsDetermined) {
  TTanmatsuRecord a = test::UserHandset("A");
  TTanmatsuRecord b = test::UserHandset("B");
  a.Width = 120;
  b.Width = 240;
  a.Cache = 10;
  b.Cache = 20;
  b.SupportFormats = {ifJPEG, ifBMP2};
  TTanmatsuDialogValues values = Dialog();
  values.FillFromRecords({a, b});
  EXPECT_TRUE(values.Name.empty());
  EXPECT_FALSE(values.IsDetermined(dfWidth));
  EXPECT_TRUE(values.IsDetermined(dfHeight));
  EXPECT_EQ(values.Accepts[2], asGrayed);
  EXPECT_EQ(values.Accepts[0], asChecked);
  // Fixed capacities that differ are not given the first one's number.
  EXPECT_FALSE(values.IsDetermined(dfCache));

  values.SpeedItem = 4; // "9.6"
  for (TTanmatsuRecord* r : {&a, &b})
    values.ApplyTo(*r);
  EXPECT_EQ(a.Name, "A");
  EXPECT_EQ(b.Name, "B");
  EXPECT_EQ(a.Width, 120);
  EXPECT_EQ(b.Width, 240);
  EXPECT_EQ(a.Bps, 9600);
  EXPECT_EQ(b.Bps, 9600);
  EXPECT_EQ(a.Cache, 10);
  EXPECT_EQ(b.Cache, 20);
  EXPECT_FALSE(a.SupportFormats.Contains(ifBMP2));
  EXPECT_TRUE(b.SupportFormats.Contains(ifBMP2));

  values.Name = "Same";
  values.SetDetermined(dfWidth);
  values.Width = 300;
  values.Accepts[2] = asChecked;
  for (TTanmatsuRecord* r : {&a, &b})
    values.ApplyTo(*r);
  EXPECT_EQ(a.Name, "Same");
  EXPECT_EQ(b.Name, "Same");
  EXPECT_EQ(a.Width, 300);
  EXPECT_TRUE(a.SupportFormats.Contains(ifBMP2));
}

TEST(TanmatsuDialogValues, MultiModeOverAgreeingRecordsKeepsTheSharedValues) {
  TTanmatsuRecord a = test::UserHandset("A");
  TTanmatsuRecord b = test::UserHandset("B");
  a.Format = b.Format = ifPNG8;
  a.SupportFormats = b.SupportFormats = {ifPNG8};
  TTanmatsuDialogValues values = Dialog();
  values.FillFromRecords({a, b});
  EXPECT_TRUE(values.IsDetermined(dfWidth));
  EXPECT_EQ(values.Format, ifPNG8);
  values.ApplyTo(a);
  EXPECT_EQ(a.Width, 240);
  EXPECT_EQ(a.Format, ifPNG8);
  EXPECT_EQ(a.SupportFormats, TImageFormats{ifPNG8});
}

} // namespace
} // namespace mirufo
