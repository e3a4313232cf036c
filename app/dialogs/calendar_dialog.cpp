#include "app/dialogs/calendar_dialog.h"

#include "app/dialogs/dialog_buttons.h"
#include "app/mnemonics.h"
#include "app/pages/standby_box_drawer.h"
#include "platform/translate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <fontconfig/fontconfig.h>
#include <map>

namespace mirufo {

namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(Tr(utf8));
}

QColor ToQColor(TColor c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// The installed families, sorted, each with whether it has a scalable face.
std::map<QString, bool> InstalledFamilies() {
  std::map<QString, bool> families;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_SCALABLE, nullptr);
  if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* family = nullptr;
      FcBool scalable = FcFalse;
      if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch)
        continue;
      FcPatternGetBool(set->fonts[i], FC_SCALABLE, 0, &scalable);
      bool& entry = families[QString::fromUtf8(reinterpret_cast<const char*>(family))];
      entry = entry || scalable;
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return families;
}

// A small icon: "T" for a scalable font, a grid of dots for a bitmap font.
QIcon FontIcon(bool scalable) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  if (scalable) {
    QFont font;
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 0, 160));
    p.drawText(pixmap.rect(), Qt::AlignCenter, "T");
  } else {
    p.setPen(QColor(96, 96, 96));
    for (int y = 3; y < 14; y += 3)
      for (int x = 3; x < 14; x += 3)
        p.drawPoint(x, y);
  }
  return QIcon(pixmap);
}

} // namespace

std::optional<TColor> ChooseColorDialog(TColor initial, QWidget* parent) {
  const QColor chosen = QColorDialog::getColor(ToQColor(initial), parent);
  if (!chosen.isValid())
    return std::nullopt;
  return RGB(static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
             static_cast<std::uint8_t>(chosen.blue()));
}

TColorSwatch::TColorSwatch(QWidget* parent) : QToolButton(parent) {
  setFixedSize(40, 20);
  ChooseColor = [this](TColor initial) { return ChooseColorDialog(initial, window()); };
  SetColor(0);
  connect(this, &QToolButton::clicked, this, [this] {
    if (std::optional<TColor> chosen = ChooseColor(color_)) {
      SetColor(*chosen);
      emit colorChosen();
    }
  });
}

void TColorSwatch::SetColor(TColor color) {
  color_ = color;
  QPixmap pixmap(32, 12);
  pixmap.fill(ToQColor(color));
  QPainter(&pixmap).drawRect(0, 0, 31, 11);
  setIcon(QIcon(pixmap));
  setIconSize(pixmap.size());
}

TFontNameComboBox::TFontNameComboBox(QWidget* parent) : QComboBox(parent) {
  const QIcon scalable = FontIcon(true);
  const QIcon bitmap = FontIcon(false);
  for (const auto& [family, isScalable] : InstalledFamilies())
    addItem(isScalable ? scalable : bitmap, family);
}

std::string TFontNameComboBox::FontName() const {
  return currentText().toStdString();
}

void TFontNameComboBox::SetFontName(const std::string& name) {
  const QString text = QString::fromStdString(name);
  int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0) {
    insertItem(0, text);
    index = 0;
  }
  setCurrentIndex(index);
}

QSpinBox* TCalendarDialog::NumberField(int minimum, int maximum) {
  auto* field = new QSpinBox;
  field->setRange(minimum, maximum);
  // The arrows apply at once; typed numbers are taken at the next apply.
  field->setKeyboardTracking(false);
  connect(field, &QSpinBox::valueChanged, this, &TCalendarDialog::Apply);
  return field;
}

