// Resampling. Each method computes exactly the values its arithmetic rules
// give; the speed comes from tables that are the same for every row (column
// positions and weights), not from changing the arithmetic.
#include "imaging/resize.h"

#include "platform/arith.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mirufo {
namespace {

int ClampIndex(std::int64_t value, int size) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, size - 1));
}

// The checks every method makes before touching Dest.
bool CanResize(const TBitmap& Source, int NewWidth, int NewHeight) {
  return Source.PixelFormat() == pf24bit && NewWidth >= 1 && NewHeight >= 1 && !Source.Empty();
}

// Nearest neighbour: the source index of destination index i of n, for a
// source side of size: Round((i / n) * size), clamped into the source.
int NearestIndex(int i, int n, int size) {
  const long double position = static_cast<long double>(i) / n * size;
  return ClampIndex(Round(position), size);
}

// Bilinear: the integer part and the weight of destination index i of n.
struct TLinearTap {
  int Low = 0;     // Trunc(f), clamped
  int High = 0;    // Trunc(f) + 1, clamped
  double Frac = 0; // Frac(f), stored as a double
};

TLinearTap LinearTap(int i, int n, int size) {
  const double f = static_cast<double>(static_cast<long double>(i) / n * size);
  const std::int64_t whole = Trunc(f);
  TLinearTap tap;
  tap.Low = ClampIndex(whole, size);
  tap.High = ClampIndex(whole + 1, size);
  tap.Frac = static_cast<double>(Frac(f));
  return tap;
}

// (1 - w) * a + w * b in extended precision, stored as a double.
double Mix(double w, std::uint8_t a, std::uint8_t b) {
  const long double wl = w;
  return static_cast<double>((1.0L - wl) * a + wl * b);
}

std::uint8_t MixRound(double w, double top, double bottom) {
  const long double wl = w;
  return ClampByte(static_cast<std::int32_t>(Round((1.0L - wl) * top + wl * bottom)));
}

// Area averaging: the source span [lo, hi] of destination index i for a ratio
// r, the far edge pulled in so that a span ending on a pixel boundary does not
// reach into the next pixel.
constexpr long double kEdgeInset = 0.000001L;

struct TSpan {
  double Lo = 0;
  double Hi = 0;
};

TSpan AreaSpan(int i, double ratio) {
  return {static_cast<double>(static_cast<long double>(i) * ratio),
          static_cast<double>(static_cast<long double>(i + 1) * ratio - kEdgeInset)};
}

// Length of the overlap of source pixel k with the span, stored as a double.
double Overlap(std::int64_t k, const TSpan& span) {
  const long double hi =
      std::min(static_cast<long double>(k + 1), static_cast<long double>(span.Hi));
  const long double lo = std::max(static_cast<long double>(k), static_cast<long double>(span.Lo));
  return static_cast<double>(hi - lo);
}

// The source columns that one destination column covers, with their weights.
struct TColumnSpan {
  int First = 0;
  int Count = 0;
  std::size_t WeightIndex = 0; // into the shared weight table
  // The run [WholeBegin, WholeEnd) of columns with weight exactly 1.
  int WholeBegin = 0;
  int WholeEnd = 0;
};

struct TChannelSums {
  float Blue = 0;
  float Green = 0;
  float Red = 0;
};

// Every byte as a single. A single holds a byte exactly, so multiplying by
// the table's entry gives the product that multiplying by the byte gives,
// and the extended-precision multiply takes it straight from memory instead
// of storing the byte first to convert it.
struct TByteSingles {
  float Value[256];
  constexpr TByteSingles() : Value() {
    for (int i = 0; i < 256; ++i)
      Value[i] = static_cast<float>(i);
  }
};
constexpr TByteSingles kByteSingles;

// Adds weight * value to a single-precision sum the way the average is
// defined: product and sum in extended precision, the sum stored back as a
// single.
inline void AddWeighted(float& sum, long double weight, std::uint8_t value) {
  sum = static_cast<float>(sum + weight * kByteSingles.Value[value]);
}

