#include "app/dialogs/tanmatsu_dialog.h"

#include "app/dialogs/dialog_buttons.h"
#include "app/mnemonics.h"
#include "catalogue/tanmatsu_sort_info.h"
#include "engine/output_format.h"
#include "output/page_texts.h"
#include "platform/translate.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mirufo {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(Tr(text));
}

TTanmatsuDialog::THook& Hook() {
  static TTanmatsuDialog::THook hook;
  return hook;
}

QSpinBox* NumberBox(int minimum, int maximum, const char* name) {
  auto* box = new QSpinBox;
  box->setObjectName(name);
  box->setRange(minimum, maximum);
  return box;
}

QWidget* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : widgets)
    layout->addWidget(w);
  layout->addStretch(1);
  return row;
}

} // namespace

void TTanmatsuDialog::SetHook(THook hook) {
  Hook() = std::move(hook);
}

TTanmatsuDialog::TTanmatsuDialog(QWidget* parent, const std::string& caption,
                                 const std::vector<std::string>& cacheNames)
    : QDialog(parent), cacheNames_(cacheNames) {
  setObjectName("TanmatsuDialog");
  setWindowTitle(QString::fromStdString(Tr(caption)));
  auto* form = new QFormLayout;

  edtName = new QLineEdit;
  edtName->setObjectName("edtName");
  edtName->setMaxLength(kDialogMaxNameChars);
  auto* formats = new QButtonGroup(this);
  auto* supports = new QWidget;
  auto* standard = new QWidget;
  auto* standardLayout = new QHBoxLayout(standard);
  auto* supportLayout = new QHBoxLayout(supports);
  standardLayout->setContentsMargins(0, 0, 0, 0);
  supportLayout->setContentsMargins(0, 0, 0, 0);
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i) {
    const QString name = QString::fromStdString(FormatName(kDialogFormats[i]));
    rdoFormat[i] = new QRadioButton(name);
    rdoFormat[i]->setObjectName("rdoFormat" + name);
    formats->addButton(rdoFormat[i]);
    standardLayout->addWidget(rdoFormat[i]);
    chkSupport[i] = new QCheckBox(name);
    chkSupport[i]->setObjectName("chkSupport" + name);
    supportLayout->addWidget(chkSupport[i]);
    connect(chkSupport[i], &QCheckBox::clicked, this, [this, i] {
      chkSupport[i]->setTristate(false);
      undetermined_[dfAcceptJPEG + i] = false;
    });
    connect(rdoFormat[i], &QRadioButton::toggled, this,
            [this] { undetermined_[dfFormat] = false; });
  }
  standardLayout->addStretch(1);
  supportLayout->addStretch(1);

  updWidth = NumberBox(kDialogMinSide, kDialogMaxSide, "updWidth");
  updHeight = NumberBox(kDialogMinSide, kDialogMaxSide, "updHeight");
  updBit = NumberBox(kDialogMinBit, kDialogMaxBit, "updBit");
  lblColors = new QLabel;
  cmbCache = new QComboBox;
  cmbCache->setObjectName("cmbCache");
  cmbCache->addItem(QString::fromUtf8(Tr(std::string(kFixedCacheItem)).c_str()));
  for (const std::string& name : cacheNames_)
    cmbCache->addItem(QString::fromStdString(name));
  updCache = NumberBox(0, kDialogMaxCache, "updCache");
  cmbSpeed = new QComboBox;
  cmbSpeed->setObjectName("cmbSpeed");
  for (const char* item : kSpeedItems)
    cmbSpeed->addItem(item);

  // Every label's key reaches its control: the field itself, the chosen
  // standard format, the first acceptance box, the number or list that
  // leads its row.
  auto addRow = [form](const char* caption, QWidget* field, QWidget* target) {
    auto* label = new QLabel(Q(caption));
    SetFocusBuddy(label, field, target);
    form->addRow(label, field);
  };
  addRow("名前(&N):", edtName, edtName);
  addRow("標準フォーマット(&F):", standard, rdoFormat[0]);
  addRow("対応フォーマット(&S):", supports, chkSupport[0]);
  addRow("幅(&W):", Row({updWidth}), updWidth);
  addRow("高さ(&H):", Row({updHeight}), updHeight);
  addRow("ビット数(&B):", Row({updBit, lblColors}), updBit);
  addRow("キャッシュ容量(&C):", Row({cmbCache, updCache, new QLabel("KB")}), cmbCache);
  addRow("通信速度(&P):", Row({cmbSpeed, new QLabel("Kbps")}), cmbSpeed);
  // The standard format's key goes to the chosen button, as Tab does.
  for (QRadioButton* button : rdoFormat)
    connect(button, &QRadioButton::toggled, standard, [standard, button](bool on) {
      if (on)
        standard->setFocusProxy(button);
    });

  QDialogButtonBox* buttons = OkCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(edtName, &QLineEdit::textEdited, this, [this] {
    SetGrey(edtName, multi_ && undetermined_[dfName] && edtName->text().isEmpty());
  });
  auto touch = [this](QSpinBox* box, TTanmatsuDialogField field) {
    connect(box, &QSpinBox::valueChanged, this, [this, box, field] {
      undetermined_[field] = false;
      SetGrey(box, false);
    });
  };
  touch(updWidth, dfWidth);
  touch(updHeight, dfHeight);
  touch(updBit, dfBit);
  connect(updBit, &QSpinBox::valueChanged, this, [this] { UpdateColors(); });
  connect(updCache, &QSpinBox::valueChanged, this, [this] {
    undetermined_[dfCache] = false;
    SetGrey(cmbCache, false);
    SetGrey(updCache, false);
  });
  connect(cmbCache, &QComboBox::activated, this, [this] {
    undetermined_[dfCache] = false;
    SetGrey(cmbCache, false);
    SetGrey(updCache, false);
    UpdateCacheNumber();
  });
  connect(cmbCache, &QComboBox::currentIndexChanged, this, [this] { UpdateCacheNumber(); });
  connect(cmbSpeed, &QComboBox::activated, this, [this] { undetermined_[dfSpeed] = false; });
  SetValues(TTanmatsuDialogValues{});
}

