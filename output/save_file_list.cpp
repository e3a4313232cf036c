#include "output/save_file_list.h"

#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

namespace mirufo {

TSaveFileRow SaveFileRow(const TTanmatsuOptionList& set, int saveIndex) {
  const std::string& name = set.FileNameOf(saveIndex);
  TSaveFileRow row;
  row.Text = name.empty() ? Tr(std::string(kEmptyFileNameText)) : name;
  if (set.GetFileNameBattings(saveIndex))
    row.Color = scClash;
  else if (name.empty())
    row.Color = scGrayText;
  return row;
}

std::string SaveFailureText(const std::string& error, const TSaveReport& report) {
  const std::string writtenHeading = Tr("それまでに保存したファイル");
  const std::string noneWritten = Tr("保存したファイルはありません");
  if (error.find(writtenHeading) != std::string::npos ||
      error.find(noneWritten) != std::string::npos)
    return error;
  std::string text = error + "\n";
  if (report.Written.empty())
    return text + noneWritten;
  text += writtenHeading + " (" + std::to_string(report.Written.size()) + " " + Tr("個") + "):";
  for (const auto& path : report.Written)
    text += "\n" + path.string();
  return text;
}

} // namespace mirufo
