#include "imaging/subject_point.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

namespace mirufo {
namespace {

// Luma steps between neighbours up to this are sensor noise and compression
// artefacts, not detail.
constexpr int kNoiseFloor = 4;
// Blocks of the attention map on the reduced copy's long side.
constexpr int kBlocksOnLongSide = 64;
// Each thread reading the picture gets at least this many pixels; below
// that, starting a thread costs more than it saves.
constexpr std::int64_t kPixelsPerThread = std::int64_t{1} << 19;
// A map whose peak stays below this has nothing that stands out.
constexpr float kLeastAttention = 0.12f;
// How much less a corner counts than the centre.
constexpr float kCentreBias = 0.3f;

// What each feature adds to the attention, and the value of a block above
// the picture's typical one that counts as fully striking. The scales keep a
// nearly uniform picture from having its faint differences stretched into a
// subject.
struct TFeature {
  float Weight;
  float Scale;
};
constexpr TFeature kDetail{1.0f, 12.0f};     // cored luma gradient per pixel
constexpr TFeature kContrast{0.6f, 40.0f};   // colour distance to the surroundings
constexpr TFeature kSaturation{0.4f, 60.0f}; // max - min channel
constexpr TFeature kSkin{0.5f, 0.5f};        // closeness to skin tones, 0..1

// Per cell of the reduced copy: the pixels read of those it covers, their
// channel sums and their detail.
struct TCellSums {
  std::uint64_t Pixels = 0;
  std::uint64_t Blue = 0;
  std::uint64_t Green = 0;
  std::uint64_t Red = 0;
  std::uint64_t Detail = 0;
};

// The first source index of each of cells cells over total indexes, plus
// total at the end; every cell covers at least one index when cells <=
// total.
std::vector<int> CellStarts(int total, int cells) {
  std::vector<int> starts(static_cast<std::size_t>(cells) + 1);
  for (int c = 0; c <= cells; ++c)
    starts[static_cast<std::size_t>(c)] = static_cast<int>(
        (static_cast<std::int64_t>(c) * total + cells - 1) / static_cast<std::int64_t>(cells));
  return starts;
}

// Pairs of rows (or columns) to step over between pairs read, for cells of
// side / cells pixels: about four of each cell's are read.
int PairSkip(int side, int cells) {
  return std::max(1,
                  static_cast<int>((side + 2 * std::int64_t{cells}) / (4 * std::int64_t{cells})));
}

inline int Luma(const std::uint8_t* p) {
  return (29 * p[0] + 150 * p[1] + 77 * p[2]) >> 8;
}

inline std::uint32_t Cored(int step) {
  const int size = std::abs(step) - kNoiseFloor;
  return size > 0 ? static_cast<std::uint32_t>(size) : 0;
}

// What one thread reads: the cell rows [first, last) of the reduced copy.
struct TBand {
  int First = 0;
  int Last = 0;
  std::vector<std::int16_t> Above; // luma of the row above the current one
  std::vector<std::int16_t> Row;   // luma of the current row
};

class TReducer {
public:
  TReducer(const TBitmap& picture, int cellsX, int cellsY)
      : picture_(picture), step_(picture.PixelFormat() == pf32bit ? 4 : 3), cellsX_(cellsX),
        cols_(CellStarts(picture.Width(), cellsX)), rows_(CellStarts(picture.Height(), cellsY)),
        skipX_(PairSkip(picture.Width(), cellsX)), skipY_(PairSkip(picture.Height(), cellsY)),
        sums_(static_cast<std::size_t>(cellsX) * static_cast<std::size_t>(cellsY)) {
    cellCols_.push_back(0);
    for (int c = 0; c < cellsX; ++c) {
      for (int x = cols_[static_cast<std::size_t>(c)]; x < cols_[static_cast<std::size_t>(c) + 1];
           ++x)
        if (UsedColumn(x))
          usedCols_.push_back(x);
      cellCols_.push_back(usedCols_.size());
    }
  }

  const std::vector<TCellSums>& Sums() const { return sums_; }