// Adds count pixels of one source row with column weights wx and row weight
// wy.
inline void AddPixels(TChannelSums& sums, const std::uint8_t* p, const double* wx, int count,
                      double wy) {
  for (int k = 0; k < count; ++k, p += 3) {
    const long double w = static_cast<long double>(wx[k]) * wy;
    AddWeighted(sums.Blue, w, p[0]);
    AddWeighted(sums.Green, w, p[1]);
    AddWeighted(sums.Red, w, p[2]);
  }
}

// Adds the pixels of four columns of one source row with row weight wy, the
// columns side by side: each column's sums get the same additions in the
// same order as alone, and the twelve chains of additions overlap.
[[gnu::noinline]] void AddPixels4(TChannelSums* sums, const std::uint8_t* const* p,
                                  const double* const* wx, const int* counts, double wy) {
  const int common = std::min({counts[0], counts[1], counts[2], counts[3]});
  TChannelSums s[4] = {sums[0], sums[1], sums[2], sums[3]};
  for (int k = 0; k < common; ++k) {
    long double w[4];
    for (int c = 0; c < 4; ++c)
      w[c] = static_cast<long double>(wx[c][k]) * wy;
    const std::size_t at = static_cast<std::size_t>(k) * 3;
    for (int c = 0; c < 4; ++c)
      AddWeighted(s[c].Blue, w[c], p[c][at]);
    for (int c = 0; c < 4; ++c)
      AddWeighted(s[c].Green, w[c], p[c][at + 1]);
    for (int c = 0; c < 4; ++c)
      AddWeighted(s[c].Red, w[c], p[c][at + 2]);
  }
  const std::size_t at = static_cast<std::size_t>(common) * 3;
  for (int c = 0; c < 4; ++c) {
    AddPixels(s[c], p[c] + at, wx[c] + common, counts[c] - common, wy);
    sums[c] = s[c];
  }
}

// Adds count pixels whose weight is exactly 1. Weight times value is then the
// value itself, and the sum of a single and a byte rounds to the same single
// whether or not it passes through extended precision first (the exact sum
// either fits the 64-bit significand or lies too far from a halfway point
// for the first rounding to matter), so plain single-precision additions in
// the same order give the same sums.
// Kept out of line so that the three sums stay in registers.
[[gnu::noinline]] TChannelSums AddWholePixels(TChannelSums sums, const std::uint8_t* p, int count) {
  float blue = sums.Blue, green = sums.Green, red = sums.Red;
  for (int k = 0; k < count; ++k, p += 3) {
    blue += p[0];
    green += p[1];
    red += p[2];
  }
  return {blue, green, red};
}

#if defined(__SSE2__)
// One pixel's blue, green and red as singles in the low three lanes; the
// fourth lane holds the byte after the pixel and is never used.
inline __m128 PixelSingles(std::uint32_t bgrx) {
  const __m128i zero = _mm_setzero_si128();
  __m128i v = _mm_cvtsi32_si128(static_cast<int>(bgrx));
  v = _mm_unpacklo_epi8(v, zero);
  v = _mm_unpacklo_epi16(v, zero);
  return _mm_cvtepi32_ps(v);
}

