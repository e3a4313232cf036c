// The make page as a user meets it: boxes that follow the targets, check
// marks over a selection, the option commands, the format and calendar
// dialogs run from the page, copy and save-as, and the page's settings.
#include "app/dialogs/calendar_dialog.h"
#include "app/dialogs/format_dialog.h"
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/pages/standby_box_view.h"
#include "app/pages/standby_form.h"
#include "app_test_support.h"
#include "engine/standby_specification.h"
#include "output/standby_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/ini_file.h"
#include "tests/support/test_picture.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace mirufo {

namespace {

TUserFilePaths PathsIn(const QTemporaryDir& dir) {
  const std::filesystem::path folder = dir.path().toStdString();
  return {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"};
}

TTanmatsuRecord Jpeg(const char* name, int bps) {
  TTanmatsuRecord r = test::UserHandset(name, 96, 64);
  r.Format = ifJPEG;
  r.SupportFormats = {ifJPEG};
  r.Bps = bps;
  r.Cache = 20;
  return r;
}

// A program whose only targets are three user handsets (two JPEG, one BMP),
// with a picture, on the make page; the make run has finished.
struct TMadePage {
  TMadePage() : program(PathsIn(dir)), form(program.Form()), page(program.StandbyForm()) {
    TTanmatsuOptionList& set = form.Session().WorkingSet();
    const std::size_t first = set.AddHandset(Jpeg("JA", 9600));
    set.AddHandset(Jpeg("JB", 0));
    set.AddHandset(test::UserHandset("BM", 80, 100));
    std::vector<bool> ticks(first + 3, false);
    ticks[first] = ticks[first + 1] = ticks[first + 2] = true;
    form.ApplySelection(ticks);
    form.SetSourceImage(test::Picture());
    form.GoToPage(2);
  }
  TStandbySpecification& Target(int box) { return *page.Boxes().TargetOf(box); }
  void Select(std::vector<int> boxes) {
    page.BoxView().SetSelection(std::move(boxes));
    page.UpdateActions();
  }

  QTemporaryDir dir;
  test::TMessageRecorder messages;
  TMirufoProgram program;
  TForm1& form;
  TStandbyForm& page;
};

} // namespace

class TStandbyFormTest : public QObject {
  Q_OBJECT

private slots:
  void arrivingMakesEveryBoxAndSizesTheGrid() {
    TMadePage p;
    QCOMPARE(p.page.Boxes().Count(), 3);
    QCOMPARE(p.page.Boxes().MadeCount(), 3);
    QVERIFY(p.page.CanGoNext());
    QCOMPARE(p.form.StatusText(), std::string("3 枚の待受画像を作成（完成済み 3 枚）"));
    QCOMPARE(p.page.BoxView().BoxSize().width(), 96 + 24);
    QVERIFY(!p.page.actMake->isEnabled());
    QVERIFY(p.messages.Messages.empty());
  }

  void checkMarksFollowTheSelection() {
    TMadePage p;
    p.Select({});
    for (QAction* a : {p.page.actResampleFast, p.page.actResampleQuality, p.page.actAlignAuto,
                       p.page.actLayout[3], p.page.actSharp[2], p.page.actSharpCount[0]})
      QVERIFY2(!a->isChecked(), qPrintable(a->objectName()));
    QVERIFY(!p.page.actResampleFast->isEnabled());
    // Commands with no selection change nothing.
    p.page.actAlignWidth->trigger();
    p.page.actSharp[0]->trigger();
    QCOMPARE(p.Target(0).ResizeMode(), rzAuto);
    QCOMPARE(p.Target(1).Sharpness(), shMiddle);

    p.Select({1});
    p.page.actResampleFast->trigger();
    p.page.actLayout[2]->trigger();
    QVERIFY(p.Target(1).FastResample());
    QVERIFY(p.Target(1).IsMade()); // remade with the new options
    p.Select({0, 1});
    QVERIFY(p.page.actResampleFast->isChecked());
    QVERIFY(p.page.actResampleQuality->isChecked());
    QVERIFY(p.page.actLayout[2]->isChecked());
    QVERIFY(p.page.actLayout[3]->isChecked());
    QVERIFY(!p.page.actLayout[0]->isChecked());
  }

