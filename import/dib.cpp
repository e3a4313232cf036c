#include "import/dib.h"

#include "import/graphic.h"
#include "platform/translate.h"

#include <bit>
#include <cstring>

namespace mirufo {
namespace {

// Scales a masked field of any width to 0..255.
struct TMaskField {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;

  explicit TMaskField(std::uint32_t mask) : Mask(mask) {
    if (mask == 0)
      return;
    Shift = std::countr_zero(mask);
    Max = mask >> Shift;
  }
  std::uint8_t operator()(std::uint32_t pixel) const {
    if (Max == 0)
      return 0;
    std::uint64_t v = (pixel & Mask) >> Shift;
    return static_cast<std::uint8_t>((v * 255 + Max / 2) / Max);
  }
};

// A mask must be one run of set bits.
bool IsContiguousMask(std::uint32_t mask) {
  if (mask == 0)
    return true;
  std::uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

void DecodeRle(const TDibInfo& info, const std::uint8_t* bits, std::size_t size,
               const std::string& name, TBitmap& out) {
  const bool rle4 = info.Compression == kBiRle4;
  const int width = info.Width, height = info.Height;
  auto overrun = [&]() { RaiseInvalidGraphic(name, Tr("RLE データが画像の外を指しています")); };
  auto put = [&](int x, int y, std::uint8_t index) { out.SetIndex(x, height - 1 - y, index); };
  std::size_t p = 0;
  int x = 0, y = 0;
  while (true) {
    if (!InRange(p, 2, size)) {
      if (y >= height)
        return;
      RaiseInvalidGraphic(name, Tr("RLE データが途中で終わっています"));
    }
    const std::uint8_t count = bits[p], code = bits[p + 1];
    p += 2;
    if (count > 0) {
      if (y >= height || x + count > width)
        overrun();
      for (int i = 0; i < count; ++i)
        put(x + i, y,
            rle4 ? static_cast<std::uint8_t>(i % 2 == 0 ? code >> 4 : code & 0x0F) : code);
      x += count;
      continue;
    }
    switch (code) {
    case 0: // end of line
      x = 0;
      ++y;
      break;
    case 1: // end of bitmap
      return;
    case 2: // delta
      if (!InRange(p, 2, size))
        RaiseInvalidGraphic(name, Tr("RLE データが途中で終わっています"));
      x += bits[p];
      y += bits[p + 1];
      p += 2;
      if (x > width || y > height)
        overrun();
      break;
    default: { // a literal run of code pixels, padded to a 16-bit boundary
      std::size_t bytes = rle4 ? (code + 1u) / 2 : code;
      std::size_t padded = (bytes + 1) & ~std::size_t{1};
      if (!InRange(p, bytes, size))
        RaiseInvalidGraphic(name, Tr("RLE データが途中で終わっています"));
      if (y >= height || x + code > width)
        overrun();
      for (int i = 0; i < code; ++i) {
        std::uint8_t b = bits[p + (rle4 ? static_cast<std::size_t>(i / 2) : i)];
        put(x + i, y, rle4 ? static_cast<std::uint8_t>(i % 2 == 0 ? b >> 4 : b & 0x0F) : b);
      }
      x += code;
      p += std::min(padded, size - p);
      break;
    }
    }
  }
}

} // namespace

std::size_t DibStride(int width, int bitCount) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

TDibInfo ParseDibHeader(const std::uint8_t* data, std::size_t size, const std::string& name,
                        bool iconImage) {
  TDibInfo info;
  if (size < 4)
    RaiseInvalidGraphic(name, Tr("ビットマップのヘッダがありません"));
  const std::uint32_t headerSize = ReadLE32(data);
  if (headerSize != 12 && (headerSize < 16 || headerSize > 124))
    RaiseInvalidGraphic(name, Tr("ビットマップのヘッダの大きさが不正です (") +
                                  std::to_string(headerSize) + ")");
  if (size < headerSize)
    RaiseInvalidGraphic(name, Tr("ビットマップのヘッダが途中で終わっています"));

  std::int64_t width, height;
  int planes;
  std::uint32_t colorsUsed = 0;
  int paletteEntryBytes = 4;
  if (headerSize == 12) {
    width = ReadLE16(data + 4);
    height = static_cast<std::int16_t>(ReadLE16(data + 6));
    planes = ReadLE16(data + 8);
    info.BitCount = ReadLE16(data + 10);
    paletteEntryBytes = 3;
  } else {
    width = static_cast<std::int32_t>(ReadLE32(data + 4));
    height = static_cast<std::int32_t>(ReadLE32(data + 8));
    planes = ReadLE16(data + 12);
    info.BitCount = ReadLE16(data + 14);
    if (headerSize >= 20)
      info.Compression = ReadLE32(data + 16);
    if (headerSize >= 36)
      colorsUsed = ReadLE32(data + 32);
  }
  (void)planes; // some writers store 0; the value has no bearing on the pixels
  if (height < 0) {
    info.TopDown = true;
    height = -height;
  }
  if (iconImage)
    height /= 2;
  const int bc = info.BitCount;
  if (bc != 1 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32)
    RaiseInvalidGraphic(name, Tr("対応していない色数です (") + std::to_string(bc) + Tr(" ビット)"));
  switch (info.Compression) {
  case kBiRgb:
    break;
  case kBiRle8:
  case kBiRle4:
    if (bc != (info.Compression == kBiRle8 ? 8 : 4) || info.TopDown)
      RaiseInvalidGraphic(name, Tr("RLE 圧縮の指定が不正です"));
    break;
  case kBiBitfields:
  case kBiAlphaBitfields:
    if (bc != 16 && bc != 32)
      RaiseInvalidGraphic(name, Tr("ビットフィールドの指定が不正です"));
    break;
  default:
    RaiseInvalidGraphic(name, Tr("対応していない圧縮形式です (") +
                                  std::to_string(info.Compression) + ")");
  }
  CheckPictureSize(name, width, height);
  info.Width = static_cast<int>(width);
  info.Height = static_cast<int>(height);

  std::size_t pos = headerSize;
  if (bc == 16)
    info.Masks = {0x7C00, 0x03E0, 0x001F, 0};
  else if (bc == 32)
    info.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  if (info.Compression == kBiBitfields || info.Compression == kBiAlphaBitfields) {
    const int count = info.Compression == kBiAlphaBitfields ? 4 : 3;
    if (headerSize >= 40 + 4u * count) {
      for (int i = 0; i < count; ++i)
        info.Masks[i] = ReadLE32(data + 40 + 4 * i);
    } else if (headerSize == 40) {
      if (!InRange(pos, 4u * count, size))
        RaiseInvalidGraphic(name, Tr("ビットフィールドがファイルの外にあります"));
      for (int i = 0; i < count; ++i)
        info.Masks[i] = ReadLE32(data + pos + 4 * i);
      pos += 4u * count;
    } else {
      RaiseInvalidGraphic(name, Tr("ビットフィールドがありません"));
    }
    if (headerSize >= 56 && count == 3)
      info.Masks[3] = ReadLE32(data + 52);
    for (std::uint32_t m : info.Masks)
      if (!IsContiguousMask(m))
        RaiseInvalidGraphic(name, Tr("ビットフィールドが不正です"));
  }

  std::uint64_t entries = colorsUsed;
  if (bc <= 8) {
    if (entries == 0)
      entries = std::uint64_t{1} << bc;
    if (entries > 256)
      RaiseInvalidGraphic(name,
                          Tr("パレットの色数が不正です (") + std::to_string(colorsUsed) + ")");
  }
  if (entries > 0) {
    if (entries > (size - pos) / static_cast<std::uint64_t>(paletteEntryBytes))
      RaiseInvalidGraphic(name, Tr("パレットがファイルの外にあります"));
    if (bc <= 8) {
      info.Palette.assign(std::size_t{1} << bc, TRGBQuad{});
      for (std::size_t i = 0; i < entries && i < info.Palette.size(); ++i) {
        const std::uint8_t* e = data + pos + i * static_cast<std::size_t>(paletteEntryBytes);
        info.Palette[i] = {e[0], e[1], e[2], 0};
      }
    }
    pos += static_cast<std::size_t>(entries) * static_cast<std::size_t>(paletteEntryBytes);
  }
  info.HeaderBytes = pos;
  return info;
}

TBitmap DecodeDibPixels(const TDibInfo& info, const std::uint8_t* bits, std::size_t size,
                        const std::string& name, std::vector<std::uint8_t>* alpha) {
  CheckPictureSize(name, info.Width, info.Height);
  const int width = info.Width, height = info.Height, bc = info.BitCount;
  if (alpha)
    alpha->clear();
  if (info.Compression == kBiRle8 || info.Compression == kBiRle4) {
    TBitmap out(width, height, bc == 8 ? pf8bit : pf4bit);
    out.SetPalette(info.Palette);
    DecodeRle(info, bits, size, name, out);
    return out;
  }

  const std::size_t stride = DibStride(width, bc);
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * bc + 7) / 8;
  // The last row may lack its padding.
  const std::uint64_t needed = static_cast<std::uint64_t>(stride) * (height - 1) + rowBytes;
  if (needed > size)
    RaiseInvalidGraphic(name, Tr("画素データが途中で終わっています (") + std::to_string(needed) +
                                  Tr(" バイトのところ ") + std::to_string(size) + Tr(" バイト)"));
  auto sourceRow = [&](int y) {
    int fileRow = info.TopDown ? y : height - 1 - y;
    return bits + static_cast<std::size_t>(fileRow) * stride;
  };

