// The picture-format registry: which reader opens which file extension, and
// the file-type filter texts built from it.
//
// The built-in readers are registered when the registry is first used; the
// plug-in manager adds one entry per plug-in extension. Registering an
// extension again for the same reader replaces its description, so each
// format is listed once however often the plug-ins are loaded.
#pragma once

#include "import/graphic.h"

#include <string>
#include <vector>

namespace mirufo {

struct TPictureFormat {
  std::string Extension; // without the dot
  std::string Description;
  TGraphicClassRef GraphicClass = nullptr;
};

class TPictureFormats {
public:
  // The one registry of the program, with the built-in readers registered.
  static TPictureFormats& Instance();

  void Register(const std::string& extension, const std::string& description,
                TGraphicClassRef graphicClass);
  // Removes every entry of the reader.
  void Unregister(TGraphicClassRef graphicClass);

  const std::vector<TPictureFormat>& Entries() const { return entries_; }

  // "*.ext" for every entry of the reader, the most recently registered
  // first, joined with ";".
  std::string FilePattern(TGraphicClassRef graphicClass) const;
  // "description (*.ext)|*.ext" for every entry of the reader, joined with
  // "|", after an item for all of them when the reader has more than one.
  std::string Filter(TGraphicClassRef graphicClass) const;

private:
  std::vector<const TPictureFormat*> EntriesOf(TGraphicClassRef graphicClass) const;

  std::vector<TPictureFormat> entries_; // in registration order
};

} // namespace mirufo