  // Reads every cell row; each thread fills whole cell rows of its own, so
  // every sum is added up in the same order whatever the thread count.
  void Run(int threads) {
    const int cellsY = static_cast<int>(rows_.size()) - 1;
    const std::int64_t pixels = static_cast<std::int64_t>(picture_.Width()) * picture_.Height();
    const int count = static_cast<int>(std::clamp<std::int64_t>(
        threads, 1,
        std::max<std::int64_t>(1, std::min<std::int64_t>(cellsY, pixels / kPixelsPerThread))));
    std::vector<TBand> bands(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      TBand& band = bands[static_cast<std::size_t>(i)];
      band.First = i * cellsY / count;
      band.Last = (i + 1) * cellsY / count;
      band.Above.resize(static_cast<std::size_t>(picture_.Width()));
      band.Row.resize(static_cast<std::size_t>(picture_.Width()));
    }
    std::vector<std::thread> workers;
    workers.reserve(bands.size());
    for (std::size_t i = 1; i < bands.size(); ++i) {
      try {
        workers.emplace_back([this, &band = bands[i]] { Read(band); });
      } catch (const std::system_error&) {
        // No thread to be had: this one reads the band itself.
        Read(bands[i]);
      }
    }
    Read(bands[0]);
    for (std::thread& worker : workers)
      worker.join();
  }

private:
  void LumaRow(int y, std::int16_t* luma) const {
    const std::uint8_t* p = picture_.ScanLine(y);
    for (int x = 0, w = picture_.Width(); x < w; ++x, p += step_)
      luma[x] = static_cast<std::int16_t>(Luma(p));
  }

  // Rows and columns are read in pairs, so that a pixel read has its upper
  // and left neighbours read too, but for the first of each pair. Cells
  // larger than four pixels skip pairs: about four rows and columns of each
  // are plenty for its colour and detail, and reading fewer is what keeps
  // large pictures quick.
  bool Used(int y) const { return (y / 2) % skipY_ == 0; }
  bool UsedColumn(int x) const { return (x / 2) % skipX_ == 0; }

  void Read(TBand& band) {
    if (band.First >= band.Last)
      return;
    const int top = rows_[static_cast<std::size_t>(band.First)];
    bool haveAbove = top > 0 && Used(top - 1);
    if (haveAbove)
      LumaRow(top - 1, band.Above.data());
    for (int r = band.First; r < band.Last; ++r) {
      TCellSums* cells =
          sums_.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(cellsX_);
      for (int y = rows_[static_cast<std::size_t>(r)]; y < rows_[static_cast<std::size_t>(r) + 1];
           ++y) {
        if (!Used(y)) {
          haveAbove = false;
          continue;
        }
        // Without a row above, the row is its own: no vertical detail.
        ReadRow(y, haveAbove ? band.Above.data() : nullptr, band.Row.data(), cells);
        band.Above.swap(band.Row);
        haveAbove = true;
      }
    }
  }

  void ReadRow(int y, const std::int16_t* above, std::int16_t* row, TCellSums* cells) const {
    if (step_ == 3)
      ReadRowOf<3>(y, above, row, cells);
    else
      ReadRowOf<4>(y, above, row, cells);
  }

  // The row's luma first, then per cell the channel sums and the detail
  // against the left and upper neighbours.
  template <int Step>
  void ReadRowOf(int y, const std::int16_t* above, std::int16_t* row, TCellSums* cells) const {
    const std::uint8_t* line = picture_.ScanLine(y);
    for (const int x : usedCols_)
      row[x] = static_cast<std::int16_t>(Luma(line + static_cast<std::size_t>(x) * Step));
    if (!above)
      above = row;
    for (int c = 0; c < cellsX_; ++c) {
      const std::size_t begin = cellCols_[static_cast<std::size_t>(c)];
      const std::size_t end = cellCols_[static_cast<std::size_t>(c) + 1];
      std::uint32_t blue = 0, green = 0, red = 0, detail = 0;
      for (std::size_t i = begin; i < end; ++i) {
        const int x = usedCols_[i];
        const std::uint8_t* p = line + static_cast<std::size_t>(x) * Step;
        blue += p[0];
        green += p[1];
        red += p[2];
        // The left neighbour is read only for the second column of a pair.
        const int left = x > 0 && UsedColumn(x - 1) ? row[x - 1] : row[x];
        detail += Cored(row[x] - left) + Cored(row[x] - above[x]);
      }
      cells[c].Pixels += static_cast<std::uint32_t>(end - begin);
      cells[c].Blue += blue;
      cells[c].Green += green;
      cells[c].Red += red;
      cells[c].Detail += detail;
    }
  }

  const TBitmap& picture_;
  const int step_;
  const int cellsX_;
  const std::vector<int> cols_;
  const std::vector<int> rows_;
  // One pair of columns (rows) is read out of every skipX_ (skipY_).
  const int skipX_;
  const int skipY_;
  std::vector<int> usedCols_;         // the columns read, left to right
  std::vector<std::size_t> cellCols_; // where each cell's columns start in usedCols_
  std::vector<TCellSums> sums_;
};

// A map of float values on a grid.
struct TBlockMap {
  int Width = 0;
  int Height = 0;
  std::vector<float> Values;

