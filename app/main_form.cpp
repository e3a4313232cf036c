#include "app/main_form.h"

#include "app/cute_message_dlg.h"
#include "app/dialogs/about_dialog.h"
#include "app/mirufo_sheet_form.h"
#include "app/mnemonics.h"
#include "app/progress_form.h"
#include "output/page_texts.h"
#include "platform/folders.h"
#include "platform/help_page.h"
#include "platform/translate.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <tuple>

#ifndef MIRUFO_HOMEPAGE_URL
#define MIRUFO_HOMEPAGE_URL ""
#endif

namespace mirufo {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(Tr(text));
}

// A page menu's own title, kept while the menu bar shows it unmarked.
constexpr const char* kCaptionProperty = "mirufoCaption";

} // namespace

void RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ShowErrorMessage(e.what());
  }
}

TForm1::TForm1(TUserFilePaths paths)
    : userFiles_(std::move(paths)), session_(std::make_unique<TStandbySession>()),
      content_(new QWidget), sheets_(content_) {
  setObjectName("Form1");
  setWindowTitle(Q(kApplicationTitle));
  setMinimumSize(600, 450);
  CreateActions();
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(content_, 1);
  layout->addWidget(CreateBottomBar());
  setCentralWidget(central);
  menuBar()->hide();

  session_->LoadBuiltIn();
  userFiles_.LoadHandsets(session_->WorkingSet());
  LoadSettings();
  ShowNewMessages();

  qApp->installEventFilter(this);
  // The idle update: after the event loop has handled what was waiting.
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { UpdateActions(); });
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
  // Pages still here write their settings before the main window does.
  for (int i = sheets_.PageCount() - 1; i >= 0; --i)
    delete sheets_.Page(i);
  SaveSettings();
  userFiles_.SaveHandsets(session_->WorkingSet());
  ShowNewMessages();
  session_.reset();
}

void TForm1::CreateActions() {
  OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  auto make = [this](const char* name, const char* caption, const char* hint) {
    auto* action = new QAction(Q(caption), this);
    action->setObjectName(name);
    if (*hint)
      action->setStatusTip(Q(hint));
    addAction(action);
    return action;
  };
  actHelp = make("actHelp", "ヘルプ(&H)", "");
  actHomepage = make("actHomepage", "ホームページへ(&P)", "");
  actAbout = make("actAbout", "ミルフォについて(&A)...", N_("ミルフォのバージョン情報を表示ます"));
  actExit = make("actExit", "終了(&X)", N_("ミルフォを終了します"));
  actBack = make("actBack", "< 戻る(&B)", "");
  actNext = make("actNext", "次へ(N) >", "");
  // The keys belong to the actions, so that they work exactly while the
  // command is available (Next's caption does not mark its letter).
  actBack->setShortcut(QKeySequence(Qt::ALT | Qt::Key_B));
  actNext->setShortcut(QKeySequence(Qt::ALT | Qt::Key_N));
  actBack->setEnabled(false);
  actNext->setEnabled(false);

  connect(actHelp, &QAction::triggered, this, [this] { RunCommand([this] { OpenHelp(); }); });
  connect(actHomepage, &QAction::triggered, this,
          [this] { RunCommand([this] { OpenHomePage(); }); });
  connect(actAbout, &QAction::triggered, this, [this] {
    RunCommand([this] {
      TAboutDialog about(this);
      about.exec();
    });
  });
  connect(actExit, &QAction::triggered, this, [this] { close(); });
  connect(actBack, &QAction::triggered, this,
          [this] { RunCommand([this] { GoToPage(sheets_.Current() - 1); }); });
  connect(actNext, &QAction::triggered, this,
          [this] { RunCommand([this] { GoToPage(sheets_.Current() + 1); }); });
}

QWidget* TForm1::CreateBottomBar() {
  auto* bar = new QWidget;
  bar->setObjectName("pnlBottom");
  status_ = new QLabel;
  status_->setObjectName("lblStatus");
  // A long status text is cut rather than widening the window.
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  btnBack_ = new QPushButton(actBack->text());
  btnBack_->setObjectName("btnBack");
  btnNext_ = new QPushButton(actNext->text());
  btnNext_->setObjectName("btnNext");
  for (auto [button, action] : {std::pair{btnBack_, actBack}, std::pair{btnNext_, actNext}}) {
    // The caption keeps its marked letter; the action owns the key.
    button->setShortcut(QKeySequence());
    button->setEnabled(action->isEnabled());
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, button,
            [button, action] { button->setEnabled(action->isEnabled()); });
  }
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->addWidget(status_, 1);
  layout->addWidget(btnBack_);
  layout->addWidget(btnNext_);

  bar->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* popup = new QMenu(bar);
  popup->addAction(actHelp);
  popup->addAction(actHomepage);
  popup->addAction(actAbout);
  popup->addSeparator();
  popup->addAction(actExit);
  connect(bar, &QWidget::customContextMenuRequested, popup,
          [bar, popup](const QPoint& at) { popup->popup(bar->mapToGlobal(at)); });
  return bar;
}

