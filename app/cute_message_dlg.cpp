#include "app/cute_message_dlg.h"

#include "output/standby_session.h"
#include "platform/translate.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace mirufo {
namespace {

TMessageHook& Hook() {
  static TMessageHook hook;
  return hook;
}

QStyle::StandardPixmap IconOf(TMsgDlgType kind) {
  switch (kind) {
  case mtWarning:
    return QStyle::SP_MessageBoxWarning;
  case mtError:
    return QStyle::SP_MessageBoxCritical;
  case mtInformation:
    return QStyle::SP_MessageBoxInformation;
  case mtConfirmation:
    return QStyle::SP_MessageBoxQuestion;
  }
  return QStyle::SP_MessageBoxInformation;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

} // namespace

TCuteMessageDialog::TCuteMessageDialog(QWidget* parent, const std::string& message,
                                       TMsgDlgType kind, const std::vector<std::string>& captions,
                                       const std::vector<int>& results)
    : QDialog(parent), plan_(PlanMessageButtons(captions, results)), answer_(plan_.EscapeResult) {
  setWindowTitle(Q(Tr(MessageDialogTitle(kind))));
  auto* icon = new QLabel;
  const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(IconOf(kind), nullptr, this).pixmap(size, size));
  icon->setAlignment(Qt::AlignTop);
  auto* text = new QLabel(Q(MessageDialogText(Tr(message))));
  text->setTextFormat(Qt::PlainText);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(text, 1);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (const TMessageButton& b : plan_.Buttons) {
    auto* button = new QPushButton(Q(Tr(b.Caption)));
    button->setAutoDefault(false);
    const int result = b.Result;
    connect(button, &QPushButton::clicked, this, [this, result] {
      answer_ = result;
      done(result);
    });
    row->addWidget(button);
    buttons_.push_back(button);
  }
  row->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(row);
  if (QPushButton* def = ButtonOf(plan_.DefaultResult)) {
    def->setDefault(true);
    def->setFocus();
  }
  setSizeGripEnabled(false);
}

QPushButton* TCuteMessageDialog::ButtonOf(int result) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (plan_.Buttons[i].Result == result)
      return buttons_[i];
  return nullptr;
}

void TCuteMessageDialog::reject() {
  answer_ = plan_.EscapeResult;
  done(answer_);
}

void TCuteMessageDialog::showEvent(QShowEvent* event) {
  CentreOver(this, parentWidget());
  QDialog::showEvent(event);
}

QWidget* MessageOwner() {
  if (QWidget* modal = QApplication::activeModalWidget())
    return modal;
  if (QWidget* active = QApplication::activeWindow())
    return active;
  // No window of the program is active (at start-up, or while another
  // program has the focus): the main window, when it is shown.
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible() && qobject_cast<QMainWindow*>(top))
      return top;
  return nullptr;
}

void CentreOver(QWidget* window, const QWidget* owner) {
  if (owner)
    owner = owner->window();
  QRect over;
  if (owner && owner->isVisible())
    over = owner->frameGeometry();
  else if (const QScreen* screen = window->screen())
    over = screen->availableGeometry();
  else
    return;
  // move() places the frame; before the window is first shown its frame
  // is its own size.
  window->move(over.center() - QRect(QPoint(), window->frameGeometry().size()).center());
}

void SetMessageHook(TMessageHook hook) {
  Hook() = std::move(hook);
}

int CuteMessageDlg(const std::string& message, TMsgDlgType kind,
                   const std::vector<std::string>& captions, const std::vector<int>& results) {
  if (Hook()) {
    TMessageRequest request{Tr(MessageDialogTitle(kind)), MessageDialogText(Tr(message)), kind,
                            PlanMessageButtons(captions, results)};
    return Hook()(request);
  }
  TCuteMessageDialog dialog(MessageOwner(), message, kind, captions, results);
  dialog.exec();
  return dialog.Answer();
}

void ShowPlainMessage(const std::string& message) {
  if (Hook()) {
    Hook()({Tr(kApplicationTitle), MessageDialogText(message), std::nullopt,
            PlanMessageButtons({"OK"}, {mrOk})});
    return;
  }
  QWidget* owner = MessageOwner();
  QDialog dialog(owner);
  dialog.setWindowTitle(Q(Tr(kApplicationTitle)));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(Q(MessageDialogText(message))));
  auto* ok = new QPushButton(Q(Tr("OK")));
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
  dialog.adjustSize();
  CentreOver(&dialog, owner);
  dialog.exec();
}

void ShowErrorMessage(const std::string& message) {
  CuteMessageDlg(message, mtError, {"OK"}, {mrOk});
}

} // namespace mirufo