  TBlockMap(int width, int height)
      : Width(width), Height(height),
        Values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}
  float& At(int x, int y) {
    return Values[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                  static_cast<std::size_t>(x)];
  }
  float At(int x, int y) const {
    return Values[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                  static_cast<std::size_t>(x)];
  }
};

// The mean of a grid over the window [x0, x1) x [y0, y1), from its summed
// area table (one row and column larger, zero at the top and left).
double WindowMean(const std::vector<double>& table, int tableWidth, int x0, int y0, int x1,
                  int y1) {
  auto at = [&](int x, int y) {
    return table[static_cast<std::size_t>(y) * static_cast<std::size_t>(tableWidth) +
                 static_cast<std::size_t>(x)];
  };
  const double sum = at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
  return sum / (static_cast<double>(x1 - x0) * (y1 - y0));
}

std::vector<double> SummedArea(const TBlockMap& grid) {
  const int tw = grid.Width + 1;
  std::vector<double> table(static_cast<std::size_t>(tw) *
                            static_cast<std::size_t>(grid.Height + 1));
  for (int y = 0; y < grid.Height; ++y) {
    double rowSum = 0;
    for (int x = 0; x < grid.Width; ++x) {
      rowSum += grid.At(x, y);
      table[static_cast<std::size_t>(y + 1) * static_cast<std::size_t>(tw) +
            static_cast<std::size_t>(x + 1)] =
          table[static_cast<std::size_t>(y) * static_cast<std::size_t>(tw) +
                static_cast<std::size_t>(x + 1)] +
          rowSum;
    }
  }
  return table;
}

// The blocks of the attention map, each the mean of bs x bs cells (fewer at
// the right and bottom edges).
struct TBlocks {
  int Size = 1;
  std::vector<int> Cols; // first cell of each block column, then the cell count
  std::vector<int> Rows;

