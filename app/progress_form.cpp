#include "app/progress_form.h"

#include "app/screen_fit.h"
#include "platform/translate.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirufo {

TProgressForm::TProgressForm(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel), bar_(new QProgressBar), cancel_(new QPushButton(Tr("キャンセル"))) {
  setObjectName("ProgressForm");
  setWindowTitle(Tr("処理中"));
  bar_->setRange(0, 100);
  bar_->setValue(0);
  cancel_->setVisible(false);
  connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  setMinimumWidth(320);
}

void TProgressForm::Setup(int maximum, const std::string& text, std::function<void()> cancelHandler,
                          bool showCancel) {
  label_->setText(QString::fromStdString(text));
  bar_->setMaximum(maximum);
  bar_->setValue(0);
  cancelHandler_ = std::move(cancelHandler);
  cancel_->setVisible(showCancel);
  adjustSize();
}

void TProgressForm::Update(int position, const std::string& text) {
  label_->setText(QString::fromStdString(text));
  bar_->setValue(position);
}

void TProgressForm::ShowCentred() {
  adjustSize();
  if (QWidget* main = parentWidget()) {
    const QPoint centre = WindowCentre(main);
    move(centre - QPoint(width() / 2, height() / 2));
  }
  show();
  raise();
}

void TProgressForm::Cancel() {
  if (cancelHandler_)
    cancelHandler_();
}

void TProgressForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && cancel_->isVisible()) {
    Cancel();
    return;
  }
  QWidget::keyPressEvent(event);
}

// The window has no close button; a close request from the window manager
// (Alt+F4) does not end the work it shows.
void TProgressForm::closeEvent(QCloseEvent* event) {
  event->ignore();
}

} // namespace mirufo
