// The about box: the program's name and version, the Qt version it runs on,
// and the licences of the libraries it links.
#pragma once

#include <QDialog>

namespace mirufo {

class TAboutDialog : public QDialog {
  Q_OBJECT

public:
  explicit TAboutDialog(QWidget* parent);

  // The text shown, for tests.
  QString Text() const { return text_; }

private:
  QString text_;
};

} // namespace mirufo