  TBlocks(int cellsX, int cellsY) {
    Size = std::max(1, (std::max(cellsX, cellsY) + kBlocksOnLongSide - 1) / kBlocksOnLongSide);
    for (int x = 0; x < cellsX; x += Size)
      Cols.push_back(x);
    Cols.push_back(cellsX);
    for (int y = 0; y < cellsY; y += Size)
      Rows.push_back(y);
    Rows.push_back(cellsY);
  }
  int Width() const { return static_cast<int>(Cols.size()) - 1; }
  int Height() const { return static_cast<int>(Rows.size()) - 1; }
};

// How striking each block is in one feature: the amount above the
// picture's median block, in units of scale, at most 1.
TBlockMap Striking(TBlockMap feature, float scale) {
  std::vector<float> sorted = feature.Values;
  const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
  std::nth_element(sorted.begin(), middle, sorted.end());
  const float median = *middle;
  for (float& value : feature.Values)
    value = std::min(1.0f, std::max(0.0f, value - median) / scale);
  return feature;
}

// One pass of the [1 2 1] / 4 filter across and down, edges repeated.
TBlockMap Smooth(const TBlockMap& grid) {
  TBlockMap across(grid.Width, grid.Height), result(grid.Width, grid.Height);
  for (int y = 0; y < grid.Height; ++y)
    for (int x = 0; x < grid.Width; ++x)
      across.At(x, y) = (grid.At(std::max(x - 1, 0), y) + 2 * grid.At(x, y) +
                         grid.At(std::min(x + 1, grid.Width - 1), y)) /
                        4;
  for (int y = 0; y < grid.Height; ++y)
    for (int x = 0; x < grid.Width; ++x)
      result.At(x, y) = (across.At(x, std::max(y - 1, 0)) + 2 * across.At(x, y) +
                         across.At(x, std::min(y + 1, grid.Height - 1))) /
                        4;
  return result;
}

// The attention of every block of the reduced copy.
TBlockMap AttentionMap(const TReducer& reducer, int cellsX, int cellsY, const TBlocks& blocks) {
  const int bw = blocks.Width(), bh = blocks.Height();
  TBlockMap luma(bw, bh), cb(bw, bh), cr(bw, bh), detail(bw, bh), saturation(bw, bh), skin(bw, bh);
  // Each cell's features from its mean colour, added up per block.
  for (int y = 0; y < cellsY; ++y) {
    const int by = y / blocks.Size;
    const TCellSums* sums =
        reducer.Sums().data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(cellsX);
    for (int x = 0; x < cellsX; ++x) {
      const TCellSums& sum = sums[x];
      const int bx = x / blocks.Size;
      const auto n = static_cast<double>(sum.Pixels);
      const double b = static_cast<double>(sum.Blue) / n, g = static_cast<double>(sum.Green) / n,
                   r = static_cast<double>(sum.Red) / n;
      const double yy = 0.299 * r + 0.587 * g + 0.114 * b;
      const double u = 128 - 0.168736 * r - 0.331264 * g + 0.5 * b;
      const double v = 128 + 0.5 * r - 0.418688 * g - 0.081312 * b;
      luma.At(bx, by) += static_cast<float>(yy);
      cb.At(bx, by) += static_cast<float>(u);
      cr.At(bx, by) += static_cast<float>(v);
      detail.At(bx, by) += static_cast<float>(static_cast<double>(sum.Detail) / n);
      saturation.At(bx, by) += static_cast<float>(std::max({r, g, b}) - std::min({r, g, b}));
      // Skin of every complexion falls in a small ellipse of the chroma
      // plane, away from the darkest and brightest tones.
      const double du = (u - 108) / 22, dv = (v - 152) / 18;
      const double near = 1 - du * du - dv * dv;
      if (yy > 40 && yy < 240 && near > 0)
        skin.At(bx, by) += static_cast<float>(near);
    }
  }
  for (int by = 0; by < bh; ++by)
    for (int bx = 0; bx < bw; ++bx) {
      const auto n = static_cast<float>((blocks.Rows[static_cast<std::size_t>(by) + 1] -
                                         blocks.Rows[static_cast<std::size_t>(by)]) *
                                        (blocks.Cols[static_cast<std::size_t>(bx) + 1] -
                                         blocks.Cols[static_cast<std::size_t>(bx)]));
      for (TBlockMap* grid : {&luma, &cb, &cr, &detail, &saturation, &skin})
        grid->At(bx, by) /= n;
    }

  // Contrast with the surroundings: the colour's distance from the mean of
  // a window reaching an eighth of the long side around it.
  TBlockMap contrast(bw, bh);
  {
    const int radius = std::max(1, std::max(bw, bh) / 8);
    const std::vector<double> ly = SummedArea(luma), lu = SummedArea(cb), lv = SummedArea(cr);
    for (int y = 0; y < bh; ++y)
      for (int x = 0; x < bw; ++x) {
        // The window stays symmetric near the edges, so that a smooth
        // gradient is no contrast anywhere.
        const int rx = std::min({radius, x, bw - 1 - x});
        const int ry = std::min({radius, y, bh - 1 - y});
        const int x0 = x - rx, x1 = x + rx + 1, y0 = y - ry, y1 = y + ry + 1;
        const double dy = luma.At(x, y) - WindowMean(ly, bw + 1, x0, y0, x1, y1);
        const double du = cb.At(x, y) - WindowMean(lu, bw + 1, x0, y0, x1, y1);
        const double dv = cr.At(x, y) - WindowMean(lv, bw + 1, x0, y0, x1, y1);
        // Chroma spans a narrower range than luma; it counts double.
        contrast.At(x, y) = static_cast<float>(std::sqrt(dy * dy + 2 * (du * du + dv * dv)));
      }
  }

  // Detail and contrast draw the eye by themselves; a saturated or
  // skin-toned colour only where it also differs from its surroundings
  // (a warm wall or a blue sky covering half the picture does not).
  const TBlockMap sharp = Striking(detail, kDetail.Scale);
  const TBlockMap distinct = Striking(contrast, kContrast.Scale);
  const TBlockMap vivid = Striking(saturation, kSaturation.Scale);
  const TBlockMap skinned = Striking(skin, kSkin.Scale);
  TBlockMap attention(bw, bh);
  for (std::size_t i = 0; i < attention.Values.size(); ++i)
    attention.Values[i] = kDetail.Weight * sharp.Values[i] + kContrast.Weight * distinct.Values[i] +
                          distinct.Values[i] * (kSaturation.Weight * vivid.Values[i] +
                                                kSkin.Weight * skinned.Values[i]);
  attention = Smooth(Smooth(attention));

  // Gently towards the centre: among equal regions the central one wins.
  for (int by = 0; by < bh; ++by)
    for (int bx = 0; bx < bw; ++bx) {
      const float dx = (bx + 0.5f) / static_cast<float>(bw) * 2 - 1;
      const float dy = (by + 0.5f) / static_cast<float>(bh) * 2 - 1;
      attention.At(bx, by) *= 1 - kCentreBias * (dx * dx + dy * dy) / 2;
    }
  return attention;
}

struct TRegionCentre {
  double X = 0; // in cells of the reduced copy
  double Y = 0;
};

// The centre of the connected region (8 neighbours) of blocks at or above
// half the peak whose attention adds up to the most. The region's weighted
// centroid, or its strongest block when the centroid falls outside it.
TRegionCentre StrongestRegion(const TBlockMap& attention, const TBlocks& blocks, float peak) {
  const float threshold = peak / 2;
  const int w = attention.Width, h = attention.Height;
  std::vector<int> label(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), -1);
  auto index = [w](int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
  };
  auto centre = [&](int bx, int by) {
    return TRegionCentre{(blocks.Cols[static_cast<std::size_t>(bx)] +
                          blocks.Cols[static_cast<std::size_t>(bx) + 1]) /
                             2.0,
                         (blocks.Rows[static_cast<std::size_t>(by)] +
                          blocks.Rows[static_cast<std::size_t>(by) + 1]) /
                             2.0};
  };
  double bestScore = -1;
  int bestLabel = -1;
  TRegionCentre best;
  std::vector<std::array<int, 2>> stack;
  int regions = 0;
  for (int sy = 0; sy < h; ++sy)
    for (int sx = 0; sx < w; ++sx) {
      if (label[index(sx, sy)] >= 0 || attention.At(sx, sy) < threshold)
        continue;
      const int id = regions++;
      double score = 0, cx = 0, cy = 0, strongest = -1;
      TRegionCentre top;
      label[index(sx, sy)] = id;
      stack.push_back({sx, sy});
      while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        const double value = attention.At(x, y);
        const TRegionCentre c = centre(x, y);
        score += value;
        cx += value * c.X;
        cy += value * c.Y;
        if (value > strongest) {
          strongest = value;
          top = c;
        }
        for (int ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1); ++ny)
          for (int nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); ++nx)
            if (label[index(nx, ny)] < 0 && attention.At(nx, ny) >= threshold) {
              label[index(nx, ny)] = id;
              stack.push_back({nx, ny});
            }
      }
      if (score > bestScore) {
        bestScore = score;
        bestLabel = id;
        best = {cx / score, cy / score};
        // The block that holds the centroid must belong to the region (a
        // ring or a bent band has its centroid outside).
        const int bx = std::min(w - 1, static_cast<int>(best.X / blocks.Size));
        const int by = std::min(h - 1, static_cast<int>(best.Y / blocks.Size));
        if (label[index(bx, by)] != bestLabel)
          best = top;
      }
    }
  return best;
}

} // namespace

