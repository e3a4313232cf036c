// Windows bitmap files: the writer of the BMP output formats and the reader
// that decodes them again for the preview.
#include "engine/codecs.h"
#include "platform/errors.h"

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

std::uint32_t Get16(std::string_view in, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(in[at])) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + 1])) << 8);
}

std::uint32_t Get32(std::string_view in, std::size_t at) {
  return Get16(in, at) | (Get16(in, at + 2) << 16);
}

std::uint64_t RowBytes(std::int64_t width, int bits) {
  return static_cast<std::uint64_t>((width * bits + 31) / 32) * 4;
}

[[noreturn]] void Refuse(const char* reason) {
  throw EMirufoError(std::string("BMPの読み込みに失敗しました: ") + reason);
}

} // namespace

std::string EncodeBmp(const TBitmap& picture) {
  if (picture.Empty())
    throw EMirufoError("BMPの書き込みに失敗しました: 画像が空です");
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
    throw EMirufoError("BMPの書き込みに失敗しました: 画像が大きすぎます");
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

TBitmap DecodeBmp(std::string_view bytes) {
  if (bytes.size() < kFileHeaderBytes + kInfoHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M')
    Refuse("BMPファイルではありません");
  const std::uint32_t offset = Get32(bytes, 10);
  const std::uint32_t headerSize = Get32(bytes, 14);
  if (headerSize < kInfoHeaderBytes || headerSize > bytes.size() - kFileHeaderBytes)
    Refuse("ヘッダが壊れています");
  const std::int32_t width = static_cast<std::int32_t>(Get32(bytes, 18));
  const std::int32_t rawHeight = static_cast<std::int32_t>(Get32(bytes, 22));
  const std::uint32_t planes = Get16(bytes, 26);
  const int bits = static_cast<int>(Get16(bytes, 28));
  const std::uint32_t compression = Get32(bytes, 30);
  std::uint32_t paletteCount = Get32(bytes, 46);
  if (planes != 1 || compression != 0)
    Refuse("対応していない形式です");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    Refuse("対応していない色数です");
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
    Refuse("画像サイズが不正です");
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (!IsAllowedBitmapSize(width, height))
    throw EOutOfResources("BMPの読み込みに失敗しました: 画像が大きすぎます");
  std::vector<TRGBQuad> palette;
  if (bits <= 8) {
    if (paletteCount == 0 || paletteCount > (1u << bits))
      paletteCount = 1u << bits;
    const std::uint64_t paletteAt = kFileHeaderBytes + static_cast<std::uint64_t>(headerSize);
    const std::uint64_t available = bytes.size() >= paletteAt ? (bytes.size() - paletteAt) / 4 : 0;
    paletteCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(paletteCount, available));
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
      const std::size_t at = static_cast<std::size_t>(paletteAt + 4ull * i);
      palette.push_back(TRGBQuad{static_cast<std::uint8_t>(bytes[at]),
                                 static_cast<std::uint8_t>(bytes[at + 1]),
                                 static_cast<std::uint8_t>(bytes[at + 2]), 0});
    }
  }
  const std::uint64_t rowBytes = RowBytes(width, bits);
  if (offset > bytes.size() ||
      rowBytes * static_cast<std::uint64_t>(height) > bytes.size() - offset)
    Refuse("画素データが足りません");
  TBitmap picture(width, height, pf24bit);
  for (std::int32_t row = 0; row < height; ++row) {
    const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data()) + offset + rowBytes * row;
    std::uint8_t* out = picture.ScanLine(topDown ? row : height - 1 - row);
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint8_t b, g, r;
      if (bits >= 24) {
        const std::uint8_t* p = in + static_cast<std::size_t>(x) * (bits / 8);
        b = p[0];
        g = p[1];
        r = p[2];
      } else {
        unsigned index;
        if (bits == 8)
          index = in[x];
        else if (bits == 4)
          index = (in[x / 2] >> ((x % 2 == 0) ? 4 : 0)) & 0x0F;
        else
          index = (in[x / 8] >> (7 - x % 8)) & 1;
        // An index past the palette reads as black, as Windows shows it.
        TRGBQuad q = index < palette.size() ? palette[index] : TRGBQuad{};
        b = q.Blue;
        g = q.Green;
        r = q.Red;
      }
      out[3 * x] = b;
      out[3 * x + 1] = g;
      out[3 * x + 2] = r;
    }
  }
  return picture;
}

} // namespace mirufo
