#include "catalogue/tanmatsu_record.h"

#include "platform/arith.h"
#include "platform/encoding.h"
#include "platform/translate.h"

#include <cmath>
#include <cstdio>

namespace mirufo {

namespace {

// The text as the list file holds it: cut to the field's CP932 bytes, with
// every character that CP932 cannot hold already the "?" the file gets. Two
// names that differ only there are then one name from the start, not only
// after the next save (which would merge them and change the file again).
std::string StoredText(std::string_view value, std::size_t maxBytes) {
  std::string cut = CutToCp932Bytes(value, maxBytes);
  if (IsAscii(cut))
    return cut;
  return Cp932ToUtf8(Utf8ToCp932(cut));
}

} // namespace

void TTanmatsuRecord::SetSeries(std::string_view value) {
  Series = StoredText(value, kSeriesBytes);
}
void TTanmatsuRecord::SetName(std::string_view value) {
  Name = StoredText(value, kNameBytes);
}
void TTanmatsuRecord::SetScreen(std::string_view value) {
  Screen = StoredText(value, kScreenBytes);
}
void TTanmatsuRecord::SetCacheName(std::string_view value) {
  CacheName = StoredText(value, kCacheNameBytes);
}
void TCacheCapacity::SetName(std::string_view value) {
  Name = StoredText(value, kCacheNameBytes);
}

std::string CarrierName(TCarrier carrier) {
  switch (carrier) {
  case crDoCoMo:
    return "NTT DoCoMo";
  case crAu:
    return "au by KDDI";
  case crTuKa:
    return "Tu-Ka";
  case crVodafone:
    return "Vodafone";
  case crUser:
    return "ユーザー定義";
  }
  return "";
}

std::string CacheToStr(double capacity) {
  if (!(capacity > 0))
    return "∞";
  char buffer[64];
  long double tenths = static_cast<long double>(capacity) * 10;
  if (Trunc(tenths) % 10 != 0)
    std::snprintf(buffer, sizeof buffer, "%.1fKB", capacity);
  else
    std::snprintf(buffer, sizeof buffer, "%lldKB", static_cast<long long>(Trunc(capacity)));
  return buffer;
}

std::string BpsToStr(std::int32_t bps) {
  if (bps <= 0)
    return Tr(kUnknownSpeedText);
  const char* unit = "K";
  long double x = static_cast<long double>(bps) / 1000;
  if (bps > 1000000) {
    unit = "M";
    x = static_cast<long double>(bps) / 1000 / 1000;
  }
  std::int64_t whole = Trunc(x);
  std::int64_t tenth = Round(x * 10) % 10;
  char buffer[64];
  if (tenth > 0)
    std::snprintf(buffer, sizeof buffer, "%lld.%lld%s", static_cast<long long>(whole),
                  static_cast<long long>(tenth), unit);
  else
    std::snprintf(buffer, sizeof buffer, "%lld%s", static_cast<long long>(whole), unit);
  return buffer;
}

} // namespace mirufo
