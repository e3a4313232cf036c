// The box grid: only visible boxes are drawn, each once until it changes,
// and the selection follows clicks with and without Ctrl and Shift.
#include "app/pages/standby_box_view.h"
#include "app_test_support.h"

#include <QScrollBar>
#include <set>

namespace mirufo {

namespace {

// 100 boxes of 50 × 40 in a 240 × 200 viewport: four columns.
struct TGrid {
  TGrid() {
    view.OnDrawBox = [this](int box) {
      drawn.insert(box);
      ++draws;
      QImage image(view.BoxSize(), QImage::Format_RGB32);
      image.fill(Qt::white);
      return image;
    };
    view.viewport()->resize(240, 200);
    view.resize(260, 204);
    view.SetBoxes(100, QSize(50, 40));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.viewport()->repaint();
  }
  void Click(int box, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, view.BoxRect(box).center());
  }
  TStandbyBoxView view;
  std::set<int> drawn;
  int draws = 0;
};

} // namespace

class TStandbyBoxViewTest : public QObject {
  Q_OBJECT

private slots:
  void drawsOnlyVisibleBoxesOnceEach() {
    TGrid g;
    QCOMPARE(g.view.Columns(), 4);
    QVERIFY(!g.drawn.empty());
    QVERIFY(*g.drawn.rbegin() < 24); // the first rows only
    const int draws = g.draws;
    g.view.viewport()->repaint();
    QCOMPARE(g.draws, draws); // kept pictures
    g.view.InvalidateBox(1);
    g.view.viewport()->repaint();
    QCOMPARE(g.draws, draws + 1);
    g.view.verticalScrollBar()->setValue(g.view.verticalScrollBar()->maximum());
    g.view.viewport()->repaint();
    QVERIFY(g.drawn.count(99));
    QVERIFY(!g.drawn.count(50));
    QCOMPARE(g.view.BoxAt(g.view.BoxRect(99).center()), 99);
  }

  void boxesWiderThanTheViewScrollSideways() {
    TGrid g;
    QCOMPARE(g.view.horizontalScrollBar()->maximum(), 0); // four columns fit
    g.view.SetBoxes(3, QSize(1000, 40));
    QCOMPARE(g.view.Columns(), 1);
    QCOMPARE(g.view.horizontalScrollBar()->maximum(), 4 + 1004 - g.view.viewport()->width());
    g.view.horizontalScrollBar()->setValue(600);
    QCOMPARE(g.view.BoxRect(1).left(), 4 - 600);
    QCOMPARE(g.view.BoxAt(QPoint(10, 50)), 1);
  }

  void keptPicturesStayWithinTheBudget() {
    TGrid g;
    g.view.CacheBudget = 30 * 50 * 40 * 4; // thirty boxes
    QVERIFY(g.view.IsCached(0));
    g.view.verticalScrollBar()->setValue(g.view.verticalScrollBar()->maximum());
    g.view.viewport()->repaint();
    QVERIFY(!g.view.IsCached(0)); // drawn longest ago
    QVERIFY(g.view.IsCached(99)); // on the screen
    int kept = 0;
    for (int box = 0; box < 100; ++box)
      kept += g.view.IsCached(box) ? 1 : 0;
    QVERIFY(kept <= 30);
  }

  void selectionFollowsClicks_data() {
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QList<int>>("modifiers");
    QTest::addColumn<QList<int>>("selected");
    const int ctrl = Qt::ControlModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("one") << QList<int>{3, 5} << QList<int>{0, 0} << QList<int>{5};
    QTest::newRow("ctrl adds and removes")
        << QList<int>{3, 5, 3} << QList<int>{0, ctrl, ctrl} << QList<int>{5};
    QTest::newRow("shift range") << QList<int>{6, 2} << QList<int>{0, shift}
                                 << QList<int>{2, 3, 4, 5, 6};
    QTest::newRow("outside clears") << QList<int>{4, -1} << QList<int>{0, 0} << QList<int>{};
  }
  void selectionFollowsClicks() {
    QFETCH(QList<int>, clicks);
    QFETCH(QList<int>, modifiers);
    QFETCH(QList<int>, selected);
    TGrid g;
    int changes = 0;
    connect(&g.view, &TStandbyBoxView::selectionChanged, [&changes] { ++changes; });
    for (qsizetype i = 0; i < clicks.size(); ++i) {
      const auto modifier = Qt::KeyboardModifiers(modifiers[i]);
      if (clicks[i] < 0)
        QTest::mouseClick(g.view.viewport(), Qt::LeftButton, modifier, QPoint(235, 2));
      else
        g.Click(clicks[i], modifier);
    }
    QCOMPARE(QList<int>(g.view.Selection().begin(), g.view.Selection().end()), selected);
    QVERIFY(changes > 0);
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TStandbyBoxViewTest)
#include "standby_box_view_test.moc"