void TForm1::LoadSettings() {
  const TIniFile ini = userFiles_.OpenSettings();
  placement_ = TWindowPlacement{};
  ReadWindowPlacement(ini, "General", "FormPosition", placement_);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    KeepOnScreen(placement_, screen->geometry().width(), screen->geometry().height());
  move(placement_.Left, placement_.Top);
  resize(placement_.Width(), placement_.Height());
  session_->LoadSettings(ini);
}

TWindowPlacement TForm1::CurrentPlacement() const {
  TWindowPlacement placement = placement_;
  QRect normal = geometry();
  normal.moveTopLeft(pos());
  if (isMaximized() || isMinimized()) {
    normal = normalGeometry();
    placement.Show = isMaximized() ? kShowMaximized : kShowMinimized;
  } else {
    placement.Show = kShowNormal;
  }
  placement.Left = normal.left();
  placement.Top = normal.top();
  placement.Right = normal.left() + normal.width();
  placement.Bottom = normal.top() + normal.height();
  return placement;
}

void TForm1::SaveSettings() {
  const TWindowPlacement placement = CurrentPlacement();
  userFiles_.SaveSettings([&](TIniFile& ini) {
    WriteWindowPlacement(ini, "General", "FormPosition", placement);
    session_->SaveSettings(ini);
  });
}

void TForm1::ShowNewMessages() {
  const std::vector<std::string>& messages = userFiles_.Messages();
  for (; messagesShown_ < messages.size(); ++messagesShown_)
    ShowErrorMessage(messages[messagesShown_]);
}

void TForm1::ShowPlaced() {
  // A window that was minimised at exit comes back restored.
  if (placement_.Show == kShowMaximized)
    showMaximized();
  else
    show();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    GoToPage(0);
  }
}

// Closing during a make run ends the run after its current target, so that
// the program can end.
void TForm1::closeEvent(QCloseEvent* event) {
  if (making_)
    AbortMaking();
  QMainWindow::closeEvent(event);
}

void TForm1::GoToPage(int index) {
  if (making_)
    return;
  // The new page's title and menus come first: arriving at the make page
  // starts a run at once, and the menus of the page left behind must not
  // work during it.
  ShowPageFrame(sheets_.Page(index));
  sheets_.SetCurrent(index);
  TMirufoSheetForm* page = sheets_.CurrentPage();
  backAllowed_ = CanGoBack(sheets_.Current());
  nextAllowed_ = page && CanGoForward(sheets_.Current(), sheets_.PageCount(), page->CanGoNext());
  UpdateActions();
}

void TForm1::ShowPageFrame(TMirufoSheetForm* page) {
  menuBar()->clear();
  if (!page) {
    setWindowTitle(Q(kApplicationTitle));
    menuBar()->hide();
    return;
  }
  setWindowTitle(QString::fromStdString(FrameTitle(Tr(kApplicationTitle), page->Caption())));
  // Where a control of the page and a menu or the bottom bar mark the same
  // letter, the page's control keeps it: the menu is then reached by F10
  // or the arrows, Back and Next by Tab.
  const QSet<QChar> taken = ControlMnemonics(page);
  const std::vector<QMenu*> menus = page->GetPageMenu();
  for (QMenu* menu : menus) {
    if (!menu->property(kCaptionProperty).isValid())
      menu->setProperty(kCaptionProperty, menu->title());
    const QString caption = menu->property(kCaptionProperty).toString();
    menu->setTitle(taken.contains(MnemonicLetter(caption)) ? WithoutMnemonic(caption) : caption);
    DropRepeatedMnemonics(menu);
    menuBar()->addMenu(menu);
  }
  menuBar()->setVisible(!menus.empty());
  for (auto [button, action, key] :
       {std::tuple{btnBack_, actBack, Qt::Key_B}, std::tuple{btnNext_, actNext, Qt::Key_N}}) {
    const bool free = !taken.contains(QChar(key));
    action->setShortcut(free ? QKeySequence(Qt::ALT | key) : QKeySequence());
    button->setText(free ? action->text() : WithoutMnemonic(action->text()));
    button->setShortcut(QKeySequence()); // the action owns the key
  }
}

void TForm1::RefreshNext(TMirufoSheetForm& page) {
  if (sheets_.CurrentPage() != &page)
    return;
  nextAllowed_ = CanGoForward(sheets_.Current(), sheets_.PageCount(), page.CanGoNext());
  UpdateActions();
}

