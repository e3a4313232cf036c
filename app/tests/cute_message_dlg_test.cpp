// The message box as drawn: buttons in the standard order with their own
// captions, the default button, Esc and clicks, and no window at all for a
// count mismatch.
#include "app/cute_message_dlg.h"
#include "app_test_support.h"
#include "platform/errors.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>

namespace mirufo {

class TCuteMessageDlgTest : public QObject {
  Q_OBJECT

private slots:
  // A box belongs to the window in front: over it, whichever window that
  // is and wherever it stands; without a shown window, over the screen.
  void boxesAreCentredOverTheirWindow() {
    QMainWindow main;
    main.setGeometry(300, 200, 640, 480);
    QVERIFY(MessageOwner() == nullptr);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCOMPARE(MessageOwner(), &main);
    for (QWidget* owner : {static_cast<QWidget*>(&main), static_cast<QWidget*>(nullptr)}) {
      TCuteMessageDialog dialog(owner, "ファイルが見つかりません", mtError, {"OK"}, {mrOk});
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      const QPoint over =
          owner ? main.frameGeometry().center() : dialog.screen()->availableGeometry().center();
      QVERIFY2((dialog.frameGeometry().center() - over).manhattanLength() <= 2,
               qPrintable(QString("%1,%2").arg(dialog.frameGeometry().center().x()).arg(over.x())));
      dialog.reject();
    }
  }

  void buttonsDefaultAndAnswers_data() {
    QTest::addColumn<int>("key"); // 0: click the first button
    QTest::addColumn<int>("expected");
    QTest::newRow("Esc chooses Cancel") << int(Qt::Key_Escape) << int(mrCancel);
    QTest::newRow("Enter chooses the default") << int(Qt::Key_Return) << int(mrYes);
    QTest::newRow("a click chooses its button") << 0 << int(mrYes);
  }
  void buttonsDefaultAndAnswers() {
    QFETCH(int, key);
    QFETCH(int, expected);
    TCuteMessageDialog dialog(nullptr, "上書きしますか？\rよろしいですか", mtConfirmation,
                              {"やめる", "いやだ", "いいよ"}, {mrCancel, mrNo, mrYes});
    QCOMPARE(dialog.windowTitle(), QString("確認"));
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 3);
    // In the layout from left to right: Yes, No, Cancel.
    QCOMPARE(dialog.ButtonOf(mrYes)->text(), QString("いいよ"));
    QVERIFY(dialog.ButtonOf(mrYes)->isDefault());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.ButtonOf(mrYes)->x() < dialog.ButtonOf(mrNo)->x());
    QVERIFY(dialog.ButtonOf(mrNo)->x() < dialog.ButtonOf(mrCancel)->x());
    if (key == 0)
      QTest::mouseClick(dialog.ButtonOf(mrYes), Qt::LeftButton);
    else
      QTest::keyClick(&dialog, Qt::Key(key));
    QCOMPARE(dialog.Answer(), expected);
    QCOMPARE(dialog.result(), expected);
    QVERIFY(!dialog.isVisible());
  }

  void escWithoutCancelOrNoAnswersOk() {
    TCuteMessageDialog dialog(nullptr, "x", mtWarning, {"再試行", "中止"}, {mrRetry, mrAbort});
    QCOMPARE(dialog.windowTitle(), QString("警告"));
    QVERIFY(dialog.ButtonOf(mrRetry)->isDefault());
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.Answer(), int(mrOk));
  }

  void countMismatchShowsNothing() {
    const int before = QApplication::topLevelWidgets().size();
    try {
      CuteMessageDlg("?", mtError, {"はい", "いいえ"}, {mrYes});
      QFAIL("no error");
    } catch (const EMirufoError& e) {
      QCOMPARE(std::string(e.what()), std::string(kMessageCountError));
    }
    QCOMPARE(QApplication::topLevelWidgets().size(), before);
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TCuteMessageDlgTest)
#include "cute_message_dlg_test.moc"
