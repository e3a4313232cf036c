// The save page as a user drives it: the overwrite dialog, folding identical
// images, the template and its delay, the folder (created, "~", dropped),
// the clipboard, the HTML page, a write that fails half-way, the list's
// colours and the page's settings.
#include "app/dialogs/replace_files_dialog.h"
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/pages/save_sheet_form.h"
#include "app/progress_form.h"
#include "app_test_support.h"
#include "engine/standby_specification.h"
#include "output/page_texts.h"
#include "output/save_file_list.h"
#include "output/standby_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/encoding.h"
#include "platform/ini_file.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <functional>

namespace mirufo {
namespace {

namespace fs = std::filesystem;

TUserFilePaths PathsIn(const QTemporaryDir& dir) {
  const fs::path folder = dir.path().toStdString();
  return {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"};
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The program with only the given user handsets ("A", "B", ... of the given
// widths; equal widths give identical images), every one made, the save page
// current with the template "$tn" and the folder "out" in a fresh folder.
struct TSavePage {
  explicit TSavePage(const std::vector<int>& widths) {
    TForm1& form = program.Form();
    form.ApplySelection({});
    char name[2] = "A";
    for (int width : widths) {
      form.Session().WorkingSet().AddHandset(test::UserHandset(name, width));
      ++name[0];
    }
    form.SetSourceImage(test::Picture());
    form.MakeAll(false);
    page.edtFolder->setText(Q(out.string()));
    page.edtFileName->setText("$tn");
    form.GoToPage(3);
  }
  TTanmatsuOptionList& Set() { return program.Form().Session().WorkingSet(); }
  std::vector<std::string> FilesInOut() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(out, error))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  QTemporaryDir dir;
  fs::path out = fs::path(dir.path().toStdString()) / "out";
  test::TMessageRecorder messages;
  TMirufoProgram program{PathsIn(dir)};
  TSaveSheetForm& page = program.SaveSheetForm();
};

// Answers the overwrite dialog of the next save: answer sees the dialog and
// presses one of its buttons. Records whether the dialog was shown.
void WhenOverwriteDialog(bool& shown, std::function<void(TReplaceFilesDialog&)> answer) {
  shown = false;
  QTimer::singleShot(0, qApp, [&shown, answer] {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<TReplaceFilesDialog*>(widget);
          dialog && dialog->isVisible()) {
        shown = true;
        answer(*dialog);
        return;
      }
  });
}

// The full paths of the dialog's rows (the rows show them shortened).
QStringList RowPaths(const TReplaceFilesDialog& dialog) {
  QStringList paths;
  for (int i = 0; i < dialog.List()->count(); ++i)
    paths << dialog.List()->item(i)->toolTip();
  return paths;
}

std::string IndexHtml(const fs::path& out) {
  return Cp932ToUtf8(test::ReadFile(out / "index.html"));
}

} // namespace

class TSaveSheetFormTest : public QObject {
  Q_OBJECT

private slots:
  void overwriteDialogKeepsTheUntickedFile_data() {
    QTest::addColumn<QString>("untick");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("one image") << "b.bmp" << QStringList{"b.bmp"};
    QTest::newRow("index.html") << "index.html" << QStringList{"index.html"};
  }
  void overwriteDialogKeepsTheUntickedFile() {
    QFETCH(QString, untick);
    QFETCH(QStringList, kept);
    TSavePage p({120, 100, 80});
    p.page.chkSaveHTML->setChecked(true);
    fs::create_directories(p.out);
    const std::vector<std::string> all = {"a.bmp", "b.bmp", "c.bmp", "index.html"};
    for (const std::string& name : all)
      test::WriteFile(p.out / name, "old " + name);
    bool shown = false;
    QStringList listed;
    WhenOverwriteDialog(shown, [&](TReplaceFilesDialog& dialog) {
      listed = RowPaths(dialog);
      for (int i = 0; i < dialog.List()->count(); ++i)
        QCOMPARE(dialog.List()->item(i)->checkState(), Qt::Checked);
      dialog.List()
          ->item(int(listed.indexOf(Q((p.out / untick.toStdString()).string()))))
          ->setCheckState(Qt::Unchecked);
      dialog.OverwriteButton()->click();
    });
    p.page.actSave->trigger();
    QVERIFY(shown);
    QCOMPARE(listed.size(), 4);
    QVERIFY(listed.first().endsWith("a.bmp") && listed.last().endsWith("index.html"));
    for (const std::string& name : all) {
      const std::string bytes = test::ReadFile(p.out / name);
      QCOMPARE(bytes == "old " + name, kept.contains(Q(name)));
    }
    QVERIFY(p.messages.Messages.empty());
  }

