#include "app/mirufo_application.h"

#include "app/cute_message_dlg.h"
#include "app/screen_fit.h"
#include "output/standby_session.h"
#include "platform/translate.h"

#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

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
  LoadQtTranslations();
}

void TMirufoApplication::LoadQtTranslations() {
  // Qt's own texts (standard buttons, file and colour dialogs, the text
  // fields' menus) speak the program's language, Japanese included, even
  // when the system's locale says otherwise. Without Qt's translation files
  // they stay in English.
  const std::string language = ShownLanguage();
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(this);
  const QString name = QString::fromStdString(language);
  if (translator->load("qtbase_" + name, folder) ||
      translator->load("qtbase_" + name.section('_', 0, 0), folder))
    installTranslator(translator);
  else
    delete translator;
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
