#include "app/pages/save_sheet_form.h"

#include "app/pages/page_caption.h"
#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

namespace mirufo {

TSaveSheetForm::TSaveSheetForm(TForm1& form) : TMirufoSheetForm(form) {
  setObjectName("SaveSheetForm");
  ShowPageCaption(*this, Caption());
  menus_.push_back(CreateHelpMenu());
  RegisterPage();
}

std::string TSaveSheetForm::Caption() const {
  return Tr("保存");
}

void TSaveSheetForm::GetStatusText(std::string& text) {
  text = SavePageStatus(WorkingSet().SaveCount(), WorkingSet().TotalFileSize());
}

void TSaveSheetForm::PageActivated() {
  WorkingSet().BuildSavePlan(false);
  TMirufoSheetForm::PageActivated();
}

std::vector<QMenu*> TSaveSheetForm::GetPageMenu() {
  return menus_;
}

} // namespace mirufo
