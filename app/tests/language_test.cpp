// The desktop program in the language of the user's locale. ctest runs this
// file twice, with an English and with a Japanese locale (neither installed
// on the build machine), and tells it which language to expect.
#include "app/cute_message_dlg.h"
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/tests/app_test_support.h"
#include "platform/message_buttons.h"
#include "platform/translate.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>

namespace mirufo {
namespace {

bool English() {
  const char* expected = std::getenv("MIRUFO_TEST_EXPECT_LANGUAGE");
  return expected && std::string(expected) == "en";
}

QStringList MenuTitles(TForm1& form) {
  QStringList titles;
  for (QAction* menu : form.menuBar()->actions())
    titles << menu->text().remove('&');
  return titles;
}

} // namespace

class TLanguageTest : public QObject {
  Q_OBJECT

private slots:
  void mainWindowSpeaksTheLanguage() {
    QCOMPARE(ShownLanguage(), std::string(English() ? "en" : "ja"));
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    test::TMessageRecorder messages;
    TMirufoProgram program(
        {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"});
    TForm1& form = program.Form();
    form.ShowPlaced();
    if (English()) {
      QCOMPARE(form.windowTitle(), QString("Mirufo - Choose handsets"));
      QCOMPARE(MenuTitles(form), QStringList({"Make Set", "Handsets", "Help"}));
      QCOMPARE(form.BackButton()->text(), QString("< &Back"));
      QCOMPARE(form.StatusText(), std::string("Making 0 standby images for 287 handsets"));
    } else {
      QCOMPARE(form.windowTitle(), QString("ミルフォ - 端末の選択"));
      QCOMPARE(MenuTitles(form), QStringList({"作成セット(S)", "端末(T)", "ヘルプ(H)"}));
      QCOMPARE(form.BackButton()->text(), QString("< 戻る(&B)"));
      QCOMPARE(form.StatusText(), std::string("0 / 287 枚の待受画像を作成します"));
    }
  }

  // A question with its playful buttons, as the save page asks it.
  void messageBoxSpeaksTheLanguage() {
    TCuteMessageDialog box(
        nullptr, "未完成の待受画像があります。完成済みの待受画像だけ保存しますか？", mtConfirmation,
        {"そうね、とりあえずそうする", "いや、全員揃ってからだ"}, {mrYes, mrCancel});
    QStringList buttons;
    for (QPushButton* button : box.findChildren<QPushButton*>())
      buttons << button->text();
    QStringList labels;
    for (QLabel* label : box.findChildren<QLabel*>())
      if (!label->text().isEmpty())
        labels << label->text();
    if (English()) {
      QCOMPARE(box.windowTitle(), QString("Confirmation"));
      QCOMPARE(buttons, QStringList({"Sure, Just Those for Now", "No, Wait for the Whole Gang"}));
      QCOMPARE(labels,
               QStringList({"Some standby images are not finished. Save only the finished ones?"}));
    } else {
      QCOMPARE(box.windowTitle(), QString("確認"));
      QCOMPARE(buttons, QStringList({"そうね、とりあえずそうする", "いや、全員揃ってからだ"}));
    }
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TLanguageTest)
#include "language_test.moc"
