#include "app/pages/save_page_host.h"

#include "app/cute_message_dlg.h"
#include "app/dialogs/replace_files_dialog.h"
#include "app/main_form.h"
#include "app/progress_form.h"

#include <QApplication>
#include <QClipboard>

namespace mirufo {
namespace {

TMsgDlgType KindOf(TMessageKind kind) {
  switch (kind) {
  case TMessageKind::Error:
    return mtError;
  case TMessageKind::Confirmation:
    return mtConfirmation;
  case TMessageKind::Information:
    return mtInformation;
  }
  return mtError;
}

int ModalResultOf(TDialogResult result) {
  switch (result) {
  case TDialogResult::OK:
    return mrOk;
  case TDialogResult::Yes:
    return mrYes;
  case TDialogResult::Cancel:
    return mrCancel;
  }
  return mrCancel;
}

} // namespace

TSavePageHost::~TSavePageHost() {
  if (progressShown_)
    ProgressDone();
}

TDialogResult TSavePageHost::Ask(const TSaveMessage& message) {
  std::vector<std::string> captions;
  std::vector<int> results;
  for (const TSaveMessageButton& button : message.Buttons) {
    captions.push_back(button.Caption);
    results.push_back(ModalResultOf(button.Result));
  }
  switch (CuteMessageDlg(message.Text, KindOf(message.Kind), captions, results)) {
  case mrOk:
    return TDialogResult::OK;
  case mrYes:
    return TDialogResult::Yes;
  default:
    return TDialogResult::Cancel;
  }
}

std::optional<std::vector<bool>>
TSavePageHost::ChooseOverwrites(const std::vector<std::filesystem::path>& existing) {
  TReplaceFilesDialog dialog(&form_, existing);
  return dialog.Execute();
}

void TSavePageHost::Progress(int position, int maximum, const std::string& label) {
  TProgressForm* progress = form_.ProgressForm();
  if (!progress)
    return;
  if (!progressShown_) {
    progressShown_ = true;
    progress->Setup(maximum, "", {}, false);
    progress->ShowCentred();
  }
  progress->Update(position, label);
  // The run does not give the user the program back, but the windows are
  // drawn, so that the progress shows and the desktop does not take the
  // program for hung.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSavePageHost::ProgressDone() {
  if (!progressShown_)
    return;
  progressShown_ = false;
  if (TProgressForm* progress = form_.ProgressForm()) {
    const bool hadFocus = progress->isActiveWindow();
    progress->hide();
    if (hadFocus || !QApplication::activeWindow())
      form_.activateWindow();
  }
}

void TSavePageHost::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

} // namespace mirufo
