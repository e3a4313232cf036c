// Page 1, "端末の選択": which handsets get a standby image. For now it
// shows its caption, the count of ticked handsets in the status text, and
// allows Next while at least one handset is ticked.
#pragma once

#include "app/mirufo_sheet_form.h"

namespace mirufo {

class TTanmatsuListForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  explicit TTanmatsuListForm(TForm1& form);

  std::string Caption() const override;
  void GetStatusText(std::string& text) override;
  void SelectionUpdated() override;
  std::vector<QMenu*> GetPageMenu() override;
  bool CanGoNext() override;

private:
  std::vector<QMenu*> menus_;
};

} // namespace mirufo
