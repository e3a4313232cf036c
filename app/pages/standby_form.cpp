#include "app/pages/standby_form.h"

#include "app/main_form.h"
#include "app/pages/page_caption.h"
#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace mirufo {

TStandbyForm::TStandbyForm(TForm1& form) : TMirufoSheetForm(form) {
  setObjectName("StandbyForm");
  actMake = new QAction(QString::fromUtf8(Tr("作成(&M)")), this);
  actMake->setObjectName("actMake");
  connect(actMake, &QAction::triggered, this, [this] {
    RunCommand([this] {
      MakeAll(QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier));
      RefreshStatusText();
      RefreshNext();
    });
  });
  auto* menu = new QMenu(QString::fromUtf8(Tr("作成(&M)")), this);
  menu->addAction(actMake);
  menus_.push_back(menu);
  menus_.push_back(CreateHelpMenu());

  ShowPageCaption(*this, Caption());
  auto* make = new QPushButton(actMake->text());
  make->setObjectName("btnMake");
  connect(make, &QPushButton::clicked, actMake, &QAction::trigger);
  connect(actMake, &QAction::changed, make,
          [this, make] { make->setEnabled(actMake->isEnabled()); });
  layout()->addWidget(make);
  layout()->setAlignment(make, Qt::AlignHCenter);
  RegisterPage();
}

std::string TStandbyForm::Caption() const {
  return Tr("待受画像の作成");
}

void TStandbyForm::GetStatusText(std::string& text) {
  text = MakePageStatus(WorkingSet().TargetCount(), WorkingSet().CompletedCount());
}

void TStandbyForm::PageActivated() {
  TMirufoSheetForm::PageActivated();
  UpdateActions();
  if (actMake->isEnabled())
    actMake->trigger();
}

void TStandbyForm::SourceImageChanged() {
  TMirufoSheetForm::SourceImageChanged();
  WorkingSet().Maker().ResetAll();
  RefreshStatusText();
  RefreshNext();
}

void TStandbyForm::SelectionUpdated() {
  TMirufoSheetForm::SelectionUpdated();
  RefreshStatusText();
  RefreshNext();
}

void TStandbyForm::TargetMade(int index) {
  TMirufoSheetForm::TargetMade(index);
  RefreshStatusText();
}

std::vector<QMenu*> TStandbyForm::GetPageMenu() {
  return menus_;
}

bool TStandbyForm::CanGoNext() {
  return WorkingSet().CompletedCount() == WorkingSet().TargetCount();
}

void TStandbyForm::UpdateActions() {
  actMake->setEnabled(!Form().IsMaking());
}

} // namespace mirufo
