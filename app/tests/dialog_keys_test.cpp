// Every dialog from the keyboard: Enter means OK whichever button had the
// focus before, every marked letter reaches exactly one control of its
// window, and the brightness and contrast sliders move by keys.
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/brightness_contrast_dialog.h"
#include "app/dialogs/cache_list_dialog.h"
#include "app/dialogs/calendar_dialog.h"
#include "app/dialogs/format_dialog.h"
#include "app/dialogs/replace_files_dialog.h"
#include "app/dialogs/tanmatsu_dialog.h"
#include "app/mnemonics.h"
#include "app_test_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <functional>
#include <memory>

namespace mirufo {
namespace {

using TDialogFactory = std::function<std::unique_ptr<QDialog>()>;

std::unique_ptr<QDialog> Dialog(const QString& name) {
  if (name == "handset")
    return std::make_unique<TTanmatsuDialog>(nullptr, "端末の追加",
                                             std::vector<std::string>{"au 9KB"});
  if (name == "format")
    return std::make_unique<TFormatDialog>();
  if (name == "calendar")
    return std::make_unique<TCalendarDialog>();
  if (name == "brightness")
    return std::make_unique<TBrightnessContrastDialog>(nullptr);
  if (name == "cache list")
    return std::make_unique<TCacheListDialog>(nullptr, TTanmatsuList{});
  if (name == "replace files")
    return std::make_unique<TReplaceFilesDialog>(nullptr,
                                                 std::vector<std::filesystem::path>{"/tmp/a.png"});
  return std::make_unique<TAboutDialog>(nullptr);
}

void Show(QDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// What a marked caption reaches: a label its buddy (through the buddy's
// focus proxy), anything else itself.
struct TMark {
  QChar Letter;
  QString Caption;
  QWidget* Target;
};

std::vector<TMark> Marks(QWidget& window) {
  std::vector<TMark> marks;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&window))
      continue;
    QString caption;
    QWidget* target = widget;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      caption = label->text();
      target = label->buddy();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      caption = button->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      caption = group->title();
    }
    const QChar letter = MnemonicLetter(caption);
    if (letter.isNull())
      continue;
    while (target && target->focusProxy())
      target = target->focusProxy();
    marks.push_back({letter, caption, target});
  }
  return marks;
}

} // namespace

class TDialogKeysTest : public QObject {
  Q_OBJECT

private slots:
  void enterIsOkWhateverHadTheFocus_data() {
    QTest::addColumn<QString>("dialog");
    for (const char* name : {"handset", "format", "calendar", "brightness", "cache list"})
      QTest::newRow(name) << QString(name);
  }
  // Tab through the buttons, back into a field, Enter: OK, not the last
  // button that had the focus.
  void enterIsOkWhateverHadTheFocus() {
    QFETCH(QString, dialog);
    std::unique_ptr<QDialog> d = Dialog(dialog);
    Show(*d);
    auto* row = d->findChild<QDialogButtonBox*>();
    QVERIFY(row);
    auto* cancel = qobject_cast<QPushButton*>(row->buttons().back());
    cancel->setFocus(Qt::TabFocusReason);
    QVERIFY(cancel->isDefault());
    // The first field that is not a button.
    QWidget* field = nullptr;
    for (QWidget* w = cancel->nextInFocusChain(); w != cancel && !field; w = w->nextInFocusChain())
      if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
          !qobject_cast<QAbstractButton*>(w))
        field = w;
    QVERIFY(field);
    field->setFocus(Qt::TabFocusReason);
    QVERIFY(!cancel->isDefault());
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(d->result(), int(QDialog::Accepted));
  }

  void everyMarkReachesOneControl_data() {
    QTest::addColumn<QString>("dialog");
    for (const char* name :
         {"handset", "format", "calendar", "brightness", "cache list", "replace files", "about"})
      QTest::newRow(name) << QString(name);
  }
  // No letter twice in a window; a label's letter moves the focus to its
  // control and changes nothing (a radio button or a position button would
  // otherwise be pressed by it).
  void everyMarkReachesOneControl() {
    QFETCH(QString, dialog);
    std::unique_ptr<QDialog> d = Dialog(dialog);
    Show(*d);
    const std::vector<TMark> marks = Marks(*d);
    QSet<QChar> seen;
    for (const TMark& mark : marks) {
      QVERIFY2(!seen.contains(mark.Letter), qPrintable(mark.Caption + " shares its letter"));
      seen.insert(mark.Letter);
      QVERIFY2(mark.Target && mark.Target->focusPolicy() != Qt::NoFocus,
               qPrintable(mark.Caption + " reaches nothing"));
    }
    for (const TMark& mark : marks) {
      auto* button = qobject_cast<QAbstractButton*>(mark.Target);
      if (button && !button->isCheckable())
        continue; // pressing it runs its command
      const bool checked = button && button->isChecked();
      QTest::keyClick(d.get(), mark.Letter.toLatin1(), Qt::AltModifier);
      QVERIFY2(QApplication::focusWidget() == mark.Target,
               qPrintable(mark.Caption + " does not reach its control"));
      if (button && qobject_cast<QLabel*>(mark.Target) == nullptr && mark.Target != button)
        QCOMPARE(button->isChecked(), checked);
    }
  }

  // The handset dialog's radio and check buttons are reached by their
  // labels without being pressed.
  void labelsOfButtonRowsOnlyMoveTheFocus() {
    TTanmatsuDialog dialog(nullptr, "端末の追加", {});
    Show(dialog);
    dialog.rdoFormat[2]->setChecked(true);
    QTest::keyClick(&dialog, 'F', Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.rdoFormat[2]));
    QVERIFY(dialog.rdoFormat[2]->isChecked());
    QTest::keyClick(&dialog, 'S', Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.chkSupport[0]));
    QVERIFY(!dialog.chkSupport[0]->isChecked());
    QTest::keyClick(&dialog, 'W', Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.updWidth));
  }

  void slidersMoveByKeys() {
    TBrightnessContrastDialog dialog(nullptr);
    Show(dialog);
    int changes = 0;
    connect(&dialog, &TBrightnessContrastDialog::ValuesChanged, &dialog, [&] { ++changes; });
    QTest::keyClick(&dialog, 'B', Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.scrBrightness));
    QTest::keyClick(dialog.scrBrightness, Qt::Key_Right);
    QCOMPARE(dialog.Brightness(), 1);
    QTest::keyClick(dialog.scrBrightness, Qt::Key_PageUp);
    QCOMPARE(dialog.Brightness(), 11);
    QTest::keyClick(&dialog, 'C', Qt::AltModifier);
    QTest::keyClick(dialog.scrContrast, Qt::Key_PageDown);
    QCOMPARE(dialog.Contrast(), -10);
    QCOMPARE(changes, 3); // each step previews
    // Tab reaches both sliders, not only the buttons.
    QSet<QWidget*> reached;
    for (int i = 0; i < 4; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      reached.insert(QApplication::focusWidget());
    }
    QVERIFY(reached.contains(dialog.scrBrightness));
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TDialogKeysTest)
#include "dialog_keys_test.moc"
