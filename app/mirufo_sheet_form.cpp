#include "app/mirufo_sheet_form.h"

#include "app/main_form.h"
#include "platform/translate.h"

#include <QMenu>

namespace mirufo {

// Carries the session's change notices to the page's hooks.
class TMirufoSheetForm::THooks : public TSessionHooks {
public:
  explicit THooks(TMirufoSheetForm& page) : page_(page) {}
  void SelectionChanged(std::size_t index, bool selected) override {
    page_.SelectionChanged(index, selected);
  }
  void SelectionUpdated() override { page_.SelectionUpdated(); }
  void SourceImageChanged() override { page_.SourceImageChanged(); }
  void TargetMade(int index) override { page_.TargetMade(index); }

private:
  TMirufoSheetForm& page_;
};

TMirufoSheetForm::TMirufoSheetForm(TForm1& form)
    : QWidget(nullptr), form_(form), hooks_(std::make_unique<THooks>(*this)) {}

TMirufoSheetForm::~TMirufoSheetForm() {
  if (registered_) {
    form_.Session().RemoveHooks(hooks_.get());
    form_.SheetManager().RemovePage(this);
  }
}

void TMirufoSheetForm::DecorationsChanged() {
  form_.RedecorateAll();
}

void TMirufoSheetForm::GetStatusText(std::string& text) {
  text.clear();
}

void TMirufoSheetForm::MouseWheel(QObject*, Qt::KeyboardModifiers, bool&, QPoint, int) {}

void TMirufoSheetForm::PageActivated() {
  RefreshStatusText();
}

void TMirufoSheetForm::SourceImageChanged() {}
void TMirufoSheetForm::SelectionChanged(std::size_t, bool) {}
void TMirufoSheetForm::SelectionUpdated() {}
void TMirufoSheetForm::TargetMade(int) {}

std::vector<QMenu*> TMirufoSheetForm::GetPageMenu() {
  return {};
}

bool TMirufoSheetForm::CanGoNext() {
  return true;
}

void TMirufoSheetForm::RegisterPage() {
  if (registered_)
    return;
  registered_ = true;
  form_.Session().AddHooks(hooks_.get());
  form_.SheetManager().AddPage(this);
}

TTanmatsuOptionList& TMirufoSheetForm::WorkingSet() {
  return form_.Session().WorkingSet();
}

std::string TMirufoSheetForm::ApplicationTitle() const {
  return Tr(kApplicationTitle);
}

std::filesystem::path TMirufoSheetForm::SettingsFileName() const {
  return form_.UserFiles().Paths().Settings;
}

TUserFiles& TMirufoSheetForm::UserFiles() {
  return form_.UserFiles();
}

TCalendarDecorator& TMirufoSheetForm::CalendarDecorator() {
  return form_.Session().CalendarDecorator();
}

const TBitmap& TMirufoSheetForm::SourceBitmap() const {
  return form_.Session().SourceBitmap();
}

bool TMirufoSheetForm::IsSourceEmpty() const {
  return form_.Session().IsSourceEmpty();
}

void TMirufoSheetForm::SetSourceImage(const TBitmap& bitmap) {
  form_.SetSourceImage(bitmap);
}

std::string TMirufoSheetForm::SourceFileName() const {
  return form_.Session().SourceFileName();
}

void TMirufoSheetForm::SetSourceFileName(const std::string& path) {
  form_.Session().SetSourceFileName(path);
}

TLookAtPoint TMirufoSheetForm::LookAtPoint() const {
  return form_.Session().LookAtPoint();
}

void TMirufoSheetForm::SetLookAtPoint(TLookAtPoint point) {
  form_.SetLookAtPoint(point);
}

void TMirufoSheetForm::SelectHandset(std::size_t index, bool on) {
  form_.SelectHandset(index, on);
}

void TMirufoSheetForm::SelectHandsets(const std::vector<std::size_t>& indices, bool on) {
  form_.SelectHandsets(indices, on);
}

void TMirufoSheetForm::ApplySelection(const std::vector<bool>& ticks) {
  form_.ApplySelection(ticks);
}

void TMirufoSheetForm::MakeAll(bool showTime) {
  form_.MakeAll(showTime);
}

std::string TMirufoSheetForm::CommentText() const {
  return form_.Session().CommentText();
}

void TMirufoSheetForm::SetComment(const std::string& text) {
  form_.Session().SetComment(text);
}

bool TMirufoSheetForm::KDDICopyright() const {
  return form_.Session().KDDICopyright();
}

void TMirufoSheetForm::SetKDDICopyright(bool flag) {
  form_.Session().SetKDDICopyright(flag);
}

void TMirufoSheetForm::RefreshStatusText() {
  // A page behind the current one hears of changes too; the bar shows the
  // current page's text only.
  if (form_.SheetManager().CurrentPage() != this)
    return;
  std::string text;
  GetStatusText(text);
  form_.SetStatusText(text);
}

void TMirufoSheetForm::RefreshNext() {
  form_.RefreshNext(*this);
}

void TMirufoSheetForm::ShowHelp() {
  form_.actHelp->trigger();
}

void TMirufoSheetForm::ShowHomePage() {
  form_.actHomepage->trigger();
}

void TMirufoSheetForm::ShowAbout() {
  form_.actAbout->trigger();
}

QMenu* TMirufoSheetForm::CreateHelpMenu() {
  auto* menu = new QMenu(QString::fromUtf8(Tr("ヘルプ(&H)")), this);
  menu->addAction(QString::fromUtf8(Tr("ヘルプ(&H)")), this, [this] { ShowHelp(); });
  menu->addAction(QString::fromUtf8(Tr("ホームページへ(&P)")), this, [this] { ShowHomePage(); });
  menu->addSeparator();
  menu->addAction(QString::fromUtf8(Tr("ミルフォについて(&A)...")), this, [this] { ShowAbout(); });
  return menu;
}

} // namespace mirufo
