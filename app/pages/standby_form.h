// Page 3, "待受画像の作成": the make run. It makes every target when it
// becomes current and on "作成(&M)" (with Shift held, the time it took is
// shown), and allows Next once every target is made.
#pragma once

#include "app/mirufo_sheet_form.h"

class QAction;

namespace mirufo {

class TStandbyForm : public TMirufoSheetForm {
  Q_OBJECT

public:
  explicit TStandbyForm(TForm1& form);

  std::string Caption() const override;
  void GetStatusText(std::string& text) override;
  void PageActivated() override;
  void SourceImageChanged() override;
  void SelectionUpdated() override;
  void TargetMade(int index) override;
  std::vector<QMenu*> GetPageMenu() override;
  bool CanGoNext() override;
  void UpdateActions() override;

  QAction* actMake;

private:
  std::vector<QMenu*> menus_;
};

} // namespace mirufo
