#include "app/pages/image_form.h"

#include "app/cute_message_dlg.h"
#include "app/dialogs/brightness_contrast_dialog.h"
#include "app/main_form.h"
#include "app/pages/recent_file_caption.h"
#include "app/pages/source_picture_view.h"
#include "import/multi_format_bitmap.h"
#include "output/page_texts.h"
#include "platform/arith.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>
#include <cstring>
#include <filesystem>

namespace mirufo {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(Tr(text));
}

// The loader's filter ("description|patterns|...", patterns joined by ";")
// in the form of Qt's file dialogs: "description (*.a *.A *.b)" items joined
// by ";;". Each pattern is given in lower and upper case, since file systems
// here tell letter case apart.
QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(u'|');
  QStringList items;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const qsizetype paren = name.lastIndexOf(QStringLiteral(" ("));
    if (paren > 0 && name.endsWith(u')'))
      name.truncate(paren);
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
      for (const QString& form : {pattern.toLower(), pattern.toUpper()})
        if (!patterns.contains(form))
          patterns << form;
    items << name + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return items.join(QStringLiteral(";;"));
}

// A clipboard picture as a 24-bit bitmap.
TBitmap FromImage(const QImage& image) {
  const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
  TBitmap bitmap(bgr.width(), bgr.height());
  for (int y = 0; y < bgr.height(); ++y)
    std::memcpy(bitmap.ScanLine(y), bgr.constScanLine(y),
                static_cast<std::size_t>(bgr.width()) * 3);
  return bitmap;
}

QImage ToImage(const TBitmap& bitmap) {
  TBitmap bgr = bitmap;
  if (bgr.PixelFormat() != pf24bit)
    bgr.SetPixelFormat(pf24bit);
  return QImage(bgr.ScanLine(0), bgr.Width(), bgr.Height(), static_cast<qsizetype>(bgr.Stride()),
                QImage::Format_BGR888)
      .copy();
}

} // namespace

TImageForm::TImageForm(TForm1& form)
    : TMirufoSheetForm(form), editor_(form.Session()),
      view_(new TSourcePictureView(editor_, this)) {
  setObjectName("ImageForm");
  setAcceptDrops(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  view_->OnSelectionDragged = [this] { ShowSelectionText(); };
  view_->OnDragEnded = [this] { RefreshStatusText(); };
  view_->OnLookAt = [this](TPixel pixel) { RunCommand([&] { editor_.SetLookAt(pixel); }); };
  view_->OnOpenRequested = [this] { actOpen->trigger(); };
  view_->OnPopup = [this](QPoint at) { ShowPopup(at); };

  CreateActions();
  CreateMenus();
  AskFileName = [this](const std::string& folder, const std::string& filter) {
    return QFileDialog::getOpenFileName(this, Q("開く"), QString::fromStdString(folder),
                                        QtFilter(filter))
        .toStdString();
  };
  // Asking the clipboard on every idle step is slow on some desktops; its
  // changes are announced instead.
  QClipboard* clipboard = QApplication::clipboard();
  auto readClipboard = [this, clipboard] {
    const QMimeData* data = clipboard->mimeData();
    clipboardHasImage_ = data && data->hasImage();
  };
  readClipboard();
  connect(clipboard, &QClipboard::dataChanged, this, readClipboard);

  const TIniFile& settings = UserFiles().OpenSettings();
  recent_.Load(settings, kSourceImageSection, kRecentFilesKey);
  editor_.LoadSettings(settings);
  RebuildRecentMenu();
  RegisterPage();
}

TImageForm::~TImageForm() {
  // A settings file that could not be read is left alone; the main window
  // reports that once. A failed write is kept among its messages.
  if (UserFiles().SettingsLoaded())
    static_cast<void>(UserFiles().SaveSettings([this](TIniFile& ini) {
      recent_.Save(ini, kSourceImageSection, kRecentFilesKey);
      editor_.SaveSettings(ini);
    }));
}

QAction* TImageForm::MakeAction(const char* name, const char* caption, std::function<void()> run) {
  auto* action = new QAction(Q(caption), this);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
    // The picture stays as it is while a make run reads it.
    if (Form().IsMaking())
      return;
    RunCommand(run);
    UpdateActions();
  });
  // Also the page's own, so that the keys work exactly while it shows.
  addAction(action);
  return action;
}

