// Short texts that describe a finished image: its file size, the estimated
// download time, and the status warnings of a target.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mirufo {

class TStandbySpecification;

// "%dbytes" below 1024; otherwise the whole kilobytes and the remaining
// bytes as thousandths, "%gK" (5000 bytes read "4.904K"). A remainder of
// 1000 bytes or more reads as 999 thousandths, so the text never shows more
// kilobytes than the file holds.
std::string FileSizeText(std::int64_t bytes);

// The time a file of that size takes at the line speed, "1.4sec @ 28.8K";
// empty for a speed below 1.
std::string DownloadTimeText(std::int64_t bytes, std::int32_t bps);

// The warnings that hold for a target, in their fixed order:
// "ファイルサイズオーバー", "フォーマット違反", "色数オーバー", "画像拡大".
std::vector<std::string> StatusTexts(const TStandbySpecification& target);

} // namespace mirufo
