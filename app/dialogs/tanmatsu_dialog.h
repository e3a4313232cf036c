// "端末の追加" / "端末の編集": the modal dialog in which the user defines a
// handset or edits user handsets, one or several at once (multi mode, where
// fields the handsets differ in start undetermined: greyed or empty). The
// values and their rules are TTanmatsuDialogValues; this draws them.
#pragma once

#include "catalogue/tanmatsu_dialog_values.h"

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace mirufo {

class TTanmatsuDialog : public QDialog {
  Q_OBJECT

public:
  // cacheNames: the working set's cache entries, offered after "（固定値）".
  TTanmatsuDialog(QWidget* parent, const std::string& caption,
                  const std::vector<std::string>& cacheNames);

  void SetValues(const TTanmatsuDialogValues& values);
  // The controls as values; in multi mode with the fields the user has
  // touched determined.
  TTanmatsuDialogValues Values() const;

  // Edits one record: true on OK, with the record built from the controls.
  static bool EditOne(QWidget* parent, const std::string& caption, TTanmatsuRecord& record,
                      const std::vector<std::string>& cacheNames);
  // Edits several records in multi mode: true on OK, each record with the
  // determined fields applied.
  static bool EditMany(QWidget* parent, const std::string& caption,
                       std::vector<TTanmatsuRecord>& records,
                       const std::vector<std::string>& cacheNames);

  // While a hook is set, the dialogs go to it instead of running modally; it
  // may change the controls and answers OK (true) or cancel.
  using THook = std::function<bool(TTanmatsuDialog&)>;
  static void SetHook(THook hook);

  QLineEdit* edtName;
  std::array<QRadioButton*, 3> rdoFormat;
  std::array<QCheckBox*, 3> chkSupport;
  QSpinBox* updWidth;
  QSpinBox* updHeight;
  QSpinBox* updBit;
  QLabel* lblColors;
  QComboBox* cmbCache;
  QSpinBox* updCache;
  QComboBox* cmbSpeed;

private:
  bool Run();
  void SetGrey(QWidget* widget, bool grey);
  void UpdateColors();
  void UpdateCacheNumber();

  std::vector<std::string> cacheNames_;
  bool multi_ = false;
  std::array<bool, dfCount> undetermined_{};
};

} // namespace mirufo
