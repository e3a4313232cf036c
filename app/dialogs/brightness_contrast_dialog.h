// "明るさ／コントラスト": two sliders from -100 to 100 whose every move the
// page previews, with OK and キャンセル. It stays on top, centred on the page.
#pragma once

#include <QDialog>

class QSlider;

namespace mirufo {

class TBrightnessContrastDialog : public QDialog {
  Q_OBJECT

public:
  explicit TBrightnessContrastDialog(QWidget* page);

  int Brightness() const;
  // In percent: -100 flattens, 100 doubles the slope.
  int Contrast() const;

  QSlider* scrBrightness;
  QSlider* scrContrast;

signals:
  void ValuesChanged(int brightness, int contrast);

protected:
  void showEvent(QShowEvent* event) override;
};

} // namespace mirufo
