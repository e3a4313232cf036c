// The one progress window "処理中": a text, a bar and, on request, a cancel
// button (Esc too). It has no close button and stays on top of the main
// window; the caller shows it without making it modal and hides it when done.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mirufo {

class TProgressForm : public QWidget {
  Q_OBJECT

public:
  explicit TProgressForm(QWidget* mainWindow);

  // Text, bar maximum and position 0, the cancel handler (may be empty);
  // the cancel button shows only when showCancel.
  void Setup(int maximum, const std::string& text, std::function<void()> cancelHandler,
             bool showCancel);
  void Update(int position, const std::string& text);
  // Shows the window centred on the main window.
  void ShowCentred();

  QLabel* Label() const { return label_; }
  QProgressBar* Bar() const { return bar_; }
  QPushButton* CancelButton() const { return cancel_; }

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void Cancel();

  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  std::function<void()> cancelHandler_;
};

} // namespace mirufo
