// Marked letters ("&N") of captions: reading them, and keeping one window's
// letters apart so that every Alt+letter reaches exactly one control.
#pragma once

#include <QChar>
#include <QSet>
#include <QString>

class QLabel;
class QMenu;
class QWidget;

namespace mirufo {

// The marked letter of a caption in upper case, or a null character.
QChar MnemonicLetter(const QString& caption);
// The caption without its mark ("ヘルプ(&H)" -> "ヘルプ(H)").
QString WithoutMnemonic(const QString& caption);

// The label's key gives the focus to target without pressing it: a label
// whose buddy is a button would also click it (a radio button would change
// the choice). field is the widget the label stands for; it hands the focus
// on to target.
void SetFocusBuddy(QLabel* label, QWidget* field, QWidget* target);

// The letters of the labels with a buddy, the buttons and the group boxes
// inside root that the user can reach (shown, or shown once root is).
QSet<QChar> ControlMnemonics(const QWidget* root);

// Within one menu and each of its submenus, a letter already marked by an
// earlier entry is unmarked in the later ones, so that typing it runs the
// first entry instead of only moving between the two.
void DropRepeatedMnemonics(QMenu* menu);

} // namespace mirufo