  void boxTextsFollowTheViewCommands() {
    TMadePage p;
    const std::int32_t size = p.Target(0).FileSize();
    QCOMPARE(p.page.Boxes().Texts(0).Left[2], DownloadTimeText(size, 9600));
    // No line speed: unknown, both as a time and as a charge.
    QCOMPARE(p.page.Boxes().Texts(1).Left[2], std::string("不明"));
    p.page.actPacket[9]->trigger();
    QCOMPARE(p.page.Boxes().Texts(0).Left[2], PacketChargeText(size, 9));
    QCOMPARE(p.page.Boxes().Texts(1).Left[2], std::string("不明"));
    p.page.actDownloadSpeed->trigger();
    QCOMPARE(p.page.Boxes().Texts(1).Left[2], std::string("不明"));
  }

  void cancellingTheFormatDialogRestoresTheOptions() {
    TMadePage p;
    p.Select({0, 1});
    int seenQuality = 0;
    p.page.OnFormatDialog = [&](TFormatDialog& dialog) {
      dialog.btnQuality[1]->click(); // "中": 40, applied at once
      seenQuality = p.Target(1).FormatOptions().JpegQuality;
      dialog.reject();
    };
    p.page.actFormat->trigger();
    QCOMPARE(seenQuality, 40);
    for (int box : {0, 1}) {
      QCOMPARE(int(p.Target(box).FormatOptions().JpegQuality), 100);
      QVERIFY(p.Target(box).FormatOptions().AutoFit);
      QVERIFY(p.Target(box).IsMade());
    }
    // OK keeps what was applied.
    p.page.OnFormatDialog = [&](TFormatDialog& dialog) {
      dialog.tabFormat->setCurrentIndex(fpPNG24);
      dialog.accept();
    };
    p.page.actFormat->trigger();
    QCOMPARE(p.Target(0).FormatOptions().Format, ifPNG24);
    QCOMPARE(p.page.Boxes().Texts(0).Right[0].substr(0, 5), std::string("PNG24"));
  }

  // The fit search lowers a target's colours after the dialog chose PNG8;
  // the dialog opened again shows the count the image has now.
  void theFormatDialogShowsTheFittedValues() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    TStandbyForm& page = program.StandbyForm();
    TTanmatsuOptionList& set = form.Session().WorkingSet();
    TTanmatsuRecord record = test::UserHandset("P8", 96, 64);
    record.Format = ifJPEG;
    record.SupportFormats = {ifJPEG, ifPNG8};
    record.Bit = 8;
    record.Cache = 4;
    const std::size_t index = set.AddHandset(record);
    std::vector<bool> ticks(index + 1, false);
    ticks[index] = true;
    form.ApplySelection(ticks);
    form.SetSourceImage(test::MakePicture(96, 64, [](int x, int y) {
      return static_cast<TColor>((x * 2) | (y * 3) << 8 | ((x * y) & 0xFF) << 16);
    }));
    form.GoToPage(2);
    page.BoxView().SetSelection({0});
    page.OnFormatDialog = [&](TFormatDialog& dialog) {
      dialog.tabFormat->setCurrentIndex(fpPNG8);
      dialog.accept();
    };
    page.actFormat->trigger();
    page.actMake->trigger();
    TStandbySpecification& target = *page.Boxes().TargetOf(0);
    QVERIFY(target.IsMade());
    QString shown;
    page.OnFormatDialog = [&](TFormatDialog& dialog) {
      shown = dialog.cmbPng8Colors->currentText();
      dialog.reject();
    };
    page.actFormat->trigger();
    QCOMPARE(int(target.FormatOptions().Bits), 1);
    QCOMPARE(shown, QString("2"));
    QVERIFY(page.Boxes().Texts(0).Right[0].starts_with("PNG 2色"));
  }

  void anyColourCancelledChangesNothing() {
    TMadePage p;
    p.Select({2});
    p.page.ChooseColor = [](TColor) { return std::optional<TColor>(); };
    p.page.actBackground[0]->trigger();
    QCOMPARE(p.Target(2).Layout().Background, bgTopLeft);
    p.page.ChooseColor = [](TColor) { return std::optional<TColor>(RGB(9, 8, 7)); };
    p.page.actBackground[0]->trigger();
    QCOMPARE(p.Target(2).Layout().Background, bgColor);
    QCOMPARE(p.Target(2).Layout().BackgroundColor, RGB(9, 8, 7));
    QVERIFY(p.page.actBackground[0]->isChecked());
  }

