// The status texts the four pages of the desktop program show in the main
// window's bottom bar. Each format passes through Tr before it is filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace mirufo {

// Fills "%d" and "%s" in order with the given texts; "%%" is "%". A format
// with more places than texts leaves the rest empty, so that a translation
// with a wrong count cannot read past the arguments.
std::string FillFormat(std::string_view format, std::initializer_list<std::string> values);

// 12345 → "12,345".
std::string ThousandsText(std::int64_t value);

// "%d / %d 枚の待受画像を作成します".
std::string HandsetPageStatus(int targets, std::size_t handsets);
// "no image" without a picture, else "%s @ %d%%" with the file name without
// its folder and the zoom in percent.
std::string SourcePageStatus(bool empty, std::string_view sourceFileName, int zoomPercent);
// "%d 枚の待受画像を作成（完成済み %d 枚）".
std::string MakePageStatus(int boxes, int made);
// "%d 個のファイルを保存します（%.0n bytes）" with the total in thousands.
std::string SavePageStatus(int files, std::int64_t bytes);

} // namespace mirufo
