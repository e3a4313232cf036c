// Page 2, "元画像の用意": the source picture. For now it shows its
// caption and the picture's file name in the status text, and allows Next
// once there is a picture.
#pragma once

#include "app/mirufo_sheet_form.h"

namespace mirufo {

class TImageForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  explicit TImageForm(TForm1& form);

  std::string Caption() const override;
  void GetStatusText(std::string& text) override;
  void SourceImageChanged() override;
  std::vector<QMenu*> GetPageMenu() override;
  bool CanGoNext() override;

private:
  std::vector<QMenu*> menus_;
};

} // namespace mirufo