  void saveAsWritesTheChosenFile() {
    TMadePage p;
    p.Select({0, 2});
    QVERIFY(!p.page.actStandbySaveAs->isEnabled());
    QVERIFY(!p.page.actStandbyCopy->isEnabled());
    p.Select({2});
    QVERIFY(p.page.actStandbySaveAs->isEnabled());
    QString filter, suffix;
    const std::filesystem::path file = test::Home() / "bm.bmp";
    p.page.AskSaveFileName = [&](const QString& f, const QString& s) {
      filter = f;
      suffix = s;
      return QString::fromStdString(file.string());
    };
    p.page.actStandbySaveAs->trigger();
    QCOMPARE(filter, QString::fromUtf8("ビットマップ (*.bmp)"));
    QCOMPARE(suffix, QString("bmp"));
    QCOMPARE(static_cast<std::int64_t>(test::ReadFile(file).size()),
             std::int64_t{p.Target(2).FileSize()});
  }

  void commentAndCopyrightReachEveryTarget() {
    TMadePage p;
    p.page.AskComment = [](const std::string&) { return std::string(300, 'x'); };
    p.page.actComment->trigger();
    QCOMPARE(p.Target(2).FormatOptions().Comment, std::string(255, 'x'));
    QVERIFY(p.page.actComment->isChecked());
    const bool flag = p.form.Session().KDDICopyright();
    p.page.actKDDICopyright->trigger();
    QCOMPARE(p.Target(0).FormatOptions().Copyright, !flag);
  }

  void calendarDialogPreviewsAndOkRedecorates() {
    TMadePage p;
    p.form.Session().CalendarDecorator().Enabled = false;
    p.page.DecorationsChanged();
    const TBitmap before = *p.Target(0).FinalBitmap();
    bool checked = false;
    p.page.OnCalendarDialog = [&](TCalendarDialog& dialog) {
      // The default decorator: block bottom right, cells right and middle.
      checked = dialog.btnPosition[8]->isChecked() && dialog.rdoCellAlignment[2]->isChecked() &&
                dialog.rdoCellLayout[1]->isChecked();
      const QImage first = dialog.PreviewImage();
      dialog.btnPosition[0]->click();
      QVERIFY(dialog.PreviewImage() != first);
      QCOMPARE(dialog.Copy().Alignment, std::uint8_t{0});
      dialog.accept();
    };
    p.page.actCalendarProperty->trigger();
    QVERIFY(checked);
    const TCalendarDecorator& calendar = p.form.Session().CalendarDecorator();
    QVERIFY(calendar.Enabled);
    QCOMPARE(calendar.Alignment, std::uint8_t{0});
    QVERIFY(p.Target(0).IsMade());
    QVERIFY(!p.Target(0).FinalBitmap()->SamePixels(before));

    // Cancel leaves the calendar as it was.
    p.page.OnCalendarDialog = [](TCalendarDialog& dialog) {
      dialog.btnPosition[4]->click();
      dialog.reject();
    };
    p.page.actCalendarProperty->trigger();
    QCOMPARE(calendar.Alignment, std::uint8_t{0});
    p.page.actDrawCalendar->trigger();
    QVERIFY(!calendar.Enabled);
  }

  void settingsAreKeptAcrossRuns() {
    QTemporaryDir dir;
    {
      TMirufoProgram program(PathsIn(dir));
      program.StandbyForm().actPacket[6]->trigger();
    }
    TIniFile ini(PathsIn(dir).Settings);
    QCOMPARE(ini.ReadInteger("Standby", "PacketChargeIndex", 0), 6);
    QCOMPARE(ini.ReadInteger("General", "FileSizeInfo", 0), 1);
    TMirufoProgram program(PathsIn(dir));
    QCOMPARE(program.StandbyForm().Boxes().PacketChargeIndex, 6);
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TStandbyFormTest)
#include "standby_form_test.moc"
