#include "import/bitmap_reader.h"

#include "import/dib.h"
#include "platform/translate.h"

namespace mirufo {

const TGraphicClass TBitmapReader::Class{"TBitmapReader", []() -> std::unique_ptr<TGraphic> {
                                           return std::make_unique<TBitmapReader>();
                                         }};

void TBitmapReader::LoadFromBytes(std::string_view bytes, const std::string& name) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::size_t size = bytes.size();
  constexpr std::size_t kFileHeader = 14;
  if (size < kFileHeader + 4 || data[0] != 'B' || data[1] != 'M')
    RaiseInvalidGraphic(name, Tr("ビットマップファイルではありません"));
  TDibInfo info = ParseDibHeader(data + kFileHeader, size - kFileHeader, name);
  std::uint64_t offset = ReadLE32(data + 10);
  // A zero offset means the bits follow the colour table directly.
  if (offset == 0)
    offset = kFileHeader + info.HeaderBytes;
  if (offset > size)
    RaiseInvalidGraphic(name, Tr("画素データの位置がファイルの外にあります"));
  picture_ = DecodeDibPixels(info, data + offset, size - offset, name);
}

} // namespace mirufo
