#include "color/dither_engine.h"

#include "platform/arith.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <algorithm>
#include <string>

namespace mirufo {

TDitherEngine::TDitherEngine(int width, TColorLookup& lookup)
    : lookup_(lookup), width_(std::max(width, 0)) {}

void TDitherEngine::CheckColumn() const {
  if (column_ < 0 || column_ >= width_)
    throw ERangeError("TDitherEngine");
}

int TDitherEngine::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                            TPaletteEntry& color) {
  CheckColumn();
  int index = lookup_.FindColor(red, green, blue, color);
  Advance();
  return index;
}

void TDitherEngine::EndRow() {
  direction_ = -direction_;
  column_ = direction_ > 0 ? 0 : width_ - 1;
}

TErrorRows::TErrorRows(int rows, int width, int margin)
    : rows_(rows), slots_(static_cast<std::size_t>(std::max(width, 0) + 2 * margin)),
      margin_(margin), storage_(static_cast<std::size_t>(3 * rows) * slots_, 0) {}

std::int32_t* TErrorRows::Row(int channel, int k) {
  int row = first_ + k;
  if (row >= rows_)
    row -= rows_;
  const int physical = channel * rows_ + row;
  return storage_.data() + static_cast<std::size_t>(physical) * slots_;
}

void TErrorRows::Rotate() {
  for (int channel = 0; channel < 3; ++channel)
    std::fill_n(Row(channel, 0), slots_, 0);
  first_ = (first_ + 1) % rows_;
}

// --- Floyd-Steinberg --------------------------------------------------------

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), errors_(1, width, 1) {}

int TFloydSteinbergDitherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                      TPaletteEntry& color) {
  CheckColumn();
  const int p = Slot();
  const std::array<std::uint8_t, 3> source = {red, green, blue};
  for (int ch = 0; ch < 3; ++ch) {
    const std::int32_t* e = errors_.Row(ch, 0);
    cur_[ch] = ClampByte(source[ch] + Div<std::int32_t>(e[p] + cur_[ch] + 8, 16));
  }
  const int index =
      Lookup().FindColor(static_cast<std::uint8_t>(cur_[0]), static_cast<std::uint8_t>(cur_[1]),
                         static_cast<std::uint8_t>(cur_[2]), color);
  const std::array<std::int32_t, 3> chosen = {color.Red, color.Green, color.Blue};
  for (int ch = 0; ch < 3; ++ch) {
    const std::int32_t err = cur_[ch] - chosen[ch];
    if (err == 0) {
      // Nothing to pass on; the slot keeps what it holds.
      cur_[ch] = 0;
      continue;
    }
    std::int32_t* e = errors_.Row(ch, 0);
    e[p] = belowPrev_[ch] + 3 * err;
    belowPrev_[ch] = below_[ch] + 5 * err;
    below_[ch] = err;
    cur_[ch] = 7 * err;
  }
  Advance();
  return index;
}

void TFloydSteinbergDitherer::EndRow() {
  // The slot just beyond the row's last pixel receives what is still pending.
  const int p = Slot();
  for (int ch = 0; ch < 3; ++ch) {
    errors_.Row(ch, 0)[p] = belowPrev_[ch];
    cur_[ch] = 0;
    below_[ch] = 0;
    belowPrev_[ch] = 0;
  }
  TDitherEngine::EndRow();
}

// --- Ditherers with separate error rows ------------------------------------

namespace {

// Adjusts the pixel by the current row's sum at its slot, looks it up and
// hands every non-zero channel error to spread(channel, slot, error).
template <typename Spread>
int MapWithErrorRows(TErrorRows& errors, int column, std::int32_t divisor, TColorLookup& lookup,
                     std::uint8_t red, std::uint8_t green, std::uint8_t blue, TPaletteEntry& color,
                     Spread spread) {
  const int p = column + errors.Margin();
  const std::int32_t rounding = divisor / 2;
  const std::array<std::uint8_t, 3> source = {red, green, blue};
  std::array<std::uint8_t, 3> adjusted;
  for (int ch = 0; ch < 3; ++ch)
    adjusted[ch] =
        ClampByte(source[ch] + Div<std::int32_t>(errors.Row(ch, 0)[p] + rounding, divisor));
  const int index = lookup.FindColor(adjusted[0], adjusted[1], adjusted[2], color);
  const std::array<std::int32_t, 3> chosen = {color.Red, color.Green, color.Blue};
  for (int ch = 0; ch < 3; ++ch) {
    const std::int32_t err = adjusted[ch] - chosen[ch];
    if (err != 0)
      spread(ch, p, err);
  }
  return index;
}

} // namespace

T5by3Ditherer::T5by3Ditherer(int width, TColorLookup& lookup, int divisor)
    : TDitherEngine(width, lookup), errors_(3, width, 2), divisor_(divisor) {}

int T5by3Ditherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                            TPaletteEntry& color) {
  CheckColumn();
  const int index = MapWithErrorRows(errors_, Column(), divisor_, Lookup(), red, green, blue, color,
                                     [this](int ch, int p, std::int32_t err) {
                                       SpreadError(errors_.Row(ch, 0) + p, errors_.Row(ch, 1) + p,
                                                   errors_.Row(ch, 2) + p, Direction(), err);
                                     });
  Advance();
  return index;
}

