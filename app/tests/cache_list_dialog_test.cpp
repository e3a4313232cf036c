// The cache capacity dialog's widgets: selecting moves the slider without
// changing the entry, moving the slider edits the selected entry, delete,
// and what OK and cancel do to the working set.
#include "app/dialogs/cache_list_dialog.h"
#include "app_test_support.h"
#include "output/standby_session.h"

#include <QSlider>
#include <QTreeWidget>

namespace mirufo {
namespace {

int RowOf(const TCacheListDialog& dialog, const char* name) {
  return dialog.Caches().FindCache(name);
}

std::size_t Naming(const TTanmatsuOptionList& set, const char* cacheName) {
  for (std::size_t i = 0; i < set.HandsetCount(); ++i)
    if (set.GetHandset(i).CacheName == cacheName)
      return i;
  return set.HandsetCount();
}

} // namespace

class TCacheListDialogTest : public QObject {
  Q_OBJECT

private slots:
  void cleanup() { TCacheListDialog::SetHook(nullptr); }

  void sliderEditsTheSelectedEntry_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("cancel") << false;
  }
  void sliderEditsTheSelectedEntry() {
    QFETCH(bool, ok);
    TStandbySession session;
    session.LoadBuiltIn();
    TTanmatsuOptionList& set = session.WorkingSet();
    const std::size_t handset = Naming(set, "au 7.5KB");
    QVERIFY(handset < set.HandsetCount());
    TCacheListDialog::SetHook([&](TCacheListDialog& dialog) {
      const int row = RowOf(dialog, "au 7.5KB");
      dialog.lstCaches->setCurrentItem(dialog.lstCaches->topLevelItem(row));
      [&] { QCOMPARE(dialog.trkCapacity->value(), 75); }();
      dialog.trkCapacity->setValue(80);
      [&] { QCOMPARE(dialog.lstCaches->topLevelItem(row)->text(1), QString("8KB")); }();
      return ok;
    });
    QCOMPARE(TCacheListDialog::Edit(nullptr, set), ok);
    QCOMPARE(set.GetHandset(handset).Cache, ok ? 8.0f : 7.5f);
    QCOMPARE(set.Handsets().GetCache(set.Handsets().FindCache("au 7.5KB")).Capacity,
             ok ? 8.0f : 7.5f);
  }

  void selectingANoLimitEntryLeavesIt() {
    TTanmatsuList caches;
    caches.AddCache({"none", 0});
    caches.AddCache({"ten", 10});
    TCacheListDialog dialog(nullptr, caches);
    dialog.lstCaches->setCurrentItem(dialog.lstCaches->topLevelItem(1));
    QCOMPARE(dialog.trkCapacity->value(), 100);
    dialog.lstCaches->setCurrentItem(dialog.lstCaches->topLevelItem(0));
    QCOMPARE(dialog.trkCapacity->value(), 10);
    QCOMPARE(dialog.lstCaches->topLevelItem(0)->text(1), QString("∞"));
    QCOMPARE(dialog.Caches().GetCache(0).Capacity, 0.0f);
    dialog.trkCapacity->setValue(15);
    QCOMPARE(dialog.Caches().GetCache(0).Capacity, 1.5f);
    QCOMPARE(dialog.lstCaches->topLevelItem(0)->textAlignment(1) & Qt::AlignRight,
             int(Qt::AlignRight));
  }

  void deleteRemovesOnlyASelectedRow() {
    TTanmatsuList caches;
    caches.AddCache({"a", 1});
    caches.AddCache({"b", 2});
    TCacheListDialog dialog(nullptr, caches);
    dialog.DeleteEntry();
    QCOMPARE(dialog.Caches().CacheCount(), std::size_t(2));
    dialog.lstCaches->setCurrentItem(dialog.lstCaches->topLevelItem(0));
    dialog.DeleteEntry();
    QCOMPARE(dialog.Caches().CacheCount(), std::size_t(1));
    QCOMPARE(dialog.lstCaches->topLevelItemCount(), 1);
    QCOMPARE(dialog.Caches().GetCache(0).Name, std::string("b"));
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TCacheListDialogTest)
#include "cache_list_dialog_test.moc"
