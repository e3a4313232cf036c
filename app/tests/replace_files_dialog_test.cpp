// The overwrite dialog: its texts, ticked rows whose paths shorten to the
// row's width, and what "上書き", "キャンセル" and Esc answer.
#include "app/dialogs/replace_files_dialog.h"
#include "app_test_support.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace mirufo {
namespace {

const std::vector<std::filesystem::path> kPaths = {
    "/home/user/pictures/standby/2026/summer/f901ic_000.jpg",
    "/home/user/pictures/standby/2026/summer/index.html",
};

} // namespace

class TReplaceFilesDialogTest : public QObject {
  Q_OBJECT

private slots:
  void textsAndTickedRows() {
    TReplaceFilesDialog dialog(nullptr, kPaths);
    QCOMPARE(dialog.windowTitle(), QString("ファイルの上書き"));
    QVERIFY(dialog.findChild<QLabel*>()->text().startsWith(
        "保存先フォルダに同名のファイルが存在します。"));
    QCOMPARE(dialog.OverwriteButton()->text(), QString("上書き"));
    QCOMPARE(dialog.CancelButton()->text(), QString("キャンセル"));
    QVERIFY(dialog.OverwriteButton()->isDefault());
    QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(dialog.Ticks(), (std::vector<bool>{true, true}));
  }

  void pathsShortenToTheRowWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("pattern"); // what the row looks like
    QTest::newRow("wide") << 1200 << "^/home/user/pictures/standby/2026/summer/f901ic_000.jpg$";
    QTest::newRow("narrow") << 320 << "^/\\.\\.\\./([a-z0-9]+/)+f901ic_000.jpg$";
  }
  void pathsShortenToTheRowWidth() {
    QFETCH(int, width);
    QFETCH(QString, pattern);
    TReplaceFilesDialog dialog(nullptr, kPaths);
    dialog.show();
    dialog.resize(width, 300);
    QApplication::processEvents();
    const QString row = dialog.List()->item(0)->text();
    QVERIFY2(QRegularExpression(pattern).match(row).hasMatch(), qPrintable(row));
    // A shortened row fits; only the bare file name may be wider.
    QVERIFY(dialog.List()->fontMetrics().horizontalAdvance(row) <
                dialog.List()->viewport()->width() ||
            row == "f901ic_000.jpg");
    QCOMPARE(dialog.List()->item(0)->toolTip(), QString::fromStdString(kPaths[0].string()));
  }

  void answers_data() {
    QTest::addColumn<int>("how"); // 0 上書き, 1 キャンセル, 2 Esc
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("上書き") << 0 << false;
    QTest::newRow("キャンセル") << 1 << true;
    QTest::newRow("Esc") << 2 << true;
  }
  void answers() {
    QFETCH(int, how);
    QFETCH(bool, cancelled);
    TReplaceFilesDialog dialog(nullptr, kPaths);
    QTimer::singleShot(0, &dialog, [&dialog, how] {
      dialog.List()->item(1)->setCheckState(Qt::Unchecked);
      if (how == 0)
        dialog.OverwriteButton()->click();
      else if (how == 1)
        dialog.CancelButton()->click();
      else
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    const std::optional<std::vector<bool>> ticks = dialog.Execute();
    QCOMPARE(!ticks, cancelled);
    if (ticks)
      QCOMPARE(*ticks, (std::vector<bool>{true, false}));
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TReplaceFilesDialogTest)
#include "replace_files_dialog_test.moc"
