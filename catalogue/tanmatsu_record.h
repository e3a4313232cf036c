// One handset screen and the small vocabulary around it: carriers, image
// formats, format sets and named cache capacities.
#pragma once

#include "platform/translate.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace mirufo {

enum TCarrier : std::uint8_t { crDoCoMo = 0, crAu = 1, crTuKa = 2, crVodafone = 3, crUser = 4 };

enum TImageFormat : std::uint8_t {
  ifGIF = 0,
  ifJPEG = 1,
  ifPNG8 = 2,
  ifPNG24 = 3,
  ifBMP = 4,
  ifBMP2 = 5
};

// A set of formats: bit i stands for format code i.
class TImageFormats {
public:
  constexpr TImageFormats() = default;
  constexpr explicit TImageFormats(std::uint8_t bits) : bits_(bits) {}
  constexpr TImageFormats(std::initializer_list<TImageFormat> formats) {
    for (TImageFormat f : formats)
      Include(f);
  }
  constexpr bool Contains(TImageFormat f) const {
    return static_cast<unsigned>(f) < 8 && ((bits_ >> f) & 1) != 0;
  }
  constexpr void Include(TImageFormat f) {
    if (static_cast<unsigned>(f) < 8)
      bits_ = static_cast<std::uint8_t>(bits_ | (1u << f));
  }
  constexpr void Exclude(TImageFormat f) {
    if (static_cast<unsigned>(f) < 8)
      bits_ = static_cast<std::uint8_t>(bits_ & ~(1u << f));
  }
  constexpr std::uint8_t Bits() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TImageFormats, TImageFormats) = default;

private:
  std::uint8_t bits_ = 0;
};

// Capacities of the fixed-size text fields, in CP932 bytes.
inline constexpr std::size_t kSeriesBytes = 31;
inline constexpr std::size_t kNameBytes = 31;
inline constexpr std::size_t kScreenBytes = 63;
inline constexpr std::size_t kCacheNameBytes = 31;

// One handset screen. Text fields are UTF-8 whose CP932 form fits the field's
// capacity; the setters of TTanmatsuList and the readers cut longer values at
// a character boundary (use SetSeries and the like to keep that rule).
struct TTanmatsuRecord {
  TCarrier Carrier = crDoCoMo;
  std::string Series;
  std::string Name;
  std::string Screen;
  TImageFormat Format = ifGIF;
  TImageFormats SupportFormats;
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  std::uint8_t Bit = 0;
  std::string CacheName;
  float Cache = 0; // KB of 1024 bytes; 0 means no limit
  std::int32_t Bps = 0;

  // Store a text cut to the field's capacity without splitting a character.
  void SetSeries(std::string_view value);
  void SetName(std::string_view value);
  void SetScreen(std::string_view value);
  void SetCacheName(std::string_view value);

  friend bool operator==(const TTanmatsuRecord&, const TTanmatsuRecord&) = default;
};

// A named cache capacity.
struct TCacheCapacity {
  std::string Name;   // at most 31 CP932 bytes
  float Capacity = 0; // KB; 0 means no limit

  void SetName(std::string_view value);
  friend bool operator==(const TCacheCapacity&, const TCacheCapacity&) = default;
};

// Display name of a carrier; "" for a value outside the table.
std::string CarrierName(TCarrier carrier);

// Cache capacity as text: "∞", "7.5KB", "20KB".
std::string CacheToStr(double capacity);

// What a handset of unknown line speed (0, as today's phones are listed)
// shows for its speed, download time and packet charge.
inline constexpr const char* kUnknownSpeedText = N_("不明");

// Line speed as text: "28.8K", "384K", "2.4M"; unknown for 0 or less.
std::string BpsToStr(std::int32_t bps);

} // namespace mirufo
