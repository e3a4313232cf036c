#include "app/dialogs/replace_files_dialog.h"

#include "app/screen_fit.h"
#include "output/save_run.h"
#include "platform/translate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace mirufo {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(Tr(std::string(text)));
}

} // namespace

TReplaceFilesDialog::TReplaceFilesDialog(QWidget* mainWindow,
                                         std::vector<std::filesystem::path> paths)
    : QDialog(mainWindow), paths_(std::move(paths)), lstFiles_(new QListWidget),
      btnOverwrite_(new QPushButton(Q(kReplaceFilesOverwrite))),
      btnCancel_(new QPushButton(Q(kReplaceFilesCancel))) {
  setObjectName("ReplaceFilesDialog");
  setWindowTitle(Q(kReplaceFilesCaption));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setModal(true);
  auto* text = new QLabel(Q(kReplaceFilesText));
  text->setWordWrap(true);
  lstFiles_->setObjectName("lstFiles");
  lstFiles_->setTextElideMode(Qt::ElideNone);
  lstFiles_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (const auto& path : paths_) {
    auto* item = new QListWidgetItem(QString::fromStdString(path.string()), lstFiles_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Checked);
    item->setToolTip(QString::fromStdString(path.string()));
  }
  btnOverwrite_->setObjectName("btnOverwrite");
  btnCancel_->setObjectName("btnCancel");
  btnOverwrite_->setDefault(true);
  btnCancel_->setAutoDefault(false);
  connect(btnOverwrite_, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnOverwrite_);
  buttons->addWidget(btnCancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(lstFiles_, 1);
  layout->addLayout(buttons);
  resize(480, 300);
  if (mainWindow) {
    const QPoint centre = WindowCentre(mainWindow);
    move(centre - QPoint(width() / 2, height() / 2));
  }
}

std::optional<std::vector<bool>> TReplaceFilesDialog::Execute() {
  if (exec() != QDialog::Accepted)
    return std::nullopt;
  return Ticks();
}

std::vector<bool> TReplaceFilesDialog::Ticks() const {
  std::vector<bool> ticks;
  for (int i = 0; i < lstFiles_->count(); ++i)
    ticks.push_back(lstFiles_->item(i)->checkState() == Qt::Checked);
  return ticks;
}

void TReplaceFilesDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ShortenRows();
}

void TReplaceFilesDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ShortenRows();
}

void TReplaceFilesDialog::ShortenRows() {
  // The text starts after the check box and the item's margins.
  const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, lstFiles_);
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstFiles_) + 1;
  const int width = lstFiles_->viewport()->width() - indicator - 4 * margin - 8;
  const QFontMetrics metrics(lstFiles_->font());
  auto textWidth = [&metrics](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text));
  };
  for (int i = 0; i < lstFiles_->count(); ++i)
    lstFiles_->item(i)->setText(QString::fromStdString(
        ShortenPath(paths_[static_cast<std::size_t>(i)].string(), width, textWidth)));
}

} // namespace mirufo
