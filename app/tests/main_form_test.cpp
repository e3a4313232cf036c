// The main window as a user meets it: start-up with and without settings,
// walking the pages with the keyboard, the status text and Next, the make
// run with its progress window, cancel, timing and errors.
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/mnemonics.h"
#include "app/pages/image_form.h"
#include "app/pages/save_sheet_form.h"
#include "app/pages/standby_form.h"
#include "app/progress_form.h"
#include "app/screen_fit.h"
#include "app_test_support.h"
#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/ini_file.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <optional>
#include <vector>

namespace mirufo {
namespace {

TUserFilePaths PathsIn(const QTemporaryDir& dir) {
  const std::filesystem::path folder = dir.path().toStdString();
  return {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"};
}

std::string Title(const TForm1& form) {
  return form.windowTitle().toStdString();
}

// Keeps only the first `count` handsets selected.
void SelectFirst(TForm1& form, std::size_t count) {
  std::vector<bool> ticks(count, true);
  form.ApplySelection(ticks);
}

// The marked letters of one menu and, separately, of each submenu; a
// letter twice in one of them is a clash.
void CheckMenu(const QMenu* menu, QStringList& clashes) {
  QSet<QChar> seen;
  for (const QAction* action : menu->actions()) {
    if (action->menu())
      CheckMenu(action->menu(), clashes);
    const QChar letter = MnemonicLetter(action->text());
    if (letter.isNull() || !action->isVisible())
      continue;
    if (seen.contains(letter))
      clashes << menu->title() + " / " + action->text();
    seen.insert(letter);
  }
}

} // namespace

class TMainFormTest : public QObject {
  Q_OBJECT

private slots:
  void firstStart() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    form.ShowPlaced();
    QCOMPARE(form.pos(), QPoint(32, 32));
    QCOMPARE(form.size(), QSize(640, 480));
    QCOMPARE(form.minimumSize(), QSize(600, 450));
    QCOMPARE(form.SheetManager().Current(), 0);
    QCOMPARE(Title(form), std::string("ミルフォ - 端末の選択"));
    QVERIFY(!form.BackButton()->isEnabled());
    // Without "makeset.txt" the one set "標準のセット" is empty, and the
    // first showing of the handset page applies it.
    QVERIFY(!form.NextButton()->isEnabled());
    QCOMPARE(form.StatusText(), std::string("0 / 287 枚の待受画像を作成します"));
    QCOMPARE(form.SheetManager().PageCount(), 4);
    QVERIFY(messages.Messages.empty());
  }

