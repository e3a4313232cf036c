// The "OK" (default, Enter) and "キャンセル" (Esc) row that ends a dialog.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace mirufo {

// A button box accepting or rejecting dialog; ok, when given, gets the OK
// button (for an object name or an auto-default setting).
QDialogButtonBox* OkCancelButtons(QDialog* dialog, QPushButton** ok = nullptr);

} // namespace mirufo
