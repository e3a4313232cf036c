// Page 4, "保存": saving the made images. For now it shows its caption
// and the number and size of the files to save in the status text.
#pragma once

#include "app/mirufo_sheet_form.h"

namespace mirufo {

class TSaveSheetForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  explicit TSaveSheetForm(TForm1& form);

  std::string Caption() const override;
  void GetStatusText(std::string& text) override;
  void PageActivated() override;
  std::vector<QMenu*> GetPageMenu() override;

private:
  std::vector<QMenu*> menus_;
};

} // namespace mirufo
