#include "output/save_file_list.h"

#include "engine/standby_specification.h"
#include "output/page_texts.h"
#include "output/standby_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/translate.h"

#include <algorithm>

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

std::vector<TSaveEntryDetails> SaveEntryDetails(const TTanmatsuOptionList& set) {
  std::vector<TSaveEntryDetails> details(static_cast<std::size_t>(set.SaveCount()));
  for (std::size_t i = 0; i < set.HandsetCount(); ++i) {
    const TStandbySpecification* target = set.TargetOf(i);
    const int saveIndex = target ? set.SaveIndexOf(i) : -1;
    if (saveIndex < 0 || static_cast<std::size_t>(saveIndex) >= details.size())
      continue;
    TSaveEntryDetails& entry = details[static_cast<std::size_t>(saveIndex)];
    if (entry.HandsetCount++ > 0)
      entry.Handsets += ", ";
    entry.Handsets += target->ProgressText();
  }
  for (int s = 0; s < set.SaveCount(); ++s) {
    const TStandbySpecification* target = set.GetSaveStandby(s);
    TSaveEntryDetails& entry = details[static_cast<std::size_t>(s)];
    if (!target)
      continue;
    const TBitmap* image = target->FinalBitmap();
    const int width = image ? image->Width() : target->ScreenWidth();
    const int height = image ? image->Height() : target->ScreenHeight();
    entry.PixelSize = std::to_string(width) + "×" + std::to_string(height);
    if (target->FileSize() >= 0)
      entry.FileSize = FileSizeText(target->FileSize());
  }
  return details;
}

namespace {

// The first lines of a text, and how many more there were.
std::string FirstLines(const std::string& text, std::size_t maxLines) {
  std::size_t end = 0;
  for (std::size_t line = 0; line < maxLines; ++line) {
    end = text.find('\n', end);
    if (end == std::string::npos)
      return text;
    ++end;
  }
  const auto more = std::count(text.begin() + static_cast<std::ptrdiff_t>(end), text.end(), '\n');
  return text.substr(0, end) + FillFormat(Tr("…ほか %d 個"), {std::to_string(more + 1)});
}

} // namespace

std::string SaveFailureText(const std::string& error, const TSaveReport& report,
                            std::size_t maxLines) {
  const std::string writtenHeading = Tr("それまでに保存したファイル");
  const std::string noneWritten = Tr("保存したファイルはありません");
  std::string text = error;
  if (error.find(writtenHeading) == std::string::npos &&
      error.find(noneWritten) == std::string::npos) {
    text += "\n";
    if (report.Written.empty()) {
      text += noneWritten;
    } else {
      text += writtenHeading + " (" + std::to_string(report.Written.size()) + " " + Tr("個") + "):";
      for (const auto& path : report.Written)
        text += "\n" + path.string();
    }
  }
  return FirstLines(text, maxLines);
}

} // namespace mirufo
