#include "app/screen_fit.h"

#include "platform/window_placement.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>

namespace mirufo {
namespace {

// How long the window system may take to frame a new window.
constexpr int kFrameDelay = 150; // ms

TFrameMargins FrameOf(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect inner = window.geometry();
  if (frame != inner)
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
  // Not framed yet: a title bar and thin borders, as most window managers
  // draw them.
  const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 6;
  return {2, title, 2, 2};
}

class TScreenFitter : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* widget = static_cast<QWidget*>(watched);
      const Qt::WindowType type = widget->windowType();
      if (widget->isWindow() && type != Qt::ToolTip && type != Qt::Popup) {
        // A dialog not placed by its owner is centred by its own show
        // handling, which runs after this and must see it unmoved: it is
        // fitted once it is up.
        if (widget->testAttribute(Qt::WA_Moved))
          FitOnScreen(widget);
        for (int delay : {0, kFrameDelay})
          QTimer::singleShot(delay, widget, [window = QPointer<QWidget>(widget)] {
            if (window && window->isVisible())
              FitOnScreen(window);
          });
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

} // namespace

QPoint WindowCentre(const QWidget* widget) {
  const QWidget* window = widget->window();
  return window->mapToGlobal(window->rect().center());
}

void FitOnScreen(QWidget* window) {
  if (!window || window->isMaximized() || window->isFullScreen())
    return;
  QScreen* screen = window->screen();
  if (!screen)
    return;
  const QRect area = screen->availableGeometry();
  const QRect inner = window->geometry();
  const TScreenRect fitted =
      FitIntoArea({inner.x(), inner.y(), inner.width(), inner.height()}, FrameOf(*window),
                  {area.x(), area.y(), area.width(), area.height()});
  if (fitted == TScreenRect{inner.x(), inner.y(), inner.width(), inner.height()})
    return;
  // A least size larger than the screen gives way; the window's layout
  // then shares out what room there is.
  const QSize most(fitted.Width, fitted.Height);
  if (window->minimumWidth() > most.width() || window->minimumHeight() > most.height())
    window->setMinimumSize(window->minimumSize().boundedTo(most));
  window->setGeometry(fitted.Left, fitted.Top, fitted.Width, fitted.Height);
}

void FitWindowsOnScreen(QApplication& application) {
  application.installEventFilter(new TScreenFitter(&application));
}

} // namespace mirufo
