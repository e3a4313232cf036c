// "フォーマット": the encoding options of the make page's selected targets,
// one page per format. Every change runs the apply callback at once, so the
// boxes show the re-encoded images while the dialog is open; the make page
// undoes the changes when the dialog is cancelled.
#pragma once

#include "engine/standby_types.h"
#include "output/format_dialog_model.h"

#include <QDialog>
#include <QPoint>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QWidget;

namespace mirufo {

class TFormatDialog : public QDialog {
  Q_OBJECT

public:
  explicit TFormatDialog(QWidget* parent = nullptr);

  // Fills the controls from the options; nothing is applied meanwhile.
  void LoadOptions(const TFormatOptions& options);
  // The controls as options, starting from the current ones; raises
  // EConvertError for a JPEG quality that is not an integer.
  TFormatOptions ReadOptions(const TFormatOptions& current) const;
  TFormatDialogValues Values() const;
  TFormatPage ActivePage() const;
  // Shows the page of a format, as a click on its tab would.
  void SetActivePage(TFormatPage page);

  // Runs after every change of the controls (not while loading). An error
  // it raises is shown and the dialog stays open.
  std::function<void(const TFormatDialog&)> OnApply;

  QTabBar* tabFormat;
  QLineEdit* edtQuality;
  std::array<QPushButton*, 4> btnQuality;
  QCheckBox* chkProgressive;
  QComboBox* cmbPng8Colors;
  QComboBox* cmbPng8Dither;
  QComboBox* cmbCompression; // both PNG pages
  QCheckBox* chkInterlace;   // both PNG pages
  QComboBox* cmbBmpColors;
  QComboBox* cmbBmpDither; // both BMP pages
  QComboBox* cmbGifColors;
  QComboBox* cmbGifDither;
  QRadioButton* rdoRLE;
  QRadioButton* rdoLZW;
  QCheckBox* chkBestFit; // the JPEG, PNG8 and GIF pages

private:
  void PageChanged(int tab);
  void Apply();
  void PlaceSharedControls(TFormatPage page);

  QStackedWidget* pages_;
  std::array<QWidget*, kFormatPageCount> pageWidgets_{};
  QWidget* pngShared_ = nullptr;
  QWidget* bmpShared_ = nullptr;
  bool loading_ = false;
  TReductionMethod reduction_ = cmOctree;
};

// Creates the dialog over the main window, at the given screen position
// (its top-left corner) or centred, loads the options, installs the apply
// callback, runs it modally and releases it. True for OK. onShown, when
// given, gets the dialog once it is visible (tests drive it from there).
bool ShowFormatDialog(const TFormatOptions& options, std::optional<QPoint> position,
                      std::function<void(const TFormatDialog&)> apply, QWidget* mainWindow,
                      const std::function<void(TFormatDialog&)>& onShown = {});

} // namespace mirufo