  void settingsPlaceTheWindowAndRestoreTheComment_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QPoint>("expected");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTest::newRow("on screen") << 100 << 60 << QPoint(100, 60);
    QTest::newRow("right of the screen") << 5000 << 60 << QPoint(32, 60);
    QTest::newRow("left of the screen") << -50 << -1 << QPoint(0, 0);
    QTest::newRow("last columns") << screen.width() - 7 << screen.height() - 8
                                  << QPoint(32, screen.height() - 8);
  }
  void settingsPlaceTheWindowAndRestoreTheComment() {
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QPoint, expected);
    QTemporaryDir dir;
    const TUserFilePaths paths = PathsIn(dir);
    {
      TIniFile ini(paths.Settings);
      ini.WriteInteger("General", "FormPosition.X", x);
      ini.WriteInteger("General", "FormPosition.Y", y);
      ini.WriteInteger("General", "FormPosition.XSize", x + 700);
      ini.WriteInteger("General", "FormPosition.YSize", y + 500);
      ini.WriteString("Standby", "Comment", "自作です");
      ini.UpdateFile();
    }
    TMirufoProgram program(paths);
    QCOMPARE(program.Form().pos(), expected);
    QCOMPARE(program.Form().size(), QSize(700, 500));
    QCOMPARE(program.Form().Session().CommentText(), std::string("自作です"));
  }

  void keyboardWalksEveryPage() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    form.ShowPlaced();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    SelectFirst(form, 3);
    form.SetSourceImage(test::Picture());
    const char* titles[] = {"ミルフォ - 端末の選択", "ミルフォ - 元画像の用意",
                            "ミルフォ - 待受画像の作成", "ミルフォ - 保存"};
    for (int page = 1; page < 4; ++page) {
      QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier);
      QCOMPARE(form.SheetManager().Current(), page);
      QCOMPARE(Title(form), std::string(titles[page]));
      QVERIFY(form.BackButton()->isEnabled());
    }
    // The last page's CanGoNext is true, but there is no page after it.
    QVERIFY(!form.NextButton()->isEnabled());
    QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(form.SheetManager().Current(), 3);
    const TTanmatsuOptionList& set = form.Session().WorkingSet();
    QCOMPARE(form.StatusText(), SavePageStatus(set.SaveCount(), set.TotalFileSize()));
    // The make run's progress window has gone; the keys are the main
    // window's again.
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // On the save page Alt+B belongs to "タブ区切り(&B)"; Back is a Tab away.
    QVERIFY(form.actBack->shortcut().isEmpty());
    form.BackButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.BackButton(), Qt::Key_Space);
    QCOMPARE(form.SheetManager().Current(), 2);
    for (int page = 1; page >= 0; --page) {
      QTest::keyClick(&form, Qt::Key_B, Qt::AltModifier);
      QCOMPARE(form.SheetManager().Current(), page);
      QCOMPARE(Title(form), std::string(titles[page]));
    }
    QVERIFY(!form.BackButton()->isEnabled());
    QVERIFY(messages.Messages.empty());
  }

  // On every page each Alt+letter has one owner among the page's controls,
  // the menu bar and Back and Next; each menu marks each letter once.
  void everyLetterOfAPageIsItsOwn() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    form.ShowPlaced();
    SelectFirst(form, 2);
    form.SetSourceImage(test::Picture());
    for (int page = 0; page < 4; ++page) {
      form.GoToPage(page);
      QStringList clashes;
      QHash<QChar, QString> owners;
      auto add = [&](const QString& caption) {
        const QChar letter = MnemonicLetter(caption);
        if (letter.isNull())
          return;
        if (owners.contains(letter))
          clashes << owners[letter] + " / " + caption;
        owners[letter] = caption;
      };
      QWidget* current = form.SheetManager().CurrentPage();
      for (QWidget* widget : current->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(current))
          continue;
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy())
          add(label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
          add(button->text());
      }
      for (QAction* menu : form.menuBar()->actions()) {
        add(menu->text());
        CheckMenu(menu->menu(), clashes);
      }
      for (QAction* action : {form.actBack, form.actNext})
        if (!action->shortcut().isEmpty())
          add(action->text().replace("(N)", "(&N)"));
      QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(", ")));
    }
    // The save page keeps Alt+H and Alt+B for its own boxes; the help menu
    // shows its letter unmarked and is reached by F10.
    QCOMPARE(form.menuBar()->actions().back()->text(), QString("ヘルプ(H)"));
    QCOMPARE(form.BackButton()->text(), QString("< 戻る(B)"));
    form.GoToPage(2);
    QCOMPARE(form.menuBar()->actions().back()->text(), QString("ヘルプ(&H)"));
    QCOMPARE(form.actBack->shortcut(), QKeySequence(Qt::ALT | Qt::Key_B));
  }

  // Every menu and pop-up menu of the program, as built and before any
  // page is shown: commands appear in several menus, so a letter must be
  // unique in each menu a command stands in, not only in the menu bar.
  void noMenuMarksALetterTwice() {
    QTemporaryDir dir;
    TMirufoProgram program(PathsIn(dir));
    QStringList clashes;
    const QList<QMenu*> menus = program.Form().findChildren<QMenu*>();
    QVERIFY(menus.size() > 10);
    for (const QMenu* menu : menus) {
      QHash<QChar, QString> owners;
      for (const QAction* action : menu->actions()) {
        const QChar letter = MnemonicLetter(action->text());
        if (letter.isNull())
          continue;
        if (owners.contains(letter))
          clashes << owners[letter] + " / " + action->text();
        owners[letter] = action->text();
      }
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(", ")));
  }

  // A window larger than the screen, or placed beyond its edge, opens
  // inside the screen's free area with room for its frame.
  void windowsOpenOnTheScreen() {
    FitWindowsOnScreen(*qApp);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (QRect placed : {QRect(-300, -300, 200, 100), QRect(40, 40, area.width() * 2, 300),
                         QRect(area.right() - 10, area.bottom() - 10, 300, area.height() + 50)}) {
      QDialog dialog;
      dialog.setGeometry(placed);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      // Fitted as it shows and again once the window system has framed it.
      QTRY_VERIFY(area.contains(dialog.frameGeometry()));
      QVERIFY(dialog.geometry().top() > area.top()); // the title bar is on the screen
    }
  }

  // Where the desktop opens nothing, help shows in the program's window.
  void helpWithoutABrowserShowsItsOwnWindow() {
    QTemporaryDir dir;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    QStringList asked;
    form.OpenUrl = [&](const QUrl& url) {
      asked << url.toString();
      return false;
    };
    form.actHelp->trigger();
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0].endsWith(".html"));
    QVERIFY(form.HelpWindow() && form.HelpWindow()->isVisible());
    QVERIFY(!form.HelpWindow()->toPlainText().isEmpty());
    form.OpenUrl = [](const QUrl&) { return true; };
    form.HelpWindow()->hide();
    form.actHelp->trigger();
    QVERIFY(!form.HelpWindow()->isVisible());
  }

  // The help page opened is the one of the language the program speaks.
  void helpOpensThePageOfTheLanguage() {
    const char* const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::optional<QByteArray>> saved;
    for (const char* name : names) {
      saved.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                      : std::nullopt);
      qunsetenv(name);
    }
    QTemporaryDir dir;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    QStringList asked;
    form.OpenUrl = [&](const QUrl& url) {
      asked << url.fileName();
      return true;
    };
    for (const char* lang : {"en_GB.UTF-8", "ja_JP.UTF-8", "C"}) {
      qputenv("LANG", lang);
      form.actHelp->trigger();
    }
    for (std::size_t i = 0; i < saved.size(); ++i)
      saved[i] ? qputenv(names[i], *saved[i]) : qunsetenv(names[i]);
    QCOMPARE(asked, (QStringList{"mirufo.en.html", "mirufo.html", "mirufo.html"}));
  }

  void nextFollowsTheSelectionAndThePicture() {
    QTemporaryDir dir;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    form.ShowPlaced();
    form.ApplySelection({});
    QVERIFY(!form.NextButton()->isEnabled());
    QCOMPARE(QString::fromStdString(form.StatusText()),
             QString("0 / 287 枚の待受画像を作成します"));
    form.SelectHandset(5, true);
    QVERIFY(form.NextButton()->isEnabled());
    QCOMPARE(form.StatusText(), std::string("1 / 287 枚の待受画像を作成します"));
    form.GoToPage(1);
    QVERIFY(!form.NextButton()->isEnabled());
    QCOMPARE(form.StatusText(), std::string("no image"));
    form.Session().SetSourceFileName("/photos/海.jpg");
    form.SetSourceImage(test::Picture());
    QVERIFY(form.NextButton()->isEnabled());
    QCOMPARE(form.StatusText(), std::string("海.jpg @ 100%"));
  }

  void makeRunRefusedWithoutPicture() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    program.Form().MakeAll(false);
    QCOMPARE(int(messages.Messages.size()), 1);
    QCOMPARE(messages.Messages[0].Title, std::string("警告"));
    QCOMPARE(messages.Messages[0].Text, std::string("元画像が用意されていません"));
    QCOMPARE(messages.Messages[0].Plan.Buttons[0].Caption, std::string("すいません"));
  }

  void escCancelsAfterTheFirstTarget() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    form.ShowPlaced();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    SelectFirst(form, 4);
    form.SetSourceImage(test::Picture());
    form.GoToPage(1);
    int actionsDuringRun = 0;
    // Runs at the event-loop turn after the first target.
    QTimer::singleShot(0, &form, [&] {
      TProgressForm& progress = program.ProgressForm();
      QVERIFY(progress.isVisible());
      QVERIFY(progress.CancelButton()->isVisible());
      QVERIFY(!form.NextButton()->isEnabled() && !form.BackButton()->isEnabled());
      // Neither a page change nor a selection change nor a second run.
      form.GoToPage(0);
      form.actNext->trigger();
      form.SelectHandset(0, false);
      form.MakeAll(false);
      actionsDuringRun = form.SheetManager().Current();
      // The make page's title and menus are up before the run starts; the
      // source page's commands do nothing until it ends.
      QCOMPARE(Title(form), std::string("ミルフォ - 待受画像の作成"));
      const std::vector<QMenu*> menus = program.StandbyForm().GetPageMenu();
      QCOMPARE(form.menuBar()->actions().size(), qsizetype(menus.size()));
      QCOMPARE(form.menuBar()->actions().front(), menus.front()->menuAction());
      program.ImageForm().actRotate90->trigger();

      QTest::keyClick(&progress, Qt::Key_Escape);
    });
    QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier); // the make page makes on arrival
    QCOMPARE(actionsDuringRun, 2);
    QCOMPARE(form.SheetManager().Current(), 2);
    QCOMPARE(form.Session().WorkingSet().TargetCount(), 4);
    QCOMPARE(form.Session().WorkingSet().CompletedCount(), 1);
    QCOMPARE(form.Session().SourceBitmap().Width(), test::Picture().Width());
    QVERIFY(!program.ProgressForm().isVisible());
    QVERIFY(!form.NextButton()->isEnabled());
    QVERIFY(form.BackButton()->isEnabled());
    QCOMPARE(form.StatusText(), std::string("4 枚の待受画像を作成（完成済み 1 枚）"));
    QVERIFY2(messages.Messages.empty(), "a cancelled run says nothing");

    // "作成(&M)" goes on with the rest.
    program.StandbyForm().actMake->trigger();
    QCOMPARE(form.Session().WorkingSet().CompletedCount(), 4);
    QVERIFY(form.NextButton()->isEnabled());
  }

  void shiftShowsTheTime() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    SelectFirst(form, 2);
    form.SetSourceImage(test::Picture());
    // "作成(&M)" with Shift held.
    QTest::keyPress(&form, Qt::Key_Shift, Qt::ShiftModifier);
    program.StandbyForm().actMake->trigger();
    QTest::keyRelease(&form, Qt::Key_Shift, Qt::NoModifier);
    QCOMPARE(form.Session().WorkingSet().CompletedCount(), 2);
    QCOMPARE(int(messages.Messages.size()), 1);
    const TMessageRequest& shown = messages.Messages[0];
    QCOMPARE(shown.Title, std::string("ミルフォ"));
    QVERIFY(!shown.Kind);
    QVERIFY(shown.Text.starts_with("処理時間: "));
    QVERIFY(shown.Text.ends_with("msec"));
    // Without Shift, nothing is shown.
    form.Session().WorkingSet().Maker().ResetAll();
    program.StandbyForm().actMake->trigger();
    QCOMPARE(int(messages.Messages.size()), 1);
  }

  void anErrorInsideTheRunReachesTheErrorDisplay() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    SelectFirst(form, 2);
    // A screen without width cannot be made.
    form.Session().WorkingSet().AddHandset(test::UserHandset("ZERO", 0, 80));
    form.SetSourceImage(test::Picture());
    form.MakeAll(false);
    QCOMPARE(int(messages.Messages.size()), 1);
    QCOMPARE(messages.Messages[0].Title, std::string("エラー"));
    QVERIFY(!messages.Messages[0].Text.empty());
    QCOMPARE(form.Session().WorkingSet().CompletedCount(), 2);
    QVERIFY(!program.ProgressForm().isVisible());
    QVERIFY(!form.IsMaking());
    // The program goes on: the next run tries again.
    form.MakeAll(false);
    QCOMPARE(int(messages.Messages.size()), 2);
  }

  void commandsAreNamedActionsWithHints() {
    QTemporaryDir dir;
    TMirufoProgram program(PathsIn(dir));
    TForm1& form = program.Form();
    QCOMPARE(form.findChild<QAction*>("actExit")->statusTip(), QString("ミルフォを終了します"));
    QCOMPARE(form.findChild<QAction*>("actAbout")->text(), QString("ミルフォについて(&A)..."));
    QCOMPARE(form.BackButton()->text(), QString("< 戻る(&B)"));
    QCOMPARE(form.NextButton()->text(), QString("次へ(N) >"));

    // A hint shows in the bar while pointed at; the page's text comes back.
    form.ShowPlaced();
    auto* bar = form.findChild<QLabel*>("lblStatus");
    const QString pageText = bar->text();
    QVERIFY(pageText.contains("枚の待受画像を作成します"));
    QStatusTipEvent over(form.actExit->statusTip());
    QApplication::sendEvent(&form, &over);
    QCOMPARE(bar->text(), QString("ミルフォを終了します"));
    QStatusTipEvent away{QString()};
    QApplication::sendEvent(&form, &away);
    QCOMPARE(bar->text(), pageText);
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TMainFormTest)
#include "main_form_test.moc"