  if (bc <= 8) {
    TBitmap out(width, height, bc == 1 ? pf1bit : (bc == 4 ? pf4bit : pf8bit));
    out.SetPalette(info.Palette);
    for (int y = 0; y < height; ++y)
      std::memcpy(out.ScanLine(y), sourceRow(y), rowBytes);
    return out;
  }

  TBitmap out(width, height, pf24bit);
  const TMaskField red(info.Masks[0]), green(info.Masks[1]), blue(info.Masks[2]),
      alphaField(info.Masks[3]);
  const bool wantAlpha = alpha && bc == 32 && (info.Compression == kBiRgb || info.Masks[3] != 0);
  if (wantAlpha)
    alpha->assign(static_cast<std::size_t>(width) * height, 0);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = sourceRow(y);
    std::uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < width; ++x, d += 3) {
      if (bc == 24) {
        d[0] = s[3 * x];
        d[1] = s[3 * x + 1];
        d[2] = s[3 * x + 2];
        continue;
      }
      std::uint32_t pixel = bc == 16 ? ReadLE16(s + 2 * x) : ReadLE32(s + 4 * x);
      d[0] = blue(pixel);
      d[1] = green(pixel);
      d[2] = red(pixel);
      if (wantAlpha)
        (*alpha)[static_cast<std::size_t>(y) * width + x] =
            info.Compression == kBiRgb ? static_cast<std::uint8_t>(pixel >> 24) : alphaField(pixel);
    }
  }
  return out;
}

} // namespace mirufo
