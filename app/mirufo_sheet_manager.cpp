#include "app/mirufo_sheet_manager.h"

#include "app/mirufo_sheet_form.h"

#include <QGridLayout>
#include <QWidget>
#include <algorithm>

namespace mirufo {

TMirufoSheetManager::TMirufoSheetManager(QWidget* host) : host_(host) {
  auto* layout = new QGridLayout(host_);
  layout->setContentsMargins(0, 0, 0, 0);
}

int TMirufoSheetManager::AddPage(TMirufoSheetForm* page) {
  auto* panel = new QWidget(host_);
  auto* fill = new QGridLayout(panel);
  fill->setContentsMargins(0, 0, 0, 0);
  page->setParent(panel);
  fill->addWidget(page, 0, 0);
  // Every panel takes the same cell: they lie on top of each other.
  static_cast<QGridLayout*>(host_->layout())->addWidget(panel, 0, 0);
  panel->hide();
  panels_.push_back(panel);
  pages_.push_back(page);
  return PageCount() - 1;
}

TMirufoSheetForm* TMirufoSheetManager::Page(int index) const {
  if (index < 0 || index >= PageCount())
    return nullptr;
  return pages_[static_cast<std::size_t>(index)];
}

void TMirufoSheetManager::SetCurrent(int index) {
  if (index < 0 || index >= static_cast<int>(panels_.size())) {
    current_ = -1;
    for (QWidget* panel : panels_)
      panel->hide();
    return;
  }
  current_ = index;
  // Only the current panel is visible, so that Tab never walks into a page
  // behind it.
  for (std::size_t i = 0; i < panels_.size(); ++i)
    if (static_cast<int>(i) != index)
      panels_[i]->hide();
  QWidget* panel = panels_[static_cast<std::size_t>(index)];
  panel->show();
  panel->raise();
  pages_[static_cast<std::size_t>(index)]->PageActivated();
}

void TMirufoSheetManager::RemovePage(TMirufoSheetForm* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end())
    return;
  const auto at = it - pages_.begin();
  if (current_ == at)
    current_ = -1;
  else if (current_ > at)
    --current_;
  pages_.erase(it);
  panels_.erase(panels_.begin() + at);
}

} // namespace mirufo
