// Windows bitmap files: the writer of the BMP output formats.
#include "engine/codecs.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <algorithm>
#include <cstring>

namespace mirufo {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;

void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::uint64_t RowBytes(std::int64_t width, int bits) {
  return static_cast<std::uint64_t>((width * bits + 31) / 32) * 4;
}

} // namespace

std::string EncodeBmp(const TBitmap& picture) {
  if (picture.Empty())
    throw EMirufoError(Tr("BMPの書き込みに失敗しました: 画像が空です"));
  const TBitmap* input = &picture;
  TBitmap converted;
  if (picture.PixelFormat() == pf32bit) {
    converted = picture;
    converted.SetPixelFormat(pf24bit);
    input = &converted;
  }
  const int bits = BitsPerPixel(input->PixelFormat());
  const std::uint32_t paletteCount =
      bits <= 8 ? static_cast<std::uint32_t>(
                      std::min<std::size_t>(input->Palette().size(), std::size_t{1} << bits))
                : 0;
  const std::uint64_t rowBytes = RowBytes(input->Width(), bits);
  const std::uint64_t imageBytes = rowBytes * static_cast<std::uint64_t>(input->Height());
  const std::uint64_t offset = kFileHeaderBytes + kInfoHeaderBytes + 4ull * paletteCount;
  if (offset + imageBytes > 0xFFFFFFFFull)
    throw EMirufoError(Tr("BMPの書き込みに失敗しました: 画像が大きすぎます"));
  std::string out;
  out.reserve(static_cast<std::size_t>(offset + imageBytes));
  out += "BM";
  Put32(out, static_cast<std::uint32_t>(offset + imageBytes));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(offset));
  Put32(out, kInfoHeaderBytes);
  Put32(out, static_cast<std::uint32_t>(input->Width()));
  Put32(out, static_cast<std::uint32_t>(input->Height())); // positive: rows bottom-up
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bits));
  Put32(out, 0); // BI_RGB
  Put32(out, static_cast<std::uint32_t>(imageBytes));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, paletteCount);
  Put32(out, 0);
  for (std::uint32_t i = 0; i < paletteCount; ++i) {
    const TRGBQuad& q = input->Palette()[i];
    out.push_back(static_cast<char>(q.Blue));
    out.push_back(static_cast<char>(q.Green));
    out.push_back(static_cast<char>(q.Red));
    out.push_back(0);
  }
  // Our rows are padded to 4 bytes already; the padding is written as zeros.
  const std::size_t used = static_cast<std::size_t>((input->Width() * bits + 7) / 8);
  for (int y = input->Height() - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(input->ScanLine(y)), used);
    out.append(static_cast<std::size_t>(rowBytes) - used, '\0');
  }
  return out;
}

} // namespace mirufo
