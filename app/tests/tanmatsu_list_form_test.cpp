// The handset page driven through its widgets: the first showing, sorting,
// the list's texts, the handset commands and dialogs, ticking by mouse and
// keyboard, the tree's check boxes, and the settings across a restart.
#include "app/dialogs/cache_list_dialog.h"
#include "app/dialogs/input_box.h"
#include "app/dialogs/tanmatsu_dialog.h"
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/pages/tanmatsu_list_form.h"
#include "app/pages/tanmatsu_list_view.h"
#include "app/pages/tanmatsu_tree_view.h"
#include "app_test_support.h"
#include "output/tanmatsu_option_list.h"
#include "platform/ini_file.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTabBar>

namespace mirufo {
namespace {

TUserFilePaths PathsIn(const QTemporaryDir& dir) {
  const std::filesystem::path folder = dir.path().toStdString();
  return {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"};
}

// A "makeset.txt" with one set of the first `count` built-in handsets.
void WriteMakeSet(const TUserFilePaths& paths, const char* name, std::size_t count) {
  TStandbySession session;
  session.LoadBuiltIn();
  TNamedBitsList sets;
  sets.Add(name);
  for (std::size_t i = 0; i < count; ++i)
    sets.GetFlags(0).Set(i, true);
  sets.SaveToFile(paths.MakeSets, session);
}

// A user list with the given handsets.
void WriteUserList(const TUserFilePaths& paths, const std::vector<TTanmatsuRecord>& records) {
  TTanmatsuList list;
  for (const TTanmatsuRecord& r : records)
    list.Add(r);
  list.SaveToFile(paths.HandsetList);
}

// One program run, shown, on the handset page.
struct TRun {
  explicit TRun(const QTemporaryDir& dir) : program(PathsIn(dir)) {
    program.Form().ShowPlaced();
    QVERIFY(QTest::qWaitForWindowExposed(&program.Form()));
  }
  TTanmatsuListForm& Page() { return program.TanmatsuListForm(); }
  TTanmatsuOptionList& Set() { return program.Form().Session().WorkingSet(); }
  TMirufoProgram program;
};

int TreeRowOf(const TTanmatsuListForm& page, const std::string& caption) {
  for (std::size_t i = 0; i < page.TreeRows().Count(); ++i)
    if (page.TreeRows()[i]->Caption() == caption)
      return static_cast<int>(i);
  return -1;
}

// Expands the path of captions from the root and selects its last node.
void OpenTree(TTanmatsuListForm& page, const std::vector<std::string>& path) {
  page.ToggleTreeRow(0);
  for (std::size_t i = 0; i < path.size(); ++i) {
    const int row = TreeRowOf(page, path[i]);
    QVERIFY(row >= 0);
    if (i + 1 < path.size())
      page.ToggleTreeRow(row);
    else
      page.SelectTreeRow(row);
  }
}

int ListRowOf(const TTanmatsuListForm& page, std::size_t handset) {
  const auto& listed = page.Listed();
  return static_cast<int>(std::find(listed.begin(), listed.end(), handset) - listed.begin());
}

QPoint CellCentre(TTanmatsuListView* view, int row, int column) {
  return view->visualRect(view->model()->index(row, column)).center();
}

std::vector<std::size_t> Ticked(TTanmatsuOptionList& set) {
  std::vector<std::size_t> ticked;
  for (std::size_t i = 0; i < set.HandsetCount(); ++i)
    if (set.IsSelected(i))
      ticked.push_back(i);
  return ticked;
}

} // namespace

class TTanmatsuListFormTest : public QObject {
  Q_OBJECT

private slots:
  void cleanup() {
    TTanmatsuDialog::SetHook(nullptr);
    TCacheListDialog::SetHook(nullptr);
    SetInputHook(nullptr);
  }

