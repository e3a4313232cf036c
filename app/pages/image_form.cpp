#include "app/pages/image_form.h"

#include "app/pages/page_caption.h"
#include "output/page_texts.h"
#include "platform/translate.h"

namespace mirufo {

TImageForm::TImageForm(TForm1& form) : TMirufoSheetForm(form) {
  setObjectName("ImageForm");
  ShowPageCaption(*this, Caption());
  menus_.push_back(CreateHelpMenu());
  RegisterPage();
}

std::string TImageForm::Caption() const {
  return Tr("元画像の用意");
}

void TImageForm::GetStatusText(std::string& text) {
  text = SourcePageStatus(IsSourceEmpty(), SourceFileName(), 100);
}

void TImageForm::SourceImageChanged() {
  TMirufoSheetForm::SourceImageChanged();
  RefreshStatusText();
  RefreshNext();
}

std::vector<QMenu*> TImageForm::GetPageMenu() {
  return menus_;
}

bool TImageForm::CanGoNext() {
  return !IsSourceEmpty();
}

} // namespace mirufo
