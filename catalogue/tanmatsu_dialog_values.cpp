#include "catalogue/tanmatsu_dialog_values.h"

#include "catalogue/named_bits_list.h"
#include "platform/arith.h"

#include <algorithm>
#include <cmath>

namespace mirufo {
namespace {

int FormatIndex(TImageFormat format) {
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i)
    if (kDialogFormats[i] == format)
      return static_cast<int>(i);
  return -1;
}

bool Accepts(const TTanmatsuRecord& record, TImageFormat format) {
  return record.Format == format || record.SupportFormats.Contains(format);
}

int CacheItemOf(const std::vector<std::string>& names, const std::string& cacheName) {
  if (cacheName.empty())
    return 0;
  const std::string folded = FoldLetterCase(cacheName);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (FoldLetterCase(names[i]) == folded)
      return static_cast<int>(i) + 1;
  return 0;
}

int CacheNumberOf(float cache) {
  // Truncated toward zero; a value beyond the control's range is kept at its end.
  if (!(cache > 0))
    return 0;
  return static_cast<int>(std::min<long double>(Trunc(cache), kDialogMaxCache));
}

} // namespace

std::int32_t SpeedItemBps(std::string_view text) {
  // Exact decimal arithmetic, so that "28.8" gives 28800 and "9.6" 9600.
  std::int64_t value = 0;
  int scale = 1000;
  bool point = false;
  bool digits = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      if (!point) {
        value = value * 10 + (c - '0') * 1000;
      } else if (scale > 1) {
        scale /= 10;
        value += (c - '0') * scale;
      }
      if (value > INT32_MAX)
        return 0;
    } else {
      return 0;
    }
  }
  return digits ? static_cast<std::int32_t>(value) : 0;
}

void TTanmatsuDialogValues::FillFromRecord(const TTanmatsuRecord& record) {
  Name = record.Name;
  if (FormatIndex(record.Format) >= 0)
    Format = record.Format;
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i)
    Accepts[i] = mirufo::Accepts(record, kDialogFormats[i]) ? asChecked : asUnchecked;
  Width = std::clamp<int>(record.Width, kDialogMinSide, kDialogMaxSide);
  Height = std::clamp<int>(record.Height, kDialogMinSide, kDialogMaxSide);
  Bit = std::clamp<int>(record.Bit, kDialogMinBit, kDialogMaxBit);
  CacheItem = CacheItemOf(CacheNames, record.CacheName);
  CacheNumber = CacheNumberOf(record.Cache);
  for (std::size_t i = 0; i < kSpeedItems.size(); ++i) {
    if (SpeedItemBps(kSpeedItems[i]) == record.Bps) {
      SpeedItem = static_cast<int>(i);
      break;
    }
  }
}

void TTanmatsuDialogValues::FillFromRecords(const std::vector<TTanmatsuRecord>& records) {
  Undetermined.fill(false);
  Multi = true;
  if (records.empty())
    return;
  const TTanmatsuRecord& first = records.front();
  FillFromRecord(first);
  for (const TTanmatsuRecord& r : records) {
    if (r.Name != first.Name)
      Undetermined[dfName] = true;
    if (r.Format != first.Format)
      Undetermined[dfFormat] = true;
    for (std::size_t i = 0; i < kDialogFormats.size(); ++i)
      if (mirufo::Accepts(r, kDialogFormats[i]) != mirufo::Accepts(first, kDialogFormats[i]))
        Undetermined[dfAcceptJPEG + i] = true;
    if (r.Width != first.Width)
      Undetermined[dfWidth] = true;
    if (r.Height != first.Height)
      Undetermined[dfHeight] = true;
    if (r.Bit != first.Bit)
      Undetermined[dfBit] = true;
    if (FoldLetterCase(r.CacheName) != FoldLetterCase(first.CacheName) ||
        (CacheItem == 0 && CacheNumberOf(r.Cache) != CacheNumberOf(first.Cache)))
      Undetermined[dfCache] = true;
    if (r.Bps != first.Bps)
      Undetermined[dfSpeed] = true;
  }
  if (Undetermined[dfName])
    Name.clear();
  if (Undetermined[dfFormat])
    Format = ifGIF;
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i)
    if (Undetermined[dfAcceptJPEG + i])
      Accepts[i] = asGrayed;
  if (Undetermined[dfCache])
    CacheItem = -1;
  if (Undetermined[dfSpeed])
    SpeedItem = -1;
}

TTanmatsuRecord TTanmatsuDialogValues::ToRecord() const {
  TTanmatsuRecord record;
  record.Carrier = crUser;
  record.SetName(Name);
  record.Format = FormatIndex(Format) >= 0 ? Format : ifGIF;
  if (FormatIndex(Format) >= 0)
    record.SupportFormats.Include(Format);
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i)
    if (Accepts[i] == asChecked)
      record.SupportFormats.Include(kDialogFormats[i]);
  record.Width = static_cast<std::uint16_t>(std::clamp(Width, kDialogMinSide, kDialogMaxSide));
  record.Height = static_cast<std::uint16_t>(std::clamp(Height, kDialogMinSide, kDialogMaxSide));
  record.Bit = static_cast<std::uint8_t>(std::clamp(Bit, kDialogMinBit, kDialogMaxBit));
  if (CacheItem > 0 && static_cast<std::size_t>(CacheItem) <= CacheNames.size())
    record.SetCacheName(CacheNames[static_cast<std::size_t>(CacheItem) - 1]);
  record.Cache = static_cast<float>(std::clamp(CacheNumber, 0, kDialogMaxCache));
  if (SpeedItem >= 0 && static_cast<std::size_t>(SpeedItem) < kSpeedItems.size())
    record.Bps = SpeedItemBps(kSpeedItems[static_cast<std::size_t>(SpeedItem)]);
  return record;
}

void TTanmatsuDialogValues::ApplyTo(TTanmatsuRecord& record) const {
  const TTanmatsuRecord edited = ToRecord();
  if (!Name.empty())
    record.Name = edited.Name;
  if (FormatIndex(Format) >= 0) {
    record.Format = Format;
    record.SupportFormats.Include(Format);
  }
  for (std::size_t i = 0; i < kDialogFormats.size(); ++i) {
    if (Accepts[i] == asGrayed)
      continue;
    if (Accepts[i] == asChecked)
      record.SupportFormats.Include(kDialogFormats[i]);
    else if (record.Format != kDialogFormats[i])
      record.SupportFormats.Exclude(kDialogFormats[i]);
  }
  if (IsDetermined(dfWidth))
    record.Width = edited.Width;
  if (IsDetermined(dfHeight))
    record.Height = edited.Height;
  if (IsDetermined(dfBit))
    record.Bit = edited.Bit;
  if (IsDetermined(dfCache) && CacheItem >= 0) {
    record.CacheName = edited.CacheName;
    record.Cache = edited.Cache;
  }
  if (SpeedItem >= 0)
    record.Bps = edited.Bps;
}

} // namespace mirufo
