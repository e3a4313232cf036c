// Octree quantizers: build a palette of at most a given number of colours
// from the colours of a picture.
//
// Every pixel goes down the tree by its colour bits, most significant first,
// to a leaf that sums the pixels reaching it. Whenever there are more leaves
// than colours wanted, the most recently created node of the deepest level
// that still has children is folded into a leaf. Each leaf gives one palette
// colour, the average of its pixels.
//
// The root is never folded while more than one colour is wanted: that would
// leave a single colour. When only the root's children are left and they are
// still too many (possible with four colours or fewer), the two that cost
// least to merge become one instead.
#pragma once

#include "color/palette.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace mirufo {

class TDIBReader;

struct TOctreeNode {
  bool Leaf = false;
  std::uint32_t PixelCount = 0;
  // Wider than the pixel count times 255 can ever reach, so that the average
  // of a large one-coloured picture stays exact.
  std::uint64_t RedSum = 0;
  std::uint64_t GreenSum = 0;
  std::uint64_t BlueSum = 0;
  // The next node of the same level that can still be folded.
  TOctreeNode* NextReducible = nullptr;
  std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

class TColorQuantizer {
public:
  // Raises EMirufoError when colorBits is above 8 (or negative).
  TColorQuantizer(int maxColors, int colorBits);
  virtual ~TColorQuantizer();
  TColorQuantizer(const TColorQuantizer&) = delete;
  TColorQuantizer& operator=(const TColorQuantizer&) = delete;

  // Feeds every pixel of the picture into the tree, rows from the top,
  // pixels from the left, folding after each pixel as needed.
  void CountColors(TDIBReader& reader);
  // Adds one colour at a node of the given level, creating the node (and the
  // ones below it) where needed.
  void InsertColor(std::unique_ptr<TOctreeNode>& node, std::uint8_t red, std::uint8_t green,
                   std::uint8_t blue, int level);
  // Folds the newest node of the deepest level that has one; at the root,
  // while more than one colour is wanted, merges the cheapest pair of its
  // children instead. Returns false when nothing is left to fold.
  bool FoldDeepestNode();
  // Writes one colour per leaf, depth first with children in index order,
  // into the table; returns how many were written (never more than the
  // table holds).
  virtual int CollectPalette(std::span<TPaletteEntry> table);

  int LeafCount() const { return leafCount_; }
  int MaxColors() const { return maxColors_; }
  int ColorBits() const { return colorBits_; }
  std::unique_ptr<TOctreeNode>& Root() { return root_; }

private:
  // Merges the two children of the root (all leaves by then) whose merge
  // adds the least squared error, n_a n_b / (n_a + n_b) |c_a - c_b|^2 with
  // pixel counts n and mean colours c; the first pair in child order wins
  // ties, and the pair's lower child keeps the sum. False without a pair.
  bool MergeCheapestRootLeaves();
  void Collect(const TOctreeNode& node, std::span<TPaletteEntry> table, int& count) const;

  std::unique_ptr<TOctreeNode> root_;
  int leafCount_ = 0;
  std::array<TOctreeNode*, 8> reducible_{};
  int maxColors_;
  int colorBits_;
};

// The same tree, but every collected colour is moved onto the nearest 3-3-2
// grid colour that no earlier leaf received, so the palette never holds the
// same grid colour twice.
class TColorQuantizerRGB332 : public TColorQuantizer {
public:
  using TColorQuantizer::TColorQuantizer;

  int CollectPalette(std::span<TPaletteEntry> table) override;

  // The grid colour nearest (squared distance) to the colour among those not
  // handed out yet, first in grid order on ties; it is then handed out. When
  // every grid colour is taken, the nearest one is answered again.
  TPaletteEntry SnapToGrid332(const TPaletteEntry& color);

  const TPalette& HandedOut() const { return handedOut_; }

private:
  TPalette handedOut_;
  std::array<bool, 256> taken_{};
};

} // namespace mirufo
