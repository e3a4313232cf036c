// Pictures decoded by Susie import plug-ins.
//
// TSPIGraphic asks the current plug-in manager's candidates for the file in
// turn, at offset 0 and, with MacBinary, at offset 128, and takes the first
// picture a plug-in hands back. The blocks a plug-in returns are checked
// against their allocated sizes before they are read. TSPIBitmap adds the
// BMP reader as the other choice: first for ".bmp" files, second otherwise.
#pragma once

#include "import/graphic.h"

namespace mirufo {

inline constexpr const char* kSusieCouldNotDecode = "Susie Plugins could not decode";

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