  void firstShowingAppliesTheCurrentSet() {
    QTemporaryDir dir;
    WriteMakeSet(PathsIn(dir), "いつもの", 12);
    test::TMessageRecorder messages;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    QCOMPARE(Ticked(run.Set()).size(), std::size_t(12));
    QCOMPARE(Ticked(run.Set()).back(), std::size_t(11));
    QCOMPARE(run.program.Form().StatusText(), std::string("12 / 287 枚の待受画像を作成します"));
    QCOMPARE(page.Tabs()->tabText(0).toStdString(), std::string("いつもの(12)"));
    QCOMPARE(page.TreeRoot().CheckState(), cbGrayed);
    QVERIFY(run.program.Form().NextButton()->isEnabled());
    page.actUncheckAll->trigger();
    QCOMPARE(run.Set().TargetCount(), 0);
    QVERIFY(!run.program.Form().NextButton()->isEnabled());
    QCOMPARE(page.Tabs()->tabText(0).toStdString(), std::string("いつもの(0)"));
    QCOMPARE(page.TreeRoot().CheckState(), cbUnchecked);
    QVERIFY(messages.Messages.empty());
  }

  void importedListsAddTickedUserHandsetsWithSeriesNodesKeptAtExit() {
    QTemporaryDir dir;
    const std::filesystem::path list = std::filesystem::path(dir.path().toStdString()) / "a.lst";
    test::WriteFile(list, "TL2\r\nname\tformat\tsupportformats\twidth\theight\tbit\tcachename\t"
                          "cache\tbps\tseries\r\n"
                          "Apple iPhone 16\t1\t010100\t1179\t2556\t24\t\t0.0\t0\tApple\r\n"
                          "Apple iPhone Air\t1\t010100\t1260\t2736\t24\t\t0.0\t0\tApple\r\n"
                          "Plain\t1\t010100\t100\t200\t24\t\t0.0\t0\t\r\n");
    const std::filesystem::path bad = std::filesystem::path(dir.path().toStdString()) / "bad.lst";
    test::WriteFile(bad, "TL2\r\nname\twidth\theight\r\nB\t10\t0\r\n");
    test::TMessageRecorder messages;
    {
      TRun run(dir);
      TTanmatsuListForm& page = run.Page();
      page.actUncheckAll->trigger();
      std::string askedIn;
      std::filesystem::path answer = list;
      page.AskListFileName = [&](const std::string& folder) {
        askedIn = folder;
        return answer.string();
      };
      page.actTanmatsuImport->trigger();
      QVERIFY(!askedIn.empty());
      QCOMPARE(run.Set().HandsetCount(), std::size_t(290));
      QCOMPARE(Ticked(run.Set()), (std::vector<std::size_t>{287, 288, 289}));
      QCOMPARE(messages.Messages.back().Text,
               std::string("a.lst から 3 個の端末を追加しました（0 個は登録済みでした）"));
      TTanmatsuTreeNode* user = page.TreeRoot().FindChild("ユーザー定義");
      QVERIFY(user != nullptr);
      QCOMPARE(user->Children().Count(), std::size_t(2));
      QCOMPARE(user->Children()[0]->Caption(), std::string("Apple"));
      QCOMPARE(user->Children()[1]->Caption(), std::string("Plain"));
      QCOMPARE(run.program.Form().StatusText(), std::string("3 / 290 枚の待受画像を作成します"));

      // The same file again adds nothing; a bad one adds nothing and says why.
      page.actTanmatsuImport->trigger();
      QCOMPARE(messages.Messages.back().Text,
               std::string("a.lst から 0 個の端末を追加しました（3 個は登録済みでした）"));
      answer = bad;
      page.actTanmatsuImport->trigger();
      QVERIFY(messages.Messages.back().Text.find("bad.lst(3行目)") != std::string::npos);
      QCOMPARE(run.Set().HandsetCount(), std::size_t(290));
      answer.clear();
      page.actTanmatsuImport->trigger(); // cancelled
      QCOMPARE(run.Set().HandsetCount(), std::size_t(290));
    }
    // Saved at exit with their series, and there at the next start.
    TRun again(dir);
    QCOMPARE(again.Set().HandsetCount(), std::size_t(290));
    QCOMPARE(again.Set().GetHandset(287).Series, std::string("Apple"));
    QVERIFY(again.Page().TreeRoot().FindChild("ユーザー定義")->FindChild("Apple") != nullptr);
  }