  void cancelInTheOverwriteDialogWritesNothingButCopiesTheNames() {
    TSavePage p({120, 100});
    p.page.chkCopyFileNames->setChecked(true);
    fs::create_directories(p.out);
    test::WriteFile(p.out / "a.bmp", "old");
    bool shown = false;
    WhenOverwriteDialog(shown, [](TReplaceFilesDialog& dialog) { dialog.CancelButton()->click(); });
    QGuiApplication::clipboard()->clear();
    p.page.actSave->trigger();
    QVERIFY(shown);
    QCOMPARE(p.FilesInOut(), std::vector<std::string>{"a.bmp"});
    QCOMPARE(test::ReadFile(p.out / "a.bmp"), std::string("old"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("a.bmp\r\nb.bmp"));
  }

  void identicalImagesFoldIntoOneFile_data() {
    QTest::addColumn<bool>("fold");
    QTest::addColumn<int>("files");
    QTest::newRow("同じ画像は保存しない") << true << 1;
    QTest::newRow("every image") << false << 3;
  }
  void identicalImagesFoldIntoOneFile() {
    QFETCH(bool, fold);
    QFETCH(int, files);
    TSavePage p({120, 120, 120});
    p.page.chkSaveHTML->setChecked(true);
    p.page.chkDisallowDuplication->setChecked(fold);
    QCOMPARE(p.page.lstFiles->model()->rowCount(), files);
    TTanmatsuOptionList& set = p.Set();
    QCOMPARE(p.program.Form().StatusText(), SavePageStatus(files, set.TotalFileSize()));
    p.page.actSave->trigger();
    QCOMPARE(int(p.FilesInOut().size()), files + 1);
    const std::string html = IndexHtml(p.out);
    for (const char* name : {"A", "B", "C"}) {
      const std::string link = fold ? "a.bmp" : std::string(1, char(name[0] - 'A' + 'a')) + ".bmp";
      QVERIFY(html.find("<li><a href=\"" + link + "\">" + name + "</a>") != std::string::npos);
    }
  }

  void templateEditFollowedAtOnceBySave() {
    TSavePage p({120, 100});
    QTest::keyClicks(p.page.edtFileName, "_$sn2");
    QVERIFY(p.page.Timer1->isActive());
    p.page.actSave->trigger();
    QVERIFY(!p.page.Timer1->isActive());
    QCOMPARE(p.FilesInOut(), (std::vector<std::string>{"a_00.bmp", "b_01.bmp"}));
    // Left alone, the timer renames on its own.
    p.page.edtFileName->setText("x$sn");
    QTRY_COMPARE(p.Set().FileNameOf(1), std::string("x1.bmp"));
  }

  void progressShowsWhileTheFilesAreWritten() {
    TSavePage p({120, 100, 80});
    // Timers run while the run draws its progress; the user's input waits.
    QStringList seen;
    TProgressForm& progress = p.program.ProgressForm();
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, [&] {
      if (progress.isVisible())
        seen << progress.Label()->text();
    });
    watch.start();
    p.page.actSave->trigger();
    QVERIFY(!seen.isEmpty());
    QVERIFY(seen.contains("A") || seen.contains("B") || seen.contains("C"));
    QVERIFY(!progress.isVisible());
    QCOMPARE(int(p.FilesInOut().size()), 3);
  }