void TImageForm::CreateActions() {
  actOpen = MakeAction("actOpen", "開く(&O)...", [this] { Open(); });
  actOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  actUndo = MakeAction("actUndo", "元に戻す(&U)", [this] {
    editor_.Undo();
    PictureChanged();
  });
  actUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  actCopy = MakeAction("actCopy", "コピー(&C)", [this] {
    if (std::unique_ptr<TBitmap> part = editor_.SelectionPicture())
      CopyToClipboard(*part);
  });
  actCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  actCopyAll =
      MakeAction("actCopyAll", "すべてコピー(&A)", [this] { CopyToClipboard(editor_.Picture()); });
  actCopyAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  actPaste = MakeAction("actPaste", "貼り付け(&P)", [this] { Paste(); });
  actPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  actBrightnessContrast = MakeAction("actBrightnessContrast", "明るさ／コントラスト(&C)",
                                     [this] { BrightnessContrast(); });

  auto rotate = [this](TRotateKind kind) {
    return [this, kind] { Geometry([this, kind] { return editor_.Rotate(kind); }); };
  };
  actRotate90 = MakeAction("actRotate90", "90°（時計回り）(&R)", rotate(rk90Clockwise));
  actRotate270 = MakeAction("actRotate270", "90°（反時計周り）(&L)", rotate(rk90CounterClockwise));
  actRotate180 = MakeAction("actRotate180", "180°", rotate(rk180));
  actFlipHorizontal =
      MakeAction("actFlipHorizontal", "水平方向に反転(&H)", rotate(rkMirrorHorizontal));
  actFlipVertical = MakeAction("actFlipVertical", "垂直方向に反転(&V)",
                               [this] { Geometry([this] { return editor_.FlipVertical(); }); });
  actCrop = MakeAction("actCrop", "切り抜き(&P)", [this] {
    if (editor_.Crop())
      PictureChanged();
  });

  auto tone = [this](TToneKind kind) {
    return [this, kind] {
      if (editor_.ApplyTone(kind))
        PictureChanged();
    };
  };
  actSepia = MakeAction("actSepia", "セピア(&S)", tone(tkSepia));
  actGrayscale = MakeAction("actGrayscale", "グレイスケール(&G)", tone(tkGrayscale));
  actSolarize = MakeAction("actSolarize", "ソラリゼーション(&Z)", tone(tkSolarize));
  actNegative = MakeAction("actNegative", "階調の反転(&I)", tone(tkNegative));

  actZoomIn =
      MakeAction("actZoomIn", "ズームイン(&I)", [this] { SetZoom([this] { editor_.ZoomIn(); }); });
  // The plus key with or without Shift, on the main block (";+" on Japanese
  // keyboards, "=+" on others) and on the keypad.
  actZoomIn->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
       QKeySequence(Qt::CTRL | Qt::Key_Semicolon),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
       QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus))});
  actZoomOut = MakeAction("actZoomOut", "ズームアウト(&U)",
                          [this] { SetZoom([this] { editor_.ZoomOut(); }); });
  actZoomOut->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Minus),
       QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus))});
  actActualPixels = MakeAction("actActualPixels", "ピクセル等倍(&1)",
                               [this] { SetZoom([this] { editor_.ActualPixels(); }); });
  actActualPixels->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_0));
  actLookAtToCursorPos = MakeAction("actLookAtToCursorPos", "注視点をここに設定(&M)",
                                    [this] { editor_.SetLookAt(popupPixel_); });
  actAutoLookAt =
      MakeAction("actAutoLookAt", "注視点を自動で決める(&A)", [this] { editor_.AutoLookAt(); });
  actAutoLookAtOnOpen =
      MakeAction("actAutoLookAtOnOpen", "開いたときに注視点を自動で決める",
                 [this] { editor_.AutoLookAtOnOpen = !editor_.AutoLookAtOnOpen; });
  actAutoLookAtOnOpen->setCheckable(true);

  for (std::size_t i = 0; i < mnuRecentFile.size(); ++i) {
    auto* item = new QAction(this);
    item->setObjectName(QStringLiteral("mnuRecentFile%1").arg(i + 1));
    connect(item, &QAction::triggered, this, [this, i] { RunCommand([&] { OpenRecentFile(i); }); });
    mnuRecentFile[i] = item;
  }
}

