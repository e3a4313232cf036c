#include "output/save_texts.h"

#include "platform/translate.h"

namespace mirufo::save_messages {

TSaveMessage NothingToSave() {
  return {Tr("保存する待受画像がありません"),
          TMessageKind::Error,
          {{Tr("あ、ほんとだ"), TDialogResult::OK}}};
}

TSaveMessage NamesClash() {
  return {Tr("ファイル名がバッティングしています"),
          TMessageKind::Error,
          {{Tr("悪かったな気がつかなくて"), TDialogResult::OK}}};
}

TSaveMessage UnfinishedImages() {
  return {Tr("未完成の待受画像があります。完成済みの待受画像だけ保存しますか？"),
          TMessageKind::Confirmation,
          {{Tr("そうね、とりあえずそうする"), TDialogResult::Yes},
           {Tr("いや、全員揃ってからだ"), TDialogResult::Cancel}}};
}

TSaveMessage CreateFolder(std::string_view folder) {
  return {std::string(folder) + Tr("\rこのフォルダは存在しません。新しく作成しますか？"),
          TMessageKind::Confirmation,
          {{Tr("そうして下さい"), TDialogResult::Yes}, {Tr("キャンセル"), TDialogResult::Cancel}}};
}

TSaveMessage FolderCreationFailed(std::string_view folder) {
  return {"'" + std::string(folder) + Tr("'\rフォルダの作成に失敗しました"),
          TMessageKind::Error,
          {{Tr("はいはい"), TDialogResult::OK}}};
}

TSaveMessage FolderNotWritable(std::string_view folder) {
  return {std::string(folder) + Tr(": フォルダに書き込めません"),
          TMessageKind::Error,
          {{Tr("はいはい"), TDialogResult::OK}}};
}

TSaveMessage NoFolder() {
  return {Tr("保存先フォルダが指定されていません"),
          TMessageKind::Error,
          {{Tr("わかった"), TDialogResult::OK}}};
}

TSaveMessage UnusableFileName(std::string_view name) {
  return {Tr("ファイル名 \"") + std::string(name) +
              Tr("\" では保存できません。ファイル名のテンプレートを見直してください"),
          TMessageKind::Error,
          {{Tr("わかった"), TDialogResult::OK}}};
}

} // namespace mirufo::save_messages
