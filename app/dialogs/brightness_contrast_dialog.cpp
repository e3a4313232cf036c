#include "app/dialogs/brightness_contrast_dialog.h"

#include "app/dialogs/dialog_buttons.h"
#include "platform/translate.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace mirufo {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(Tr(text));
}

} // namespace

TBrightnessContrastDialog::TBrightnessContrastDialog(QWidget* page)
    : QDialog(page, Qt::Dialog | Qt::WindowStaysOnTopHint) {
  setObjectName("BrightnessContrastDialog");
  setWindowTitle(Q("明るさ／コントラスト"));
  auto* grid = new QGridLayout(this);
  auto addRow = [&](int row, const char* caption, const char* name) {
    // A slider takes the focus and shows it; the arrows step by 1, Page Up
    // and Page Down by 10, each step previewed as a drag is.
    auto* bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(name);
    bar->setRange(-100, 100);
    bar->setValue(0);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setMinimumWidth(240);
    auto* label = new QLabel(Q(caption));
    label->setBuddy(bar);
    auto* value = new QLabel(QStringLiteral("0"));
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-100")));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, row, 0);
    grid->addWidget(bar, row, 1);
    grid->addWidget(value, row, 2);
    connect(bar, &QSlider::valueChanged, this, [this, value](int position) {
      value->setNum(position);
      emit ValuesChanged(Brightness(), Contrast());
    });
    return bar;
  };
  scrBrightness = addRow(0, N_("明るさ(&B):"), "scrBrightness");
  scrContrast = addRow(1, N_("コントラスト(&C):"), "scrContrast");
  QPushButton* ok = nullptr;
  QDialogButtonBox* buttons = OkCancelButtons(this, &ok);
  ok->setObjectName("btnOK");
  buttons->buttons().back()->setObjectName("btnCancel");
  grid->addWidget(buttons, 2, 0, 1, 3);
  setFixedSize(sizeHint());
}

int TBrightnessContrastDialog::Brightness() const {
  return scrBrightness->value();
}

int TBrightnessContrastDialog::Contrast() const {
  return scrContrast->value();
}

void TBrightnessContrastDialog::showEvent(QShowEvent* event) {
  if (QWidget* page = parentWidget()) {
    const QPoint centre = page->mapToGlobal(page->rect().center());
    move(centre - QPoint(width() / 2, height() / 2));
  }
  QDialog::showEvent(event);
}

} // namespace mirufo
