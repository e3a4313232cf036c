#include "app/dialogs/input_box.h"

#include "platform/translate.h"

#include <QInputDialog>

namespace mirufo {
namespace {

TInputHook& Hook() {
  static TInputHook hook;
  return hook;
}

} // namespace

void SetInputHook(TInputHook hook) {
  Hook() = std::move(hook);
}

std::optional<std::string> InputBox(QWidget* parent, const std::string& caption,
                                    const std::string& prompt, const std::string& text) {
  const std::string title = Tr(caption);
  const std::string label = Tr(prompt);
  if (Hook())
    return Hook()(title, label, text);
  bool ok = false;
  const QString answer =
      QInputDialog::getText(parent, QString::fromStdString(title), QString::fromStdString(label),
                            QLineEdit::Normal, QString::fromStdString(text), &ok);
  if (!ok)
    return std::nullopt;
  return answer.toStdString();
}

} // namespace mirufo
