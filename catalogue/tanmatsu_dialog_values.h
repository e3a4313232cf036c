// What the handset dialog holds, without its widgets: the values of its
// controls, filling them from one record or from several (multi mode, with
// the fields in which the records differ left undetermined), and turning them
// back into a record or into the changes a multi edit applies.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "platform/translate.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

// The dialog's fields, as multi mode tracks them.
enum TTanmatsuDialogField : std::uint8_t {
  dfName,
  dfFormat,
  dfAcceptJPEG,
  dfAcceptPNG8,
  dfAcceptBMP2,
  dfWidth,
  dfHeight,
  dfBit,
  dfCache,
  dfSpeed,
  dfCount
};

// A check box: unchecked, checked, or greyed (the records differ).
enum TAcceptState : std::uint8_t { asUnchecked, asChecked, asGrayed };

// The formats of the radio buttons and check boxes, in order.
inline constexpr std::array<TImageFormat, 3> kDialogFormats = {ifJPEG, ifPNG8, ifBMP2};
// The speed drop-down's items, in Kbps.
inline constexpr std::array<const char*, 5> kSpeedItems = {"384", "144", "64", "28.8", "9.6"};
// The cache drop-down's first item.
inline constexpr std::string_view kFixedCacheItem = N_("（固定値）");

inline constexpr int kDialogMinSide = 32;
inline constexpr int kDialogMaxSide = 1024;
inline constexpr int kDialogMinBit = 1;
inline constexpr int kDialogMaxBit = 24;
inline constexpr int kDialogMaxCache = 512;
inline constexpr int kDialogMaxNameChars = 31;

// A speed item's value in bits per second: the decimal text times 1000,
// truncated; 0 when the text is not a number.
std::int32_t SpeedItemBps(std::string_view text);

struct TTanmatsuDialogValues {
  std::string Name;
  TImageFormat Format = ifJPEG; // ifGIF (0) when no radio button is chosen
  std::array<TAcceptState, 3> Accepts{asUnchecked, asUnchecked, asUnchecked};
  int Width = 256;
  int Height = 256;
  int Bit = 24;
  // The cache drop-down: 0 "（固定値）", n the cache entry n - 1, -1 none.
  int CacheItem = 0;
  int CacheNumber = 0;
  // The speed drop-down's item, or -1 for none.
  int SpeedItem = 0;

  bool Multi = false;
  std::array<bool, dfCount> Undetermined{};

  // The cache entry names the drop-down offers after "（固定値）".
  std::vector<std::string> CacheNames;

  bool IsDetermined(TTanmatsuDialogField field) const { return !Undetermined[field]; }
  void SetDetermined(TTanmatsuDialogField field) { Undetermined[field] = false; }

  // Fills the controls from one record; a format code other than JPEG, PNG8
  // and BMP2 and a speed the drop-down does not offer leave those controls
  // as they are.
  void FillFromRecord(const TTanmatsuRecord& record);
  // Multi mode: fills from the first record and leaves undetermined each
  // field in which the records differ. Fixed cache numbers are compared too,
  // so that a multi edit never gives every handset the first one's number.
  void FillFromRecords(const std::vector<TTanmatsuRecord>& records);

  // The record the controls stand for: a user handset without series and
  // screen, the name cut to 31 bytes, the standard format among the accepted
  // ones.
  TTanmatsuRecord ToRecord() const;
  // Multi mode: copies the determined fields into the record; every other
  // field stays as it was.
  void ApplyTo(TTanmatsuRecord& record) const;
};

} // namespace mirufo