  void anUnreadableSetFileIsSaidAtStartAndKept() {
    QTemporaryDir dir;
    const TUserFilePaths paths = PathsIn(dir);
    std::filesystem::create_directory(paths.MakeSets);
    test::TMessageRecorder messages;
    {
      TRun run(dir);
      QCOMPARE(messages.Messages.size(), std::size_t(1));
      QVERIFY(messages.Messages[0].Text.find("makeset.txt") != std::string::npos);
      QCOMPARE(run.Page().Tabs()->tabText(0).toStdString(), std::string("標準のセット(0)"));
    }
    QVERIFY(std::filesystem::is_directory(paths.MakeSets));
  }

  void headerClicksSortByWidthThenByName() {
    QTemporaryDir dir;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    QHeaderView* header = page.ListView()->horizontalHeader();
    auto click = [&](int column) {
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                        QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    auto width = [&](std::size_t i) { return run.Set().GetHandset(i).Width; };
    click(6);
    const std::vector<std::size_t> narrow = page.Listed();
    QCOMPARE(narrow.size(), std::size_t(287));
    QVERIFY(std::is_sorted(narrow.begin(), narrow.end(),
                           [&](std::size_t a, std::size_t b) { return width(a) < width(b); }));
    click(6);
    const std::vector<std::size_t> wide = page.Listed();
    QVERIFY(std::is_sorted(wide.begin(), wide.end(),
                           [&](std::size_t a, std::size_t b) { return width(a) > width(b); }));
    click(1);
    // Names Z to A; equal names (the screens of one handset) keep their
    // widest-first order.
    const std::vector<std::size_t> named = page.Listed();
    for (std::size_t k = 1; k < named.size(); ++k) {
      const TTanmatsuRecord a = run.Set().GetHandset(named[k - 1]);
      const TTanmatsuRecord b = run.Set().GetHandset(named[k]);
      QVERIFY(a.Name >= b.Name);
      if (a.Name == b.Name)
        QVERIFY(a.Width >= b.Width);
    }
    QCOMPARE(page.SortInfo().Priorities[0], 1);
    QCOMPARE(page.SortInfo().Directions[1], -1);
  }

  void listTexts_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("supports");
    QTest::addColumn<int>("bit");
    QTest::addColumn<QString>("cacheName");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("PNG8 standard, BMP2 accepted")
        << int(ifPNG8) << ((1 << ifPNG8) | (1 << ifBMP2)) << 24 << ""
        << QStringList{"-", "◎", "○", "16777216", "∞"};
    QTest::newRow("JPEG only, named cache") << int(ifJPEG) << (1 << ifJPEG) << 16 << "DoCoMo 8KB"
                                            << QStringList{"◎", "-", "-", "65536", "DoCoMo 8KB"};
  }
  void listTexts() {
    QFETCH(int, format);
    QFETCH(int, supports);
    QFETCH(int, bit);
    QFETCH(QString, cacheName);
    QFETCH(QStringList, texts);
    QTemporaryDir dir;
    TTanmatsuRecord r = test::UserHandset("Mine");
    r.Format = static_cast<TImageFormat>(format);
    r.SupportFormats = TImageFormats(static_cast<std::uint8_t>(supports));
    r.Bit = static_cast<std::uint8_t>(bit);
    r.SetCacheName(cacheName.toStdString());
    WriteUserList(PathsIn(dir), {r});
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    const int row = ListRowOf(page, 287);
    QAbstractItemModel* model = page.ListView()->model();
    const int columns[] = {3, 4, 5, 8, 9};
    for (int k = 0; k < 5; ++k)
      QCOMPARE(model->index(row, columns[k]).data().toString(), texts[k]);
  }