// The pixel at p and the byte after it, which must lie inside the bitmap.
inline std::uint32_t LoadPixelAndNext(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The pixel at p alone.
inline std::uint32_t LoadPixel(const std::uint8_t* p) {
  return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
}
#endif

// Adds the whole-weight runs of four columns of one source row. Each
// column's sums get the same additions in the same order as alone; running
// the four columns side by side lets their chains of additions overlap
// instead of each waiting for its previous sum. A run whose last pixel ends
// the source row (lastEndsRow) reads that pixel's three bytes alone.
[[gnu::noinline]] void AddWholePixels4(TChannelSums* sums, const std::uint8_t* const* p,
                                       const int* counts, const bool* lastEndsRow) {
#if defined(__SSE2__)
  // A pixel's three channels are added in one instruction: single-precision
  // lanes, each rounded exactly as a scalar single addition.
  __m128 s[4];
  int safe[4]; // pixels that can be read with the byte after them
  for (int c = 0; c < 4; ++c) {
    s[c] = _mm_setr_ps(sums[c].Blue, sums[c].Green, sums[c].Red, 0.0f);
    safe[c] = counts[c] - (lastEndsRow[c] && counts[c] > 0 ? 1 : 0);
  }
  const int common = std::min({safe[0], safe[1], safe[2], safe[3]});
  const std::uint8_t *p0 = p[0], *p1 = p[1], *p2 = p[2], *p3 = p[3];
  __m128 s0 = s[0], s1 = s[1], s2 = s[2], s3 = s[3];
  for (int k = 0; k < common; ++k, p0 += 3, p1 += 3, p2 += 3, p3 += 3) {
    s0 = _mm_add_ps(s0, PixelSingles(LoadPixelAndNext(p0)));
    s1 = _mm_add_ps(s1, PixelSingles(LoadPixelAndNext(p1)));
    s2 = _mm_add_ps(s2, PixelSingles(LoadPixelAndNext(p2)));
    s3 = _mm_add_ps(s3, PixelSingles(LoadPixelAndNext(p3)));
  }
  s[0] = s0;
  s[1] = s1;
  s[2] = s2;
  s[3] = s3;
  const std::uint8_t* q[4] = {p0, p1, p2, p3};
  for (int c = 0; c < 4; ++c) {
    for (int k = common; k < safe[c]; ++k, q[c] += 3)
      s[c] = _mm_add_ps(s[c], PixelSingles(LoadPixelAndNext(q[c])));
    if (safe[c] < counts[c])
      s[c] = _mm_add_ps(s[c], PixelSingles(LoadPixel(q[c])));
    alignas(16) float out[4];
    _mm_store_ps(out, s[c]);
    sums[c] = {out[0], out[1], out[2]};
  }
#else
  (void)lastEndsRow;
  for (int c = 0; c < 4; ++c)
    sums[c] = AddWholePixels(sums[c], p[c], counts[c]);
#endif
}

// Adds one source row to the sums of one column, in the order the average
// is defined: the partly covered pixels at the left, the whole ones, the
// partly covered ones at the right.
inline void AddRow(TChannelSums& sums, const std::uint8_t* p, const TColumnSpan& column,
                   const double* weights, double wy) {
  if (wy != 1.0) {
    AddPixels(sums, p, weights, column.Count, wy);
    return;
  }
  const int wholeBegin = column.WholeBegin, wholeEnd = column.WholeEnd;
  AddPixels(sums, p, weights, wholeBegin, wy);
  sums = AddWholePixels(sums, p + static_cast<std::size_t>(wholeBegin) * 3, wholeEnd - wholeBegin);
  AddPixels(sums, p + static_cast<std::size_t>(wholeEnd) * 3, weights + wholeEnd,
            column.Count - wholeEnd, wy);
}

} // namespace

bool ResizeBitmap(const TBitmap& Source, TBitmap& Dest, int NewWidth, int NewHeight,
                  TResampleMethod Method, const TProgressInfo& Info) {
  if (NewWidth == Source.Width() && NewHeight == Source.Height()) {
    if (&Dest != &Source)
      Dest = Source;
    return true;
  }
  if (Method == rsAuto)
    Method =
        (NewWidth > Source.Width() || NewHeight > Source.Height()) ? rsBilinear : rsAreaAverage;
  switch (Method) {
  case rsNearest:
    return ResizeNearest(Source, Dest, NewWidth, NewHeight, Info);
  case rsBilinear:
    return ResizeBilinear(Source, Dest, NewWidth, NewHeight, Info);
  default:
    return ResizeAreaAverage(Source, Dest, NewWidth, NewHeight, Info);
  }
}

bool ResizeNearest(const TBitmap& Source, TBitmap& Dest, int NewWidth, int NewHeight,
                   const TProgressInfo& Info) {
  if (!CanResize(Source, NewWidth, NewHeight))
    return false;
  if (&Source == &Dest) {
    const TBitmap copy = Source;
    return ResizeNearest(copy, Dest, NewWidth, NewHeight, Info);
  }
  const int srcW = Source.Width(), srcH = Source.Height();
  PrepareDest(Dest, NewWidth, NewHeight, pf24bit);
  const auto srcRows = SourceRowTable(Source);
  const auto destRows = DestRowTable(Dest);

  std::vector<std::size_t> columnOffset(static_cast<std::size_t>(NewWidth));
  for (int x = 0; x < NewWidth; ++x)
    columnOffset[static_cast<std::size_t>(x)] =
        static_cast<std::size_t>(NearestIndex(x, NewWidth, srcW)) * 3;

  for (int y = 0; y < NewHeight; ++y) {
    const std::uint8_t* src = srcRows[static_cast<std::size_t>(NearestIndex(y, NewHeight, srcH))];
    std::uint8_t* dst = destRows[static_cast<std::size_t>(y)];
    for (int x = 0; x < NewWidth; ++x, dst += 3) {
      const std::uint8_t* p = src + columnOffset[static_cast<std::size_t>(x)];
      dst[0] = p[0];
      dst[1] = p[1];
      dst[2] = p[2];
    }
    ReportRowProgress(Info, y, NewHeight);
  }
  return true;
}

