#include "cli/cli_save_host.h"

#include "output/standby_file_name.h"
#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

#include <ostream>
#include <unistd.h>

namespace mirufo::cli {
namespace {

// The deepest part of the path that exists.
std::filesystem::path ExistingAncestor(std::filesystem::path path) {
  std::error_code ec;
  while (!path.empty() && !std::filesystem::exists(path, ec)) {
    const std::filesystem::path parent = path.parent_path();
    if (parent == path)
      break;
    path = parent;
  }
  return path.empty() ? std::filesystem::path(".") : path;
}

// Whether the folder exists or could be made: its deepest existing part is
// a folder we may write into.
bool FolderIsReachable(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path existing = ExistingAncestor(folder);
  return std::filesystem::is_directory(existing, ec) && access(existing.c_str(), W_OK | X_OK) == 0;
}

} // namespace

TDialogResult TCliSaveHost::Ask(const TSaveMessage& message) {
  if (message.Kind == TMessageKind::Confirmation)
    return TDialogResult::Yes;
  std::string text = message.Text;
  for (char& c : text)
    if (c == '\r')
      c = '\n';
  Refuse(text);
  return TDialogResult::OK;
}

std::optional<std::vector<bool>>
TCliSaveHost::ChooseOverwrites(const std::vector<std::filesystem::path>& existing) {
  if (overwrite_)
    return std::vector<bool>(existing.size(), true);
  std::string text = Tr("保存先に同名のファイルがあるので、何も保存しませんでした "
                        "(上書きするには --overwrite):");
  for (const auto& path : existing)
    text += "\n  " + path.string();
  Refuse(text);
  return std::nullopt;
}

void TCliSaveHost::Refuse(const std::string& text) {
  err_ << "mirufo-cli: " << text << "\n";
  if (!refusal_)
    refusal_ = text;
}

bool CheckSaveWithoutWriting(TTanmatsuOptionList& set, const TSaveRunOptions& options,
                             TCliSaveHost& host) {
  set.MakeFileNames(TStandbyFileName::ParseWithExtension(options.Template), options.SourceFileName);
  if (set.SaveCount() == 0) {
    host.Ask(save_messages::NothingToSave());
    return false;
  }
  if (set.AnyClash()) {
    host.Ask(save_messages::NamesClash());
    return false;
  }
  for (int s = 0; s < set.SaveCount(); ++s) {
    if (!IsUsableFileName(set.FileNameOf(s))) {
      host.Ask(save_messages::UnusableFileName(set.FileNameOf(s)));
      return false;
    }
  }
  const std::string folder = WithTrailingDelimiter(options.Folder);
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec) && !FolderIsReachable(options.Folder)) {
    host.Ask(save_messages::FolderCreationFailed(folder));
    return false;
  }
  if (std::filesystem::is_directory(folder, ec) && access(folder.c_str(), W_OK | X_OK) != 0) {
    host.Refuse(folder + Tr(": フォルダに書き込めません"));
    return false;
  }
  std::vector<std::filesystem::path> paths;
  for (int s = 0; s < set.SaveCount(); ++s)
    paths.emplace_back(folder + set.FileNameOf(s));
  if (options.Html.Save)
    paths.emplace_back(folder + options.Html.FileName);
  return DecideOverwrites(paths, host).has_value();
}

} // namespace mirufo::cli
