#include "output/standby_texts.h"

#include "catalogue/tanmatsu_record.h"
#include "engine/standby_specification.h"
#include "platform/arith.h"
#include "platform/translate.h"

#include <algorithm>
#include <cstdio>

namespace mirufo {

std::string FileSizeText(std::int64_t bytes) {
  char buffer[64];
  if (bytes < 1024) {
    std::snprintf(buffer, sizeof buffer, "%lldbytes", static_cast<long long>(bytes));
    return buffer;
  }
  std::int64_t whole = bytes / 1024;
  std::int64_t rest = std::min<std::int64_t>(bytes % 1024, 999);
  std::snprintf(buffer, sizeof buffer, "%gK",
                static_cast<double>(whole) + static_cast<double>(rest) / 1000);
  return buffer;
}

std::string DownloadTimeText(std::int64_t bytes, std::int32_t bps) {
  // A speed of 0 means unknown: no time can be told from it.
  if (bps < 1)
    return Tr(kUnknownSpeedText);
  const float seconds = static_cast<float>(static_cast<long double>(bytes) * 8 /
                                           (static_cast<long double>(bps) / 1000 * 1024));
  std::string speed = BpsToStr(bps);
  char buffer[96];
  if (Trunc(static_cast<long double>(seconds) * 10) % 10 != 0)
    std::snprintf(buffer, sizeof buffer, "%.1fsec @ %s", static_cast<double>(seconds),
                  speed.c_str());
  else
    std::snprintf(buffer, sizeof buffer, "%lldsec @ %s", static_cast<long long>(Trunc(seconds)),
                  speed.c_str());
  return buffer;
}

std::vector<std::string> StatusTexts(const TStandbySpecification& target) {
  std::vector<std::string> texts;
  if (target.IsSizeOver())
    texts.emplace_back(N_("ファイルサイズオーバー"));
  if (target.IsFormatViolation())
    texts.emplace_back(N_("フォーマット違反"));
  if (target.IsColorOver())
    texts.emplace_back(N_("色数オーバー"));
  if (target.IsEnlarged())
    texts.emplace_back(N_("画像拡大"));
  return texts;
}

} // namespace mirufo
