#include "app/pages/save_sheet_form.h"

#include "app/cute_message_dlg.h"
#include "app/main_form.h"
#include "app/pages/save_page_host.h"
#include "app/pages/standby_box_drawer.h"
#include "engine/standby_specification.h"
#include "output/page_texts.h"
#include "output/save_file_list.h"
#include "output/tanmatsu_option_list.h"
#include "platform/folders.h"
#include "platform/translate.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <array>

namespace mirufo {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(Tr(text));
}

std::string S(const QString& text) {
  return text.toStdString();
}

constexpr int kColorRole = Qt::UserRole;
constexpr int kRenameDelay = 300; // ms after the last template edit
constexpr int kRowHeight = 16;

// The local folder of a drag from the file manager, or nothing.
std::optional<std::string> DraggedFolder(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile())
    return std::nullopt;
  return DroppedFolder(S(data->urls().first().toLocalFile()));
}

enum TSaveFileColumn : int { fcName, fcHandsets, fcPixelSize, fcFileSize, fcColumnCount };
constexpr std::array<const char*, fcColumnCount> kColumnCaptions{
    N_("ファイル名"), N_("端末"), N_("画像サイズ"), N_("ファイルサイズ")};
// The tooltip's picture fits this square; smaller images show pixel for pixel.
constexpr int kThumbnailSize = 160;

// The rows of the file list: one per save entry; the name in the colour
// that tells a clash or an empty name, the other columns as plain text.
class TSaveFileListDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem background(option);
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style)
      style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    QColor color = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (index.column() == fcName && index.data(kColorRole).toInt() == scClash)
      color = Qt::red;
    else if (index.column() == fcName && index.data(kColorRole).toInt() == scGrayText && !selected)
      color = option.palette.color(QPalette::Disabled, QPalette::Text);
    const QRect room = option.rect.adjusted(4, 0, -4, 0);
    const Qt::Alignment alignment = index.column() >= fcPixelSize ? Qt::AlignRight : Qt::AlignLeft;
    painter->save();
    painter->setPen(color);
    painter->drawText(room, alignment | Qt::AlignVCenter,
                      option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                    Qt::ElideRight, room.width()));
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    // 16 pixels, or the font's height where the desktop's font is larger.
    const int width = option.fontMetrics.horizontalAdvance(index.data().toString()) + 8;
    return {width, std::max(kRowHeight, option.fontMetrics.height() + 2)};
  }
};

// The finished image scaled into the tooltip's square, as an HTML image.
QString ThumbnailHtml(const TStandbySpecification& target) {
  const TBitmap* bitmap = target.FinalBitmap();
  if (!bitmap)
    return {};
  QImage image = StandbyBitmapImage(*bitmap);
  if (image.width() > kThumbnailSize || image.height() > kThumbnailSize)
    image =
        image.scaled(kThumbnailSize, kThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return QStringLiteral("<img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\">")
      .arg(QString::fromLatin1(png.toBase64()))
      .arg(image.width())
      .arg(image.height());
}

} // namespace

// The save entries' names, read from the working set as they are drawn,
// and their handsets and sizes, found once per plan.
class TSaveFileListModel : public QAbstractTableModel {
public:
  explicit TSaveFileListModel(TTanmatsuOptionList& set, QObject* parent)
      : QAbstractTableModel(parent), set_(set) {}

  // The plan was rebuilt: the rows are counted afresh.
  void Reset() {
    beginResetModel();
    rows_ = set_.SaveCount();
    details_ = SaveEntryDetails(set_);
    endResetModel();
  }
  // The names changed; the rows stay.
  void Renamed() {
    if (rows_ > 0)
      emit dataChanged(index(0, fcName), index(rows_ - 1, fcName));
  }

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : fcColumnCount;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section < 0 || section >= fcColumnCount)
      return {};
    if (role == Qt::DisplayRole)
      return Q(kColumnCaptions[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue((section >= fcPixelSize ? Qt::AlignRight : Qt::AlignLeft) |
                                 Qt::AlignVCenter);
    return {};
  }

  QVariant data(const QModelIndex& index, int role) const override {
    // The plan may have shrunk behind the page's back (a handset deleted on
    // another page); such rows read empty until the next Refresh.
    if (!index.isValid() || index.row() >= set_.SaveCount())
      return {};
    const auto row = static_cast<std::size_t>(index.row());
    const TSaveEntryDetails* details = row < details_.size() ? &details_[row] : nullptr;
    if (role == Qt::DisplayRole) {
      switch (index.column()) {
      case fcName:
        return QString::fromStdString(SaveFileRow(set_, index.row()).Text);
      case fcHandsets:
        return details ? QString::fromStdString(details->Handsets) : QString();
      case fcPixelSize:
        return details ? QString::fromStdString(details->PixelSize) : QString();
      case fcFileSize:
        return details ? QString::fromStdString(details->FileSize) : QString();
      default:
        return {};
      }
    }
    if (role == kColorRole && index.column() == fcName)
      return int(SaveFileRow(set_, index.row()).Color);
    if (role == Qt::ToolTipRole) {
      const TStandbySpecification* target = set_.GetSaveStandby(index.row());
      if (!target || !details)
        return {};
      return ThumbnailHtml(*target) + "<br>" +
             QString::fromStdString(details->Handsets).toHtmlEscaped() + "<br>" +
             QString::fromStdString(details->PixelSize + "  " + details->FileSize);
    }
    return {};
  }

private:
  TTanmatsuOptionList& set_;
  int rows_ = 0;
  std::vector<TSaveEntryDetails> details_;
};

