#include "output/handset_list_import.h"

#include "catalogue/tanmatsu_list.h"
#include "output/page_texts.h"
#include "output/tanmatsu_option_list.h"
#include "output/user_files.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/translate.h"

#include <algorithm>
#include <system_error>

namespace mirufo {

THandsetListImport ImportHandsetList(TTanmatsuOptionList& workingSet,
                                     const std::filesystem::path& fileName) {
  std::error_code error;
  const auto status = std::filesystem::status(fileName, error);
  if (!std::filesystem::exists(status))
    throw ETanmatsuListFileError(fileName, 0,
                                 fileName.string() + "\n" + Tr("ファイルが見つかりません。"));
  // A folder or a device would read as an empty or endless list.
  if (!std::filesystem::is_regular_file(status))
    throw ETanmatsuListFileError(fileName, 0,
                                 fileName.string() + "\n" + Tr("通常のファイルではありません。"));
  TTanmatsuList list;
  list.LoadFromFile(fileName, TListCheck::Strict);
  THandsetListImport result;
  result.Added = workingSet.MergeList(list, true, true, &result.Handsets);
  result.AlreadyThere = list.Count() - result.Added;
  return result;
}

std::string HandsetListImportText(const std::filesystem::path& fileName,
                                  const THandsetListImport& result) {
  return FillFormat(Tr("%s から %d 個の端末を追加しました（%d 個は登録済みでした）"),
                    {fileName.filename().string(), std::to_string(result.Added),
                     std::to_string(result.AlreadyThere)});
}

std::vector<std::filesystem::path> ShippedHandsetLists() {
  std::vector<std::filesystem::path> lists;
  for (const std::filesystem::path& folder : ShippedDataFolders()) {
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
      // A portable copy keeps the user's own list beside the program too.
      if (entry.is_regular_file(error) &&
          entry.path().extension() == std::string(".") + kHandsetListExtension &&
          entry.path().filename() != kUserHandsetFileName)
        found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    lists.insert(lists.end(), found.begin(), found.end());
  }
  return lists;
}

std::filesystem::path ShippedHandsetListFolder() {
  const std::vector<std::filesystem::path> lists = ShippedHandsetLists();
  if (!lists.empty())
    return lists.front().parent_path();
  const std::vector<std::filesystem::path> folders = ShippedDataFolders();
  return folders.empty() ? std::filesystem::path() : folders.front();
}

} // namespace mirufo
