// Ditherers: decide the palette index of each pixel and carry the difference
// between the wanted and the chosen colour over to pixels not visited yet.
//
// Rows are scanned in a serpentine: the first row left to right, each later
// row in the opposite direction. MapPixel handles the pixel at Column() and
// then steps one column in Direction(); EndRow turns round for the next row.
// Offsets of the carried error are counted in the scan direction.
#pragma once

#include "color/color_lookup.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace mirufo {

// The dither codes kept in a target's format options, in the order of the
// format dialog's list.
enum class TDitherKind : std::uint8_t {
  dkNone = 0,
  dkFloydSteinberg = 1,
  dkStucki = 2,
  dkSierra = 3,
  dkJaJuNi = 4,
  dkSteveArche = 5,
  dkBurkes = 6,
};
using enum TDitherKind;

inline constexpr int kDitherKindCount = 7;

// Maps every pixel to the lookup's answer for its own colour; nothing is
// carried over.
class TDitherEngine {
public:
  // The lookup is not owned and must outlive the ditherer.
  TDitherEngine(int width, TColorLookup& lookup);
  virtual ~TDitherEngine() = default;
  TDitherEngine(const TDitherEngine&) = delete;
  TDitherEngine& operator=(const TDitherEngine&) = delete;

  // Palette index for the pixel at Column(); color receives the palette
  // colour. Raises ERangeError when the row has no pixel left.
  virtual int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                       TPaletteEntry& color);
  virtual void EndRow();

  int Direction() const { return direction_; }
  int Column() const { return column_; }
  int Width() const { return width_; }

protected:
  void CheckColumn() const;
  void Advance() { column_ += direction_; }
  TColorLookup& Lookup() { return lookup_; }

private:
  int direction_ = 1;
  int column_ = 0;
  TColorLookup& lookup_;
  int width_;
};

// Signed error sums of a few rows for each of the three channels. Row 0
// belongs to the row being scanned, row 1 to the next one, and so on; spare
// slots at both ends take what falls beyond the first and last column.
class TErrorRows {
public:
  TErrorRows(int rows, int width, int margin);

  // Slot 0 of row k of a channel (0 red, 1 green, 2 blue).
  std::int32_t* Row(int channel, int k);
  // Clears row 0 and moves it to the end; every other row moves up by one.
  void Rotate();
  int Margin() const { return margin_; }

private:
  int rows_;
  std::size_t slots_;
  int margin_;
  int first_ = 0;
  std::vector<std::int32_t> storage_;
};

// Floyd-Steinberg with one shared error row per channel: the slots not yet
// visited in a row hold the sums for that row, the slots already visited hold
// the sums for the next one. Three carries per channel pass the error along
// the row. A left-to-right row reads the slot of its column c, a right-to-left
// row slot c + 2.
class TFloydSteinbergDitherer : public TDitherEngine {
public:
  TFloydSteinbergDitherer(int width, TColorLookup& lookup);

  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
               TPaletteEntry& color) override;
  void EndRow() override;

private:
  int Slot() const { return Direction() > 0 ? Column() : Column() + 2; }

  TErrorRows errors_;
  std::array<std::int32_t, 3> cur_{};
  std::array<std::int32_t, 3> below_{};
  std::array<std::int32_t, 3> belowPrev_{};
};

// Base of the ditherers that spread over the pixel's own row and two rows
// below, two columns either side.
class T5by3Ditherer : public TDitherEngine {
public:
  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
               TPaletteEntry& color) override;
  void EndRow() override;

protected:
  T5by3Ditherer(int width, TColorLookup& lookup, int divisor);
  // Adds the weighted error around the pixel; each pointer is the pixel's
  // slot in that row, dir the scan direction (+1 or -1).
  virtual void SpreadError(std::int32_t* row0, std::int32_t* row1, std::int32_t* row2, int dir,
                           std::int32_t error) = 0;

private:
  TErrorRows errors_;
  int divisor_;
};

class TStuckiDitherer : public T5by3Ditherer {
public:
  TStuckiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 42) {}

protected:
  void SpreadError(std::int32_t* row0, std::int32_t* row1, std::int32_t* row2, int dir,
                   std::int32_t error) override;
};

class TSierraDitherer : public T5by3Ditherer {
public:
  TSierraDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 32) {}

protected:
  void SpreadError(std::int32_t* row0, std::int32_t* row1, std::int32_t* row2, int dir,
                   std::int32_t error) override;
};

class TJaJuNiDitherer : public T5by3Ditherer {
public:
  TJaJuNiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 48) {}

protected:
  void SpreadError(std::int32_t* row0, std::int32_t* row1, std::int32_t* row2, int dir,
                   std::int32_t error) override;
};

// Spreads over its own row and three rows below, three columns either side.
class TSteveArcheDitherer : public TDitherEngine {
public:
  TSteveArcheDitherer(int width, TColorLookup& lookup);

  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
               TPaletteEntry& color) override;
  void EndRow() override;

private:
  TErrorRows errors_;
};

// Spreads over its own row and one row below, two columns either side.
class TBurkesDitherer : public TDitherEngine {
public:
  TBurkesDitherer(int width, TColorLookup& lookup);

  int MapPixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
               TPaletteEntry& color) override;
  void EndRow() override;

private:
  TErrorRows errors_;
};

// The ditherer of a dither code (0 to 6). Raises EMirufoError for any other
// code.
std::unique_ptr<TDitherEngine> CreateDitherer(int dither, int width, TColorLookup& lookup);

} // namespace mirufo
