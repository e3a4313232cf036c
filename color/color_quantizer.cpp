#include "color/color_quantizer.h"

#include "color/dib.h"
#include "platform/errors.h"

namespace mirufo {

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(maxColors), colorBits_(colorBits) {
  if (colorBits > 8)
    throw EMirufoError("ColorBits must be 8 or less");
  if (colorBits < 0)
    throw EMirufoError("ColorBits must not be negative");
}

TColorQuantizer::~TColorQuantizer() {
  // Children are owned by their parents; dropping the root frees the tree.
  root_.reset();
}

void TColorQuantizer::CountColors(TDIBReader& reader) {
  const int width = reader.Width();
  const int height = reader.Height();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* p = reader.RowAddress(y);
    for (int x = 0; x < width; ++x, p += 3) {
      InsertColor(root_, p[2], p[1], p[0], 0);
      while (leafCount_ > maxColors_) {
        if (!FoldDeepestNode())
          break;
      }
    }
  }
}

void TColorQuantizer::InsertColor(std::unique_ptr<TOctreeNode>& node, std::uint8_t red,
                                  std::uint8_t green, std::uint8_t blue, int level) {
  std::unique_ptr<TOctreeNode>* current = &node;
  for (;;) {
    if (!*current) {
      *current = std::make_unique<TOctreeNode>();
      TOctreeNode& created = **current;
      if (level == colorBits_) {
        created.Leaf = true;
        ++leafCount_;
      } else {
        created.NextReducible = reducible_[static_cast<std::size_t>(level)];
        reducible_[static_cast<std::size_t>(level)] = &created;
      }
    }
    TOctreeNode& n = **current;
    if (n.Leaf) {
      ++n.PixelCount;
      n.RedSum += red;
      n.GreenSum += green;
      n.BlueSum += blue;
      return;
    }
    const int shift = 7 - level;
    const int child =
        (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
    current = &n.Children[static_cast<std::size_t>(child)];
    ++level;
  }
}

bool TColorQuantizer::FoldDeepestNode() {
  int level = colorBits_ - 1;
  if (level < 0)
    return false;
  while (level > 0 && reducible_[static_cast<std::size_t>(level)] == nullptr)
    --level;
  TOctreeNode* node = reducible_[static_cast<std::size_t>(level)];
  if (node == nullptr)
    return false;
  if (level == 0 && maxColors_ > 1)
    return MergeCheapestRootLeaves();
  reducible_[static_cast<std::size_t>(level)] = node->NextReducible;
  node->NextReducible = nullptr;
  int children = 0;
  for (std::unique_ptr<TOctreeNode>& child : node->Children) {
    if (!child)
      continue;
    node->PixelCount += child->PixelCount;
    node->RedSum += child->RedSum;
    node->GreenSum += child->GreenSum;
    node->BlueSum += child->BlueSum;
    child.reset();
    ++children;
  }
  node->Leaf = true;
  leafCount_ -= children - 1;
  return true;
}

bool TColorQuantizer::MergeCheapestRootLeaves() {
  auto& children = root_->Children;
  auto mean = [](const TOctreeNode& n, std::uint64_t sum) {
    return static_cast<long double>(sum) / static_cast<long double>(n.PixelCount);
  };
  auto cost = [&mean](const TOctreeNode& a, const TOctreeNode& b) {
    const long double dr = mean(a, a.RedSum) - mean(b, b.RedSum);
    const long double dg = mean(a, a.GreenSum) - mean(b, b.GreenSum);
    const long double db = mean(a, a.BlueSum) - mean(b, b.BlueSum);
    const long double na = a.PixelCount, nb = b.PixelCount;
    return na * nb / (na + nb) * (dr * dr + dg * dg + db * db);
  };
  auto mergeable = [](const std::unique_ptr<TOctreeNode>& n) {
    return n && n->Leaf && n->PixelCount > 0;
  };
  std::size_t keep = 0, gone = 0;
  long double best = 0;
  bool found = false;
  for (std::size_t a = 0; a < children.size(); ++a) {
    if (!mergeable(children[a]))
      continue;
    for (std::size_t b = a + 1; b < children.size(); ++b) {
      if (!mergeable(children[b]))
        continue;
      const long double c = cost(*children[a], *children[b]);
      if (!found || c < best) {
        found = true;
        best = c;
        keep = a;
        gone = b;
      }
    }
  }
  if (!found)
    return false;
  TOctreeNode& into = *children[keep];
  into.PixelCount += children[gone]->PixelCount;
  into.RedSum += children[gone]->RedSum;
  into.GreenSum += children[gone]->GreenSum;
  into.BlueSum += children[gone]->BlueSum;
  children[gone].reset();
  --leafCount_;
  return true;
}

void TColorQuantizer::Collect(const TOctreeNode& node, std::span<TPaletteEntry> table,
                              int& count) const {
  if (node.Leaf) {
    if (static_cast<std::size_t>(count) < table.size() && node.PixelCount > 0) {
      table[static_cast<std::size_t>(count)] = {
          static_cast<std::uint8_t>(node.RedSum / node.PixelCount),
          static_cast<std::uint8_t>(node.GreenSum / node.PixelCount),
          static_cast<std::uint8_t>(node.BlueSum / node.PixelCount)};
      ++count;
    }
    return;
  }
  for (const std::unique_ptr<TOctreeNode>& child : node.Children)
    if (child)
      Collect(*child, table, count);
}

int TColorQuantizer::CollectPalette(std::span<TPaletteEntry> table) {
  int count = 0;
  if (root_)
    Collect(*root_, table, count);
  return count;
}

int TColorQuantizerRGB332::CollectPalette(std::span<TPaletteEntry> table) {
  handedOut_.clear();
  taken_.fill(false);
  int count = TColorQuantizer::CollectPalette(table);
  for (int i = 0; i < count; ++i)
    table[static_cast<std::size_t>(i)] = SnapToGrid332(table[static_cast<std::size_t>(i)]);
  return count;
}

TPaletteEntry TColorQuantizerRGB332::SnapToGrid332(const TPaletteEntry& color) {
  int best = -1;
  int bestDistance = 0;
  int nearest = 0;
  int nearestDistance = 0;
  // Grid indexes run red outermost, then green, then blue, each ascending.
  for (int i = 0; i < 256; ++i) {
    const TPaletteEntry g = Grid332Color(i);
    const int dr = g.Red - color.Red, dg = g.Green - color.Green, db = g.Blue - color.Blue;
    const int d = dr * dr + dg * dg + db * db;
    if (i == 0 || d < nearestDistance) {
      nearest = i;
      nearestDistance = d;
    }
    if (taken_[static_cast<std::size_t>(i)])
      continue;
    if (best < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  if (best < 0)
    best = nearest;
  taken_[static_cast<std::size_t>(best)] = true;
  const TPaletteEntry chosen = Grid332Color(best);
  handedOut_.push_back(chosen);
  return chosen;
}

} // namespace mirufo
