#include "app/pages/standby_form.h"

#include "app/dialogs/calendar_dialog.h"
#include "app/dialogs/format_dialog.h"
#include "app/main_form.h"
#include "app/pages/standby_box_drawer.h"
#include "app/pages/standby_box_view.h"
#include "catalogue/tanmatsu_record.h"
#include "engine/calendar_decorator.h"
#include "engine/option_vocabulary.h"
#include "engine/output_format.h"
#include "engine/standby_specification.h"
#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "output/user_files.h"
#include "platform/encoding.h"
#include "platform/ini_file.h"
#include "platform/translate.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QRandomGenerator>
#include <QVBoxLayout>
#include <algorithm>

namespace mirufo {

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(Tr(utf8));
}

QString Q(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// "description (*.a;*.b)|*.a;*.b" as a Qt file dialog filter.
QString QtFilter(const std::string& filter) {
  const QString text = Q(filter);
  const QString description = text.section('|', 0, 0);
  const QString patterns = text.section('|', 1).replace(';', ' ');
  const qsizetype open = description.lastIndexOf('(');
  return (open >= 0 ? description.left(open) : description + ' ') + '(' + patterns + ')';
}

} // namespace

TStandbyForm::TStandbyForm(TForm1& form)
    : TMirufoSheetForm(form), boxes_(form.Session().WorkingSet()),
      drawer_(std::make_unique<TStandbyBoxDrawer>(palette())) {
  setObjectName("StandbyForm");
  boxes_.LoadSettings(UserFiles().OpenSettings());
  ChooseColor = [this](TColor initial) { return ChooseColorDialog(initial, window()); };
  AskComment = [this](const std::string& text) {
    bool ok = false;
    const QString result =
        QInputDialog::getText(this, Q("コメント"), Q("画像に埋め込むコメントを入力して下さい"),
                              QLineEdit::Normal, Q(text), &ok);
    return ok ? result.toStdString() : text;
  };
  AskSaveFileName = [this](const QString& filter, const QString& suffix) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    dialog.setSizeGripEnabled(true);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().front()
               : QString();
  };

  view_ = new TStandbyBoxView(this);
  view_->setObjectName("lstStandby");
  view_->OnDrawBox = [this](int box) { return DrawBox(box); };
  connect(view_, &TStandbyBoxView::selectionChanged, this, [this] {
    boxes_.SetSelection(view_->Selection());
    UpdateActions();
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);

  CreateActions();
  CreateMenus();
  view_->PopupMenu = popup_;
  RebuildBoxes();
  RegisterPage();
}

TStandbyForm::~TStandbyForm() {
  // A failure is among the user files' messages, which the main window shows.
  (void)UserFiles().SaveSettings([this](TIniFile& ini) { boxes_.SaveSettings(ini); });
}

std::string TStandbyForm::Caption() const {
  return Tr("待受画像の作成");
}

QAction* TStandbyForm::NewAction(const char* name, const char* caption, const char* hint,
                                 std::function<void()> execute, bool checkable) {
  auto* action = new QAction(Q(caption), this);
  action->setObjectName(name);
  action->setCheckable(checkable);
  if (hint) {
    action->setStatusTip(Q(hint));
    action->setToolTip(Q(hint));
  }
  connect(action, &QAction::triggered, this, [this, execute = std::move(execute)] {
    RunCommand(execute);
    UpdateActions();
  });
  addAction(action);
  return action;
}