  void editIsRefusedForBuiltInHandsets() {
    QTemporaryDir dir;
    WriteUserList(PathsIn(dir), {test::UserHandset("Mine")});
    test::TMessageRecorder messages;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    bool opened = false;
    TTanmatsuDialog::SetHook([&](TTanmatsuDialog&) { return opened = true; });
    page.SelectHandsetRows({0, 287});
    page.actTanmatsuEdit->trigger();
    QVERIFY(!opened);
    QCOMPARE(messages.Messages.size(), std::size_t(1));
    QCOMPARE(messages.Messages[0].Text, std::string("ユーザー端末以外は編集できません"));
    QCOMPARE(messages.Messages[0].Plan.Buttons[0].Caption, std::string("そうですか"));
    page.actTanmatsuDelete->trigger();
    QCOMPARE(messages.Messages.back().Text, std::string("ユーザー端末以外は削除できません"));
    QCOMPARE(run.Set().HandsetCount(), std::size_t(288));
  }

  void multiEditOfTheSpeedOnly() {
    QTemporaryDir dir;
    WriteUserList(PathsIn(dir), {test::UserHandset("A", 120), test::UserHandset("B", 240)});
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    std::string caption;
    TTanmatsuDialog::SetHook([&](TTanmatsuDialog& dialog) {
      caption = dialog.windowTitle().toStdString();
      dialog.cmbSpeed->setCurrentIndex(dialog.cmbSpeed->findText("9.6"));
      return true;
    });
    page.SelectHandsetRows({287, 288});
    page.actTanmatsuEdit->trigger();
    QCOMPARE(caption, std::string("端末の編集（2個の端末）"));
    QCOMPARE(run.Set().GetHandset(287).Width, std::uint16_t(120));
    QCOMPARE(run.Set().GetHandset(288).Width, std::uint16_t(240));
    QCOMPARE(run.Set().GetHandset(287).Bps, 9600);
    QCOMPARE(run.Set().GetHandset(288).Bps, 9600);
    QCOMPARE(run.Set().GetHandset(288).Name, std::string("B"));
    QCOMPARE(page.ListView()->model()->index(ListRowOf(page, 288), 10).data().toString(),
             QString("9.6K"));
  }

  void deletingThreeUserHandsets() {
    QTemporaryDir dir;
    WriteUserList(PathsIn(dir), {test::UserHandset("U1"), test::UserHandset("U2"),
                                 test::UserHandset("U3"), test::UserHandset("U4")});
    test::TMessageRecorder messages;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    page.actCheckAll->trigger();
    page.SortByColumn(1); // Z to A: the user handsets in reverse
    page.SelectHandsetRows({290, 287, 289});
    page.actTanmatsuDelete->trigger();
    QCOMPARE(messages.Messages.back().Text,
             std::string("これらの 3 個の端末を削除してよろしいですか？"));
    QCOMPARE(messages.Messages.back().Plan.Buttons[0].Caption, std::string("いいかも"));
    QCOMPARE(run.Set().HandsetCount(), std::size_t(288));
    QCOMPARE(run.Set().GetHandset(287).Name, std::string("U2"));
    QCOMPARE(page.Listed().size(), std::size_t(288));
    QCOMPARE(run.Set().TargetCount(), 288);
    QCOMPARE(page.MakeSets().Sets().GetFlags(0).CountTrue(), std::size_t(288));
    QCOMPARE(run.program.Form().StatusText(), std::string("288 / 288 枚の待受画像を作成します"));
  }