  void insertCommandsReplaceTheSelection() {
    TSavePage p({120});
    QCOMPARE(int(p.page.InsertActions.size()), 10);
    QCOMPARE(p.page.InsertActions[3]->objectName(), QString("actAddTanmatsuWidth"));
    QCOMPARE(p.page.InsertActions[3]->text(), QString("端末の幅"));
    p.page.edtFileName->setText("img_XX_end");
    p.page.edtFileName->setSelection(4, 2);
    p.page.InsertActions[3]->trigger();
    QCOMPARE(p.page.edtFileName->text(), QString("img_$tw_end"));
    p.page.edtFileName->setCursorPosition(0);
    p.page.InsertActions[9]->trigger();
    QCOMPARE(p.page.edtFileName->text(), QString("$snimg_$tw_end"));
  }

  void missingFolderIsCreatedWithAllItsLevels_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("created"); // under the test folder
    QTest::newRow("three levels, no trailing separator") << "@/x/y/z"
                                                         << "x/y/z";
    QTest::newRow("home") << "~/saved"
                          << "home/saved";
  }
  void missingFolderIsCreatedWithAllItsLevels() {
    QFETCH(QString, typed);
    QFETCH(QString, created);
    TSavePage p({120});
    const QString root = p.dir.path();
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", (root + "/home").toUtf8());
    p.page.edtFolder->setText(QString(typed).replace("@", root));
    p.page.actSave->trigger();
    qputenv("HOME", oldHome);
    const fs::path folder = (root + "/" + created).toStdString();
    QVERIFY(fs::exists(folder / "a.bmp"));
    QCOMPARE(int(p.messages.Messages.size()), 1);
    QCOMPARE(p.messages.Messages[0].Text,
             folder.string() + "/\nこのフォルダは存在しません。新しく作成しますか？");
    QCOMPARE(p.messages.Messages[0].Plan.Buttons[0].Caption, std::string("そうして下さい"));
  }

  void clipboardSeparators_data() {
    QTest::addColumn<bool>("tab");
    QTest::addColumn<QString>("expected");
    QTest::newRow("改行区切り") << false << "a.bmp\r\nb.bmp\r\nc.bmp";
    QTest::newRow("タブ区切り") << true << "a.bmp\tb.bmp\tc.bmp";
  }
  void clipboardSeparators() {
    QFETCH(bool, tab);
    QFETCH(QString, expected);
    TSavePage p({120, 100, 80});
    p.page.chkCopyFileNames->setChecked(true);
    (tab ? p.page.rdoSeparateTab : p.page.rdoSeparateReturn)->setChecked(true);
    QGuiApplication::clipboard()->clear();
    p.page.actSave->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
  }

  void titleIsWrittenUnchanged() {
    TSavePage p({120});
    p.page.chkSaveHTML->setChecked(true);
    p.page.chkGenerator->setChecked(false);
    p.page.edtTitle->setText("<b>夏</b> & <");
    p.page.actSave->trigger();
    const std::string html = IndexHtml(p.out);
    QVERIFY(html.find("\t\t<title><b>夏</b> & <</title>\r\n") != std::string::npos);
    QVERIFY(html.find("\t\t<b>夏</b> & <<br>\r\n") != std::string::npos);
    QVERIFY(html.find("generator") == std::string::npos);
  }

  void writeFailureHalfWayNamesTheFileAndWhatWasWritten() {
    TSavePage p({120, 100, 80});
    p.page.chkSaveHTML->setChecked(true);
    p.page.chkCopyFileNames->setChecked(true);
    // A folder where the second file goes: it exists, is ticked, and cannot
    // be replaced by a file.
    fs::create_directories(p.out / "b.bmp");
    bool shown = false;
    WhenOverwriteDialog(shown,
                        [](TReplaceFilesDialog& dialog) { dialog.OverwriteButton()->click(); });
    QGuiApplication::clipboard()->setText("before");
    p.page.actSave->trigger();
    QVERIFY(shown);
    QCOMPARE(p.FilesInOut(), (std::vector<std::string>{"a.bmp", "b.bmp"}));
    QVERIFY(fs::is_directory(p.out / "b.bmp"));
    QCOMPARE(int(p.messages.Messages.size()), 1);
    const TMessageRequest& error = p.messages.Messages[0];
    QCOMPARE(error.Title, std::string("エラー"));
    QVERIFY2(error.Text.find((p.out / "b.bmp").string()) != std::string::npos, error.Text.c_str());
    QVERIFY2(error.Text.find((p.out / "a.bmp").string()) != std::string::npos, error.Text.c_str());
    QVERIFY(error.Text.find("c.bmp") == std::string::npos);
    QCOMPARE(int(p.page.LastReport().Written.size()), 1);
    QVERIFY(!p.program.ProgressForm().isVisible());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
  }