TSaveSheetForm::TSaveSheetForm(TForm1& form) : TMirufoSheetForm(form) {
  setObjectName("SaveSheetForm");
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setSingleShot(true);
  Timer1->setInterval(kRenameDelay);
  connect(Timer1, &QTimer::timeout, this, [this] {
    // A page left within the delay renames when it is shown again.
    if (Form().SheetManager().CurrentPage() == this)
      RunCommand([this] { Rename(); });
  });

  actSave = new QAction(Q("保存(&S)"), this);
  actSave->setObjectName("actSave");
  connect(actSave, &QAction::triggered, this, [this] { RunCommand([this] { Save(); }); });
  actBrowse = new QAction(Q("..."), this);
  actBrowse->setObjectName("actBrowse");
  connect(actBrowse, &QAction::triggered, this, [this] { RunCommand([this] { BrowseFolder(); }); });
  actOpenFolder = new QAction(Q("開く(&O)"), this);
  actOpenFolder->setObjectName("actOpenFolder");
  connect(actOpenFolder, &QAction::triggered, this,
          [this] { RunCommand([this] { OpenFolder(); }); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreateFolderRow());
  auto* middle = new QHBoxLayout;
  lstFiles = new QTreeView;
  lstFiles->setObjectName("lstFiles");
  lstFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstFiles->setRootIsDecorated(false);
  lstFiles->setItemsExpandable(false);
  lstFiles->setUniformRowHeights(true);
  lstFiles->setAllColumnsShowFocus(true);
  lstFiles->setItemDelegate(new TSaveFileListDelegate(lstFiles));
  model_ = new TSaveFileListModel(WorkingSet(), this);
  lstFiles->setModel(model_);
  // Names and sizes keep their whole width; the handsets take the rest and
  // are cut with "…" (the tooltip names them all).
  QHeaderView* header = lstFiles->header();
  header->setStretchLastSection(false);
  for (int column : {fcName, fcPixelSize, fcFileSize})
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(fcHandsets, QHeaderView::Stretch);
  middle->addWidget(lstFiles, 1);
  middle->addWidget(CreateOptions());
  layout->addLayout(middle, 1);
  CreateInsertMenu();

  menus_.push_back(CreateHelpMenu());

  TSavePageSettings settings;
  const std::string pictures =
      S(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
  settings.Load(UserFiles().OpenSettings(),
                DefaultSaveFolder(ProgramFolder(),
                                  pictures.empty() ? S(QDir::homePath()) : pictures + "/mirufo"));
  ApplySettings(settings);
  RegisterPage();
}

TSaveSheetForm::~TSaveSheetForm() {
  const TSavePageSettings settings = Settings();
  UserFiles().SaveSettings([&settings](TIniFile& ini) { settings.Save(ini); });
}

QWidget* TSaveSheetForm::CreateFolderRow() {
  auto* box = new QWidget;
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  edtFolder = new QLineEdit;
  edtFolder->setObjectName("edtFolder");
  // A folder dragged from the file manager replaces the text, rather than
  // its address being typed into it.
  edtFolder->installEventFilter(this);
  auto* lblFolder = new QLabel(Q("保存先フォルダ(&F):"));
  lblFolder->setBuddy(edtFolder);
  btnBrowse = new QPushButton(actBrowse->text());
  btnBrowse->setObjectName("btnBrowse");
  btnBrowse->setToolTip(Q("保存先フォルダを選択して下さい"));
  connect(btnBrowse, &QPushButton::clicked, actBrowse, &QAction::trigger);
  btnOpen = new QPushButton(actOpenFolder->text());
  btnOpen->setObjectName("btnOpen");
  connect(btnOpen, &QPushButton::clicked, actOpenFolder, &QAction::trigger);

  edtFileName = new QLineEdit;
  edtFileName->setObjectName("edtFileName");
  connect(edtFileName, &QLineEdit::textChanged, Timer1, qOverload<>(&QTimer::start));
  auto* lblFileName = new QLabel(Q("ファイル名(&N):"));
  lblFileName->setBuddy(edtFileName);

  grid->addWidget(lblFolder, 0, 0);
  grid->addWidget(edtFolder, 0, 1);
  grid->addWidget(btnBrowse, 0, 2);
  grid->addWidget(btnOpen, 0, 3);
  grid->addWidget(lblFileName, 1, 0);
  grid->addWidget(edtFileName, 1, 1);
  grid->setColumnStretch(1, 1);
  btnBrowse->setFixedWidth(btnBrowse->fontMetrics().horizontalAdvance("......") + 8);
  return box;
}

QWidget* TSaveSheetForm::CreateOptions() {
  auto* box = new QWidget;
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  chkDisallowDuplication = new QCheckBox(Q("同じ画像は保存しない(&U)"));
  chkDisallowDuplication->setObjectName("chkDisallowDuplication");
  connect(chkDisallowDuplication, &QCheckBox::toggled, this,
          [this] { RunCommand([this] { Refresh(); }); });

  auto* html = new QGroupBox;
  auto* htmlColumn = new QVBoxLayout(html);
  chkSaveHTML = new QCheckBox(Q("HTMLファイルを保存する(&H)"));
  chkSaveHTML->setObjectName("chkSaveHTML");
  connect(chkSaveHTML, &QCheckBox::toggled, this, [this] { UpdateHtmlEnabling(); });
  edtTitle = new QLineEdit;
  edtTitle->setObjectName("edtTitle");
  lblTitle_ = new QLabel(Q("ページタイトル(&T):"));
  lblTitle_->setBuddy(edtTitle);
  chkGenerator = new QCheckBox(Q("ヘッダにGeneratorを書き込む(&G)"));
  chkGenerator->setObjectName("chkGenerator");
  htmlColumn->addWidget(chkSaveHTML);
  htmlColumn->addWidget(lblTitle_);
  htmlColumn->addWidget(edtTitle);
  htmlColumn->addWidget(chkGenerator);

  auto* copy = new QGroupBox;
  auto* copyColumn = new QVBoxLayout(copy);
  chkCopyFileNames = new QCheckBox(Q("クリップボードにファイル名をコピーする(&C)"));
  chkCopyFileNames->setObjectName("chkCopyFileNames");
  connect(chkCopyFileNames, &QCheckBox::clicked, this, [this] { UpdateHtmlEnabling(); });
  rdoSeparateReturn = new QRadioButton(Q("改行区切り(&R)"));
  rdoSeparateReturn->setObjectName("rdoSeparateReturn");
  rdoSeparateTab = new QRadioButton(Q("タブ区切り(&B)"));
  rdoSeparateTab->setObjectName("rdoSeparateTab");
  // Alt+H and Alt+B are these boxes' on this page: the main window leaves
  // the help menu and Back unmarked here.
  copyColumn->addWidget(chkCopyFileNames);
  copyColumn->addWidget(rdoSeparateReturn);
  copyColumn->addWidget(rdoSeparateTab);

  btnSave = new QPushButton(actSave->text());
  btnSave->setObjectName("btnSave");
  btnSave->setDefault(true);
  connect(btnSave, &QPushButton::clicked, actSave, &QAction::trigger);
  // Enter in a text of the page saves, as the default button would.
  for (QLineEdit* edit : {edtFolder, edtFileName, edtTitle})
    connect(edit, &QLineEdit::returnPressed, actSave, &QAction::trigger);

  column->addWidget(chkDisallowDuplication);
  column->addWidget(html);
  column->addWidget(copy);
  column->addStretch(1);
  column->addWidget(btnSave, 0, Qt::AlignRight);
  return box;
}

void TSaveSheetForm::CreateInsertMenu() {
  mnuFileName = new QMenu(this);
  mnuFileName->setObjectName("mnuFileName");
  for (const TTemplateInsert& insert : kTemplateInserts) {
    auto* action = new QAction(Q(insert.Caption), this);
    action->setObjectName(insert.Action);
    const QString variable = QString::fromUtf8(insert.Variable);
    // Replaces the selection, or types at the caret.
    connect(action, &QAction::triggered, this, [this, variable] { edtFileName->insert(variable); });
    mnuFileName->addAction(action);
    InsertActions.push_back(action);
  }
  edtFileName->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(edtFileName, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { mnuFileName->popup(edtFileName->mapToGlobal(at)); });
}

void TSaveSheetForm::ApplySettings(const TSavePageSettings& settings) {
  edtFolder->setText(QString::fromStdString(settings.Folder));
  edtFileName->setText(QString::fromStdString(settings.FileName));
  Timer1->stop();
  {
    // The plan is built when the page is shown, not while it is set up.
    const QSignalBlocker blocker(chkDisallowDuplication);
    chkDisallowDuplication->setChecked(!settings.AllowDuplicate);
  }
  chkSaveHTML->setChecked(settings.HtmlSave);
  edtTitle->setText(QString::fromStdString(settings.HtmlTitle));
  chkGenerator->setChecked(settings.HtmlWriteGenerator);
  chkCopyFileNames->setChecked(settings.CopyFileNames);
  rdoSeparateTab->setChecked(settings.SeparateTab);
  rdoSeparateReturn->setChecked(!settings.SeparateTab);
  UpdateHtmlEnabling();
}

TSavePageSettings TSaveSheetForm::Settings() const {
  TSavePageSettings settings;
  settings.Folder = S(edtFolder->text());
  settings.FileName = S(edtFileName->text());
  settings.AllowDuplicate = !chkDisallowDuplication->isChecked();
  settings.HtmlSave = chkSaveHTML->isChecked();
  settings.HtmlTitle = S(edtTitle->text());
  settings.HtmlWriteGenerator = chkGenerator->isChecked();
  settings.CopyFileNames = chkCopyFileNames->isChecked();
  settings.SeparateTab = rdoSeparateTab->isChecked();
  return settings;
}

void TSaveSheetForm::UpdateHtmlEnabling() {
  const bool on = chkSaveHTML->isChecked();
  lblTitle_->setEnabled(on);
  edtTitle->setEnabled(on);
  chkGenerator->setEnabled(on);
}

std::string TSaveSheetForm::Caption() const {
  return Tr("保存");
}

void TSaveSheetForm::GetStatusText(std::string& text) {
  text = SavePageStatus(WorkingSet().SaveCount(), WorkingSet().TotalFileSize());
}

void TSaveSheetForm::PageActivated() {
  Refresh();
  TMirufoSheetForm::PageActivated();
}

std::vector<QMenu*> TSaveSheetForm::GetPageMenu() {
  return menus_;
}

void TSaveSheetForm::Refresh() {
  WorkingSet().BuildSavePlan(!chkDisallowDuplication->isChecked());
  model_->Reset();
  RefreshStatusText();
  Rename();
}

void TSaveSheetForm::Rename() {
  Timer1->stop();
  WorkingSet().MakeFileNames(S(edtFileName->text()) + "$ex", SourceFileName());
  model_->Renamed();
}

std::string TSaveSheetForm::FolderForRun() const {
  return ExpandFolderText(S(edtFolder->text()), S(QDir::homePath()));
}

void TSaveSheetForm::Save() {
  Rename();
  const TSaveRunOptions options =
      Settings().RunOptions(SourceFileName(), ApplicationTitle(), S(QDir::homePath()));
  TSaveReport report;
  try {
    TSavePageHost host(Form());
    RunSave(WorkingSet(), options, host, report);
  } catch (const std::exception& e) {
    lastReport_ = report;
    ShowErrorMessage(SaveFailureText(e.what(), report));
    return;
  }
  lastReport_ = report;
}

void TSaveSheetForm::BrowseFolder() {
  const QString current = QString::fromStdString(FolderForRun());
  const QString start = QDir(current).exists() && !current.isEmpty() ? current : QString();
  const QString chosen = QFileDialog::getExistingDirectory(
      this, Q("保存先フォルダを選択して下さい"), start, QFileDialog::ShowDirsOnly);
  if (!chosen.isEmpty())
    edtFolder->setText(QString::fromStdString(WithTrailingDelimiter(S(chosen))));
}

void TSaveSheetForm::OpenFolder() {
  // The desktop reports a folder it cannot open; the page does not.
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(FolderForRun())));
}

bool TSaveSheetForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtFolder) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (DraggedFolder(drag->mimeData())) {
        drag->acceptProposedAction();
        return true;
      }
    } else if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      if (std::optional<std::string> folder = DraggedFolder(drop->mimeData())) {
        edtFolder->setText(QString::fromStdString(WithTrailingDelimiter(*folder)));
        drop->acceptProposedAction();
        return true;
      }
    }
  }
  return TMirufoSheetForm::eventFilter(watched, event);
}

} // namespace mirufo
