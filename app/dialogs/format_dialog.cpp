#include "app/dialogs/format_dialog.h"

#include "app/dialogs/dialog_buttons.h"
#include "app/main_form.h"
#include "app/screen_fit.h"
#include "platform/translate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace mirufo {

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(Tr(utf8));
}

template <std::size_t N> QComboBox* List(const std::array<const char*, N>& items) {
  auto* combo = new QComboBox;
  for (const char* item : items)
    combo->addItem(Q(item));
  return combo;
}

} // namespace

TFormatDialog::TFormatDialog(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName("FormatDialog");
  setWindowTitle(Q("フォーマット"));

  tabFormat = new QTabBar;
  tabFormat->setObjectName("tabFormat");
  pages_ = new QStackedWidget;
  for (int p = 0; p < kFormatPageCount; ++p) {
    tabFormat->addTab(Q(FormatPageCaption(static_cast<TFormatPage>(p))));
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    pageWidgets_[static_cast<std::size_t>(p)] = page;
    pages_->addWidget(page);
  }
  tabFormat->setTabVisible(fpGIF, false);
  auto formOf = [this](TFormatPage p) {
    return static_cast<QFormLayout*>(pageWidgets_[p]->layout());
  };

  // JPEG
  edtQuality = new QLineEdit("100");
  edtQuality->setObjectName("edtQuality");
  auto* presets = new QHBoxLayout;
  for (std::size_t i = 0; i < btnQuality.size(); ++i) {
    btnQuality[i] = new QPushButton(Q(kQualityPresetCaptions[i]));
    btnQuality[i]->setAutoDefault(false);
    presets->addWidget(btnQuality[i]);
    connect(btnQuality[i], &QPushButton::clicked, this, [this, i] {
      edtQuality->setText(QString::number(kQualityPresets[i]));
      Apply();
    });
  }
  chkProgressive = new QCheckBox(Q("プログレッシブ"));
  formOf(fpJPEG)->addRow(Q("品質:"), edtQuality);
  formOf(fpJPEG)->addRow(QString(), presets);
  formOf(fpJPEG)->addRow(QString(), chkProgressive);
  connect(edtQuality, &QLineEdit::editingFinished, this, &TFormatDialog::Apply);
  connect(chkProgressive, &QCheckBox::clicked, this, &TFormatDialog::Apply);

  // PNG8, with the compression pair shared by both PNG pages
  cmbPng8Colors = List(kColorCountItems);
  cmbPng8Dither = List(kDitherItems);
  formOf(fpPNG8)->addRow(Q("減色:"), cmbPng8Colors);
  formOf(fpPNG8)->addRow(Q("ディザ:"), cmbPng8Dither);
  cmbCompression = List(kCompressionItems);
  chkInterlace = new QCheckBox(Q("インターレース"));
  pngShared_ = new QWidget;
  auto* pngForm = new QFormLayout(pngShared_);
  pngForm->setContentsMargins(0, 0, 0, 0);
  pngForm->addRow(Q("圧縮:"), cmbCompression);
  pngForm->addRow(QString(), chkInterlace);
  connect(chkInterlace, &QCheckBox::clicked, this, &TFormatDialog::Apply);

  // BMP, with the dither list shared by both BMP pages
  cmbBmpColors = List(kBmpColorItems);
  formOf(fpBMP)->addRow(Q("減色:"), cmbBmpColors);
  cmbBmpDither = List(kDitherItems);
  bmpShared_ = new QWidget;
  auto* bmpForm = new QFormLayout(bmpShared_);
  bmpForm->setContentsMargins(0, 0, 0, 0);
  bmpForm->addRow(Q("ディザ:"), cmbBmpDither);

  // GIF
  cmbGifColors = List(kColorCountItems);
  cmbGifDither = List(kDitherItems);
  rdoRLE = new QRadioButton("RLE");
  rdoLZW = new QRadioButton("LZW");
  auto* compression = new QHBoxLayout;
  compression->addWidget(rdoRLE);
  compression->addWidget(rdoLZW);
  formOf(fpGIF)->addRow(Q("減色:"), cmbGifColors);
  formOf(fpGIF)->addRow(Q("ディザ:"), cmbGifDither);
  formOf(fpGIF)->addRow(Q("圧縮:"), compression);
  connect(rdoRLE, &QRadioButton::clicked, this, &TFormatDialog::Apply);
  connect(rdoLZW, &QRadioButton::clicked, this, &TFormatDialog::Apply);

  // Best fit, on whichever page with a quality or colour count is active.
  chkBestFit = new QCheckBox(Q(kBestFitCaption));
  chkBestFit->setObjectName("chkBestFit");
  connect(chkBestFit, &QCheckBox::clicked, this, &TFormatDialog::Apply);

  for (QComboBox* combo : {cmbPng8Colors, cmbPng8Dither, cmbCompression, cmbBmpColors, cmbBmpDither,
                           cmbGifColors, cmbGifDither})
    connect(combo, &QComboBox::currentIndexChanged, this, &TFormatDialog::Apply);
  PlaceSharedControls(fpPNG8);
  PlaceSharedControls(fpBMP);

  QDialogButtonBox* buttons = OkCancelButtons(this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabFormat);
  layout->addWidget(pages_);
  layout->addWidget(buttons);
  connect(tabFormat, &QTabBar::currentChanged, this, &TFormatDialog::PageChanged);
}

