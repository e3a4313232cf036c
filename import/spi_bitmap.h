// Pictures decoded by Susie import plug-ins.
//
// TSPIGraphic asks the current plug-in manager's candidates for the file in
// turn, at offset 0 and, with MacBinary, at offset 128, and takes the first
// picture a plug-in hands back. The blocks a plug-in returns are checked
// against their allocated sizes before they are read. TSPIBitmap adds the
// BMP reader as the other choice: first for ".bmp" files, second otherwise.
#pragma once

#include "import/graphic.h"

#include <cstddef>
#include <string>

namespace mirufo {

inline constexpr const char* kSusieCouldNotDecode = "Susie Plugins could not decode";

// The picture described by the two blocks a plug-in returned: the bitmap
// information (header and colour table, infoSize bytes) and the pixel bits
// (bitsSize bytes). Nothing outside the blocks is read, and the size is
// checked against the limits before anything is allocated. Raises
// EInvalidGraphic naming name.
TBitmap PictureFromSpiBlocks(const void* info, std::size_t infoSize, const void* bits,
                             std::size_t bitsSize, const std::string& name);

class TSPIGraphic : public TGraphic {
public:
  static const TGraphicClass Class;

  // Raises EInvalidGraphic("Susie Plugins could not decode") when no plug-in
  // reads the file. An exception raised by the progress handler (such as
  // ELoadAborted) stops the plug-in and reaches the caller.
  void LoadFromFile(const std::filesystem::path& fileName) override;
};

class TSPIBitmap : public TGraphic {
public:
  static const TGraphicClass Class;

  void LoadFromFile(const std::filesystem::path& fileName) override;
};

} // namespace mirufo