void TImageForm::CreateMenus() {
  auto menu = [this](const char* caption, std::initializer_list<QAction*> actions) {
    auto* m = new QMenu(Q(caption), this);
    for (QAction* action : actions) {
      if (action)
        m->addAction(action);
      else
        m->addSeparator();
    }
    menus_.push_back(m);
    return m;
  };
  QMenu* file = menu("ファイル(&F)", {actOpen, nullptr});
  for (QAction* item : mnuRecentFile)
    file->addAction(item);
  menu("編集(&E)", {actUndo, nullptr, actCopy, actCopyAll, actPaste});
  menu("イメージ(&I)",
       {actBrightnessContrast, nullptr, actRotate90, actRotate270, actRotate180, actFlipHorizontal,
        actFlipVertical, nullptr, actCrop, nullptr, actAutoLookAt, actAutoLookAtOnOpen});
  menu("フィルタ(&T)", {actSepia, actGrayscale, actSolarize, actNegative});
  menu("表示(&V)", {actZoomIn, actZoomOut, actActualPixels});
  menus_.push_back(CreateHelpMenu());

  popup_ = new QMenu(this);
  for (QAction* action :
       {actLookAtToCursorPos, actAutoLookAt, static_cast<QAction*>(nullptr), actActualPixels,
        actZoomIn, actZoomOut, static_cast<QAction*>(nullptr), actOpen, actPaste}) {
    if (action)
      popup_->addAction(action);
    else
      popup_->addSeparator();
  }
}

void TImageForm::RebuildRecentMenu() {
  const QFontMetrics metrics(font());
  for (std::size_t i = 0; i < mnuRecentFile.size(); ++i) {
    QAction* item = mnuRecentFile[i];
    item->setVisible(i < recent_.Count());
    if (i >= recent_.Count())
      continue;
    item->setText(RecentFileCaption(i + 1, recent_.Items()[i], 200, [&](const std::string& text) {
      return metrics.horizontalAdvance(QString::fromStdString(text));
    }));
    item->setToolTip(QString::fromStdString(recent_.Items()[i]));
  }
}

std::string TImageForm::Caption() const {
  return Tr("元画像の用意");
}

void TImageForm::GetStatusText(std::string& text) {
  text = SourcePageStatus(IsSourceEmpty(), SourceFileName(),
                          static_cast<int>(Round(static_cast<long double>(editor_.Zoom()) * 100)));
}

void TImageForm::MouseWheel(QObject* sender, Qt::KeyboardModifiers shift, bool& handled,
                            QPoint position, int wheelDelta) {
  // Over a scroll bar the wheel scrolls as the bar does.
  for (auto* w = qobject_cast<QWidget*>(sender); w; w = w->parentWidget())
    if (qobject_cast<QScrollBar*>(w))
      return;
  if (wheelDelta == 0)
    return;
  handled = true;
  if (shift & Qt::ShiftModifier) {
    // Sideways, three steps a notch, as a vertical wheel scrolls.
    QScrollBar* bar = view_->horizontalScrollBar();
    bar->setValue(bar->value() - wheelDelta * 3 * bar->singleStep() / 120);
    return;
  }
  // Forward zooms in, back out, around the picture point under the pointer.
  zoomAnchor_ = view_->viewport()->mapFromGlobal(position);
  if (wheelDelta > 0 && actZoomIn->isEnabled())
    actZoomIn->trigger();
  else if (wheelDelta < 0 && actZoomOut->isEnabled())
    actZoomOut->trigger();
  zoomAnchor_.reset();
}

void TImageForm::PageActivated() {
  TMirufoSheetForm::PageActivated();
  view_->setFocus();
}

void TImageForm::SourceImageChanged() {
  TMirufoSheetForm::SourceImageChanged();
  view_->viewport()->update();
  RefreshStatusText();
  RefreshNext();
}

std::vector<QMenu*> TImageForm::GetPageMenu() {
  return menus_;
}

bool TImageForm::CanGoNext() {
  return !IsSourceEmpty();
}

void TImageForm::UpdateActions() {
  const bool picture = editor_.HasPicture();
  const bool selection = picture && editor_.HasSelection();
  actUndo->setEnabled(editor_.CanUndo());
  actCopy->setEnabled(selection);
  actCopyAll->setEnabled(picture);
  actPaste->setEnabled(clipboardHasImage_);
  for (QAction* action :
       {actBrightnessContrast, actRotate90, actRotate270, actRotate180, actFlipHorizontal,
        actFlipVertical, actSepia, actGrayscale, actSolarize, actNegative})
    action->setEnabled(picture);
  actCrop->setEnabled(selection);
  actZoomIn->setEnabled(editor_.CanZoomIn());
  actZoomOut->setEnabled(editor_.CanZoomOut());
  actActualPixels->setEnabled(editor_.Zoom() != 1);
  actLookAtToCursorPos->setEnabled(picture && editor_.Contains(popupPixel_));
  actAutoLookAt->setEnabled(picture);
  actAutoLookAtOnOpen->setChecked(editor_.AutoLookAtOnOpen);
}