void TTanmatsuDialog::SetGrey(QWidget* widget, bool grey) {
  QPalette pal = widget->palette();
  const QPalette standard = QApplication::palette(widget);
  pal.setColor(QPalette::Base, grey ? standard.color(QPalette::Window).darker(112)
                                    : standard.color(QPalette::Base));
  widget->setPalette(pal);
  widget->setProperty("grey", grey);
}

void TTanmatsuDialog::UpdateColors() {
  lblColors->setText(QString::fromStdString(
      FillFormat(Tr("（%d 色）"), {ColorCountText(static_cast<unsigned>(updBit->value()))})));
}

void TTanmatsuDialog::UpdateCacheNumber() {
  updCache->setEnabled(cmbCache->currentIndex() == 0);
}

void TTanmatsuDialog::SetValues(const TTanmatsuDialogValues& values) {
  multi_ = values.Multi;
  edtName->setText(QString::fromStdString(values.Name));
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i) {
    rdoFormat[i]->group()->setExclusive(false);
    rdoFormat[i]->setChecked(values.Format == kDialogFormats[i]);
    rdoFormat[i]->group()->setExclusive(true);
    chkSupport[i]->setTristate(values.Accepts[i] == asGrayed);
    chkSupport[i]->setCheckState(values.Accepts[i] == asGrayed    ? Qt::PartiallyChecked
                                 : values.Accepts[i] == asChecked ? Qt::Checked
                                                                  : Qt::Unchecked);
  }
  updWidth->setValue(values.Width);
  updHeight->setValue(values.Height);
  updBit->setValue(values.Bit);
  cmbCache->setCurrentIndex(values.CacheItem);
  updCache->setValue(values.CacheNumber);
  cmbSpeed->setCurrentIndex(values.SpeedItem);
  // After the values: setting them counts as no user change.
  undetermined_ = values.Undetermined;
  if (!multi_)
    undetermined_.fill(false);
  SetGrey(edtName, undetermined_[dfName]);
  SetGrey(updWidth, undetermined_[dfWidth]);
  SetGrey(updHeight, undetermined_[dfHeight]);
  SetGrey(updBit, undetermined_[dfBit]);
  SetGrey(cmbCache, undetermined_[dfCache]);
  SetGrey(updCache, undetermined_[dfCache]);
  UpdateColors();
  UpdateCacheNumber();
}

TTanmatsuDialogValues TTanmatsuDialog::Values() const {
  TTanmatsuDialogValues values;
  values.CacheNames = cacheNames_;
  values.Name = edtName->text().toStdString();
  values.Format = ifGIF;
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i) {
    if (rdoFormat[i]->isChecked())
      values.Format = kDialogFormats[i];
    const Qt::CheckState state = chkSupport[i]->checkState();
    values.Accepts[i] = state == Qt::PartiallyChecked ? asGrayed
                        : state == Qt::Checked        ? asChecked
                                                      : asUnchecked;
  }
  values.Width = updWidth->value();
  values.Height = updHeight->value();
  values.Bit = updBit->value();
  values.CacheItem = cmbCache->currentIndex();
  values.CacheNumber = updCache->value();
  values.SpeedItem = cmbSpeed->currentIndex();
  values.Multi = multi_;
  values.Undetermined = undetermined_;
  return values;
}

bool TTanmatsuDialog::Run() {
  if (Hook())
    return Hook()(*this);
  return exec() == QDialog::Accepted;
}

bool TTanmatsuDialog::EditOne(QWidget* parent, const std::string& caption, TTanmatsuRecord& record,
                              const std::vector<std::string>& cacheNames) {
  TTanmatsuDialog dialog(parent, caption, cacheNames);
  TTanmatsuDialogValues values = dialog.Values();
  values.FillFromRecord(record);
  dialog.SetValues(values);
  if (!dialog.Run())
    return false;
  record = dialog.Values().ToRecord();
  return true;
}

bool TTanmatsuDialog::EditMany(QWidget* parent, const std::string& caption,
                               std::vector<TTanmatsuRecord>& records,
                               const std::vector<std::string>& cacheNames) {
  TTanmatsuDialog dialog(parent, caption, cacheNames);
  TTanmatsuDialogValues values = dialog.Values();
  values.FillFromRecords(records);
  dialog.SetValues(values);
  if (!dialog.Run())
    return false;
  const TTanmatsuDialogValues result = dialog.Values();
  for (TTanmatsuRecord& record : records)
    result.ApplyTo(record);
  return true;
}

} // namespace mirufo
