#include "output/save_run.h"

#include "output/standby_file_name.h"
#include "output/tanmatsu_option_list.h"
#include "platform/interrupt.h"
#include "platform/text_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <map>
#include <unistd.h>

namespace mirufo {
namespace {

std::string AsciiLower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool IsFolder(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::is_directory(folder, ec);
}

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

// The checks of the plan that come before the folder: something to save, no
// clashing names, no name that would write to the folder itself.
bool PlanIsSavable(TTanmatsuOptionList& set, const TSaveRunOptions& options, TSaveRunHost& host) {
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
    const std::string& name = set.FileNameOf(s);
    if (!IsUsableFileName(name)) {
      host.Ask(save_messages::UnusableFileName(name));
      return false;
    }
  }
  return true;
}

// Every file the run writes, in save order, the page last.
std::vector<std::filesystem::path> SavePaths(const TTanmatsuOptionList& set,
                                             const TSaveRunOptions& options) {
  const std::string folder = WithTrailingDelimiter(options.Folder);
  std::vector<std::filesystem::path> paths;
  for (int s = 0; s < set.SaveCount(); ++s)
    paths.emplace_back(folder + set.FileNameOf(s));
  if (options.Html.Save)
    paths.emplace_back(folder + options.Html.FileName);
  return paths;
}

// How a file is put in place: a name that was taken at the overwrite check
// (or, when asked, any name) is replaced; another one must still be free.
TExistingFile HowToWrite(const TSaveRunOptions& options, bool existed) {
  return existed || options.ReplaceFilesThatAppear ? TExistingFile::Replace : TExistingFile::Keep;
}

// The message of a failed save: what failed, why, and what was written.
std::string SaveFailedMessage(const std::filesystem::path& failed,
                              const std::vector<std::filesystem::path>& written,
                              std::string reason) {
  // The reason usually starts with the file's name already.
  const std::string name = failed.string();
  if (reason.starts_with(name + "\n"))
    reason.erase(0, name.size() + 1);
  else if (reason.starts_with(name + ": "))
    reason.erase(0, name.size() + 2);
  std::string message = name + ": " + Tr("保存できませんでした") + "\n" + reason + "\n";
  if (written.empty())
    return message + Tr("保存したファイルはありません");
  message += std::string(Tr("それまでに保存したファイル")) + " (" + std::to_string(written.size()) +
             " " + Tr("個") + "):";
  for (const auto& path : written)
    message += "\n" + path.string();
  return message;
}

} // namespace

std::string WithTrailingDelimiter(std::string folder) {
  if (folder.empty() || folder.back() != kPathDelimiter)
    folder += kPathDelimiter;
  return folder;
}

ESaveFailed::ESaveFailed(std::filesystem::path failed, std::vector<std::filesystem::path> written,
                         const std::string& reason)
    : EInOutError(SaveFailedMessage(failed, written, reason)), failed_(std::move(failed)),
      written_(std::move(written)) {}

bool EnsureFolder(const std::string& folderText, TSaveRunHost& host) {
  if (folderText.empty()) {
    host.Ask(save_messages::NoFolder());
    return false;
  }
  const std::string folder = WithTrailingDelimiter(folderText);
  if (IsFolder(folder))
    return true;
  if (host.Ask(save_messages::CreateFolder(folder)) != TDialogResult::Yes)
    return false;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (IsFolder(folder))
    return true;
  host.Ask(save_messages::FolderCreationFailed(folder));
  return false;
}

