#include "output/user_files.h"

#include "catalogue/tanmatsu_list.h"
#include "output/tanmatsu_option_list.h"
#include "platform/errors.h"
#include "platform/folders.h"

#include <optional>
#include <system_error>
#include <utility>

namespace mirufo {

TUserFilePaths DefaultUserFilePaths() {
  const std::filesystem::path folder = DataFolder();
  return {DefaultSettingsPath(), folder / kUserHandsetFileName, folder / kMakeSetFileName};
}

TUserFiles::TUserFiles(TUserFilePaths paths) : paths_(std::move(paths)) {
  if (std::optional<std::string> problem = DataFolderProblem(paths_.HandsetList.parent_path())) {
    folderUnread_ = true;
    handsetsLoaded_ = makeSetsLoaded_ = settingsLoaded_ = false;
    Failed(*problem + "\n" + kUnreadDataFolderMessage);
  }
}

TUserFileResult TUserFiles::Failed(std::string message) {
  messages_.push_back(message);
  return {false, std::move(message)};
}

TUserFileResult TUserFiles::Skipped(const std::filesystem::path& path) {
  return Failed(path.string() + "\n" + kNotWrittenBackMessage);
}

TUserFileResult TUserFiles::LoadHandsets(TTanmatsuOptionList& workingSet) {
  if (folderUnread_)
    return {false, ""}; // told once, at construction
  std::error_code error;
  // A missing file is the normal first start; anything else that exists is
  // read, so that a folder or an unreadable file counts as a failed read.
  if (!std::filesystem::exists(paths_.HandsetList, error) && !error)
    return {};
  TTanmatsuList list;
  try {
    list.LoadFromFile(paths_.HandsetList);
  } catch (const EMirufoError& e) {
    handsetsLoaded_ = false;
    std::string message = e.what();
    // The list reader's own messages do not always name the file.
    if (message.find(paths_.HandsetList.string()) == std::string::npos)
      message = paths_.HandsetList.string() + "\n" + message;
    return Failed(std::move(message));
  }
  workingSet.MergeList(list, true);
  return {};
}

TUserFileResult TUserFiles::LoadMakeSets(TMakeSets& sets) {
  if (folderUnread_) {
    // The default set stands in, as for a missing file.
    (void)sets.Load(std::filesystem::path());
    return {false, ""};
  }
  TMakeSetsLoadResult loaded = sets.Load(paths_.MakeSets);
  if (loaded.FileRead)
    return {};
  makeSetsLoaded_ = false;
  return Failed(loaded.Message);
}

TIniFile TUserFiles::OpenSettings() {
  if (folderUnread_)
    return TIniFile(std::filesystem::path());
  try {
    return TIniFile(paths_.Settings);
  } catch (const EMirufoError& e) {
    if (settingsLoaded_) {
      settingsLoaded_ = false;
      Failed(e.what());
    }
  }
  // An object on a path that does not exist reads every default.
  return TIniFile(std::filesystem::path());
}

TUserFileResult TUserFiles::SaveSettings(const std::function<void(TIniFile&)>& write) {
  if (folderUnread_)
    return {false, ""};
  if (!settingsLoaded_)
    return Skipped(paths_.Settings);
  try {
    TIniFile ini(paths_.Settings);
    write(ini);
    ini.UpdateFile();
  } catch (const EMirufoError& e) {
    return Failed(e.what());
  }
  return {};
}

TUserFileResult TUserFiles::SaveHandsets(const TTanmatsuOptionList& workingSet) {
  if (folderUnread_)
    return {false, ""};
  if (!handsetsLoaded_)
    return Skipped(paths_.HandsetList);
  TTanmatsuList list;
  for (std::size_t i = 0; i < workingSet.HandsetCount(); ++i) {
    TTanmatsuRecord record = workingSet.GetHandset(i);
    if (record.Carrier == crUser)
      list.Add(record);
  }
  list.AssignCaches(workingSet.Handsets());
  try {
    list.SaveToFile(paths_.HandsetList);
  } catch (const EMirufoError& e) {
    return Failed(e.what());
  }
  return {};
}

TUserFileResult TUserFiles::SaveMakeSets(const TMakeSets& sets) {
  if (folderUnread_)
    return {false, ""};
  if (!makeSetsLoaded_)
    return Skipped(paths_.MakeSets);
  try {
    sets.Save(paths_.MakeSets);
  } catch (const EMirufoError& e) {
    return Failed(e.what());
  }
  return {};
}

} // namespace mirufo
