#include "output/save_texts.h"

namespace mirufo::save_messages {

TSaveMessage NothingToSave() {
  return {
      "保存する待受画像がありません", TMessageKind::Error, {{"あ、ほんとだ", TDialogResult::OK}}};
}

TSaveMessage NamesClash() {
  return {"ファイル名がバッティングしています",
          TMessageKind::Error,
          {{"悪かったな気がつかなくて", TDialogResult::OK}}};
}

TSaveMessage UnfinishedImages() {
  return {"未完成の待受画像があります。完成済みの待受画像だけ保存しますか？",
          TMessageKind::Confirmation,
          {{"そうね、とりあえずそうする", TDialogResult::Yes},
           {"いや、全員揃ってからだ", TDialogResult::Cancel}}};
}

TSaveMessage CreateFolder(std::string_view folder) {
  return {std::string(folder) + "\rこのフォルダは存在しません。新しく作成しますか？",
          TMessageKind::Confirmation,
          {{"そうして下さい", TDialogResult::Yes}, {"キャンセル", TDialogResult::Cancel}}};
}

TSaveMessage FolderCreationFailed(std::string_view folder) {
  return {"'" + std::string(folder) + "'\rフォルダの作成に失敗しました",
          TMessageKind::Error,
          {{"はいはい", TDialogResult::OK}}};
}

TSaveMessage FolderNotWritable(std::string_view folder) {
  return {std::string(folder) + ": フォルダに書き込めません",
          TMessageKind::Error,
          {{"はいはい", TDialogResult::OK}}};
}

TSaveMessage NoFolder() {
  return {
      "保存先フォルダが指定されていません", TMessageKind::Error, {{"わかった", TDialogResult::OK}}};
}

TSaveMessage UnusableFileName(std::string_view name) {
  return {"ファイル名 \"" + std::string(name) +
              "\" では保存できません。ファイル名のテンプレートを見直してください",
          TMessageKind::Error,
          {{"わかった", TDialogResult::OK}}};
}

} // namespace mirufo::save_messages
