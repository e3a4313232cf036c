// The user's three files and their life in one run of the desktop program:
// the settings file, the handset list "tanmatsu_user.lst" and the make sets
// "makeset.txt". At start-up each is read; at shutdown each is written back,
// but only when it was read: a file this run could not read holds data the
// run never saw, and writing the run's state over it would destroy that data.
// The skipped write-back, and any write that fails, come back as a message
// instead of disappearing.
//
// No windows: the desktop program shows the messages.
#pragma once

#include "catalogue/named_bits_list.h"
#include "platform/ini_file.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace mirufo {

class TTanmatsuOptionList;

// The file names in the data folder.
inline constexpr const char* kUserHandsetFileName = "tanmatsu_user.lst";
inline constexpr const char* kMakeSetFileName = "makeset.txt";

// The message of a write-back skipped because the file could not be read at
// start-up. The file name and a line break come first.
inline constexpr const char* kNotWrittenBackMessage =
    "起動時に読み込めなかったため、このファイルは上書きしませんでした。";

// The message, after the folder and why, of a data folder that is not a
// folder or cannot be read: none of the three files is read, and none is
// written at exit.
inline constexpr const char* kUnreadDataFolderMessage =
    "データフォルダを読めません。利用者の端末、作成セット、設定を読まずに続け、"
    "終了時にもこのフォルダには何も書き込みません。";

struct TUserFilePaths {
  std::filesystem::path Settings;
  std::filesystem::path HandsetList;
  std::filesystem::path MakeSets;
};

// The three files in the data folder (the folder need not exist).
TUserFilePaths DefaultUserFilePaths();

// What happened to one file.
struct TUserFileResult {
  bool Ok = true;      // read (or missing, which is normal), or written
  std::string Message; // why not, naming the file; empty when Ok
};

class TUserFiles {
public:
  // Looks at the data folder (the handset list's folder) once: one that is
  // not a folder or cannot be read gives one message, and then nothing is
  // read from it or written to it in this run.
  explicit TUserFiles(TUserFilePaths paths);

  const TUserFilePaths& Paths() const { return paths_; }

  // Start-up.

  // Reads the user's handset list, when it exists, and merges it into the
  // working set as user-defined handsets. A file that cannot be read (not a
  // list, a bad field, a short line, a read failure) merges nothing, and its
  // write-back is skipped at shutdown.
  TUserFileResult LoadHandsets(TTanmatsuOptionList& workingSet);
  // Reads the make sets into sets (the default set when there are none). A
  // file that exists but cannot be read keeps its write-back from happening.
  TUserFileResult LoadMakeSets(TMakeSets& sets);
  // Opens the settings file for a component's reads. A file that cannot be
  // read gives an empty object (every read gives its default), and every
  // later write-back of the settings is skipped.
  TIniFile OpenSettings();

  bool DataFolderUnread() const { return folderUnread_; }
  bool HandsetsLoaded() const { return handsetsLoaded_; }
  bool MakeSetsLoaded() const { return makeSetsLoaded_; }
  bool SettingsLoaded() const { return settingsLoaded_; }

  // Shutdown.

  // Opens the settings file afresh, lets write change its keys and writes
  // the whole file back atomically. Skipped when the file could not be read
  // at start-up, or cannot be read now.
  TUserFileResult SaveSettings(const std::function<void(TIniFile&)>& write);
  // Writes every user-defined handset of the working set, in order, with all
  // the named cache capacities (also when there is no handset).
  TUserFileResult SaveHandsets(const TTanmatsuOptionList& workingSet);
  TUserFileResult SaveMakeSets(const TMakeSets& sets);

  // Every message of a failed read, skipped write-back or failed write, in
  // the order they happened.
  const std::vector<std::string>& Messages() const { return messages_; }

private:
  TUserFileResult Failed(std::string message);
  TUserFileResult Skipped(const std::filesystem::path& path);

  TUserFilePaths paths_;
  bool handsetsLoaded_ = true;
  bool makeSetsLoaded_ = true;
  bool settingsLoaded_ = true;
  bool folderUnread_ = false;
  std::vector<std::string> messages_;
};

} // namespace mirufo
