#include "app/mirufo_application.h"

#include "app/cute_message_dlg.h"
#include "app/screen_fit.h"
#include "output/standby_session.h"
#include "platform/translate.h"

#include <QFont>
#include <QIcon>

namespace mirufo {

TMirufoApplication::TMirufoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("mirufo");
  // No display name: the window system would append it to every title,
  // which already begins with the program's name.
  setWindowIcon(QIcon(":/mirufo-256.png"));
  // The texts are Japanese: prefer a Japanese face over whatever the
  // desktop's default font substitutes glyph by glyph.
  QFont font = QApplication::font();
  font.setFamilies({font.family(), "IPAPGothic", "IPAGothic", "Noto Sans CJK JP"});
  QApplication::setFont(font);
  FitWindowsOnScreen(*this);
}

bool TMirufoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowErrorMessage(e.what());
  }
  return false;
}

} // namespace mirufo
