// The plug-in manager: finds Susie plug-ins ("*.spi"), loads and keeps the
// accepted ones, registers the picture formats of import plug-ins with the
// picture-format registry, and orders the plug-ins to try for a file.
//
// Only one manager exists at a time; Current() gives it. Plug-in folders, in
// search order: the folder named by SUSIE_PLUGIN_DIR (the place where the
// Susie viewer's plug-ins are kept; skipped when unset); the program's own
// plug-in folders (beside the executable, the installed lib/mirufo/plugins,
// then the user's ~/.local/share/mirufo/plugins; see platform/folders.h);
// and the current folder. The system and Windows folders do not exist on
// this platform and are skipped.
#pragma once

#include "import/graphic.h"
#include "import/spi.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace mirufo {

// A second manager while one exists.
class ESPIDupCreateSPIs : public EMirufoError {
public:
  ESPIDupCreateSPIs() : EMirufoError("TSPIs は複数生成できません") {}
};

enum class TSPISearchOption : std::uint8_t {
  spsSusieDir,
  spsAppDir,
  spsCurrentDir,
  spsSystemDir,
  spsWindowsDir
};
using enum TSPISearchOption;
using TSPISearchOptions = std::set<TSPISearchOption>;

class TInSPI;

class TSPIs {
public:
  // Raises ESPIDupCreateSPIs when another manager exists.
  TSPIs();
  ~TSPIs();
  TSPIs(const TSPIs&) = delete;
  TSPIs& operator=(const TSPIs&) = delete;

  // The manager that exists now, or null.
  static TSPIs* Current();

  // Also try every file with its first 128 bytes skipped (a MacBinary header).
  bool MacBinary = true;
  // Ask a plug-in for its preview picture before the full picture.
  bool GraphicPreview = false;
  // Search by itself when restored with a stored window (the loader searches
  // explicitly).
  bool AutoSearch = true;
  TSPISearchOptions SearchOptions{spsSusieDir, spsAppDir};

  // Decides whether a loaded plug-in is kept (accept starts true).
  std::function<void(TSPIs& sender, TSPI& spi, bool& accept)> OnSearch;
  // Decides whether a found file is loaded at all (accept starts true).
  std::function<void(TSPIs& sender, const std::filesystem::path& fileName, bool& accept)>
      OnSearching;
  // May change or clear the reader of a plug-in format before it is
  // registered (graphicClass starts as TSPIBitmap's).
  std::function<void(TSPIs& sender, TSPI& spi, const std::string& extension,
                     const std::string& description, TGraphicClassRef& graphicClass)>
      OnPictureRegister;

  // Loads the plug-ins matching the pattern ("*.spi"). A pattern with a
  // folder searches that folder only; otherwise the folders of SearchOptions.
  // Files already loaded, files that are not plug-ins and files a handler
  // refuses are skipped.
  void LoadPlugins(const std::string& pattern);

  // The folders searched for a pattern without a folder, in order.
  std::vector<std::filesystem::path> SearchFolders() const;

  int Count() const { return static_cast<int>(plugins_.size()); }
  // Raises ERangeError("TSPIs") outside 0..Count()-1.
  TSPI& Items(int index) const;
  // Index of the plug-in loaded from that file (case ignored), or -1.
  int IndexOf(const std::string& fileName) const;
  void Add(std::unique_ptr<TSPI> spi);
  void Insert(int index, std::unique_ptr<TSPI> spi);
  void Delete(int index);
  void Clear();

  // The import plug-ins to try for a file: those whose pattern text ends in
  // the file's extension first (the last loaded first), then the others in
  // load order.
  std::vector<TInSPI*> Candidates(const std::filesystem::path& fileName) const;

private:
  void RegisterFormats(TSPI& spi);

  std::vector<std::unique_ptr<TSPI>> plugins_;
};

} // namespace mirufo
