// The calendar dialog's controls and the copy they edit: colour swatches
// with the colour dialog answered or cancelled, "今月", the cell choices and
// the font list.
#include "app/dialogs/calendar_dialog.h"
#include "app_test_support.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace mirufo {

class TCalendarDialogTest : public QObject {
  Q_OBJECT

private slots:
  void swatchTakesAChosenColourOnly_data() {
    QTest::addColumn<bool>("chosen");
    QTest::newRow("cancelled") << false;
    QTest::newRow("chosen") << true;
  }
  void swatchTakesAChosenColourOnly() {
    QFETCH(bool, chosen);
    TCalendarDecorator decorator;
    decorator.Calendar.Color = RGB(255, 255, 255);
    TCalendarDialog dialog;
    dialog.LoadDecorator(decorator);
    dialog.Apply();
    const QImage before = dialog.PreviewImage();
    dialog.swColor->ChooseColor = [chosen](TColor) {
      return chosen ? std::optional<TColor>(RGB(0, 0, 255)) : std::nullopt;
    };
    dialog.swColor->click();
    QCOMPARE(dialog.Copy().Calendar.Color, chosen ? RGB(0, 0, 255) : RGB(255, 255, 255));
    QCOMPARE(dialog.PreviewImage() != before, chosen);
  }

  void thisMonthAndCellChoicesReachTheCopy() {
    TCalendarDecorator decorator;
    decorator.Calendar.Date = EncodeCalendarDate(1999, 7, 20);
    TCalendarDialog dialog;
    dialog.LoadDecorator(decorator);
    QCOMPARE(dialog.spnYear->value(), 1999);
    dialog.btnThisMonth->click();
    const QDate today = QDate::currentDate();
    QCOMPARE(dialog.Copy().Calendar.Date, EncodeCalendarDate(today.year(), today.month(), 1));
    dialog.rdoCellAlignment[1]->click(); // "中央"
    dialog.rdoCellLayout[2]->click();    // "下揃え"
    QCOMPARE(dialog.Copy().Calendar.Alignment, std::uint8_t{2});
    QCOMPARE(dialog.Copy().Calendar.Layout, std::uint8_t{1});
    dialog.spnMarginX->setValue(250); // brought into the range
    QCOMPARE(dialog.Copy().MarginX, 100);
  }

  void everyLabelKeyReachesAControl() {
    TCalendarDialog dialog;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->text().contains('&'))
        QVERIFY2(label->buddy() != nullptr, qPrintable(label->text()));
      if (label->text().startsWith(QString::fromUtf8("日付")))
        QCOMPARE(label->buddy(), static_cast<QWidget*>(dialog.spnYear));
    }
  }

  void fontListHoldsTheInstalledFamiliesAndKeepsAMissingName() {
    TFontNameComboBox fonts;
    QVERIFY(fonts.count() > 0);
    const int installed = fonts.count();
    fonts.SetFontName("No Such Font 1234");
    QCOMPARE(fonts.FontName(), std::string("No Such Font 1234"));
    QCOMPARE(fonts.count(), installed + 1);
    fonts.SetFontName(fonts.itemText(installed).toStdString());
    QCOMPARE(fonts.count(), installed + 1);
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TCalendarDialogTest)
#include "calendar_dialog_test.moc"
