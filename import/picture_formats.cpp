#include "import/picture_formats.h"

#include "import/bitmap_reader.h"
#include "import/icon_image.h"
#include "import/jpeg_image.h"
#include "import/mag_image.h"
#include "import/png_image.h"
#include "import/q0_bitmap.h"

#include <algorithm>

namespace mirufo {

TPictureFormats& TPictureFormats::Instance() {
  static TPictureFormats* formats = [] {
    auto* f = new TPictureFormats;
    f->Register("bmp", "Bitmaps", &TBitmapReader::Class);
    f->Register("jpeg", TJPEGImage::kDescription, &TJPEGImage::Class);
    f->Register("jpg", TJPEGImage::kDescription, &TJPEGImage::Class);
    f->Register("png", "Portable Network Graphics", &TPNGImage::Class);
    f->Register("ico", TIconImage::kDescription, &TIconImage::Class);
    f->Register(TMAGImage::kExtension, TMAGImage::kDescription, &TMAGImage::Class);
    f->Register("q0", TQ0Bitmap::kDescription, &TQ0Bitmap::Class);
    f->Register("rgb", TQ0Bitmap::kDescription, &TQ0Bitmap::Class);
    return f;
  }();
  return *formats;
}

void TPictureFormats::Register(const std::string& extension, const std::string& description,
                               TGraphicClassRef graphicClass) {
  for (auto& entry : entries_)
    if (entry.GraphicClass == graphicClass && entry.Extension == extension) {
      entry.Description = description;
      return;
    }
  entries_.push_back({extension, description, graphicClass});
}

void TPictureFormats::Unregister(TGraphicClassRef graphicClass) {
  std::erase_if(entries_, [&](const TPictureFormat& e) { return e.GraphicClass == graphicClass; });
}

std::vector<const TPictureFormat*> TPictureFormats::EntriesOf(TGraphicClassRef graphicClass) const {
  std::vector<const TPictureFormat*> result;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->GraphicClass == graphicClass)
      result.push_back(&*it);
  return result;
}

std::string TPictureFormats::FilePattern(TGraphicClassRef graphicClass) const {
  std::string pattern;
  for (const TPictureFormat* e : EntriesOf(graphicClass)) {
    if (!pattern.empty())
      pattern += ';';
    pattern += "*." + e->Extension;
  }
  return pattern;
}

std::string TPictureFormats::Filter(TGraphicClassRef graphicClass) const {
  auto entries = EntriesOf(graphicClass);
  std::string filter;
  if (entries.size() > 1) {
    std::string all = FilePattern(graphicClass);
    filter = "すべて (" + all + ")|" + all;
  }
  for (const TPictureFormat* e : entries) {
    if (!filter.empty())
      filter += '|';
    filter += e->Description + " (*." + e->Extension + ")|*." + e->Extension;
  }
  return filter;
}

} // namespace mirufo
