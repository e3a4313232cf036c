#include "import/multi_format_bitmap.h"

#include "import/bitmap_reader.h"
#include "import/icon_image.h"
#include "import/jpeg_image.h"
#include "import/mag_image.h"
#include "import/picture_formats.h"
#include "import/png_image.h"
#include "import/q0_bitmap.h"
#include "import/spi_bitmap.h"
#include "import/spis.h"
#include "platform/text_file.h"

#include <algorithm>
#include <cctype>
#include <random>

namespace mirufo {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

} // namespace

TMultiFormatBitmap::TMultiFormatBitmap() {
  if (TSPIs::Current())
    return;
  auto spis = std::make_unique<TSPIs>();
  spis->OnPictureRegister = [](TSPIs&, TSPI&, const std::string& extension, const std::string&,
                               TGraphicClassRef& graphicClass) {
    // A substring test: "jp" or "g" is refused too.
    if (std::string_view(kBuiltInExtensions).find(Lower(extension)) != std::string_view::npos)
      graphicClass = nullptr;
  };
  spis->OnSearch = [](TSPIs&, TSPI& spi, bool& accept) {
    accept = dynamic_cast<TInSPI*>(&spi) != nullptr;
  };
  spis->LoadPlugins("*.spi");
  plugins_ = std::move(spis);
}

TMultiFormatBitmap::~TMultiFormatBitmap() = default;

TGraphicClassRef TMultiFormatBitmap::ReaderFor(const std::filesystem::path& fileName) {
  const std::string ext = Lower(fileName.extension().string());
  if (ext == ".bmp")
    return &TBitmapReader::Class;
  if (ext == ".jpeg" || ext == ".jpg")
    return &TJPEGImage::Class;
  if (ext == ".png")
    return &TPNGImage::Class;
  if (ext == ".mag")
    return &TMAGImage::Class;
  if (ext == ".rgb" || ext == ".q0")
    return &TQ0Bitmap::Class;
  if (ext == ".ico")
    return &TIconImage::Class;
  return &TSPIBitmap::Class;
}

void TMultiFormatBitmap::LoadFromFile(const std::filesystem::path& fileName) {
  lastMessage_.clear();
  // Before any reader, so that no reader and no plug-in (which opens the
  // file itself) ever waits on a pipe or reads a device.
  CheckRegularFile(fileName);
  std::unique_ptr<TGraphic> reader = ReaderFor(fileName)->Create();
  reader->OnProgress = OnProgress;
  reader->OnMessage = [this](const std::string& text) {
    lastMessage_ = text;
    if (OnMessage)
      OnMessage(text);
  };
  reader->LoadFromFile(fileName);

  TBitmap result;
  if (reader->IsIcon())
    result = static_cast<const TIconImage&>(*reader).Draw(BrushColor);
  else
    result = std::move(reader->Picture());
  result.SetPixelFormat(pf24bit);
  static_cast<TBitmap&>(*this) = std::move(result);
}

std::string GraphicFileFilter() {
  const TPictureFormats& formats = TPictureFormats::Instance();
  const std::string jpeg = formats.FilePattern(&TJPEGImage::Class);
  const std::string q0 = formats.FilePattern(&TQ0Bitmap::Class);

  std::string all;
  for (TGraphicClassRef graphicClass :
       {&TBitmapReader::Class, &TJPEGImage::Class, &TPNGImage::Class, &TMAGImage::Class,
        &TQ0Bitmap::Class, &TIconImage::Class, &TSPIBitmap::Class}) {
    std::string pattern = formats.FilePattern(graphicClass);
    if (pattern.empty())
      continue;
    if (!all.empty())
      all += ';';
    all += pattern;
  }

  static thread_local std::mt19937 random{std::random_device{}()};
  const bool png = std::uniform_int_distribution<int>(0, 1)(random) == 0;

  std::vector<std::string> items = {
      "使用可能ファイル|" + all,
      "ビットマップ (*.bmp)|*.bmp",
      "Joint Photographic Experts Group (" + jpeg + ")|" + jpeg,
      png ? "Portable Network Graphics (*.png)|*.png" : "Png's Not Gif (*.png)|*.png",
      formats.Filter(&TMAGImage::Class),
      "フルカラーベタ (" + q0 + ")|" + q0,
      formats.Filter(&TIconImage::Class),
      formats.Filter(&TSPIBitmap::Class),
  };
  std::string filter;
  for (const std::string& item : items) {
    if (item.empty())
      continue;
    if (!filter.empty())
      filter += '|';
    filter += item;
  }
  return filter;
}

} // namespace mirufo
