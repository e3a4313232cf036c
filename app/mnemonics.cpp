#include "app/mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace mirufo {

QChar MnemonicLetter(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&')
      continue;
    if (caption[i + 1] != u'&')
      return caption[i + 1].toUpper();
    ++i; // "&&" is a plain ampersand
  }
  return {};
}

QString WithoutMnemonic(const QString& caption) {
  QString plain;
  plain.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) {
      if (caption[i + 1] == u'&')
        plain += u'&'; // "&&" stays a plain ampersand
      plain += caption[++i];
      continue;
    }
    plain += caption[i];
  }
  return plain;
}

void SetFocusBuddy(QLabel* label, QWidget* field, QWidget* target) {
  if (field != target) {
    // Not in the Tab order itself (the target is), but it takes the
    // label's key and passes the focus on.
    field->setFocusPolicy(Qt::ClickFocus);
    field->setFocusProxy(target);
  }
  label->setBuddy(field);
}

QSet<QChar> ControlMnemonics(const QWidget* root) {
  QSet<QChar> letters;
  auto add = [&](const QWidget* widget, const QString& caption) {
    if (!widget->isVisibleTo(root) || !widget->isEnabled())
      return;
    if (const QChar letter = MnemonicLetter(caption); !letter.isNull())
      letters.insert(letter);
  };
  for (const QWidget* widget : root->findChildren<QWidget*>()) {
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && label->buddy())
      add(label, label->text());
    else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
      add(button, button->text());
    else if (const auto* group = qobject_cast<const QGroupBox*>(widget))
      add(group, group->title());
  }
  return letters;
}

void DropRepeatedMnemonics(QMenu* menu) {
  QSet<QChar> taken;
  for (QAction* action : menu->actions()) {
    if (QMenu* sub = action->menu())
      DropRepeatedMnemonics(sub);
    const QChar letter = MnemonicLetter(action->text());
    if (letter.isNull())
      continue;
    if (taken.contains(letter))
      action->setText(WithoutMnemonic(action->text()));
    else
      taken.insert(letter);
  }
}

} // namespace mirufo
