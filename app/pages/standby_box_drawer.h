// Draws one box of the make page off-screen: the grey image area with the
// finished image on its screen, the outline of the resized picture and the
// warnings, or for a target not made yet its screen outline, placement mark
// and option summary; below it the three left and three right text lines.
#pragma once

#include "output/standby_box_list.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

namespace mirufo {

class TBitmap;
class TStandbySpecification;

class TStandbyBoxDrawer {
public:
  // The boxes' font (8 points) and the colours of the list.
  explicit TStandbyBoxDrawer(const QPalette& palette);

  // Height of a text line: the height of "|" in the font.
  int LineHeight() const { return lineH_; }
  const QFont& Font() const { return font_; }

  // A screen larger than the preview side is drawn scaled down
  // (BoxPreviewScale).
  QImage Draw(const TStandbySpecification& target, const TBoxTexts& texts, QSize boxSize) const;

private:
  QFont font_;
  int lineH_ = 0;
  QColor background_;
  QColor shadow_;
  QColor highlight_;
};

// The bitmap as a Qt image (any pixel format; palette formats through 24
// bits).
QImage StandbyBitmapImage(const TBitmap& bitmap);

} // namespace mirufo
