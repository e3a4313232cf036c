// The message box of every question and refusal: a title by kind, the
// kind's standard icon, the message, and one button per caption and result
// pair in the standard order. The rules (order, default, Esc, the count
// error) live in platform/message_buttons.h; this draws them.
#pragma once

#include "platform/message_buttons.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPushButton;

namespace mirufo {

class TCuteMessageDialog : public QDialog {
  Q_OBJECT

public:
  // Raises the count error before anything is created.
  TCuteMessageDialog(QWidget* parent, const std::string& message, TMsgDlgType kind,
                     const std::vector<std::string>& captions, const std::vector<int>& results);

  const TMessageButtonPlan& Plan() const { return plan_; }
  // The button of a result, or none.
  QPushButton* ButtonOf(int result) const;
  // The answer: the chosen button's result, or the Esc answer.
  int Answer() const { return answer_; }

  void reject() override;

protected:
  // Centred over the window it belongs to.
  void showEvent(QShowEvent* event) override;

private:
  TMessageButtonPlan plan_;
  std::vector<QPushButton*> buttons_;
  int answer_;
};

// A message as the program asks it, for tests that answer without a window.
struct TMessageRequest {
  std::string Title;
  std::string Text;
  std::optional<TMsgDlgType> Kind; // none for a plain message
  TMessageButtonPlan Plan;
};
using TMessageHook = std::function<int(const TMessageRequest&)>;
// While a hook is set, every message goes to it instead of a window.
void SetMessageHook(TMessageHook hook);

// Shows the dialog modally and returns the chosen result. The message and
// captions are translated here.
int CuteMessageDlg(const std::string& message, TMsgDlgType kind,
                   const std::vector<std::string>& captions, const std::vector<int>& results);
// A plain message with the application title and one OK button.
void ShowPlainMessage(const std::string& message);
// The window a message box belongs to: the active modal dialog, else the
// active window, else the shown main window; none at all before it shows.
QWidget* MessageOwner();
// Places a window's frame centred over owner's window, or over the screen
// when there is no shown owner.
void CentreOver(QWidget* window, const QWidget* owner);
// The default error display: an error message box with the text.
void ShowErrorMessage(const std::string& message);

} // namespace mirufo
