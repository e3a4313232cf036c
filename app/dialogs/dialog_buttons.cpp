#include "app/dialogs/dialog_buttons.h"

#include "platform/translate.h"

namespace mirufo {

QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton** ok) {
  // The row is the dialog's child from the start: a button made default
  // before it is inside its dialog is not the dialog's own default, and the
  // last button that had the focus would then keep Enter.
  auto* buttons = new QDialogButtonBox(dialog);
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