bool ResizeBilinear(const TBitmap& Source, TBitmap& Dest, int NewWidth, int NewHeight,
                    const TProgressInfo& Info) {
  if (!CanResize(Source, NewWidth, NewHeight))
    return false;
  if (&Source == &Dest) {
    const TBitmap copy = Source;
    return ResizeBilinear(copy, Dest, NewWidth, NewHeight, Info);
  }
  const int srcW = Source.Width(), srcH = Source.Height();
  PrepareDest(Dest, NewWidth, NewHeight, pf24bit);
  const auto srcRows = SourceRowTable(Source);
  const auto destRows = DestRowTable(Dest);

  std::vector<TLinearTap> columns(static_cast<std::size_t>(NewWidth));
  for (int x = 0; x < NewWidth; ++x)
    columns[static_cast<std::size_t>(x)] = LinearTap(x, NewWidth, srcW);

  for (int y = 0; y < NewHeight; ++y) {
    const TLinearTap row = LinearTap(y, NewHeight, srcH);
    const std::uint8_t* upper = srcRows[static_cast<std::size_t>(row.Low)];
    const std::uint8_t* lower = srcRows[static_cast<std::size_t>(row.High)];
    std::uint8_t* dst = destRows[static_cast<std::size_t>(y)];
    for (const TLinearTap& column : columns) {
      const std::uint8_t* p00 = upper + static_cast<std::size_t>(column.Low) * 3;
      const std::uint8_t* p10 = upper + static_cast<std::size_t>(column.High) * 3;
      const std::uint8_t* p01 = lower + static_cast<std::size_t>(column.Low) * 3;
      const std::uint8_t* p11 = lower + static_cast<std::size_t>(column.High) * 3;
      for (int c = 0; c < 3; ++c) {
        const double top = Mix(column.Frac, p00[c], p10[c]);
        const double bottom = Mix(column.Frac, p01[c], p11[c]);
        dst[c] = MixRound(row.Frac, top, bottom);
      }
      dst += 3;
    }
    ReportRowProgress(Info, y, NewHeight);
  }
  return true;
}