std::optional<std::vector<bool>> DecideOverwrites(const std::vector<std::filesystem::path>& paths,
                                                  TSaveRunHost& host, std::vector<bool>* existed) {
  // Existing files, sorted without regard to letter case, without duplicates.
  std::map<std::string, std::filesystem::path> existing;
  if (existed)
    existed->assign(paths.size(), false);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (PathIsTaken(paths[i])) {
      existing.emplace(AsciiLower(paths[i].string()), paths[i]);
      if (existed)
        (*existed)[i] = true;
    }
  }
  std::vector<bool> write(paths.size(), true);
  if (existing.empty())
    return write;
  std::vector<std::filesystem::path> listed;
  for (const auto& entry : existing)
    listed.push_back(entry.second);
  std::optional<std::vector<bool>> ticks = host.ChooseOverwrites(listed);
  if (!ticks)
    return std::nullopt;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    auto found = existing.find(AsciiLower(paths[i].string()));
    if (found == existing.end())
      continue;
    std::size_t row = static_cast<std::size_t>(std::distance(existing.begin(), found));
    write[i] = row < ticks->size() && (*ticks)[row];
  }
  return write;
}

std::string ClipboardText(const std::vector<std::string>& names, bool separateTab) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0)
      text += separateTab ? "\t" : "\r\n";
    text += names[i];
  }
  return text;
}

std::string ShortenPath(const std::string& path, int maxWidth,
                        const std::function<int(const std::string&)>& textWidth, char delimiter) {
  const std::string d(1, delimiter);
  const std::string ellipsisFolder = d + "..." + d;
  std::size_t cut = path.rfind(delimiter);
  std::string folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);
  const std::string file = cut == std::string::npos ? path : path.substr(cut + 1);
  std::string drive;
  if (folder.size() > 1 && folder[1] == ':') {
    drive = folder.substr(0, 2);
    folder.erase(0, 2);
  }
  std::string shown = path;
  while (!folder.empty() || !drive.empty()) {
    if (textWidth(shown) <= maxWidth)
      break;
    if (folder == ellipsisFolder) {
      drive.clear();
      folder = "..." + d;
    } else if (!folder.empty()) {
      // Drop the first folder, leaving "...\" where it stood.
      if (folder == d) {
        folder.clear();
      } else {
        std::string lead;
        std::string rest = folder;
        if (!rest.empty() && rest[0] == delimiter) {
          lead = d;
          rest.erase(0, 1);
        }
        if (!rest.empty() && rest[0] == '.')
          rest.erase(0, std::min<std::size_t>(4, rest.size()));
        std::size_t next = rest.find(delimiter);
        rest = next == std::string::npos ? "" : "..." + d + rest.substr(next + 1);
        folder = lead + rest;
      }
    } else {
      drive.clear();
    }
    shown = drive + folder + file;
  }
  return shown;
}

} // namespace mirufo

namespace mirufo {

bool IsUsableFileName(const std::string& name) {
  return name.find_first_not_of(". ") != std::string::npos;
}

std::vector<TStandbyHTMLItem> StandbyHTMLItems(const TTanmatsuOptionList& set) {
  std::vector<TStandbyHTMLItem> items;
  for (std::size_t i = 0; i < set.HandsetCount(); ++i) {
    if (!set.IsSelected(i))
      continue;
    TTanmatsuRecord record = set.GetHandset(i);
    TStandbyHTMLItem item{record.Name, record.Screen, std::nullopt};
    int s = set.SaveIndexOf(i);
    if (s != -1)
      item.FileName = set.FileNameOf(s);
    items.push_back(std::move(item));
  }
  return items;
}

bool PathIsTaken(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type() !=
             std::filesystem::file_type::not_found &&
         !ec;
}

TSaveOutcome CheckSave(TTanmatsuOptionList& set, const TSaveRunOptions& options,
                       TSaveRunHost& host) {
  if (!PlanIsSavable(set, options, host))
    return TSaveOutcome::Stopped;
  if (set.CompletedCount() < set.TargetCount() &&
      host.Ask(save_messages::UnfinishedImages()) != TDialogResult::Yes)
    return TSaveOutcome::Stopped;
  if (options.Folder.empty()) {
    host.Ask(save_messages::NoFolder());
    return TSaveOutcome::Stopped;
  }
  const std::string folder = WithTrailingDelimiter(options.Folder);
  if (!IsFolder(folder) && !FolderIsReachable(options.Folder)) {
    host.Ask(save_messages::FolderCreationFailed(folder));
    return TSaveOutcome::Stopped;
  }
  if (IsFolder(folder) && access(folder.c_str(), W_OK | X_OK) != 0) {
    host.Ask(save_messages::FolderNotWritable(folder));
    return TSaveOutcome::Stopped;
  }
  const std::vector<std::filesystem::path> paths = SavePaths(set, options);
  std::vector<bool> existed;
  const std::optional<std::vector<bool>> write = DecideOverwrites(paths, host, &existed);
  if (!write)
    return TSaveOutcome::Cancelled;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!(*write)[i])
      continue;
    try {
      CheckWriteTarget(paths[i], HowToWrite(options, existed[i]));
    } catch (const std::exception& e) {
      throw ESaveFailed(paths[i], {}, e.what());
    }
  }
  return TSaveOutcome::Saved;
}

