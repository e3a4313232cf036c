#include "import/spi_bitmap.h"

#include "import/bitmap_reader.h"
#include "import/dib.h"
#include "import/spis.h"
#include "platform/text_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <exception>
#include <malloc.h>

namespace mirufo {
namespace {

constexpr int kMacBinaryHeader = 128;

// What the plug-in's progress callback needs.
struct TCallbackContext {
  std::function<void(std::uint8_t)> Report;
  std::exception_ptr Error;
};

extern "C" int SpiProgress(int num, int denom, long data) {
  auto* context = reinterpret_cast<TCallbackContext*>(data);
  if (context->Error)
    return 1;
  long long percent = denom > 0 ? 2 + static_cast<long long>(num) * 97 / denom : 2;
  try {
    context->Report(static_cast<std::uint8_t>(std::clamp<long long>(percent, 0, 100)));
  } catch (...) {
    context->Error = std::current_exception();
    return 1;
  }
  return 0;
}

// Frees the two blocks a plug-in returned.
struct THandles {
  void* Info = nullptr;
  void* Bits = nullptr;
  ~THandles() { Free(); }
  void Free() {
    std::free(Info);
    std::free(Bits);
    Info = Bits = nullptr;
  }
};

// The picture described by a plug-in's blocks. Their sizes are what malloc
// gave the plug-in; every read stays within them.
TBitmap PictureFromHandles(const THandles& h, const std::string& name) {
  return PictureFromSpiBlocks(h.Info, malloc_usable_size(h.Info), h.Bits,
                              malloc_usable_size(h.Bits), name);
}

std::string UpperExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return ext;
}

} // namespace

TBitmap PictureFromSpiBlocks(const void* info, std::size_t infoSize, const void* bits,
                             std::size_t bitsSize, const std::string& name) {
  const auto* header = static_cast<const std::uint8_t*>(info);
  if (header == nullptr || infoSize < 40 || ReadLE32(header) < 40)
    RaiseInvalidGraphic(name, Tr("プラグインの返した画像情報が不正です"));
  TDibInfo dib = ParseDibHeader(header, infoSize, name);
  return DecodeDibPixels(dib, static_cast<const std::uint8_t*>(bits), bitsSize, name);
}

const TGraphicClass TSPIGraphic::Class{
    "TSPIGraphic", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TSPIGraphic>(); }};
const TGraphicClass TSPIBitmap::Class{
    "TSPIBitmap", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TSPIBitmap>(); }};

void TSPIGraphic::LoadFromFile(const std::filesystem::path& fileName) {
  const std::string name = fileName.string();
  Progress(lsStarting, 0, "Loading Graphic by Susie Plugin");
  try {
    Progress(lsRunning, 1, "Seeking enabled Susie Plugins");
    // The head of the file, zero-filled past its end.
    std::vector<char> head(kSpiHeadBytes + kMacBinaryHeader, 0);
    {
      TRegularFile file(fileName);
      const std::string bytes = file.Read(head.size());
      std::copy(bytes.begin(), bytes.end(), head.begin());
    }

    TSPIs* manager = TSPIs::Current();
    std::vector<TInSPI*> candidates;
    if (manager)
      candidates = manager->Candidates(fileName);
    const bool macBinary = manager && manager->MacBinary;
    const bool preview = manager && manager->GraphicPreview;
    bool decoded = false;
    for (TInSPI* spi : candidates) {
      const std::string message =
          "Loading by [" + std::filesystem::path(spi->FileName()).filename().string() + "]";
      for (int offset : {0, kMacBinaryHeader}) {
        if (offset != 0 && !macBinary)
          break;
        Progress(lsRunning, 1, message);
        if (spi->IsSupported(name, head.data() + offset) == 0)
          continue;
        TSpiPictureInfo pictureInfo{};
        if (spi->GetPictureInfo(name, offset, kSpiInputFile, pictureInfo) == kSpiSuccess)
          std::free(pictureInfo.hInfo);

        TCallbackContext context;
        context.Report = [&](std::uint8_t percent) { Progress(lsRunning, percent, message); };
        const long data = reinterpret_cast<long>(&context);
        THandles h;
        int result = kSpiNotImplemented;
        if (preview && spi->HasGetPreview()) {
          result =
              spi->GetPreview(name, offset, kSpiInputFile, &h.Info, &h.Bits, SpiProgress, data);
          if (result != kSpiSuccess || !h.Info || !h.Bits)
            h.Free();
        }
        if (!h.Info || !h.Bits)
          result =
              spi->GetPicture(name, offset, kSpiInputFile, &h.Info, &h.Bits, SpiProgress, data);
        if (context.Error)
          std::rethrow_exception(context.Error);
        if (result == kSpiSuccess && h.Info && h.Bits) {
          // A picture whose blocks do not hold what they claim counts as a
          // failure of this plug-in; the others still get their turn.
          try {
            picture_ = PictureFromHandles(h, name);
            decoded = true;
            break;
          } catch (const EInvalidGraphic&) {
          }
        }
      }
      if (decoded)
        break;
    }
    if (!decoded)
      throw EInvalidGraphic(kSusieCouldNotDecode);
  } catch (...) {
    try {
      Progress(lsEnding, 100, "Loaded Graphic by Susie Plugin");
    } catch (...) {
    }
    throw;
  }
  Progress(lsEnding, 100, "Loaded Graphic by Susie Plugin");
}

void TSPIBitmap::LoadFromFile(const std::filesystem::path& fileName) {
  // The readers' own end reports are held back; this bitmap reports the end.
  auto forward = [this](const void*, TLoadStage stage, std::uint8_t percent, bool redraw,
                        const TRect& rect, const std::string& message) {
    if (stage != lsEnding && OnProgress)
      OnProgress(this, stage, percent, redraw, rect, message);
  };
  const bool bitmapFirst = UpperExtension(fileName) == ".BMP";
  bool loaded = false;
  for (int attempt = 0; attempt < 2 && !loaded; ++attempt) {
    std::unique_ptr<TGraphic> reader;
    if ((attempt == 0) == bitmapFirst)
      reader = std::make_unique<TBitmapReader>();
    else
      reader = std::make_unique<TSPIGraphic>();
    reader->OnProgress = forward;
    try {
      reader->LoadFromFile(fileName);
    } catch (const ELoadAborted&) {
      throw;
    } catch (const std::exception&) {
      continue;
    }
    // Palette pictures keep their palette; the loader converts to 24 bits.
    picture_ = std::move(reader->Picture());
    loaded = true;
  }
  if (!loaded)
    throw EInvalidGraphic(kSusieCouldNotDecode);
  Progress(lsEnding, 100, "Loaded Graphic");
}

} // namespace mirufo
