// "カレンダーの設定": edits a private copy of the calendar decorator with a
// live preview drawn by the decorator itself, and hands the copy back on OK.
// Also the two small controls it needs: a colour swatch that opens the
// colour dialog, and the list of the installed font families.
#pragma once

#include "engine/calendar_decorator.h"
#include "output/calendar_dialog_model.h"

#include <QComboBox>
#include <QDialog>
#include <QToolButton>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace mirufo {

// The colour dialog: the chosen colour, or none when cancelled.
std::optional<TColor> ChooseColorDialog(TColor initial, QWidget* parent);

// A button that shows a colour; a click opens the colour dialog with it.
class TColorSwatch : public QToolButton {
  Q_OBJECT

public:
  explicit TColorSwatch(QWidget* parent = nullptr);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // The colour dialog: the chosen colour, or none when cancelled.
  std::function<std::optional<TColor>(TColor initial)> ChooseColor;

signals:
  // A colour was chosen in the dialog (not on SetColor).
  void colorChosen();

private:
  TColor color_ = 0;
};

// The installed font families (from fontconfig), each with an icon for a
// scalable or a bitmap font. A name that is not installed is kept as an
// extra item, so that loading and applying do not change the font.
class TFontNameComboBox : public QComboBox {
  Q_OBJECT

public:
  explicit TFontNameComboBox(QWidget* parent = nullptr);
  std::string FontName() const;
  void SetFontName(const std::string& name);
};

class TCalendarDialog : public QDialog {
  Q_OBJECT

public:
  explicit TCalendarDialog(QWidget* owner = nullptr);

  // Fills the controls from a copy of the decorator; no preview meanwhile.
  void LoadDecorator(const TCalendarDecorator& decorator);
  // The copy the controls edit.
  const TCalendarDecorator& Copy() const { return copy_; }
  // Takes the controls into the copy and draws the preview.
  void Apply();
  TCalendarDialogValues Values() const;
  // The preview as last drawn.
  const QImage& PreviewImage() const { return preview_; }

  QSpinBox* spnYear;
  QComboBox* cmbMonth;
  QPushButton* btnThisMonth;
  QSpinBox* spnLetterSpace;
  QSpinBox* spnLineSpace;
  std::array<QRadioButton*, 3> rdoCellAlignment; // left, centre, right
  std::array<QRadioButton*, 3> rdoCellLayout;    // top, middle, bottom
  TColorSwatch* swColor;
  TColorSwatch* swSundayColor;
  QCheckBox* chkOutline;
  TColorSwatch* swOutlineColor;
  std::array<QToolButton*, 9> btnPosition; // row by row from the top left
  QSpinBox* spnMarginX;
  QSpinBox* spnMarginY;
  TFontNameComboBox* cmbFont;
  QSpinBox* spnFontSize;

protected:
  void showEvent(QShowEvent* event) override;

private:
  QSpinBox* NumberField(int minimum, int maximum);

  TCalendarDecorator copy_;
  QFrame* pnlPreview_;
  QLabel* imgPreview_;
  QImage preview_;
  bool loading_ = false;
};

// Runs the dialog on a copy of the decorator; on OK the decorator takes the
// copy's settings (all but Enabled) and the result is true. onShown, when
// given, gets the dialog once it is visible (tests drive it from there).
bool ShowCalendarDialog(QWidget* owner, TCalendarDecorator& decorator,
                        const std::function<void(TCalendarDialog&)>& onShown = {});

} // namespace mirufo
