// The format dialog: what it shows for a target's options, and the options
// each change applies at once.
#include "app/dialogs/format_dialog.h"
#include "app_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace mirufo {

namespace {

TFormatOptions Options(TImageFormat format, std::uint8_t bits, std::uint8_t quality = 100) {
  TFormatOptions o;
  o.Format = format;
  o.Bits = bits;
  o.Reduction = cmOctreeGrid332;
  o.JpegQuality = quality;
  return o;
}

// A dialog loaded with the options that records what each change applies.
struct TRecordedDialog {
  explicit TRecordedDialog(const TFormatOptions& options) : current(options) {
    dialog.LoadOptions(options);
    dialog.OnApply = [this](const TFormatDialog& d) {
      current = d.ReadOptions(current);
      ++applied;
    };
  }
  TFormatDialog dialog;
  TFormatOptions current;
  int applied = 0;
};

} // namespace

class TFormatDialogTest : public QObject {
  Q_OBJECT

private slots:
  void jpegPresetsApplyAtOnce_data() {
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("quality");
    QTest::newRow("低") << 0 << 10;
    QTest::newRow("高 (the same 70 again)") << 2 << 70;
    QTest::newRow("最高") << 3 << 100;
  }
  void jpegPresetsApplyAtOnce() {
    QFETCH(int, preset);
    QFETCH(int, quality);
    TRecordedDialog d(Options(ifJPEG, 24, 70));
    QCOMPARE(d.dialog.ActivePage(), fpJPEG);
    QCOMPARE(d.dialog.edtQuality->text(), QString("70"));
    QCOMPARE(d.applied, 0); // loading applies nothing
    d.dialog.btnQuality[static_cast<std::size_t>(preset)]->click();
    QCOMPARE(d.applied, 1);
    QCOMPARE(int(d.current.JpegQuality), quality);
    QCOMPARE(d.current.Reduction, cmOctreeGrid332);
  }

  void png8FourBitsSelectsSixteenInBothColourLists() {
    TRecordedDialog d(Options(ifPNG8, 4));
    QCOMPARE(d.dialog.ActivePage(), fpPNG8);
    QCOMPARE(d.dialog.cmbPng8Colors->currentText(), QString("16"));
    QCOMPARE(d.dialog.cmbGifColors->currentText(), QString("16"));
    QVERIFY(!d.dialog.tabFormat->isTabVisible(fpGIF));
  }

  void switchingToPng24AppliesItAndMovesTheSharedControls() {
    TRecordedDialog d(Options(ifJPEG, 24));
    d.dialog.show();
    QVERIFY(!d.dialog.cmbCompression->isVisible());
    d.dialog.tabFormat->setCurrentIndex(fpPNG24);
    QCOMPARE(d.current.Format, ifPNG24);
    QCOMPARE(d.current.Bits, std::uint8_t{24});
    QVERIFY(d.dialog.cmbCompression->isVisible());
    QVERIFY(d.dialog.chkInterlace->isVisible());
    d.dialog.chkInterlace->click();
    QVERIFY(d.current.Interlace);
    d.dialog.tabFormat->setCurrentIndex(fpPNG8);
    QVERIFY(d.dialog.cmbCompression->isVisible()); // back on the PNG8 page
  }

  void bmpFullColourToTwoHundredFiftySix() {
    TRecordedDialog d(Options(ifBMP, 24));
    QCOMPARE(d.dialog.cmbBmpColors->currentText(), QString::fromUtf8("なし"));
    d.dialog.cmbBmpColors->setCurrentIndex(1);
    QCOMPARE(d.current.Bits, std::uint8_t{8});
    QCOMPARE(d.current.Format, ifBMP);
  }

  void gifTabShowsOnlyForAGifTargetUntilLeft() {
    TRecordedDialog d(Options(ifGIF, 4));
    QCOMPARE(d.dialog.ActivePage(), fpGIF);
    QVERIFY(d.dialog.tabFormat->isTabVisible(fpGIF));
    d.dialog.rdoRLE->click();
    QCOMPARE(d.current.GifCompression, std::uint8_t{1});
    d.dialog.tabFormat->setCurrentIndex(fpJPEG);
    QVERIFY(!d.dialog.tabFormat->isTabVisible(fpGIF));
  }

  void bestFitBoxFollowsThePagesWithAQualityOrColourCount() {
    TFormatOptions options = Options(ifJPEG, 24);
    options.BestFit = true;
    TRecordedDialog d(options);
    d.dialog.show();
    QVERIFY(d.dialog.chkBestFit->isVisible());
    QVERIFY(d.dialog.chkBestFit->isChecked());
    d.dialog.chkBestFit->click();
    QVERIFY(!d.current.BestFit);
    d.dialog.tabFormat->setCurrentIndex(fpBMP);
    QVERIFY(!d.dialog.chkBestFit->isVisible());
    d.dialog.tabFormat->setCurrentIndex(fpPNG8);
    QVERIFY(d.dialog.chkBestFit->isVisible());
    d.dialog.chkBestFit->click();
    QVERIFY(d.current.BestFit);
    QCOMPARE(d.current.Format, ifPNG8);
  }

  void aQualityThatIsNoNumberIsShownAndNotApplied() {
    test::TMessageRecorder messages;
    TRecordedDialog d(Options(ifJPEG, 24, 70));
    d.dialog.edtQuality->setText("abc");
    emit d.dialog.edtQuality->editingFinished();
    QCOMPARE(int(d.current.JpegQuality), 70);
    QCOMPARE(messages.Messages.size(), std::size_t{1});
    QCOMPARE(messages.Messages[0].Text, std::string("'abc' は有効な整数値ではありません"));
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TFormatDialogTest)
#include "format_dialog_test.moc"