void TStandbyForm::CreateActions() {
  actMake = NewAction("actMake", "作成(&M)", nullptr, [this] {
    MakeAll(QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier));
    RefreshNext();
    RefreshStatusText();
  });
  actSelectAll = NewAction("actSelectAll", "すべて選択(&A)", nullptr, [this] {
    boxes_.SelectAll();
    view_->SetSelection(boxes_.Selection());
  });
  actSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  actStandbyCopy = NewAction("actStandbyCopy", "コピー(&C)", nullptr, [this] {
    if (TStandbySpecification* t = boxes_.SingleMadeTarget())
      t->CopyToClipboard([](const TBitmap& bitmap) {
        QGuiApplication::clipboard()->setImage(StandbyBitmapImage(bitmap));
      });
  });
  actStandbyCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  actStandbySaveAs = NewAction("actStandbySaveAs", "名前を付けて保存(&S)...", nullptr,
                               [this] { ExecuteSaveAs(); });

  // The commands of a vocabulary's value, named, captioned and hinted by its
  // row.
  auto choice = [this](auto table, auto value, std::function<void()> execute) {
    const auto* row = FindEntry(table, value);
    return NewAction(row->Action, row->Caption, row->Hint, std::move(execute), true);
  };
  auto resize = [this](TResizeMode mode) {
    return [this, mode] { Redraw(boxes_.SetResizeMode(mode)); };
  };
  actAlignAuto = choice(ResizeModes(), rzAuto, resize(rzAuto));
  actAlignWidth = choice(ResizeModes(), rzFitWidth, resize(rzFitWidth));
  actAlignHeight = choice(ResizeModes(), rzFitHeight, resize(rzFitHeight));
  actResampleFast = NewAction(
      "actResampleFast", "速度優先", nullptr, [this] { Redraw(boxes_.SetFastResample(true)); },
      true);
  actResampleQuality = NewAction(
      "actResampleQuality", "品質優先", nullptr, [this] { Redraw(boxes_.SetFastResample(false)); },
      true);

  for (std::size_t i = 0; i < 4; ++i) {
    const auto horz = static_cast<THorzAlign>(i);
    const auto vert = static_cast<TVertAlign>(i);
    actAlignment[i] =
        choice(HorzAligns(), horz, [this, horz] { Redraw(boxes_.SetHorzAlign(horz)); });
    actLayout[i] = choice(VertAligns(), vert, [this, vert] { Redraw(boxes_.SetVertAlign(vert)); });
  }

  actBackground[0] = choice(BackgroundModes(), bgColor, [this] { ExecuteBackgroundColor(); });
  for (std::size_t i = 1; i < actBackground.size(); ++i) {
    const auto mode = static_cast<TBackgroundMode>(i);
    actBackground[i] =
        choice(BackgroundModes(), mode, [this, mode] { Redraw(boxes_.SetBackground(mode)); });
  }

  for (std::size_t i = 0; i < actSharp.size(); ++i) {
    const auto sharpness = static_cast<TSharpness>(i);
    actSharp[i] = choice(Sharpnesses(), sharpness,
                         [this, sharpness] { Redraw(boxes_.SetSharpness(sharpness)); });
  }
  static constexpr std::array<const char*, 3> kCountNames = {"actSharpX1", "actSharpX2",
                                                             "actSharpX3"};
  static constexpr std::array<const char*, 3> kCountCaptions = {N_("1回"), N_("2回"), N_("3回")};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto count = static_cast<std::uint8_t>(i + 1);
    actSharpCount[i] = NewAction(
        kCountNames[i], kCountCaptions[i], nullptr,
        [this, count] { Redraw(boxes_.SetSharpenCount(count)); }, true);
  }

  actFormat =
      NewAction("actFormat", "フォーマットオプション(&F)...",
                N_("待受画像のフォーマットオプションを変更します"), [this] { ExecuteFormat(); });
  actComment = NewAction(
      "actComment", "コメント(&N)...", nullptr, [this] { ExecuteComment(); }, true);
  actKDDICopyright = NewAction(
      "actKDDICopyright", "著作権保護フラグ(&K)", nullptr,
      [this] {
        SetKDDICopyright(!KDDICopyright());
        RedrawAll();
      },
      true);
  actDrawCalendar = NewAction(
      "actDrawCalendar", "描画する(&D)", nullptr,
      [this] {
        CalendarDecorator().Enabled = !CalendarDecorator().Enabled;
        DecorationsChanged();
      },
      true);
  actCalendarProperty = NewAction("actCalendarProperty", "書式設定(&S)...", nullptr,
                                  [this] { ExecuteCalendarProperty(); });
  actDownloadSpeed = NewAction("actDownloadSpeed", "ダウンロード速度", nullptr, [this] {
    boxes_.FileSizeInfo = fiDownloadTime;
    RedrawAll();
  });
  static constexpr std::array<const char*, kPacketChargeCount> kPacketNames = {
      "actPacket_imode",        "actPacket_FOMA",  "actPacket_FOMA20",  "actPacket_FOMA40",
      "actPacket_FOMA80",       "actPacket_au",    "actPacket_auOtoku", "actPacket_auOtoku100",
      "actPacket_auPacketWari", "actPacket_JPHONE"};
  for (std::size_t i = 0; i < kPacketChargeCount; ++i) {
    const int row = static_cast<int>(i);
    actPacket[i] = NewAction(kPacketNames[i], kPacketCharges[i].Caption, nullptr, [this, row] {
      boxes_.FileSizeInfo = fiPacketCharge;
      boxes_.PacketChargeIndex = row;
      RedrawAll();
    });
  }
}