TSubjectPoint FindSubjectPoint(const TBitmap& picture, int threads) {
  if (picture.Empty())
    return {};
  if (picture.PixelFormat() != pf24bit && picture.PixelFormat() != pf32bit) {
    TBitmap copy = picture;
    copy.SetPixelFormat(pf24bit);
    return FindSubjectPoint(copy, threads);
  }
  const int width = picture.Width(), height = picture.Height();
  const TSubjectPoint centre{width / 2, height / 2};
  const int longSide = std::max(width, height);
  int cellsX = width, cellsY = height;
  if (longSide > kSubjectMapSide) {
    cellsX = std::max(
        1, static_cast<int>((static_cast<std::int64_t>(width) * kSubjectMapSide + longSide / 2) /
                            longSide));
    cellsY = std::max(
        1, static_cast<int>((static_cast<std::int64_t>(height) * kSubjectMapSide + longSide / 2) /
                            longSide));
  }

  if (threads <= 0)
    threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  TReducer reducer(picture, cellsX, cellsY);
  reducer.Run(threads);

  const TBlocks blocks(cellsX, cellsY);
  const TBlockMap attention = AttentionMap(reducer, cellsX, cellsY, blocks);
  const float peak = *std::max_element(attention.Values.begin(), attention.Values.end());
  if (!(peak >= kLeastAttention))
    return centre;
  const TRegionCentre region = StrongestRegion(attention, blocks, peak);
  // Cells to pixels: cell c covers the pixels from c * width / cellsX on.
  const auto x = static_cast<std::int64_t>(region.X * width / cellsX);
  const auto y = static_cast<std::int64_t>(region.Y * height / cellsY);
  return {static_cast<int>(std::clamp<std::int64_t>(x, 0, width - 1)),
          static_cast<int>(std::clamp<std::int64_t>(y, 0, height - 1))};
}

} // namespace mirufo
