#include "app/dialogs/dialog_buttons.h"

#include "platform/translate.h"

namespace mirufo {

QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton** ok) {
  auto* buttons = new QDialogButtonBox;
  QPushButton* accept =
      buttons->addButton(QString::fromUtf8(Tr("OK")), QDialogButtonBox::AcceptRole);
  accept->setDefault(true);
  buttons->addButton(QString::fromUtf8(Tr("キャンセル")), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  if (ok)
    *ok = accept;
  return buttons;
}

} // namespace mirufo
