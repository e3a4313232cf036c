#include "import/icon_image.h"

#include "import/dib.h"
#include "import/png_image.h"
#include "platform/translate.h"

#include <algorithm>

namespace mirufo {

const TGraphicClass TIconImage::Class{
    "TIconImage", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TIconImage>(); }};

void TIconImage::LoadFromBytes(std::string_view bytes, const std::string& name) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  if (size < 6 || ReadLE16(data) != 0 || (ReadLE16(data + 2) != 1 && ReadLE16(data + 2) != 2))
    RaiseInvalidGraphic(name, Tr("アイコンファイルではありません"));
  const std::size_t count = ReadLE16(data + 4);
  if (count == 0)
    RaiseInvalidGraphic(name, Tr("アイコンに画像がありません"));
  if (!InRange(6, 16 * count, size))
    RaiseInvalidGraphic(name, Tr("アイコンの目次が途中で終わっています"));

  std::size_t best = 0;
  std::int64_t bestPixels = -1;
  int bestBits = -1;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = data + 6 + 16 * i;
    const std::int64_t w = e[0] == 0 ? 256 : e[0], h = e[1] == 0 ? 256 : e[1];
    const int bits = ReadLE16(e + 6);
    if (!InRange(ReadLE32(e + 12), ReadLE32(e + 8), size))
      RaiseInvalidGraphic(name, Tr("アイコンの目次がファイルの外を指しています"));
    if (w * h > bestPixels || (w * h == bestPixels && bits > bestBits)) {
      best = i;
      bestPixels = w * h;
      bestBits = bits;
    }
  }
  const std::uint8_t* e = data + 6 + 16 * best;
  const std::uint8_t* entry = data + ReadLE32(e + 12);
  const std::size_t entrySize = ReadLE32(e + 8);
  std::string_view entryBytes(reinterpret_cast<const char*>(entry), entrySize);

  if (HasPngSignature(entryBytes)) {
    picture_ = ReadPngWithAlpha(entryBytes, name, mask_);
    hasAlpha_ = true;
    return;
  }

  TDibInfo info = ParseDibHeader(entry, entrySize, name, true);
  const std::size_t colourBytes = DibStride(info.Width, info.BitCount) * info.Height;
  const std::size_t maskStride = DibStride(info.Width, 1);
  if (!InRange(info.HeaderBytes, colourBytes + maskStride * info.Height, entrySize))
    RaiseInvalidGraphic(name, Tr("アイコンの画像が途中で終わっています"));
  std::vector<std::uint8_t> alpha;
  TBitmap colour = DecodeDibPixels(info, entry + info.HeaderBytes, colourBytes, name, &alpha);
  colour.SetPixelFormat(pf24bit);

  // A 32-bit entry whose alpha is 0 everywhere was written for the mask.
  hasAlpha_ = std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a != 0; });
  if (hasAlpha_) {
    mask_ = std::move(alpha);
  } else {
    const std::uint8_t* maskBits = entry + info.HeaderBytes + colourBytes;
    mask_.assign(static_cast<std::size_t>(info.Width) * info.Height, 0);
    for (int y = 0; y < info.Height; ++y) {
      const std::uint8_t* row =
          maskBits + static_cast<std::size_t>(info.Height - 1 - y) * maskStride;
      for (int x = 0; x < info.Width; ++x)
        mask_[static_cast<std::size_t>(y) * info.Width + x] = (row[x / 8] >> (7 - x % 8)) & 1;
    }
  }
  picture_ = std::move(colour);
}

TBitmap TIconImage::Draw(TColor background) const {
  TBitmap out(picture_.Width(), picture_.Height(), pf24bit);
  const std::uint8_t bg[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
  for (int y = 0; y < out.Height(); ++y) {
    const std::uint8_t* s = picture_.ScanLine(y);
    std::uint8_t* d = out.ScanLine(y);
    const std::uint8_t* m = mask_.data() + static_cast<std::size_t>(y) * out.Width();
    for (int x = 0; x < out.Width(); ++x)
      for (int c = 0; c < 3; ++c) {
        std::uint8_t v = s[3 * x + c];
        // A mask icon is drawn as (background AND mask) XOR colour.
        d[3 * x + c] = hasAlpha_ ? BlendOver(v, bg[c], m[x])
                                 : static_cast<std::uint8_t>((m[x] ? bg[c] : 0) ^ v);
      }
  }
  return out;
}

} // namespace mirufo