void TStandbyForm::CreateMenus() {
  // The menus show the commands' hints as tool tips.
  auto menu = [this](const char* title) {
    auto* m = new QMenu(Q(title), this);
    m->setToolTipsVisible(true);
    return m;
  };
  QMenu* file = menu("ファイル(&F)");
  file->addAction(actStandbySaveAs);
  QMenu* edit = menu("編集(&E)");
  edit->addAction(actStandbyCopy);
  edit->addSeparator();
  edit->addAction(actSelectAll);

  QMenu* resize = menu("サイズ変更");
  resize->addActions({actAlignAuto, actAlignWidth, actAlignHeight});
  resize->addSeparator();
  resize->addActions({actResampleFast, actResampleQuality});
  QMenu* align = menu("位置合わせ");
  for (QAction* a : actAlignment)
    align->addAction(a);
  align->addSeparator();
  for (QAction* a : actLayout)
    align->addAction(a);
  QMenu* background = menu("背景色");
  for (QAction* a : actBackground)
    background->addAction(a);

  QMenu* make = menu("作成(&M)");
  make->addMenu(resize);
  make->addMenu(align);
  make->addMenu(background);
  make->addActions({actFormat, actComment, actKDDICopyright});
  make->addSeparator();
  make->addAction(actMake);

  auto fillSharp = [this](QMenu* sharp) {
    sharp->addAction(actSharp[0]);
    sharp->addSeparator();
    sharp->addActions({actSharp[1], actSharp[2], actSharp[3]});
    sharp->addSeparator();
    sharp->addActions({actSharpCount[0], actSharpCount[1], actSharpCount[2]});
  };
  QMenu* sharp = menu("シャープ(&S)");
  fillSharp(sharp);
  QMenu* calendar = menu("カレンダー(&C)");
  calendar->addActions({actDrawCalendar, actCalendarProperty});
  QMenu* view = menu("表示(&V)");
  view->addAction(actDownloadSpeed);
  for (std::size_t i = 0; i < kPacketChargeCount; ++i) {
    if (i == 0 || i == 5 || i == 9)
      view->addSeparator();
    view->addAction(actPacket[i]);
  }
  menus_ = {file, edit, make, sharp, calendar, view, CreateHelpMenu()};

  popup_ = menu("");
  popup_->addAction(actSelectAll);
  popup_->addSeparator();
  popup_->addMenu(resize);
  QMenu* popupSharp = menu("シャープ");
  fillSharp(popupSharp);
  popup_->addMenu(popupSharp);
  popup_->addMenu(align);
  popup_->addMenu(background);
  popup_->addActions({actFormat, actComment, actKDDICopyright});
  popup_->addSeparator();
  popup_->addActions({actStandbyCopy, actStandbySaveAs});
}

void TStandbyForm::UpdateActions() {
  const bool making = Form().IsMaking();
  actMake->setEnabled(!making && !IsSourceEmpty() &&
                      boxes_.MadeCount() < WorkingSet().TargetCount());
  const bool single = boxes_.SingleMadeTarget() != nullptr;
  actStandbyCopy->setEnabled(single);
  actStandbySaveAs->setEnabled(single);
  const bool any = !boxes_.Selection().empty();
  actResampleFast->setEnabled(any);
  actResampleQuality->setEnabled(any);

  const TStandbyChecks c = boxes_.Checks();
  actAlignAuto->setChecked(c.ResizeMode[rzAuto]);
  actAlignWidth->setChecked(c.ResizeMode[rzFitWidth]);
  actAlignHeight->setChecked(c.ResizeMode[rzFitHeight]);
  actResampleFast->setChecked(c.Fast);
  actResampleQuality->setChecked(c.Quality);
  for (std::size_t i = 0; i < 4; ++i) {
    actAlignment[i]->setChecked(c.HorzAlign[i]);
    actLayout[i]->setChecked(c.VertAlign[i]);
    actSharp[i]->setChecked(c.Sharpness[i]);
  }
  for (std::size_t i = 0; i < 5; ++i)
    actBackground[i]->setChecked(c.Background[i]);
  for (std::size_t i = 0; i < 3; ++i)
    actSharpCount[i]->setChecked(c.SharpenCount[i + 1]);
  actComment->setChecked(!CommentText().empty());
  actKDDICopyright->setChecked(KDDICopyright());
  actDrawCalendar->setChecked(CalendarDecorator().Enabled);
}