void TFormatDialog::PlaceSharedControls(TFormatPage page) {
  auto place = [this](QWidget* shared, TFormatPage to) {
    auto* form = static_cast<QFormLayout*>(pageWidgets_[to]->layout());
    if (shared->parentWidget() == pageWidgets_[to])
      return;
    form->addRow(shared);
  };
  if (page == fpPNG8 || page == fpPNG24)
    place(pngShared_, page);
  if (page == fpBMP || page == fpBMP2)
    place(bmpShared_, page);
  // Right below the quality presets, or below the colour list, and next in
  // the keyboard order too.
  if (PageHasBestFit(page) && chkBestFit->parentWidget() != pageWidgets_[page]) {
    static_cast<QFormLayout*>(pageWidgets_[page]->layout())
        ->insertRow(page == fpJPEG ? 2 : 1, static_cast<QWidget*>(nullptr), chkBestFit);
    const std::pair<QWidget*, QWidget*> around =
        page == fpJPEG   ? std::pair<QWidget*, QWidget*>{btnQuality[3], chkProgressive}
        : page == fpPNG8 ? std::pair<QWidget*, QWidget*>{cmbPng8Colors, cmbPng8Dither}
                         : std::pair<QWidget*, QWidget*>{cmbGifColors, cmbGifDither};
    setTabOrder(around.first, chkBestFit);
    setTabOrder(chkBestFit, around.second);
  }
  chkBestFit->setVisible(PageHasBestFit(page));
}

TFormatPage TFormatDialog::ActivePage() const {
  return static_cast<TFormatPage>(pages_->currentIndex());
}

void TFormatDialog::SetActivePage(TFormatPage page) {
  if (page == fpGIF)
    tabFormat->setTabVisible(fpGIF, true);
  tabFormat->setCurrentIndex(page);
}

void TFormatDialog::PageChanged(int tab) {
  if (tab < 0)
    return;
  const auto page = static_cast<TFormatPage>(tab);
  PlaceSharedControls(page);
  pages_->setCurrentIndex(tab);
  // Once the GIF page is left there is no tab to come back to it.
  if (page != fpGIF && tabFormat->isTabVisible(fpGIF))
    tabFormat->setTabVisible(fpGIF, false);
  Apply();
}

void TFormatDialog::LoadOptions(const TFormatOptions& options) {
  loading_ = true;
  reduction_ = options.Reduction;
  const TFormatDialogValues v = LoadFormatValues(options);
  SetActivePage(v.Page);
  PageChanged(v.Page); // the shared controls, even when the tab did not change
  edtQuality->setText(QString::fromStdString(v.Quality));
  chkProgressive->setChecked(v.Progressive);
  cmbPng8Colors->setCurrentIndex(v.Png8Colors);
  cmbPng8Dither->setCurrentIndex(v.Png8Dither);
  cmbCompression->setCurrentIndex(v.Compression);
  chkInterlace->setChecked(v.Interlace);
  cmbBmpColors->setCurrentIndex(v.BmpColors);
  cmbBmpDither->setCurrentIndex(v.BmpDither);
  cmbGifColors->setCurrentIndex(v.GifColors);
  cmbGifDither->setCurrentIndex(v.GifDither);
  (v.GifLzw ? rdoLZW : rdoRLE)->setChecked(true);
  chkBestFit->setChecked(v.BestFit);
  loading_ = false;
}

TFormatDialogValues TFormatDialog::Values() const {
  TFormatDialogValues v;
  v.Page = ActivePage();
  v.Quality = edtQuality->text().toStdString();
  v.Progressive = chkProgressive->isChecked();
  v.Png8Colors = cmbPng8Colors->currentIndex();
  v.Png8Dither = cmbPng8Dither->currentIndex();
  v.Compression = cmbCompression->currentIndex();
  v.Interlace = chkInterlace->isChecked();
  v.BmpColors = cmbBmpColors->currentIndex();
  v.BmpDither = cmbBmpDither->currentIndex();
  v.GifColors = cmbGifColors->currentIndex();
  v.GifDither = cmbGifDither->currentIndex();
  v.GifLzw = rdoLZW->isChecked();
  v.BestFit = chkBestFit->isChecked();
  return v;
}

TFormatOptions TFormatDialog::ReadOptions(const TFormatOptions& current) const {
  return ReadFormatValues(Values(), current, reduction_);
}

void TFormatDialog::Apply() {
  if (loading_ || !OnApply)
    return;
  RunCommand([this] { OnApply(*this); });
}

bool ShowFormatDialog(const TFormatOptions& options, std::optional<QPoint> position,
                      std::function<void(const TFormatDialog&)> apply, QWidget* mainWindow,
                      const std::function<void(TFormatDialog&)>& onShown) {
  TFormatDialog dialog(mainWindow);
  dialog.LoadOptions(options);
  dialog.OnApply = std::move(apply);
  dialog.adjustSize();
  if (position)
    dialog.move(*position);
  else if (mainWindow)
    dialog.move(WindowCentre(mainWindow) - dialog.rect().center());
  if (onShown)
    QTimer::singleShot(0, &dialog, [&dialog, &onShown] { onShown(dialog); });
  return dialog.exec() == QDialog::Accepted;
}

} // namespace mirufo