  void onlySelectedTicksOutsideTheSeriesToo() {
    QTemporaryDir dir;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    page.actCheckAll->trigger();
    OpenTree(page, {"NTT DoCoMo", "900i シリーズ"});
    QVERIFY(page.Listed().size() > 3);
    const std::size_t chosen = page.Listed()[2];
    page.SelectHandsetRows({chosen});
    page.actCheckSelectedOnly->trigger();
    QCOMPARE(Ticked(run.Set()), std::vector<std::size_t>{chosen});
    QCOMPARE(run.Set().TargetCount(), 1);
    QCOMPARE(page.TreeRoot().CheckState(), cbGrayed);
  }

  void shiftClickTicksEverySelectedRow() {
    QTemporaryDir dir;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    page.actUncheckAll->trigger();
    page.SelectHandsetRows({1, 2, 4});
    TTanmatsuListView* view = page.ListView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(view, 2, 0));
    QCOMPARE(Ticked(run.Set()), (std::vector<std::size_t>{1, 2, 4}));
    // A plain click toggles the one row; the space bar acts like Shift-click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(view, 4, 0));
    QCOMPARE(Ticked(run.Set()), (std::vector<std::size_t>{1, 2}));
    view->setFocus();
    view->setCurrentIndex(view->model()->index(1, 0));
    page.SelectHandsetRows({0, 1});
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(Ticked(run.Set()), (std::vector<std::size_t>{2}));
    QCOMPARE(run.program.Form().StatusText(), std::string("1 / 287 枚の待受画像を作成します"));
  }

  void setCommandsAndTheTabsPopUp() {
    QTemporaryDir dir;
    WriteMakeSet(PathsIn(dir), "いつもの", 12);
    test::TMessageRecorder messages;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    run.program.Form().UpdateActions();
    QVERIFY(!page.actSetDelete->isEnabled());
    page.actSetClone->trigger();
    QCOMPARE(page.Tabs()->tabText(1).toStdString(), std::string("コピー ～ いつもの(12)"));
    QCOMPARE(page.Tabs()->currentIndex(), 1);
    SetInputHook([](const std::string&, const std::string&,
                    const std::string& text) -> std::optional<std::string> {
      return text == "コピー ～ いつもの" ? std::optional<std::string>("別") : std::nullopt;
    });
    page.actSetRename->trigger();
    QCOMPARE(page.Tabs()->tabText(1).toStdString(), std::string("別(12)"));
    // The pop-up acts on the tab under the pointer: pressing it selects it.
    emit page.Tabs()->customContextMenuRequested(page.Tabs()->tabRect(0).center());
    QCOMPARE(page.Tabs()->currentIndex(), 0);
    QCOMPARE(page.MakeSets().CurrentIndex(), std::size_t(0));
    for (QWidget* popup = QApplication::activePopupWidget(); popup;
         popup = QApplication::activePopupWidget())
      popup->close();
    run.program.Form().UpdateActions();
    QVERIFY(page.actSetDelete->isEnabled());
    page.actSetDelete->trigger();
    QCOMPARE(messages.Messages.size(), std::size_t(1));
    QCOMPARE(messages.Messages.back().Text, std::string("いつもの を削除してもよろしいですか？"));
    QCOMPARE(page.Tabs()->count(), 1);
    QCOMPARE(page.Tabs()->tabText(0).toStdString(), std::string("別(12)"));
  }

  void deleteKeyInTheListRunsTheDeleteCommand() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    page.ListView()->setFocus();
    page.SelectHandsetRows({0});
    QTest::keyClick(page.ListView(), Qt::Key_Delete);
    QCOMPARE(messages.Messages.size(), std::size_t(1));
    QCOMPARE(messages.Messages[0].Text, std::string("ユーザー端末以外は削除できません"));
    QTest::keyClick(page.ListView(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(page.ListView()->SelectedRows().size(), std::size_t(287));
    // Tab leads from the tree to the list.
    run.program.Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&run.program.Form()));
    page.TreeView()->setFocus();
    QTest::keyClick(page.TreeView(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(page.ListView()));
  }