TCalendarDialog::TCalendarDialog(QWidget* owner) : QDialog(owner) {
  setObjectName("CalendarDialog");
  setWindowTitle(Q("カレンダーの設定"));

  spnYear = NumberField(kMinCalendarYear, kMaxCalendarYear);
  cmbMonth = new QComboBox;
  for (int m = 1; m <= 12; ++m)
    cmbMonth->addItem(QString::number(m));
  connect(cmbMonth, &QComboBox::currentIndexChanged, this, &TCalendarDialog::Apply);
  btnThisMonth = new QPushButton(Q("今月"));
  btnThisMonth->setAutoDefault(false);
  connect(btnThisMonth, &QPushButton::clicked, this, [this] {
    const QDate today = QDate::currentDate();
    loading_ = true;
    spnYear->setValue(today.year());
    cmbMonth->setCurrentIndex(today.month() - 1);
    loading_ = false;
    Apply();
  });
  auto* date = new QHBoxLayout;
  date->addWidget(spnYear);
  date->addWidget(cmbMonth);
  date->addWidget(btnThisMonth);
  spnLetterSpace = NumberField(0, kMaxSpace);
  spnLineSpace = NumberField(0, kMaxSpace);

  auto choices = [this](std::array<QRadioButton*, 3>& buttons, const char* title,
                        std::array<const char*, 3> captions) {
    auto* box = new QGroupBox(Q(title));
    auto* row = new QHBoxLayout(box);
    for (std::size_t i = 0; i < 3; ++i) {
      buttons[i] = new QRadioButton(Q(captions[i]));
      row->addWidget(buttons[i]);
      connect(buttons[i], &QRadioButton::clicked, this, &TCalendarDialog::Apply);
    }
    return box;
  };
  QGroupBox* cellAlignment =
      choices(rdoCellAlignment, N_("水平位置合わせ"), {N_("左揃え"), N_("中央"), N_("右揃え")});
  QGroupBox* cellLayout =
      choices(rdoCellLayout, N_("垂直位置合わせ"), {N_("上揃え"), N_("中央"), N_("下揃え")});

  swColor = new TColorSwatch;
  swSundayColor = new TColorSwatch;
  swOutlineColor = new TColorSwatch;
  for (TColorSwatch* swatch : {swColor, swSundayColor, swOutlineColor})
    connect(swatch, &TColorSwatch::colorChosen, this, &TCalendarDialog::Apply);
  chkOutline = new QCheckBox(Q("縁取りする(&O)"));
  connect(chkOutline, &QCheckBox::clicked, this, &TCalendarDialog::Apply);
  auto* outline = new QGroupBox(Q("縁取り"));
  auto* outlineRow = new QHBoxLayout(outline);
  outlineRow->addWidget(chkOutline);
  auto* outlineColorLabel = new QLabel(Q("色(&U):"));
  outlineColorLabel->setBuddy(swOutlineColor);
  outlineRow->addWidget(outlineColorLabel);
  outlineRow->addWidget(swOutlineColor);

  auto* positionBox = new QWidget;
  auto* positions = new QGridLayout(positionBox);
  positions->setContentsMargins(0, 0, 0, 0);
  positions->setSpacing(2);
  auto* positionGroup = new QButtonGroup(this);
  positionGroup->setExclusive(true);
  // Each button points to the corner, edge or centre it puts the block at.
  static constexpr std::array<const char*, 9> kArrows = {"↖", "↑", "↗", "←", "●",
                                                         "→", "↙", "↓", "↘"};
  for (int b = 0; b < 9; ++b) {
    auto* button = new QToolButton;
    button->setText(QString::fromUtf8(kArrows[static_cast<std::size_t>(b)]));
    button->setCheckable(true);
    button->setFixedSize(22, 22);
    positionGroup->addButton(button, b);
    positions->addWidget(button, b / 3, b % 3);
    btnPosition[static_cast<std::size_t>(b)] = button;
    connect(button, &QToolButton::clicked, this, &TCalendarDialog::Apply);
    // "位置(&P)" reaches the button that is down, without pressing one.
    connect(button, &QToolButton::toggled, positionBox, [positionBox, button](bool down) {
      if (down)
        positionBox->setFocusProxy(button);
    });
  }
  spnMarginX = NumberField(0, kMaxSpace);
  spnMarginY = NumberField(0, kMaxSpace);
  cmbFont = new TFontNameComboBox;
  connect(cmbFont, &QComboBox::currentIndexChanged, this, &TCalendarDialog::Apply);
  spnFontSize = NumberField(1, kMaxFontSize);

  auto* left = new QFormLayout;
  left->addRow(Q("日付(&D):"), date);
  left->addRow(Q("字間(&L):"), spnLetterSpace);
  left->addRow(Q("行間(&I):"), spnLineSpace);
  left->addRow(cellAlignment);
  left->addRow(cellLayout);
  left->addRow(Q("文字色(&C):"), swColor);
  left->addRow(Q("日曜日の色(&S):"), swSundayColor);
  left->addRow(outline);
  auto* right = new QFormLayout;
  right->addRow(Q("位置(&P):"), positionBox);
  right->addRow(Q("水平マージン(&X):"), spnMarginX);
  right->addRow(Q("垂直マージン(&Y):"), spnMarginY);
  right->addRow(Q("フォント(&F):"), cmbFont);
  right->addRow(Q("サイズ(&Z):"), spnFontSize);
  // The label buddies, so that the keys reach the controls: a row's control,
  // or the first control of a row that holds several (the date); the
  // position buttons are reached without pressing one. A label without a buddy would show its "&"
  // as it stands.
  for (QFormLayout* form : {left, right})
    for (int row = 0; row < form->rowCount(); ++row) {
      QLayoutItem* labelItem = form->itemAt(row, QFormLayout::LabelRole);
      QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
      auto* label = labelItem ? qobject_cast<QLabel*>(labelItem->widget()) : nullptr;
      if (!label || !field)
        continue;
      QWidget* control = field->widget();
      if (!control && field->layout() && field->layout()->count() > 0)
        control = field->layout()->itemAt(0)->widget();
      if (control == positionBox)
        SetFocusBuddy(label, positionBox, btnPosition[0]);
      else if (control)
        label->setBuddy(control);
    }

  pnlPreview_ = new QFrame;
  pnlPreview_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pnlPreview_->setLineWidth(1);
  pnlPreview_->setFixedSize(242, 162);
  imgPreview_ = new QLabel(pnlPreview_);
  imgPreview_->setGeometry(1, 1, 240, 160);
  right->addRow(pnlPreview_);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  QDialogButtonBox* buttons = OkCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TCalendarDialog::LoadDecorator(const TCalendarDecorator& decorator) {
  loading_ = true;
  copy_.Assign(decorator);
  copy_.Enabled = decorator.Enabled;
  const TCalendarDialogValues v = LoadCalendarValues(copy_);
  if (v.Button >= 0)
    btnPosition[static_cast<std::size_t>(v.Button)]->setChecked(true);
  spnMarginX->setValue(v.MarginX);
  spnMarginY->setValue(v.MarginY);
  cmbFont->SetFontName(v.FontName);
  spnFontSize->setValue(v.FontSize);
  spnYear->setValue(v.Year);
  cmbMonth->setCurrentIndex(v.Month - 1);
  spnLetterSpace->setValue(v.LetterSpace);
  spnLineSpace->setValue(v.LineSpace);
  if (v.CellAlignment >= 0)
    rdoCellAlignment[static_cast<std::size_t>(v.CellAlignment)]->setChecked(true);
  if (v.CellLayout >= 0)
    rdoCellLayout[static_cast<std::size_t>(v.CellLayout)]->setChecked(true);
  swColor->SetColor(v.Color);
  swSundayColor->SetColor(v.SundayColor);
  swOutlineColor->SetColor(v.OutlineColor);
  chkOutline->setChecked(v.Outline);
  loading_ = false;
}

TCalendarDialogValues TCalendarDialog::Values() const {
  TCalendarDialogValues v;
  for (int b = 0; b < 9; ++b)
    if (btnPosition[static_cast<std::size_t>(b)]->isChecked())
      v.Button = b;
  v.MarginX = spnMarginX->value();
  v.MarginY = spnMarginY->value();
  v.FontName = cmbFont->FontName();
  v.FontSize = spnFontSize->value();
  v.Year = spnYear->value();
  v.Month = cmbMonth->currentIndex() + 1;
  v.LetterSpace = spnLetterSpace->value();
  v.LineSpace = spnLineSpace->value();
  for (int i = 0; i < 3; ++i) {
    if (rdoCellAlignment[static_cast<std::size_t>(i)]->isChecked())
      v.CellAlignment = i;
    if (rdoCellLayout[static_cast<std::size_t>(i)]->isChecked())
      v.CellLayout = i;
  }
  v.Color = swColor->Color();
  v.SundayColor = swSundayColor->Color();
  v.OutlineColor = swOutlineColor->Color();
  v.Outline = chkOutline->isChecked();
  return v;
}

void TCalendarDialog::Apply() {
  if (loading_)
    return;
  // Numbers typed into a field are taken now.
  for (QSpinBox* field :
       {spnYear, spnLetterSpace, spnLineSpace, spnMarginX, spnMarginY, spnFontSize}) {
    const QSignalBlocker block(field);
    field->interpretText();
  }
  ApplyCalendarValues(Values(), copy_);
  const QSize size = pnlPreview_->size() - QSize(2, 2);
  TBitmap picture(size.width(), size.height());
  const QColor panel = pnlPreview_->palette().color(QPalette::Window);
  picture.Fill(RGB(static_cast<std::uint8_t>(panel.red()), static_cast<std::uint8_t>(panel.green()),
                   static_cast<std::uint8_t>(panel.blue())));
  copy_.Enabled = true;
  copy_.Draw(picture);
  preview_ = StandbyBitmapImage(picture);
  imgPreview_->setPixmap(QPixmap::fromImage(preview_));
}

void TCalendarDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Apply();
}

bool ShowCalendarDialog(QWidget* owner, TCalendarDecorator& decorator,
                        const std::function<void(TCalendarDialog&)>& onShown) {
  TCalendarDialog dialog(owner);
  dialog.LoadDecorator(decorator);
  dialog.adjustSize();
  if (owner)
    dialog.move(owner->mapToGlobal(owner->rect().center()) - dialog.rect().center());
  if (onShown)
    QTimer::singleShot(0, &dialog, [&dialog, &onShown] { onShown(dialog); });
  if (dialog.exec() != QDialog::Accepted)
    return false;
  decorator.Assign(dialog.Copy());
  return true;
}

} // namespace mirufo