  void refusalsWriteNothing_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("select");
    QTest::addColumn<QString>("message");
    QTest::newRow("clash") << "same" << false << "ファイル名がバッティングしています";
    QTest::newRow("nothing made") << "$tn" << true << "保存する待受画像がありません";
  }
  void refusalsWriteNothing() {
    QFETCH(QString, fileName);
    QFETCH(bool, select);
    QFETCH(QString, message);
    TSavePage p({120, 100});
    if (select) {
      // A new handset without an image, and the images reset.
      p.program.Form().ApplySelection({});
      p.program.Form().SelectHandset(0, true);
      p.program.Form().GoToPage(3);
    }
    p.page.edtFileName->setText(fileName);
    p.page.actSave->trigger();
    QVERIFY(!fs::exists(p.out));
    QCOMPARE(int(p.messages.Messages.size()), 1);
    QCOMPARE(Q(p.messages.Messages[0].Text), message);
  }

  void listShowsClashesInRed() {
    TSavePage p({120, 100, 80});
    p.page.edtFileName->setText("$tw");
    p.page.Rename();
    const QAbstractItemModel& model = *p.page.lstFiles->model();
    auto colorOf = [&model](int row) { return model.index(row, 0).data(Qt::UserRole).toInt(); };
    QCOMPARE(model.index(0, 0).data().toString(), QString("120.bmp"));
    QCOMPARE(colorOf(0), int(scWindowText));
    p.page.edtFileName->setText("$th");
    p.page.Rename();
    for (int row = 0; row < 3; ++row) {
      QCOMPARE(model.index(row, 0).data().toString(), QString("80.bmp"));
      QCOMPARE(colorOf(row), int(scClash));
    }
  }

  // Beside its name each row gives the handsets its file is saved for (the
  // whole group where identical images fold), the image's pixel size and
  // the file's size; the tooltip shows the image.
  void listColumnsGiveHandsetsAndSizes() {
    TSavePage p({120, 120, 80});
    const QAbstractItemModel& model = *p.page.lstFiles->model();
    auto text = [&model](int row, int column) {
      return model.index(row, column).data().toString();
    };
    QCOMPARE(model.columnCount(), 4);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(text(0, 1), QString("A, B"));
    QCOMPARE(text(1, 1), QString("C"));
    QCOMPARE(text(0, 2), QString("120×80"));
    QCOMPARE(text(1, 2), QString("80×80"));
    QCOMPARE(text(1, 3), Q(FileSizeText(p.Set().GetSaveStandby(1)->FileSize())));
    QVERIFY(model.index(1, 0).data(Qt::ToolTipRole).toString().contains("data:image/png;base64,"));
    p.page.chkDisallowDuplication->setChecked(false);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(text(1, 1), QString("B"));
    QCOMPARE(text(2, 0), QString("c.bmp"));
  }

