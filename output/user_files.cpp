#include "output/user_files.h"

#include "catalogue/tanmatsu_list.h"
#include "output/tanmatsu_option_list.h"
#include "platform/errors.h"
#include "platform/folders.h"

#include <system_error>
#include <utility>

namespace mirufo {

TUserFilePaths DefaultUserFilePaths() {
  const std::filesystem::path folder = DataFolder();
  return {DefaultSettingsPath(), folder / kUserHandsetFileName, folder / kMakeSetFileName};
}

TUserFiles::TUserFiles(TUserFilePaths paths) : paths_(std::move(paths)) {}

TUserFileResult TUserFiles::Failed(std::string message) {
  messages_.push_back(message);
  return {false, std::move(message)};
}

TUserFileResult TUserFiles::Skipped(const std::filesystem::path& path) {
  return Failed(path.string() + "\n" + kNotWrittenBackMessage);
}

TUserFileResult TUserFiles::LoadHandsets(TTanmatsuOptionList& workingSet) {
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
  TMakeSetsLoadResult loaded = sets.Load(paths_.MakeSets);
  if (loaded.FileRead)
    return {};
  makeSetsLoaded_ = false;
  return Failed(loaded.Message);
}

TIniFile TUserFiles::OpenSettings() {
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
