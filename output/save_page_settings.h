// The save page's state as the settings file keeps it (section "Save"), the
// save run's options made from it, and how a typed or dropped folder becomes
// the folder the run writes to.
#pragma once

#include "output/save_run.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mirufo {

class TIniFile;

inline constexpr const char* kSaveSection = "Save";
inline constexpr const char* kDefaultFileNameTemplate = "$tn_$sn3";

struct TSavePageSettings {
  std::string Folder;
  // The template as typed, without the extension variable.
  std::string FileName = kDefaultFileNameTemplate;
  // Every made target gets its own file; the page's check box shows the
  // opposite ("同じ画像は保存しない").
  bool AllowDuplicate = false;
  bool HtmlSave = false;
  std::string HtmlTitle;
  bool HtmlWriteGenerator = true;
  bool CopyFileNames = false;
  bool SeparateTab = false;

  // Reads every key with its default; Folder defaults to defaultFolder.
  void Load(const TIniFile& ini, const std::string& defaultFolder);
  void Save(TIniFile& ini) const;

  // What the save run is asked to do: the folder with "~" expanded against
  // home, the page "index.html" when HtmlSave.
  TSaveRunOptions RunOptions(const std::string& sourceFileName, const std::string& applicationTitle,
                             std::string_view home) const;
};

// The folder a first run saves to, with a trailing separator: the program's
// folder when it is writable (a portable copy keeps its images beside it),
// else the given fallback.
std::string DefaultSaveFolder(const std::filesystem::path& programFolder,
                              const std::filesystem::path& fallback);

// "~" alone or before a separator stands for home; every other text is
// returned as it is. An empty home leaves the text alone.
std::string ExpandFolderText(std::string_view text, std::string_view home);

// The folder a path dropped from the file manager stands for: a folder
// itself, a file (or anything that is not a folder) its parent folder.
std::string DroppedFolder(const std::filesystem::path& path);

} // namespace mirufo