  void folderDroppedFromTheFileManager_data() {
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("folder");
    QTest::newRow("a folder") << "pics"
                              << "pics/";
    QTest::newRow("a file") << "pics/photo.jpg"
                            << "pics/";
  }
  void folderDroppedFromTheFileManager() {
    QFETCH(QString, dropped);
    QFETCH(QString, folder);
    TSavePage p({120});
    const QString root = p.dir.path() + "/";
    fs::create_directories((root + "pics").toStdString());
    test::WriteFile((root + "pics/photo.jpg").toStdString(), "jpeg");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(root + dropped)});
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.page.edtFolder, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(p.page.edtFolder, &drop);
    QCOMPARE(p.page.edtFolder->text(), root + folder);
  }

  void htmlOptionsFollowTheirCheckBox() {
    TSavePage p({120});
    for (bool on : {true, false}) {
      p.page.chkSaveHTML->setChecked(on);
      QCOMPARE(p.page.edtTitle->isEnabled(), on);
      QCOMPARE(p.page.chkGenerator->isEnabled(), on);
    }
    // Copying names has its own separators, always available.
    p.page.chkCopyFileNames->setChecked(false);
    QVERIFY(p.page.rdoSeparateTab->isEnabled());
  }

  // Where the page and the window's bars mark the same letter, the page's
  // box keeps it: Back is then a Tab away, the help menu F10 away.
  void altBAndAltHAreThePagesBoxes() {
    TSavePage p({120});
    TForm1& form = p.program.Form();
    form.ShowPlaced();
    form.GoToPage(3); // the first showing went to the first page
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_U, Qt::AltModifier);
    QTRY_VERIFY(!p.page.chkDisallowDuplication->isChecked()); // a key clicks after a moment
    QTest::keyClick(&form, Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY(p.page.rdoSeparateTab->isChecked());
    QCOMPARE(form.SheetManager().Current(), 3);
    QTest::keyClick(&form, Qt::Key_H, Qt::AltModifier);
    QTRY_VERIFY(p.page.chkSaveHTML->isChecked());
    QVERIFY(!QApplication::activePopupWidget());
    // Back from the keyboard: Tab to it, Space.
    form.BackButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form.BackButton(), Qt::Key_Space);
    QCOMPARE(form.SheetManager().Current(), 2);
    QTest::keyClick(&form, Qt::Key_H, Qt::AltModifier); // the make page's help menu
    QTRY_VERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();
  }

  void settingsSurviveARestart() {
    QTemporaryDir dir;
    const TUserFilePaths paths = PathsIn(dir);
    {
      TMirufoProgram program(paths);
      TSaveSheetForm& page = program.SaveSheetForm();
      // The defaults of a first start.
      QCOMPARE(page.edtFileName->text(), QString("$tn_$sn3"));
      QVERIFY(page.chkDisallowDuplication->isChecked());
      QVERIFY(!page.chkSaveHTML->isChecked() && page.chkGenerator->isChecked());
      QVERIFY(page.rdoSeparateReturn->isChecked());
      QVERIFY(page.edtFolder->text().endsWith("/"));
      page.edtFolder->setText("~/待受");
      page.edtFileName->setText("$fn_$tn");
      page.chkDisallowDuplication->setChecked(false);
      page.chkSaveHTML->setChecked(true);
      page.edtTitle->setText("題");
      page.chkGenerator->setChecked(false);
      page.chkCopyFileNames->setChecked(true);
      page.rdoSeparateTab->setChecked(true);
    }
    const TIniFile ini(paths.Settings);
    QCOMPARE(ini.ReadString("Save", "Folder", ""), std::string("~/待受"));
    QCOMPARE(ini.ReadString("Save", "AllowDuplicate", ""), std::string("1"));
    QCOMPARE(ini.ReadString("Save", "SeparateTab", ""), std::string("1"));
    TMirufoProgram program(paths);
    const TSavePageSettings settings = program.SaveSheetForm().Settings();
    QCOMPARE(settings.FileName, std::string("$fn_$tn"));
    QVERIFY(settings.AllowDuplicate && settings.HtmlSave && !settings.HtmlWriteGenerator);
    QCOMPARE(settings.HtmlTitle, std::string("題"));
    QVERIFY(settings.CopyFileNames && settings.SeparateTab);
    QVERIFY(program.SaveSheetForm().edtTitle->isEnabled());
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TSaveSheetFormTest)
#include "save_sheet_form_test.moc"
