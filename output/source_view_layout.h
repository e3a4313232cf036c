// Where the source image page draws the picture: which scroll bars show,
// their ranges, where the picture starts, and the arithmetic of turning a
// point of the page into a picture pixel, of hand scrolling and of the
// automatic scrolling during a selection drag. All in screen pixels.
#pragma once

#include "output/source_image_editor.h"

namespace mirufo {

struct TSourceViewLayout {
  bool HasHorizontal = false; // a horizontal scroll bar shows
  bool HasVertical = false;
  int ClientWidth = 0; // the room left for the picture
  int ClientHeight = 0;
  int MaxX = 0; // scroll positions run from 0 to these
  int MaxY = 0;
  int OffsetX = 0; // a fitting direction's centring margin
  int OffsetY = 0;
};

// The layout of a picture of the given size at a zoom in a page of the
// given size, with scroll bars of the given thickness. A direction whose
// scaled picture is larger than its room scrolls (0 to scaled - room + 1);
// one where it fits is centred. Each shown bar takes its thickness from the
// other direction's room; the horizontal need is tested first.
TSourceViewLayout LayoutSourceView(int pictureWidth, int pictureHeight, float zoom, int pageWidth,
                                   int pageHeight, int scrollBarWidth, int scrollBarHeight);

// The left (or top) of the drawn picture for a scroll position.
int PictureOrigin(int offset, int scrollPosition);
// The picture pixel under a page point (may lie outside the picture).
TPixel PixelAt(const TSourceViewLayout& layout, TPixel scroll, float zoom, TPixel point);

// A hand-scroll drag's scroll position: Trunc(start + (cursor - start
// cursor) * zoom / 2), limited to the bar's range.
int HandScrollPosition(int startPosition, int startCursor, int cursor, float zoom, int max);

// One automatic-scrolling step toward a cursor outside the page: the
// distance beyond the edge div 8, negative before the page's start, 0
// inside it.
int AutoScrollStep(int cursor, int pageSize);

} // namespace mirufo