TSaveOutcome RunSave(TTanmatsuOptionList& set, const TSaveRunOptions& options, TSaveRunHost& host,
                     TSaveReport& report) {
  report = TSaveReport{};
  if (!PlanIsSavable(set, options, host))
    return TSaveOutcome::Stopped;
  if (set.CompletedCount() < set.TargetCount() &&
      host.Ask(save_messages::UnfinishedImages()) != TDialogResult::Yes)
    return TSaveOutcome::Stopped;
  if (!EnsureFolder(options.Folder, host))
    return TSaveOutcome::Stopped;

  const std::vector<std::filesystem::path> paths = SavePaths(set, options);
  TSaveOutcome outcome = TSaveOutcome::Cancelled;
  std::vector<bool> existed;
  if (std::optional<std::vector<bool>> write = DecideOverwrites(paths, host, &existed)) {
    outcome = TSaveOutcome::Saved;
    int toWrite = static_cast<int>(std::count(write->begin(), write->end(), true));
    report.Skipped.assign(static_cast<std::size_t>(set.SaveCount()), false);
    // Only a file the user chose to overwrite is replaced; any other name
    // taken since the check stops the run there, unless every file is to be
    // replaced.
    auto how = [&](std::size_t i) { return HowToWrite(options, existed[i]); };
    auto failed = [&report](const std::filesystem::path& path, const std::exception& e) {
      report.Failed = path;
      return ESaveFailed(path, report.Written, e.what());
    };
    std::size_t s = 0;
    try {
      for (; s < static_cast<std::size_t>(set.SaveCount()); ++s) {
        if (!(*write)[s]) {
          report.Skipped[s] = true;
          continue;
        }
        ThrowIfInterrupted();
        const int entry = static_cast<int>(s);
        host.Progress(entry, toWrite, set.GetSaveTanmatsu(entry).Name);
        set.GetSaveStandby(entry)->SaveToFile(paths[s], how(s));
        report.Written.push_back(paths[s]);
      }
    } catch (const EInterrupted&) {
      // Stopped on a signal: the files written so far stay, the report
      // says which; nothing else is written.
      host.ProgressDone();
      throw;
    } catch (const std::exception& e) {
      host.ProgressDone();
      throw failed(paths[s], e);
    }
    host.ProgressDone();
    if (options.Html.Save && write->back()) {
      ThrowIfInterrupted();
      try {
        WriteStandbyHTML(paths.back(), options.Html, StandbyHTMLItems(set),
                         options.ApplicationTitle, how(paths.size() - 1));
      } catch (const EInterrupted&) {
        throw;
      } catch (const std::exception& e) {
        throw failed(paths.back(), e);
      }
      report.Written.push_back(paths.back());
      report.HtmlWritten = true;
    }
  }
  if (options.CopyFileNames) {
    std::vector<std::string> names;
    for (int s = 0; s < set.SaveCount(); ++s)
      names.push_back(set.FileNameOf(s));
    host.SetClipboardText(ClipboardText(names, options.SeparateTab));
  }
  return outcome;
}

} // namespace mirufo
