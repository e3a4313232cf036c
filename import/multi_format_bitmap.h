// The picture loader: a bitmap that opens a picture file of any supported
// format, chosen by the file's extension, and the file-type filter of the
// open dialog.
//
// Extensions (compared in lower case): ".bmp", ".jpeg"/".jpg", ".png",
// ".mag", ".q0"/".rgb" and ".ico" have readers of their own; every other
// extension, ".gif" included, goes to the Susie plug-ins. Whatever the
// reader, the result is a 24-bit bitmap.
//
// The first loader made while no plug-in manager exists makes one, loads
// the import plug-ins ("*.spi") into it and frees it when it goes.
#pragma once

#include "import/graphic.h"

#include <filesystem>
#include <memory>
#include <string>

namespace mirufo {

class TSPIs;

// Plug-in extensions that the built-in readers keep: a plug-in extension
// whose lower-case form occurs anywhere in this text is not registered.
inline constexpr const char* kBuiltInExtensions = "bmp,jpg,jpeg,png,rgb,q0,mag,ico";

class TMultiFormatBitmap : public TBitmap {
public:
  // Errors while loading the plug-ins pass on.
  TMultiFormatBitmap();
  ~TMultiFormatBitmap();
  TMultiFormatBitmap(const TMultiFormatBitmap&) = delete;
  TMultiFormatBitmap& operator=(const TMultiFormatBitmap&) = delete;

  // Decodes the file. On an error (of the reader, or "Susie Plugins could not
  // decode") the bitmap is left as it was. A ".q0" file whose ".fal" side
  // file is invalid shows its message through OnMessage (or keeps it in
  // LastMessage()) and leaves the bitmap empty.
  void LoadFromFile(const std::filesystem::path& fileName);

  // The reader that LoadFromFile uses for the file.
  static TGraphicClassRef ReaderFor(const std::filesystem::path& fileName);

  // Transparent icon pixels show this colour (white unless changed).
  TColor BrushColor = RGB(255, 255, 255);

  TLoadProgressEvent OnProgress;
  TLoadMessageEvent OnMessage;
  // The message of the last load when no OnMessage handler took it.
  const std::string& LastMessage() const { return lastMessage_; }

  // True when this loader made the plug-in manager (and frees it).
  bool OwnsPlugins() const { return plugins_ != nullptr; }

private:
  std::unique_ptr<TSPIs> plugins_;
  std::string lastMessage_;
};

// The open dialog's filter text, built anew on every call: every readable
// pattern first, then one item per format. The PNG item's description is
// chosen at random each time.
std::string GraphicFileFilter();

} // namespace mirufo
