#include "import/gif_image.h"

#include "platform/translate.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace mirufo {
namespace {

struct TGifSource {
  std::string_view Bytes;
  std::size_t Position = 0;
};

int ReadFromBytes(GifFileType* gif, GifByteType* data, int length) {
  auto* source = static_cast<TGifSource*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)),
                                              source->Bytes.size() - source->Position);
  std::memcpy(data, source->Bytes.data() + source->Position, n);
  source->Position += n;
  return static_cast<int>(n);
}

struct TGifFileCloser {
  GifFileType* Gif;
  ~TGifFileCloser() {
    int error = 0;
    DGifCloseFile(Gif, &error);
  }
};

[[noreturn]] void Broken(const std::string& name, const char* reason) {
  RaiseInvalidGraphic(name, std::string(Tr("GIF ファイルが壊れています (")) + reason + ")");
}

// Skips extension records up to the first image; false at the trailer.
bool FindFirstImage(GifFileType* gif, const std::string& name) {
  GifRecordType record;
  do {
    if (DGifGetRecordType(gif, &record) != GIF_OK)
      Broken(name, GifErrorString(gif->Error));
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* ext = nullptr;
      if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
        Broken(name, GifErrorString(gif->Error));
      while (ext) {
        if (DGifGetExtensionNext(gif, &ext) != GIF_OK)
          Broken(name, GifErrorString(gif->Error));
      }
    } else if (record == TERMINATE_RECORD_TYPE) {
      return false;
    }
  } while (record != IMAGE_DESC_RECORD_TYPE);
  return true;
}

} // namespace

const TGraphicClass TGIFImage::Class{
    "TGIFImage", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TGIFImage>(); }};

void TGIFImage::LoadFromBytes(std::string_view bytes, const std::string& name) {
  TGifSource source{bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, ReadFromBytes, &error);
  if (!gif)
    RaiseInvalidGraphic(name, std::string(Tr("GIF ファイルではありません (")) +
                                  GifErrorString(error) + ")");
  TGifFileCloser closer{gif};
  CheckPictureSize(name, gif->SWidth, gif->SHeight);
  if (!FindFirstImage(gif, name))
    RaiseInvalidGraphic(name, Tr("GIF ファイルに画像がありません"));
  if (DGifGetImageDesc(gif) != GIF_OK)
    Broken(name, GifErrorString(gif->Error));
  const GifImageDesc& desc = gif->Image;
  // A frame reaching past the screen is clipped to it.
  if (desc.Width <= 0 || desc.Height <= 0)
    Broken(name, Tr("画像の大きさが不正です"));
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  if (!map)
    Broken(name, Tr("カラーテーブルがありません"));
  auto colorOf = [map](int index) {
    GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
    return RGB(c.Red, c.Green, c.Blue);
  };

  TBitmap picture(gif->SWidth, gif->SHeight, pf24bit);
  picture.Fill(colorOf(gif->SBackGroundColor));
  // Interlaced frames deliver their rows in four passes.
  std::vector<int> rowOrder;
  rowOrder.reserve(static_cast<std::size_t>(desc.Height));
  if (desc.Interlace) {
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < desc.Height; y += step[pass])
        rowOrder.push_back(y);
  } else {
    for (int y = 0; y < desc.Height; ++y)
      rowOrder.push_back(y);
  }
  std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
  for (int row : rowOrder) {
    if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK)
      Broken(name, GifErrorString(gif->Error));
    const int py = desc.Top + row;
    if (py < 0 || py >= picture.Height())
      continue;
    std::uint8_t* out = picture.ScanLine(py);
    for (int x = 0; x < desc.Width; ++x) {
      const int px = desc.Left + x;
      if (px < 0 || px >= picture.Width())
        continue;
      const TColor c = colorOf(line[static_cast<std::size_t>(x)]);
      out[3 * px] = GetBValue(c);
      out[3 * px + 1] = GetGValue(c);
      out[3 * px + 2] = GetRValue(c);
    }
  }
  picture_ = std::move(picture);
}

} // namespace mirufo
