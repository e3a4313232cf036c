// The texts of the save run: its questions, refusals and button captions,
// carried as data so that the save page shows them and the command line can
// print them.
#pragma once

#include "platform/translate.h"

#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

enum class TMessageKind { Error, Confirmation, Information };
enum class TDialogResult { OK, Yes, Cancel };

struct TSaveMessageButton {
  std::string Caption;
  TDialogResult Result;
};

// One question or refusal of the save run.
struct TSaveMessage {
  std::string Text;
  TMessageKind Kind = TMessageKind::Error;
  std::vector<TSaveMessageButton> Buttons;
};

namespace save_messages {

TSaveMessage NothingToSave();
TSaveMessage NamesClash();
TSaveMessage UnfinishedImages();
TSaveMessage CreateFolder(std::string_view folder);
TSaveMessage FolderCreationFailed(std::string_view folder);
// The folder exists but cannot be written into.
TSaveMessage FolderNotWritable(std::string_view folder);
// The folder text is empty (it would mean the root folder).
TSaveMessage NoFolder();
// A name that would write to the folder itself: empty, or only dots and
// spaces.
TSaveMessage UnusableFileName(std::string_view name);

} // namespace save_messages

// The overwrite dialog's texts.
inline constexpr std::string_view kReplaceFilesCaption = N_("ファイルの上書き");
inline constexpr std::string_view kReplaceFilesText =
    N_("保存先フォルダに同名のファイルが存在します。上書きするファイルをチェックしてください。");
inline constexpr std::string_view kReplaceFilesCancel = N_("キャンセル");
inline constexpr std::string_view kReplaceFilesOverwrite = N_("上書き");

// How an empty name is listed.
inline constexpr std::string_view kEmptyFileNameText = N_("（ファイル名が空です）");

} // namespace mirufo