bool ResizeAreaAverage(const TBitmap& Source, TBitmap& Dest, int NewWidth, int NewHeight,
                       const TProgressInfo& Info) {
  if (!CanResize(Source, NewWidth, NewHeight))
    return false;
  if (&Source == &Dest) {
    const TBitmap copy = Source;
    return ResizeAreaAverage(copy, Dest, NewWidth, NewHeight, Info);
  }
  try {
    const int srcW = Source.Width(), srcH = Source.Height();
    const float area = static_cast<float>(
        static_cast<long double>(static_cast<std::int64_t>(srcW) * srcH) / NewWidth / NewHeight);
    const double rx = static_cast<double>(static_cast<long double>(srcW) / NewWidth);
    const double ry = static_cast<double>(static_cast<long double>(srcH) / NewHeight);
    PrepareDest(Dest, NewWidth, NewHeight, pf24bit);
    const auto srcRows = SourceRowTable(Source);

    // The columns that each destination column covers and their weights are
    // the same on every row: compute them once.
    std::vector<TColumnSpan> columns(static_cast<std::size_t>(NewWidth));
    std::vector<double> columnWeights;
    for (int x = 0; x < NewWidth; ++x) {
      const TSpan span = AreaSpan(x, rx);
      const std::int64_t first = std::max<std::int64_t>(Floor(span.Lo), 0);
      const std::int64_t last = std::min<std::int64_t>(Floor(span.Hi), srcW - 1);
      TColumnSpan& column = columns[static_cast<std::size_t>(x)];
      column.First = static_cast<int>(first);
      column.Count = static_cast<int>(std::max<std::int64_t>(last - first + 1, 0));
      column.WeightIndex = columnWeights.size();
      for (std::int64_t j = first; j <= last; ++j)
        columnWeights.push_back(Overlap(j, span));
      const double* weights = columnWeights.data() + column.WeightIndex;
      int k = 0;
      while (k < column.Count && weights[k] != 1.0)
        ++k;
      column.WholeBegin = k;
      while (k < column.Count && weights[k] == 1.0)
        ++k;
      column.WholeEnd = k;
    }

    std::vector<double> rowWeights;
    for (int y = 0; y < NewHeight; ++y) {
      const TSpan rowSpan = AreaSpan(y, ry);
      const std::int64_t firstRow = std::max<std::int64_t>(Floor(rowSpan.Lo), 0);
      const std::int64_t lastRow = std::min<std::int64_t>(Floor(rowSpan.Hi), srcH - 1);
      rowWeights.clear();
      for (std::int64_t i = firstRow; i <= lastRow; ++i)
        rowWeights.push_back(Overlap(i, rowSpan));
      std::uint8_t* dst = Dest.ScanLine(y);
      // Four destination columns at a time; a column's sums see exactly the
      // additions, in exactly the order, that it would see alone.
      for (std::size_t x0 = 0; x0 < columns.size(); x0 += 4) {
        const std::size_t group = std::min<std::size_t>(4, columns.size() - x0);
        const TColumnSpan* span = columns.data() + x0;
        TChannelSums sums[4];
        for (std::int64_t i = firstRow; i <= lastRow; ++i) {
          const double wy = rowWeights[static_cast<std::size_t>(i - firstRow)];
          const std::uint8_t* row = srcRows[static_cast<std::size_t>(i)];
          auto at = [&](std::size_t c) {
            return row + static_cast<std::size_t>(span[c].First) * 3;
          };
          auto weightsOf = [&](std::size_t c) {
            return columnWeights.data() + span[c].WeightIndex;
          };
          if (group < 4) {
            for (std::size_t c = 0; c < group; ++c)
              AddRow(sums[c], at(c), span[c], weightsOf(c), wy);
            continue;
          }
          if (wy != 1.0) {
            const std::uint8_t* pixels[4] = {at(0), at(1), at(2), at(3)};
            const double* weights[4] = {weightsOf(0), weightsOf(1), weightsOf(2), weightsOf(3)};
            const int counts[4] = {span[0].Count, span[1].Count, span[2].Count, span[3].Count};
            AddPixels4(sums, pixels, weights, counts, wy);
            continue;
          }
          const std::uint8_t* whole[4];
          int counts[4];
          bool lastEndsRow[4];
          for (std::size_t c = 0; c < 4; ++c) {
            AddPixels(sums[c], at(c), weightsOf(c), span[c].WholeBegin, wy);
            whole[c] = at(c) + static_cast<std::size_t>(span[c].WholeBegin) * 3;
            counts[c] = span[c].WholeEnd - span[c].WholeBegin;
            lastEndsRow[c] = span[c].First + span[c].WholeEnd == srcW;
          }
          AddWholePixels4(sums, whole, counts, lastEndsRow);
          for (std::size_t c = 0; c < 4; ++c) {
            const int wholeEnd = span[c].WholeEnd;
            AddPixels(sums[c], at(c) + static_cast<std::size_t>(wholeEnd) * 3,
                      weightsOf(c) + wholeEnd, span[c].Count - wholeEnd, wy);
          }
        }
        const long double divisor = area;
        for (std::size_t c = 0; c < group; ++c) {
          dst[0] = ClampByte(static_cast<std::int32_t>(Round(sums[c].Blue / divisor)));
          dst[1] = ClampByte(static_cast<std::int32_t>(Round(sums[c].Green / divisor)));
          dst[2] = ClampByte(static_cast<std::int32_t>(Round(sums[c].Red / divisor)));
          dst += 3;
        }
      }
      ReportRowProgress(Info, y, NewHeight);
    }
    return true;
  } catch (...) {
    return false;
  }
}

} // namespace mirufo