  void treeCheckBoxOnAPartlyCheckedSeries() {
    QTemporaryDir dir;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    page.actUncheckAll->trigger();
    OpenTree(page, {"NTT DoCoMo", "901i シリーズ"});
    const std::vector<std::size_t> series = page.Listed();
    page.SelectTreeRow(0);
    run.program.Form().SelectHandset(series[1], true);
    const int row = TreeRowOf(page, "901i シリーズ");
    TTanmatsuTreeNode* node = page.TreeRows()[static_cast<std::size_t>(row)];
    QCOMPARE(node->CheckState(), cbGrayed);
    TTanmatsuTreeView* tree = page.TreeView();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->CheckBoxRect(row).center());
    QCOMPARE(tree->SelectedRow(), row);
    QCOMPARE(page.Listed(), series);
    QCOMPARE(Ticked(run.Set()), series);
    QCOMPARE(node->CheckState(), cbChecked);
    QCOMPARE(node->Children()[0]->CheckState(), cbChecked);
    QCOMPARE(page.TreeRows()[static_cast<std::size_t>(TreeRowOf(page, "NTT DoCoMo"))]->CheckState(),
             cbGrayed);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->CheckBoxRect(row).center());
    QCOMPARE(run.Set().TargetCount(), 0);
  }

  void cacheDialogAddsACapacityThatAUserHandsetUses() {
    QTemporaryDir dir;
    test::TMessageRecorder messages;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    std::vector<std::string> answers{"DoCoMo 8KB", "私の 12KB"};
    std::vector<std::string> captions;
    SetInputHook([&](const std::string& caption, const std::string&,
                     const std::string&) -> std::optional<std::string> {
      captions.push_back(caption);
      std::optional<std::string> answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    });
    TCacheListDialog::SetHook([](TCacheListDialog& dialog) {
      dialog.trkCapacity->setValue(120);
      dialog.AddEntry();
      return true;
    });
    page.actCacheList->trigger();
    QCOMPARE(captions, std::vector<std::string>(2, "キャッシュ容量の追加"));
    QCOMPARE(messages.Messages.size(), std::size_t(1));
    QCOMPARE(messages.Messages[0].Text, std::string("名前 DoCoMo 8KB は既に使われています。"));
    const int entry = run.Set().Handsets().FindCache("私の 12KB");
    QVERIFY(entry >= 0);

    bool numberEnabled = true;
    TTanmatsuDialog::SetHook([&](TTanmatsuDialog& dialog) {
      dialog.edtName->setText("New");
      dialog.cmbCache->setCurrentIndex(dialog.cmbCache->findText("私の 12KB"));
      numberEnabled = dialog.updCache->isEnabled();
      return true;
    });
    page.actTanmatsuAdd->trigger();
    QVERIFY(!numberEnabled);
    QCOMPARE(run.Set().HandsetCount(), std::size_t(288));
    const TTanmatsuRecord added = run.Set().GetHandset(287);
    QCOMPARE(added.Name, std::string("New"));
    QCOMPARE(added.Cache, 12.0f);
    QVERIFY(run.Set().IsSelected(287));
    QCOMPARE(page.ListView()->model()->index(ListRowOf(page, 287), 9).data().toString(),
             QString("私の 12KB"));
    QCOMPARE(TreeRowOf(page, "ユーザー定義") >= 0 || !page.TreeRoot().IsExpanded(), true);
    // The first showing applied the empty standard set: only the new one is ticked.
    QCOMPARE(run.program.Form().StatusText(), std::string("1 / 288 枚の待受画像を作成します"));
    QCOMPARE(page.Tabs()->tabText(0).toStdString(), std::string("標準のセット(1)"));
  }

  // With no width remembered every column is as wide as its caption and
  // its widest text, and the name column takes the room the others leave,
  // also after the window grows; a tree caption too long for the pane ends
  // in "…".
  void columnsFitTheirTextsAndTheNameColumnFills() {
    QTemporaryDir dir;
    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    TTanmatsuListView& list = *page.ListView();
    QHeaderView& header = *list.horizontalHeader();
    const QFontMetrics metrics(list.font());
    for (int column = 1; column < kTanmatsuColumnCount; ++column) {
      QVERIFY(header.sectionSize(column) >= header.sectionSizeHint(column));
      QVERIFY(header.sectionSize(column) >= TanmatsuColumns()[std::size_t(column)].Width);
      for (int row = 0; row < list.model()->rowCount(); ++row) {
        const QString text = list.model()->index(row, column).data().toString();
        QVERIFY2(metrics.horizontalAdvance(text) + 10 <= header.sectionSize(column),
                 qPrintable(text));
      }
    }
    for (int width : {1600, 2000}) {
      run.program.Form().resize(width, 600);
      QCoreApplication::processEvents();
      QCOMPARE(header.length(), list.viewport()->width());
    }

    page.Splitter()->setSizes({110, 1000});
    OpenTree(page, {"NTT DoCoMo", "900i シリーズ"});
    QCoreApplication::processEvents();
    int cut = 0;
    for (int row = 0; row < static_cast<int>(page.TreeRows().Count()); ++row) {
      const QString full = QString::fromStdString(page.TreeRows()[std::size_t(row)]->Caption());
      const QString shown = page.TreeView()->ShownCaption(row);
      if (shown == full)
        continue;
      ++cut;
      QVERIFY2(shown.endsWith(u'…') && full.startsWith(shown.chopped(1)), qPrintable(shown));
    }
    QVERIFY(cut > 0);
  }

  void settingsAreRestoredAfterARestart() {
    QTemporaryDir dir;
    {
      TRun run(dir);
      TTanmatsuListForm& page = run.Page();
      page.Splitter()->setSizes({210, 400});
      // The name column fills the list: its own width is what is kept.
      page.ListView()->horizontalHeader()->resizeSection(1, 1500);
      page.ListView()->horizontalHeader()->resizeSection(3, 90);
      page.ListView()->horizontalHeader()->resizeSection(4, 20); // below its least
      page.SortByColumn(6);
      page.actCheckAll->trigger();
      page.actSetAdd->trigger();
      QCOMPARE(page.Tabs()->count(), 2);
      QCOMPARE(page.Tabs()->tabText(1).toStdString(), std::string("新しいセット1(0)"));
      QCOMPARE(run.Set().TargetCount(), 0);
    }
    TIniFile ini(PathsIn(dir).Settings);
    QCOMPARE(ini.ReadInteger("TanmatsuList", "LeftPaneWidth", 0), 210);
    QCOMPARE(ini.ReadInteger("TanmatsuList", "Headers[1].Width", 0), 1500);
    QCOMPARE(ini.ReadInteger("TanmatsuList", "Headers[4].Width", 0), 48);
    QCOMPARE(ini.ReadInteger("TanmatsuList", "SetIndex", 0), 1);
    QCOMPARE(ini.ReadInteger("TanmatsuList", "SortInfo.Priorities[0]", 0), 6);

    TRun run(dir);
    TTanmatsuListForm& page = run.Page();
    QCOMPARE(page.Splitter()->sizes().value(0), 210);
    QCOMPARE(page.ListView()->horizontalHeader()->sectionSize(1), 1500);
    QCOMPARE(page.ListView()->horizontalHeader()->sectionSize(3), 90);
    QCOMPARE(page.ListView()->horizontalHeader()->sectionSize(4), 48);
    QCOMPARE(page.SortInfo().Directions[6], -1);
    QCOMPARE(page.Tabs()->currentIndex(), 1);
    QCOMPARE(run.Set().TargetCount(), 0);
    page.Tabs()->setCurrentIndex(0);
    QCOMPARE(run.Set().TargetCount(), 287);
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TTanmatsuListFormTest)
#include "tanmatsu_list_form_test.moc"