void TForm1::SetStatusText(const std::string& text) {
  statusText_ = text;
  status_->setText(QString::fromStdString(text));
}

std::string TForm1::StatusText() const {
  return statusText_;
}

// A command's hint shows in the status text while the pointer is on it;
// the page's text comes back when it leaves.
bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    status_->setText(tip.isEmpty() ? QString::fromStdString(statusText_) : tip);
    return true;
  }
  return QMainWindow::event(event);
}

void TForm1::UpdateActions() {
  actBack->setEnabled(backAllowed_ && !making_);
  actNext->setEnabled(nextAllowed_ && !making_);
  if (TMirufoSheetForm* page = sheets_.CurrentPage())
    page->UpdateActions();
}

void TForm1::SelectHandset(std::size_t index, bool on) {
  session_->SelectHandset(index, on);
}

void TForm1::SelectHandsets(const std::vector<std::size_t>& indices, bool on) {
  session_->SelectHandsets(indices, on);
}

void TForm1::ApplySelection(const std::vector<bool>& ticks) {
  session_->ApplySelection(ticks);
}

void TForm1::MakeAll(bool showTime) {
  if (making_)
    return;
  if (auto refusal = session_->CheckMakeAll()) {
    CuteMessageDlg(refusal->Message, mtWarning, {refusal->Caption}, {mrOk});
    return;
  }
  QElapsedTimer timer;
  if (showTime)
    timer.start();
  if (progress_) {
    progress_->Setup(
        100, "", [this] { AbortMaking(); }, true);
    progress_->ShowCentred();
  }
  making_ = true;
  UpdateActions();
  // Ends the run's state however it ends: the progress window goes away and
  // the commands come back.
  auto finish = [this] {
    if (progress_) {
      // The keys go back to the main window, so that Alt+N and Alt+B work.
      const bool hadFocus = progress_->isActiveWindow();
      progress_->hide();
      if (hadFocus || !QApplication::activeWindow())
        activateWindow();
    }
    making_ = false;
    UpdateActions();
  };
  try {
    session_->MakeAll(
        [this](int percent, const std::string& message) {
          if (progress_)
            progress_->Update(percent, message);
        },
        [] { QCoreApplication::processEvents(); });
  } catch (const std::exception& e) {
    finish();
    ShowErrorMessage(e.what());
    return;
  }
  finish();
  if (showTime)
    ShowPlainMessage(FillFormat(Tr("処理時間: %dmsec"), {std::to_string(timer.elapsed())}));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel) {
    auto* widget = qobject_cast<QWidget*>(watched);
    TMirufoSheetForm* page = sheets_.CurrentPage();
    auto* wheel = static_cast<QWheelEvent*>(event);
    // The window system hands the turn to the window first, then to the
    // widget under the pointer, then up its parents: the page hears it once,
    // from the widget under the pointer.
    if (widget && page && widget->window() == this) {
      const bool again =
          wheel->timestamp() == lastWheelTime_ && wheel->angleDelta() == lastWheelDelta_;
      lastWheelTime_ = wheel->timestamp();
      lastWheelDelta_ = wheel->angleDelta();
      bool handled = false;
      if (!again)
        page->MouseWheel(watched, wheel->modifiers(), handled, wheel->globalPosition().toPoint(),
                         wheel->angleDelta().y());
      if (handled)
        return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::OpenHelp() {
  // The page of the language the program speaks, beside the program (a build
  // or a portable copy), else in the installed documentation folder.
  const std::filesystem::path help = HelpFile(ProgramFolder(), HelpPageName(EnvironmentLanguage()));
  const QString path = QString::fromStdString(help.string());
  if (!OpenUrl(QUrl::fromLocalFile(path)))
    ShowHelpWindow(path);
}

void TForm1::ShowHelpWindow(const QString& path) {
  // Without a browser the desktop opens nothing: the page shows in a window
  // of the program's own.
  if (!helpWindow_) {
    helpWindow_ = new QTextBrowser(this);
    helpWindow_->setObjectName("HelpWindow");
    helpWindow_->setWindowFlag(Qt::Window);
    helpWindow_->setOpenExternalLinks(true);
    helpWindow_->resize(640, 560);
  }
  helpWindow_->setWindowTitle(Q("ヘルプ"));
  if (QFile::exists(path))
    helpWindow_->setSource(QUrl::fromLocalFile(path));
  else
    helpWindow_->setPlainText(QString::fromStdString(
        FillFormat(Tr("ヘルプファイルが見つかりません。\n%s"), {path.toStdString()})));
  helpWindow_->show();
  helpWindow_->raise();
  helpWindow_->activateWindow();
}

void TForm1::OpenHomePage() {
  OpenUrl(QUrl(QStringLiteral(MIRUFO_HOMEPAGE_URL)));
}

} // namespace mirufo
