#include "app/pages/tanmatsu_list_form.h"

#include "app/pages/page_caption.h"
#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

namespace mirufo {

TTanmatsuListForm::TTanmatsuListForm(TForm1& form) : TMirufoSheetForm(form) {
  setObjectName("TanmatsuListForm");
  ShowPageCaption(*this, Caption());
  menus_.push_back(CreateHelpMenu());
  RegisterPage();
}

std::string TTanmatsuListForm::Caption() const {
  return Tr("端末の選択");
}

void TTanmatsuListForm::GetStatusText(std::string& text) {
  text = HandsetPageStatus(WorkingSet().TargetCount(), WorkingSet().HandsetCount());
}

void TTanmatsuListForm::SelectionUpdated() {
  TMirufoSheetForm::SelectionUpdated();
  RefreshStatusText();
  RefreshNext();
}

std::vector<QMenu*> TTanmatsuListForm::GetPageMenu() {
  return menus_;
}

bool TTanmatsuListForm::CanGoNext() {
  return WorkingSet().TargetCount() > 0;
}

} // namespace mirufo
