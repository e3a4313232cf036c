// Make sets: named choices of handsets, one flag per catalogue position, the
// file "makeset.txt" that keeps them between runs, and the handset page's set
// commands (current set, new, clone, rename, delete) as plain operations.
#pragma once

#include "catalogue/tanmatsu_selection.h"
#include "platform/translate.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

// A growable sequence of booleans. Reading past the end gives false; setting
// a flag past the end lengthens the sequence with false flags.
class TBits {
public:
  bool Get(std::size_t index) const { return index < bits_.size() && bits_[index]; }
  void Set(std::size_t index, bool value);
  std::size_t Size() const { return bits_.size(); }
  // Cuts the sequence or lengthens it with false flags.
  void SetSize(std::size_t size) { bits_.resize(size, false); }
  // Removes one position; the later flags move down by one.
  void DeletePosition(std::size_t index);
  // Number of true flags.
  std::size_t CountTrue() const;
  const std::vector<bool>& AsVector() const { return bits_; }

  friend bool operator==(const TBits&, const TBits&) = default;

private:
  std::vector<bool> bits_;
};

// The first line of the current "makeset.txt" format.
inline constexpr std::string_view kMakeSetSignature = "MSET01";
// The set that exists when there is none to load.
inline constexpr std::string_view kDefaultSetName = "標準のセット";

// An ordered list of named flag sequences. Indexes out of range raise
// ERangeError("TNamedBitsList").
class TNamedBitsList {
public:
  // Cuts the name at its first line break, turns every TAB into a space and
  // appends it with no members. Returns the new index.
  std::size_t Add(std::string_view name);
  void Delete(std::size_t index);
  std::size_t Count() const { return sets_.size(); }
  void Clear() { sets_.clear(); }

  const std::string& GetName(std::size_t index) const;
  // Stores the name as given.
  void Rename(std::size_t index, std::string_view name);
  TBits& GetFlags(std::size_t index);
  const TBits& GetFlags(std::size_t index) const;

  // Index of the first set whose name equals the text without regard to
  // letter case, or -1.
  int IndexOf(std::string_view name) const;
  std::size_t MemberCount(std::size_t index) const;

  // Clears the list and reads the older format: every line holding a TAB is
  // one set, its name before the first TAB and one digit per catalogue
  // position after it. A digit other than 0 means member; any other character
  // (a letter, a space, a stray byte) counts as "not a member" rather than
  // spoiling the whole file. Raises EInOutError when the file cannot be read.
  void LoadOldFormat(const std::filesystem::path& fileName);
  void LoadOldFormatLines(const std::vector<std::string>& lines);

  // Clears the list and reads the "MSET01" format, matching member lines
  // against the handsets. A file whose first line is not exactly "MSET01"
  // gives no sets; a member line that matches no handset is dropped. Every
  // set read gets a flag sequence as long as the handset list. Raises
  // EInOutError when the file cannot be read.
  void LoadFromFile(const std::filesystem::path& fileName, const TTanmatsuSelection& handsets);
  void LoadFromLines(const std::vector<std::string>& lines, const TTanmatsuSelection& handsets);

  // Writes the "MSET01" format atomically: each set's name line, then one
  // member line (TAB name TAB series TAB screen) per true flag that stands
  // for a handset, in catalogue order. Raises EInOutError.
  void SaveToFile(const std::filesystem::path& fileName, const TTanmatsuSelection& handsets) const;
  // The lines SaveToFile writes, in memory.
  std::vector<std::string> SaveToLines(const TTanmatsuSelection& handsets) const;

private:
  struct TNamedBits {
    std::string Name;
    TBits Flags;
  };
  void CheckIndex(std::size_t index) const;

  std::vector<TNamedBits> sets_;
};

// Letter-case folding used by IndexOf: ASCII, full-width Latin, Greek and
// Cyrillic capitals become small letters; everything else is kept.
std::string FoldLetterCase(std::string_view utf8);

// What loading "makeset.txt" found.
struct TMakeSetsLoadResult {
  // False when the file exists but could not be read. The list then holds only
  // "標準のセット", and the caller should leave the file alone at the end of
  // the run instead of replacing sets it never saw.
  bool FileRead = true;
  // Why the file could not be read, naming it; empty otherwise.
  std::string Message;
};

// Fills the list from "makeset.txt" (either format; a missing file is not an
// error), adds "標準のセット" when that gives no set, and sizes every set's
// flags to the number of handsets.
TMakeSetsLoadResult LoadMakeSets(TNamedBitsList& sets, const std::filesystem::path& fileName,
                                 const TTanmatsuSelection& handsets);
