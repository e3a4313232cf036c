// The main window: the content area that shows one page at a time, the
// bottom bar with the status text and the Back and Next buttons, the menu
// bar with the current page's menu, and the main window's commands. It owns
// the session (working set, calendar, comment, copyright), the user's files
// and the page manager; it reads its settings when created and writes them,
// then the user's handset list, when destroyed.
#pragma once

#include "app/mirufo_sheet_manager.h"
#include "output/standby_session.h"
#include "output/user_files.h"
#include "platform/window_placement.h"

#include <QMainWindow>
#include <QPoint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace mirufo {

class TMirufoSheetForm;
class TProgressForm;

class TForm1 : public QMainWindow {
  Q_OBJECT

public:
  // Creates the working set with the built-in catalogue and the user's
  // handsets, then reads the settings. Failures to read the user's files
  // are shown; those files are then left alone at exit.
  explicit TForm1(TUserFilePaths paths = DefaultUserFilePaths());
  // Writes the settings, then the user's handset list; shows any failure.
  ~TForm1() override;

  TStandbySession& Session() { return *session_; }
  TMirufoSheetManager& SheetManager() { return sheets_; }
  TUserFiles& UserFiles() { return userFiles_; }
  void SetProgressForm(TProgressForm* progress) { progress_ = progress; }
  // Asks the desktop to open an address; false when it could not (no
  // browser). Replaceable, so that tests open nothing.
  std::function<bool(const QUrl&)> OpenUrl;
  // The program's own help window, once help has needed it.
  QTextBrowser* HelpWindow() const { return helpWindow_; }
  TProgressForm* ProgressForm() const { return progress_; }

  // Shows the window as its settings placed it (normal or maximised). The
  // first showing goes to the first page.
  void ShowPlaced();

  // Page changes: refused while a make run is going on.
  void GoToPage(int index);
  // Next follows this page's CanGoNext when it is the current page.
  void RefreshNext(TMirufoSheetForm& page);
  void SetStatusText(const std::string& text);
  std::string StatusText() const;

  // The services the pages forward to (see TMirufoSheetForm).
  void MakeAll(bool showTime);
  void AbortMaking() { session_->AbortMaking(); }
  bool IsMaking() const { return making_; }
  void SetSourceImage(const TBitmap& bitmap) { session_->SetSourceImage(bitmap); }
  void SetLookAtPoint(TLookAtPoint point) { session_->SetLookAtPoint(point); }
  void SelectHandset(std::size_t index, bool on);
  void SelectHandsets(const std::vector<std::size_t>& indices, bool on);
  void ApplySelection(const std::vector<bool>& ticks);
  void RedecorateAll() { session_->RedecorateAll(); }

  // Sets every command's enabled and checked state, the current page's too;
  // runs whenever the event loop goes idle and after each page change.
  void UpdateActions();
  // Shows the user-file messages not shown yet (a page that reads its own
  // file at start-up calls it).
  void ShowNewMessages();

  QPushButton* BackButton() const { return btnBack_; }
  QPushButton* NextButton() const { return btnNext_; }

  QAction* actHelp;
  QAction* actHomepage;
  QAction* actAbout;
  QAction* actExit;
  QAction* actBack;
  QAction* actNext;

protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void CreateActions();
  // The title, the menu bar and the bottom bar's keys of a page (or none).
  void ShowPageFrame(TMirufoSheetForm* page);
  QWidget* CreateBottomBar();
  void LoadSettings();
  void SaveSettings();
  TWindowPlacement CurrentPlacement() const;
  void OpenHelp();
  void ShowHelpWindow(const QString& path);
  void OpenHomePage();

  TUserFiles userFiles_;
  std::unique_ptr<TStandbySession> session_;
  QWidget* content_;
  TMirufoSheetManager sheets_;
  QLabel* status_ = nullptr;
  std::string statusText_; // the current page's, under any command hint
  QPushButton* btnBack_ = nullptr;
  QPushButton* btnNext_ = nullptr;
  TProgressForm* progress_ = nullptr;
  QTextBrowser* helpWindow_ = nullptr;
  TWindowPlacement placement_;
  bool backAllowed_ = false;
  bool nextAllowed_ = false;
  bool making_ = false;
  bool shown_ = false;
  std::size_t messagesShown_ = 0;
  quint64 lastWheelTime_ = 0;
  QPoint lastWheelDelta_;
};

// Runs a command; an error it raises goes to the default error display and
// the program goes on.
void RunCommand(const std::function<void()>& command);

} // namespace mirufo
