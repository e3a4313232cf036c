// What the save page lists and offers apart from drawing: one row per save
// entry with the colour it is drawn in, the template's insert commands, and
// the message of a save that stopped at a file it could not write.
#pragma once

#include "output/save_run.h"
#include "platform/translate.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mirufo {

class TTanmatsuOptionList;

enum TSaveFileRowColor : std::uint8_t {
  scWindowText, // an ordinary name (highlight text when selected)
  scClash,      // red: another entry has the same name
  scGrayText,   // an empty name, shown as "（ファイル名が空です）"
};

struct TSaveFileRow {
  std::string Text;
  TSaveFileRowColor Color = scWindowText;
};

// The row of save entry s. A clash is red also when the names are empty.
TSaveFileRow SaveFileRow(const TTanmatsuOptionList& set, int saveIndex);

// What the list shows of a save entry beside its name.
struct TSaveEntryDetails {
  // Every ticked handset whose image the file holds, in handset order, as
  // "F901iC（メイン）, W21CA": more than one where identical images fold.
  std::string Handsets;
  std::size_t HandsetCount = 0;
  // The finished image's size, "240×320".
  std::string PixelSize;
  // The encoded file's size, as the make page writes it ("4.904K").
  std::string FileSize;
};

// The details of every save entry, in save order, found in one pass over
// the handsets.
std::vector<TSaveEntryDetails> SaveEntryDetails(const TTanmatsuOptionList& set);

// One entry of the template's pop-up menu: the action's name, its caption
// and the variable it types.
struct TTemplateInsert {
  const char* Action;
  const char* Caption;
  const char* Variable;
};

inline constexpr std::array<TTemplateInsert, 10> kTemplateInserts{{
    {"actAddSourceFileName", N_("元画像のファイル名"), "$fn"},
    {"actAddTanmatsuName", N_("端末名"), "$tn"},
    {"actAddTanmatsuScreen", N_("スクリーン名"), "$ts"},
    {"actAddTanmatsuWidth", N_("端末の幅"), "$tw"},
    {"actAddTanmatsuHeight", N_("端末の高さ"), "$th"},
    {"actAddStandbyImageWidth", N_("完成画像の幅"), "$mw"},
    {"actAddStandbyImageHeight", N_("完成画像の高さ"), "$mh"},
    {"actAddColorsBit", N_("完成画像のビット数"), "$mb"},
    {"actAddColors", N_("完成画像の色数"), "$mc"},
    {"actAddSerialNumber", N_("シリアル番号"), "$sn"},
}};

// The text shown for a save that stopped at a failed write: the error's own
// text, followed by the files written before it unless the text already
// lists them, so that the user knows what the folder holds now. Only the
// first maxLines lines are kept, then "…ほか N 個" counts the rest, so that
// the message fits on the screen with its button.
std::string SaveFailureText(const std::string& error, const TSaveReport& report,
                            std::size_t maxLines = 24);

} // namespace mirufo
