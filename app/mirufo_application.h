// The application object: the title, and the default error display for an
// error that reaches the event loop (the program goes on).
#pragma once

#include <QApplication>

namespace mirufo {

class TMirufoApplication : public QApplication {
  Q_OBJECT

public:
  TMirufoApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

private:
  void LoadQtTranslations();
};

} // namespace mirufo
