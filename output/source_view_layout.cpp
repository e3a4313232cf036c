#include "output/source_view_layout.h"

#include "platform/arith.h"

#include <algorithm>
#include <cmath>

namespace mirufo {

TSourceViewLayout LayoutSourceView(int pictureWidth, int pictureHeight, float zoom, int pageWidth,
                                   int pageHeight, int scrollBarWidth, int scrollBarHeight) {
  const int scaledWidth = static_cast<int>(std::lround(pictureWidth * zoom));
  const int scaledHeight = static_cast<int>(std::lround(pictureHeight * zoom));
  TSourceViewLayout layout;
  layout.HasHorizontal = scaledWidth > pageWidth;
  layout.ClientHeight = pageHeight - (layout.HasHorizontal ? scrollBarHeight : 0);
  layout.HasVertical = scaledHeight > layout.ClientHeight;
  layout.ClientWidth = pageWidth - (layout.HasVertical ? scrollBarWidth : 0);
  if (!layout.HasHorizontal && scaledWidth > layout.ClientWidth) {
    layout.HasHorizontal = true;
    layout.ClientHeight = pageHeight - scrollBarHeight;
  }
  layout.ClientWidth = std::max(layout.ClientWidth, 0);
  layout.ClientHeight = std::max(layout.ClientHeight, 0);
  if (layout.HasHorizontal)
    layout.MaxX = scaledWidth - layout.ClientWidth + 1;
  else
    layout.OffsetX = (layout.ClientWidth - scaledWidth) / 2;
  if (layout.HasVertical)
    layout.MaxY = scaledHeight - layout.ClientHeight + 1;
  else
    layout.OffsetY = (layout.ClientHeight - scaledHeight) / 2;
  return layout;
}

int PictureOrigin(int offset, int scrollPosition) {
  return offset - scrollPosition;
}

TPixel PixelAt(const TSourceViewLayout& layout, TPixel scroll, float zoom, TPixel point) {
  auto along = [zoom](int offset, int position, int at) {
    return static_cast<int>(std::floor((at - PictureOrigin(offset, position)) / zoom));
  };
  return {along(layout.OffsetX, scroll.X, point.X), along(layout.OffsetY, scroll.Y, point.Y)};
}

int HandScrollPosition(int startPosition, int startCursor, int cursor, float zoom, int max) {
  const long double position =
      startPosition + static_cast<long double>(cursor - startCursor) * zoom / 2;
  return static_cast<int>(std::clamp<long double>(Trunc(position), 0, max));
}

int AutoScrollStep(int cursor, int pageSize) {
  if (cursor < 0)
    return -(-cursor / 8);
  if (cursor >= pageSize)
    return (cursor - pageSize) / 8;
  return 0;
}

} // namespace mirufo