// The same from the file's lines, already read: picks the format by the first
// line, adds the default set and sizes the flags.
void LoadMakeSetsFromLines(TNamedBitsList& sets, const std::vector<std::string>& lines,
                           const TTanmatsuSelection& handsets);

// Writes the list as "MSET01", replacing the file atomically. Raises
// EInOutError.
void SaveMakeSets(const TNamedBitsList& sets, const std::filesystem::path& fileName,
                  const TTanmatsuSelection& handsets);

// A message box the page shows for a set command: an error with one button,
// or a question whose first button answers yes and second no.
enum TSetMessageKind : std::uint8_t { smError, smQuestion };

struct TSetMessage {
  TSetMessageKind Kind = smError;
  std::string Text;
  std::vector<std::string> Buttons;
};

// The input box of the rename command.
struct TSetRenamePrompt {
  std::string Caption;
  std::string Prompt;
  std::string Text;
};

// Command captions of the set menu and the tabs' pop-up menu.
inline constexpr std::string_view kSetMenuCaption = N_("作成セット(&S)");
inline constexpr std::string_view kSetAddCaption = N_("新しいセット(&A)");
inline constexpr std::string_view kSetCloneCaption = N_("複製(&C)");
inline constexpr std::string_view kSetRenameCaption = N_("名前の変更(&N)...");
inline constexpr std::string_view kSetDeleteCaption = N_("削除(&D)");

// The handset page's make sets: the list, the current set, and the commands
// that act on them. Every tick change goes through the handsets' batch
// (ApplySelection); the page forwards each SelectionChanged it hears to this
// object, so that the current set always equals the ticked handsets.
//
// Flags are held per catalogue position, so the page reports handsets it adds
// or deletes:
// - a deleted handset's position is removed from every set, so the later
//   handsets keep their memberships;
// - an added handset joins the current set when it is ticked (the working set
//   ticks every new handset), so the current set keeps matching the ticks.
class TMakeSets {
public:
  explicit TMakeSets(TTanmatsuSelection& handsets) : handsets_(handsets) {}

  TNamedBitsList& Sets() { return sets_; }
  const TNamedBitsList& Sets() const { return sets_; }

  // LoadMakeSets on this list; the current set becomes the first.
  TMakeSetsLoadResult Load(const std::filesystem::path& fileName);
  void Save(const std::filesystem::path& fileName) const;

  std::size_t CurrentIndex() const { return current_; }
  // Makes a set current without applying it: a saved index that is negative or
  // past the last set gives the first set.
  void SetCurrentIndex(long long index);
  // Makes a set current (a tab was selected) and applies it.
  void SelectSet(std::size_t index);

  // Ticks exactly the members of the current set, as one batch. The page then
  // recomputes the tree (UpdateAll) and redraws.
  void ApplyCurrent();

  // The page's answer to SelectionChanged: records the tick in the current set.
  void SelectionChanged(std::size_t index, bool selected);
  // A handset was appended at index: every set grows by one position and the
  // current set takes the handset's tick.
  void HandsetAdded(std::size_t index);
  // The handset at index was deleted: the position is removed from every set.
  void HandsetDeleted(std::size_t index);

  // A tab's text: the name and the member count, "%s(%d)".
  std::string TabCaption(std::size_t index) const;

  // "新しいセット" with the smallest free number, no members; becomes current
  // and is applied, so every handset is unticked. Returns its index.
  std::size_t NewSet();
  // "コピー ～ " and the current name, with the current members; becomes
  // current and is applied. Returns its index.
  std::size_t CloneSet();

  TSetRenamePrompt RenamePrompt() const;
  // Renames the current set to the text as entered. A text that is blank after
  // trimming changes nothing and gives false (the page beeps).
  bool RenameSet(std::string_view text);

  // Whether the delete command is enabled: more than one set.
  bool CanDeleteSet() const { return sets_.Count() > 1; }
  // The box the delete command shows first: the refusal when only one set is
  // left, otherwise the question naming the current set.
  TSetMessage DeleteSetMessage() const;
  // Deletes the current set after a yes. The set now at the same position, or
  // the last set when the deleted one was last, becomes current and is
  // applied. Refuses (returns false) when only one set is left.
  bool DeleteCurrentSet();

private:
  TTanmatsuSelection& handsets_;
  TNamedBitsList sets_;
  std::size_t current_ = 0;
};

} // namespace mirufo
