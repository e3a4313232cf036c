#include "output/save_page_settings.h"

#include "platform/ini_file.h"

#include <unistd.h>

namespace mirufo {

void TSavePageSettings::Load(const TIniFile& ini, const std::string& defaultFolder) {
  Folder = ini.ReadString(kSaveSection, "Folder", defaultFolder);
  FileName = ini.ReadString(kSaveSection, "FileName", kDefaultFileNameTemplate);
  AllowDuplicate = ini.ReadBool(kSaveSection, "AllowDuplicate", false);
  HtmlSave = ini.ReadBool(kSaveSection, "HTML.Save", false);
  HtmlTitle = ini.ReadString(kSaveSection, "HTML.Title", "");
  HtmlWriteGenerator = ini.ReadBool(kSaveSection, "HTML.WriteGenerator", true);
  CopyFileNames = ini.ReadBool(kSaveSection, "CopyFileNames", false);
  SeparateTab = ini.ReadBool(kSaveSection, "SeparateTab", false);
}

void TSavePageSettings::Save(TIniFile& ini) const {
  ini.WriteString(kSaveSection, "Folder", Folder);
  ini.WriteString(kSaveSection, "FileName", FileName);
  ini.WriteBool(kSaveSection, "AllowDuplicate", AllowDuplicate);
  ini.WriteBool(kSaveSection, "HTML.Save", HtmlSave);
  ini.WriteString(kSaveSection, "HTML.Title", HtmlTitle);
  ini.WriteBool(kSaveSection, "HTML.WriteGenerator", HtmlWriteGenerator);
  ini.WriteBool(kSaveSection, "CopyFileNames", CopyFileNames);
  ini.WriteBool(kSaveSection, "SeparateTab", SeparateTab);
}

TSaveRunOptions TSavePageSettings::RunOptions(const std::string& sourceFileName,
                                              const std::string& applicationTitle,
                                              std::string_view home) const {
  TSaveRunOptions options;
  options.Folder = ExpandFolderText(Folder, home);
  options.Template = FileName;
  options.SourceFileName = sourceFileName;
  options.Html.Save = HtmlSave;
  options.Html.FileName = "index.html";
  options.Html.Title = HtmlTitle;
  options.Html.WriteGenerator = HtmlWriteGenerator;
  options.CopyFileNames = CopyFileNames;
  options.SeparateTab = SeparateTab;
  options.ApplicationTitle = applicationTitle;
  return options;
}

std::string DefaultSaveFolder(const std::filesystem::path& programFolder,
                              const std::filesystem::path& fallback) {
  const bool writable = !programFolder.empty() && ::access(programFolder.c_str(), W_OK | X_OK) == 0;
  return WithTrailingDelimiter((writable ? programFolder : fallback).string());
}

std::string ExpandFolderText(std::string_view text, std::string_view home) {
  if (home.empty() || text.empty() || text[0] != '~')
    return std::string(text);
  if (text.size() > 1 && text[1] != kPathDelimiter)
    return std::string(text); // "~name" is not ours to resolve
  std::string folder(home);
  if (text.size() > 1 && !folder.empty() && folder.back() == kPathDelimiter)
    folder.pop_back();
  return folder + std::string(text.substr(1));
}

std::string DroppedFolder(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    return path.string();
  return path.parent_path().string();
}

} // namespace mirufo