void T5by3Ditherer::EndRow() {
  errors_.Rotate();
  TDitherEngine::EndRow();
}

void TStuckiDitherer::SpreadError(std::int32_t* row0, std::int32_t* row1, std::int32_t* row2, int d,
                                  std::int32_t e) {
  row0[d] += 8 * e;
  row0[2 * d] += 4 * e;
  row1[-2 * d] += 2 * e;
  row1[-d] += 4 * e;
  row1[0] += 8 * e;
  row1[d] += 4 * e;
  row1[2 * d] += 2 * e;
  row2[-2 * d] += 1 * e;
  row2[-d] += 2 * e;
  row2[0] += 4 * e;
  row2[d] += 2 * e;
  row2[2 * d] += 1 * e;
}

void TSierraDitherer::SpreadError(std::int32_t* row0, std::int32_t* row1, std::int32_t* row2, int d,
                                  std::int32_t e) {
  row0[d] += 5 * e;
  row0[2 * d] += 3 * e;
  row1[-2 * d] += 2 * e;
  row1[-d] += 4 * e;
  row1[0] += 5 * e;
  row1[d] += 4 * e;
  row1[2 * d] += 2 * e;
  row2[-d] += 2 * e;
  row2[0] += 3 * e;
  row2[d] += 2 * e;
}

void TJaJuNiDitherer::SpreadError(std::int32_t* row0, std::int32_t* row1, std::int32_t* row2, int d,
                                  std::int32_t e) {
  row0[d] += 7 * e;
  row0[2 * d] += 5 * e;
  row1[-2 * d] += 3 * e;
  row1[-d] += 5 * e;
  row1[0] += 7 * e;
  row1[d] += 5 * e;
  row1[2 * d] += 3 * e;
  row2[-2 * d] += 1 * e;
  row2[-d] += 3 * e;
  row2[0] += 5 * e;
  row2[d] += 3 * e;
  row2[2 * d] += 1 * e;
}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), errors_(4, width, 3) {}

int TSteveArcheDitherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                  TPaletteEntry& color) {
  CheckColumn();
  const int d = Direction();
  const int index = MapWithErrorRows(errors_, Column(), 200, Lookup(), red, green, blue, color,
                                     [this, d](int ch, int p, std::int32_t e) {
                                       std::int32_t* r0 = errors_.Row(ch, 0) + p;
                                       std::int32_t* r1 = errors_.Row(ch, 1) + p;
                                       std::int32_t* r2 = errors_.Row(ch, 2) + p;
                                       std::int32_t* r3 = errors_.Row(ch, 3) + p;
                                       r0[2 * d] += 32 * e;
                                       r1[-3 * d] += 12 * e;
                                       r1[-d] += 26 * e;
                                       r1[d] += 30 * e;
                                       r1[3 * d] += 16 * e;
                                       r2[-2 * d] += 12 * e;
                                       r2[0] += 26 * e;
                                       r2[2 * d] += 12 * e;
                                       r3[-3 * d] += 5 * e;
                                       r3[-d] += 12 * e;
                                       r3[d] += 12 * e;
                                       r3[3 * d] += 5 * e;
                                     });
  Advance();
  return index;
}

void TSteveArcheDitherer::EndRow() {
  errors_.Rotate();
  TDitherEngine::EndRow();
}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup), errors_(2, width, 2) {}

int TBurkesDitherer::MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                              TPaletteEntry& color) {
  CheckColumn();
  const int d = Direction();
  const int index = MapWithErrorRows(errors_, Column(), 32, Lookup(), red, green, blue, color,
                                     [this, d](int ch, int p, std::int32_t e) {
                                       std::int32_t* r0 = errors_.Row(ch, 0) + p;
                                       std::int32_t* r1 = errors_.Row(ch, 1) + p;
                                       r0[d] += 8 * e;
                                       r0[2 * d] += 4 * e;
                                       r1[-2 * d] += 2 * e;
                                       r1[-d] += 4 * e;
                                       r1[0] += 8 * e;
                                       r1[d] += 4 * e;
                                       r1[2 * d] += 2 * e;
                                     });
  Advance();
  return index;
}

void TBurkesDitherer::EndRow() {
  errors_.Rotate();
  TDitherEngine::EndRow();
}

std::unique_ptr<TDitherEngine> CreateDitherer(int dither, int width, TColorLookup& lookup) {
  switch (dither) {
  case 0:
    return std::make_unique<TDitherEngine>(width, lookup);
  case 1:
    return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
  case 2:
    return std::make_unique<TStuckiDitherer>(width, lookup);
  case 3:
    return std::make_unique<TSierraDitherer>(width, lookup);
  case 4:
    return std::make_unique<TJaJuNiDitherer>(width, lookup);
  case 5:
    return std::make_unique<TSteveArcheDitherer>(width, lookup);
  case 6:
    return std::make_unique<TBurkesDitherer>(width, lookup);
  default:
    throw EMirufoError(Tr("ディザの種類が正しくありません (") + std::to_string(dither) + ")");
  }
}

} // namespace mirufo