void TImageForm::OpenFile(const std::string& path) {
  TMultiFormatBitmap loader;
  std::string message;
  loader.OnMessage = [&message](const std::string& text) { message = text; };
  try {
    loader.LoadFromFile(path);
  } catch (const std::exception& e) {
    // The user learns which file failed, also from readers that do not say.
    const std::string reason = e.what();
    if (reason.find(path) != std::string::npos)
      throw;
    throw EMirufoError(path + "\n" + reason);
  }
  if (loader.Empty()) {
    // Nothing was decoded (a raw picture without its size): the reader's
    // reason is shown and the picture stays.
    if (!message.empty())
      ShowErrorMessage(message);
    return;
  }
  TBitmap picture(std::move(static_cast<TBitmap&>(loader)));
  editor_.Open(path, std::move(picture));
  recent_.Add(path);
  RebuildRecentMenu();
  PictureChanged();
  ShowLookAtPoint();
}

void TImageForm::ShowLookAtPoint() {
  // A new picture larger than the view shows its look-at point (its centre)
  // in the middle, with the mark on screen.
  const TLookAtPoint point = LookAtPoint();
  view_->CentreOn({point.X, point.Y});
}

void TImageForm::OpenRecentFile(std::size_t index) {
  if (index >= recent_.Count())
    return;
  const std::string path = recent_.Items()[index];
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) {
    OpenFile(path);
    return;
  }
  CuteMessageDlg(FillFormat(Tr("ファイルが見つかりません。\r%s"), {path}), mtError,
                 {N_("ちゃんと探したのかよ？")}, {mrOk});
  recent_.Remove(index);
  RebuildRecentMenu();
}

void TImageForm::Open() {
  const std::string current = SourceFileName();
  std::string folder;
  if (!current.empty() && current != kClipboardSourceName)
    folder = std::filesystem::path(current).parent_path().string();
  const std::string path = AskFileName(folder, GraphicFileFilter());
  if (!path.empty())
    OpenFile(path);
}

void TImageForm::Paste() {
  const QImage image = QApplication::clipboard()->image();
  if (image.isNull())
    return;
  editor_.Paste(FromImage(image));
  PictureChanged();
  ShowLookAtPoint();
}

void TImageForm::CopyToClipboard(const TBitmap& picture) {
  if (!picture.Empty())
    QApplication::clipboard()->setImage(ToImage(picture));
}

void TImageForm::BrightnessContrast() {
  if (!editor_.HasPicture())
    return;
  TBrightnessContrastDialog dialog(this);
  const TRect visible = view_->VisiblePictureRect();
  auto preview = [&](int brightness, int contrast) {
    view_->SetPreview(BrightnessContrastPreview(editor_.Picture(), visible, brightness, contrast),
                      visible);
  };
  preview(0, 0);
  connect(&dialog, &TBrightnessContrastDialog::ValuesChanged, this, preview);
  const bool ok = dialog.exec() == QDialog::Accepted;
  view_->ClearPreview();
  if (ok)
    editor_.ApplyBrightnessContrast(dialog.Brightness(), dialog.Contrast());
  PictureChanged();
}

void TImageForm::Geometry(const std::function<bool()>& command) {
  if (command())
    PictureChanged();
}

void TImageForm::SetZoom(const std::function<void()>& change) {
  const float oldZoom = editor_.Zoom();
  change();
  if (editor_.Zoom() != oldZoom)
    view_->ZoomChanged(oldZoom, zoomAnchor_);
  RefreshStatusText();
}

void TImageForm::PictureChanged() {
  view_->Relayout();
  RefreshStatusText();
  RefreshNext();
}

void TImageForm::ShowSelectionText() {
  const TRect& s = editor_.Selection();
  Form().SetStatusText(FillFormat(Tr("開始:%d,%d サイズ:%d,%d"),
                                  {std::to_string(s.Left), std::to_string(s.Top),
                                   std::to_string(s.Width()), std::to_string(s.Height())}));
}

void TImageForm::ShowPopup(QPoint at) {
  popupPixel_ = view_->PixelAt(at);
  UpdateActions();
  popup_->exec(view_->viewport()->mapToGlobal(at));
}

void TImageForm::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
    event->acceptProposedAction();
}

void TImageForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile())
    return;
  event->acceptProposedAction();
  const std::string path = urls.first().toLocalFile().toStdString();
  RunCommand([&] { OpenFile(path); });
  UpdateActions();
}

} // namespace mirufo
