#include "app/pages/standby_box_drawer.h"

#include "engine/standby_specification.h"
#include "imaging/bitmap.h"
#include "output/standby_texts.h"
#include "platform/translate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace mirufo {

namespace {

// The grey of the image area (red 170, green 168, blue 164).
const QColor kImageAreaGrey(170, 168, 164);

QRect ToQRect(TRect r) {
  return {r.Left, r.Top, r.Width(), r.Height()};
}

QString Text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A one-pixel sunken frame just inside the rectangle.
void SunkenFrame(QPainter& p, QRect r, const QColor& shadow, const QColor& highlight) {
  p.setPen(shadow);
  p.drawLine(r.left(), r.top(), r.right(), r.top());
  p.drawLine(r.left(), r.top(), r.left(), r.bottom());
  p.setPen(highlight);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

// The sides of the rectangle that lie inside the area, dotted.
void DottedOutline(QPainter& p, QRect outline, QRect area) {
  p.save();
  p.setClipRect(area);
  p.setPen(QPen(Qt::black, 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(outline.adjusted(0, 0, -1, -1));
  p.restore();
}

} // namespace

QImage StandbyBitmapImage(const TBitmap& bitmap) {
  if (bitmap.Empty())
    return {};
  if (bitmap.PixelFormat() != pf24bit) {
    TBitmap copy = bitmap;
    copy.SetPixelFormat(pf24bit);
    return StandbyBitmapImage(copy);
  }
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_BGR888);
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.Width()) * 3;
  for (int y = 0; y < bitmap.Height(); ++y)
    std::memcpy(image.scanLine(y), bitmap.ScanLine(y), rowBytes);
  return image;
}

TStandbyBoxDrawer::TStandbyBoxDrawer(const QPalette& palette)
    : background_(palette.color(QPalette::Base)), shadow_(palette.color(QPalette::Dark)),
      highlight_(palette.color(QPalette::Light)) {
  font_.setPointSize(8);
  lineH_ = QFontMetrics(font_).height();
}

QImage TStandbyBoxDrawer::Draw(const TStandbySpecification& target, const TBoxTexts& texts,
                               QSize boxSize) const {
  const double scale = BoxPreviewScale(target.ScreenWidth(), target.ScreenHeight());
  QImage image(boxSize, QImage::Format_RGB32);
  image.fill(background_);
  QPainter p(&image);
  p.setFont(font_);
  const QFontMetrics metrics(font_);
  const TRect box{0, 0, boxSize.width(), boxSize.height()};
  const QRect textArea = ToQRect(BoxTextArea(box, lineH_));
  const TRect imageAreaT = BoxImageArea(box, lineH_);
  const QRect imageArea = ToQRect(imageAreaT);

  p.fillRect(imageArea, kImageAreaGrey);
  SunkenFrame(p, imageArea, shadow_, highlight_);
  SunkenFrame(p, textArea, shadow_, highlight_);

  // Three lines at the left and three at the right of the text strip.
  p.setPen(Qt::black);
  for (int i = 0; i < 3; ++i) {
    const QRect line(textArea.left() + 1, textArea.top() + 1 + i * lineH_, textArea.width() - 2,
                     lineH_);
    p.drawText(line, Qt::AlignLeft | Qt::AlignTop, Text(texts.Left[static_cast<std::size_t>(i)]));
    p.drawText(line, Qt::AlignRight | Qt::AlignTop, Text(texts.Right[static_cast<std::size_t>(i)]));
  }

  const QRect screen = ToQRect(BoxScreenRect(imageAreaT, PreviewSide(target.ScreenWidth(), scale),
                                             PreviewSide(target.ScreenHeight(), scale)));
  p.setClipRect(imageArea.adjusted(1, 1, -1, -1));
  if (const TBitmap* final = target.FinalBitmap()) {
    auto scaled = [scale](int v) { return static_cast<int>(std::lround(v * scale)); };
    const QRect resized(screen.left() + scaled(target.Layout().OffsetX),
                        screen.top() + scaled(target.Layout().OffsetY),
                        PreviewSide(target.ResizeWidth(), scale),
                        PreviewSide(target.ResizeHeight(), scale));
    DottedOutline(p, resized, imageArea);
    if (scale == 1.0) {
      p.drawImage(screen.topLeft(), StandbyBitmapImage(*final));
    } else {
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.drawImage(screen, StandbyBitmapImage(*final));
    }
    // The warnings from the bottom right upwards, yellow with a black edge.
    int bottom = imageArea.bottom();
    for (const std::string& warning : StatusTexts(target)) {
      const QString text = Text(Tr(warning));
      const int x = imageArea.right() - metrics.horizontalAdvance(text);
      const int y = bottom - metrics.height();
      const int baseline = y + metrics.ascent();
      p.setPen(Qt::black);
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (dx != 0 || dy != 0)
            p.drawText(x + dx, baseline + dy, text);
      p.setPen(QColor(255, 255, 0));
      p.drawText(x, baseline, text);
      bottom = y - 1;
    }
  } else {
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(screen.adjusted(0, 0, -1, -1));
    const TRect screenT{screen.left(), screen.top(), screen.left() + screen.width(),
                        screen.top() + screen.height()};
    if (auto mark = PlacementMark(screenT, target.Layout().HorzAlign, target.Layout().VertAlign)) {
      p.fillRect(ToQRect(mark->Horizontal), Qt::black);
      p.fillRect(ToQRect(mark->Vertical), Qt::black);
    }
    int y = imageArea.top() + 2;
    // A target the last run could not make says why, in red.
    std::vector<std::string> lines = StandbyBoxErrorTexts(target);
    if (lines.empty())
      lines = OptionSummaryTexts(target);
    else
      p.setPen(Qt::red);
    for (const std::string& line : lines) {
      p.drawText(imageArea.left() + 2, y + metrics.ascent(), Text(line));
      y += lineH_ + 1;
    }
  }
  return image;
}

} // namespace mirufo
