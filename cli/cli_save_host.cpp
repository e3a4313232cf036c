#include "cli/cli_save_host.h"

#include "platform/text_fields.h"
#include "platform/translate.h"

#include <ostream>

namespace mirufo::cli {

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
  err_ << "mirufo-cli: " << EscapeControls(text, true) << "\n";
  if (!refusal_)
    refusal_ = text;
}

} // namespace mirufo::cli