void TStandbyForm::RebuildBoxes() {
  boxes_.Rebuild();
  const TBoxSize screen = boxes_.LargestScreen();
  const TBoxSize box =
      StandbyBoxSize(std::min(screen.Width, kMaxPreviewSide),
                     std::min(screen.Height, kMaxPreviewSide), drawer_->LineHeight());
  view_->SetBoxes(boxes_.Count(), QSize(box.Width, box.Height));
  view_->SetSelection(boxes_.Selection());
}

QImage TStandbyForm::DrawBox(int box) {
  const TStandbySpecification* target = boxes_.TargetOf(box);
  if (!target)
    return {};
  return drawer_->Draw(*target, boxes_.Texts(box), view_->BoxSize());
}

void TStandbyForm::RedrawBox(int box) {
  view_->InvalidateBox(box);
}

void TStandbyForm::RedrawAll() {
  view_->InvalidateAll();
}

void TStandbyForm::Redraw(const std::vector<int>& boxes) {
  for (int box : boxes)
    view_->InvalidateBox(box);
  RefreshStatusText();
  RefreshNext();
}

void TStandbyForm::DecorationsChanged() {
  TMirufoSheetForm::DecorationsChanged();
  RedrawAll();
}

void TStandbyForm::GetStatusText(std::string& text) {
  text = MakePageStatus(boxes_.Count(), boxes_.MadeCount());
}

void TStandbyForm::PageActivated() {
  TMirufoSheetForm::PageActivated();
  UpdateActions();
  if (actMake->isEnabled())
    actMake->trigger();
}

void TStandbyForm::SourceImageChanged() {
  TMirufoSheetForm::SourceImageChanged();
  RedrawAll();
  RefreshStatusText();
  RefreshNext();
}

void TStandbyForm::SelectionUpdated() {
  TMirufoSheetForm::SelectionUpdated();
  RebuildBoxes();
  RefreshStatusText();
  RefreshNext();
}

void TStandbyForm::TargetMade(int index) {
  TMirufoSheetForm::TargetMade(index);
  RedrawBox(boxes_.BoxOf(static_cast<std::size_t>(index)));
  RefreshStatusText();
}

std::vector<QMenu*> TStandbyForm::GetPageMenu() {
  return menus_;
}

bool TStandbyForm::CanGoNext() {
  return WorkingSet().CompletedCount() == WorkingSet().TargetCount();
}

void TStandbyForm::ExecuteFormat() {
  const std::vector<TStandbySpecification*> targets = boxes_.SelectedTargets();
  if (targets.empty())
    return;
  boxes_.RememberFormats();
  std::optional<QPoint> position;
  if (boxes_.Selection().size() == 1) {
    const QRect box = view_->BoxRect(boxes_.Selection().front());
    position = view_->viewport()->mapToGlobal(QPoint(box.right() + 1 + 8, box.top()));
  }
  const bool ok = ShowFormatDialog(
      targets.front()->FormatOptions(), position,
      [this](const TFormatDialog& dialog) {
        Redraw(boxes_.ApplyFormat(
            [&dialog](const TFormatOptions& current) { return dialog.ReadOptions(current); }));
      },
      &Form(), OnFormatDialog);
  if (!ok)
    Redraw(boxes_.RestoreFormats());
  else // targets added later start with the fit search chosen here
    Form().Session().SetBestFit(targets.front()->FormatOptions().BestFit);
}

void TStandbyForm::ExecuteComment() {
  const std::string text = AskComment(CommentText());
  SetComment(CutToCp932Bytes(text, kCommentBytes));
  RedrawAll();
}

void TStandbyForm::ExecuteSaveAs() {
  TStandbySpecification* target = boxes_.SingleMadeTarget();
  if (!target)
    return;
  const TImageFormat format = target->FormatOptions().Format;
  const bool alternate = QRandomGenerator::global()->bounded(2) == 1;
  const QString file =
      AskSaveFileName(QtFilter(SaveFilter(format, alternate)), Q(FormatExt(format)));
  if (!file.isEmpty())
    target->SaveToFile(std::filesystem::path(file.toStdString()));
}

void TStandbyForm::ExecuteCalendarProperty() {
  if (!ShowCalendarDialog(this, CalendarDecorator(), OnCalendarDialog))
    return;
  CalendarDecorator().Enabled = true;
  DecorationsChanged();
}

void TStandbyForm::ExecuteBackgroundColor() {
  const std::vector<TStandbySpecification*> targets = boxes_.SelectedTargets();
  if (targets.empty())
    return;
  if (std::optional<TColor> color = ChooseColor(targets.front()->Layout().BackgroundColor))
    Redraw(boxes_.SetBackground(bgColor, *color));
}

} // namespace mirufo
