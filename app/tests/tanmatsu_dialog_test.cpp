// The handset dialog's widgets: its starting state, filling from a record,
// and multi mode's greyed fields turning determined as the user touches them.
#include "app/dialogs/tanmatsu_dialog.h"
#include "app_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace mirufo {
namespace {

const std::vector<std::string> kCaches{"DoCoMo 8KB", "au 9KB"};

bool Grey(const QWidget* widget) {
  return widget->property("grey").toBool();
}

} // namespace

class TTanmatsuDialogTest : public QObject {
  Q_OBJECT

private slots:
  void startsWithItsDefaults() {
    TTanmatsuDialog dialog(nullptr, "端末の追加", kCaches);
    QCOMPARE(dialog.windowTitle(), QString("端末の追加"));
    QVERIFY(dialog.rdoFormat[0]->isChecked());
    QCOMPARE(dialog.updWidth->value(), 256);
    QCOMPARE(dialog.updBit->value(), 24);
    QCOMPARE(dialog.lblColors->text(), QString("（16777216 色）"));
    QCOMPARE(dialog.cmbCache->currentText(), QString("（固定値）"));
    QCOMPARE(dialog.cmbCache->count(), 3);
    QVERIFY(dialog.updCache->isEnabled());
    QCOMPARE(dialog.cmbSpeed->currentText(), QString("384"));
    QCOMPARE(dialog.edtName->maxLength(), 31);
    dialog.updBit->setValue(4);
    QCOMPARE(dialog.lblColors->text(), QString("（16 色）"));
  }

  void aNamedCacheOpensOnItsEntry() {
    TTanmatsuRecord record = test::UserHandset("X");
    record.SetCacheName("au 9KB");
    record.Cache = 9;
    bool numberEnabled = true;
    QString shown;
    TTanmatsuDialog::SetHook([&](TTanmatsuDialog& dialog) {
      numberEnabled = dialog.updCache->isEnabled();
      shown = dialog.cmbCache->currentText();
      return true;
    });
    QVERIFY(TTanmatsuDialog::EditOne(nullptr, "端末の編集", record, kCaches));
    TTanmatsuDialog::SetHook(nullptr);
    QCOMPARE(shown, QString("au 9KB"));
    QVERIFY(!numberEnabled);
    QCOMPARE(record.CacheName, std::string("au 9KB"));
    // BMP has no radio button: the dialog's JPEG stays chosen.
    QCOMPARE(record.Format, ifJPEG);
  }

  void multiModeGreysWhatDiffersUntilTouched() {
    TTanmatsuRecord a = test::UserHandset("A", 120, 80);
    TTanmatsuRecord b = test::UserHandset("B", 240, 80);
    b.Format = ifPNG8;
    b.SupportFormats = {ifPNG8};
    std::vector<TTanmatsuRecord> records{a, b};
    TTanmatsuDialog dialog(nullptr, "端末の編集（2個の端末）", kCaches);
    TTanmatsuDialogValues values = dialog.Values();
    values.FillFromRecords(records);
    dialog.SetValues(values);
    QCOMPARE(dialog.edtName->text(), QString());
    QVERIFY(Grey(dialog.edtName));
    QVERIFY(Grey(dialog.updWidth));
    QVERIFY(!Grey(dialog.updHeight));
    for (QRadioButton* radio : dialog.rdoFormat)
      QVERIFY(!radio->isChecked());
    QCOMPARE(dialog.chkSupport[1]->checkState(), Qt::PartiallyChecked);
    QCOMPARE(dialog.cmbSpeed->currentIndex(), 0);
    // Typing a name, and the width's up arrow, make them determined.
    QTest::keyClicks(dialog.edtName, "Z");
    QVERIFY(!Grey(dialog.edtName));
    QTest::keyClick(dialog.updWidth, Qt::Key_Up);
    QVERIFY(!Grey(dialog.updWidth));
    const TTanmatsuDialogValues result = dialog.Values();
    for (TTanmatsuRecord& record : records)
      result.ApplyTo(record);
    QCOMPARE(records[0].Name, std::string("Z"));
    QCOMPARE(records[1].Name, std::string("Z"));
    QCOMPARE(records[0].Width, std::uint16_t(121));
    QCOMPARE(records[1].Width, std::uint16_t(121));
    // No radio button chosen: each keeps its standard format.
    QCOMPARE(records[0].Format, ifBMP);
    QCOMPARE(records[1].Format, ifPNG8);
  }

  void cancelChangesNothing() {
    TTanmatsuRecord record = test::UserHandset("X");
    const TTanmatsuRecord before = record;
    TTanmatsuDialog::SetHook([](TTanmatsuDialog& dialog) {
      dialog.edtName->setText("Other");
      return false;
    });
    QVERIFY(!TTanmatsuDialog::EditOne(nullptr, "端末の編集", record, kCaches));
    TTanmatsuDialog::SetHook(nullptr);
    QVERIFY(record == before);
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TTanmatsuDialogTest)
#include "tanmatsu_dialog_test.moc"
