// The handset catalogue: an ordered list of handset records and an ordered
// list of named cache capacities, with the list files that keep them.
#pragma once

#include "catalogue/tanmatsu_record.h"
#include "platform/errors.h"
#include "platform/text_fields.h"
#include "platform/translate.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

// A handset list file that could not be read: not a list at all, a field
// that is not a number, or a line with too few fields. The message names the
// file and, where there is one, the line.
class ETanmatsuListFileError : public EMirufoError {
public:
  ETanmatsuListFileError(std::filesystem::path file, int line, const std::string& message)
      : EMirufoError(message), File(std::move(file)), Line(line) {}
  std::filesystem::path File;
  int Line = 0; // 1-based line of the file; 0 when the file as a whole is wrong
};

// The message of a file that is not a handset list.
inline constexpr std::string_view kNotAListMessage = N_("端末リストファイルではありません。");

// How a list file is read. Lenient is how the user's own list is read at
// start-up: values are stored in the field's width as they come and TL2 lines
// with too few fields are skipped. Strict is for lists brought in from
// elsewhere: a value out of the field's range (format 0..5, width and height
// 1..65535, bit 1..32, cache and bps not negative, at most six supported
// formats), an empty name or a short non-blank line fails naming the line.
enum class TListCheck { Lenient, Strict };

class TTanmatsuList {
public:
  // Appends a copy; returns its index.
  std::size_t Add(const TTanmatsuRecord& record);
  // Copy of a record with its named capacity filled in: when the cache list
  // has an entry whose name equals CacheName exactly, the copy's Cache is that
  // entry's capacity.
  TTanmatsuRecord Get(std::size_t index) const;
  // The record as stored, without the named capacity.
  const TTanmatsuRecord& Stored(std::size_t index) const;
  void Replace(std::size_t index, const TTanmatsuRecord& record);
  void Delete(std::size_t index);
  std::size_t Count() const { return records_.size(); }
  // Empties both the handsets and the cache capacities.
  void Clear();

  // Sets the capacity of the entry of that name, or appends the entry.
  void AddCache(const TCacheCapacity& entry);
  // Index of the entry with exactly that name, or -1.
  int FindCache(std::string_view name) const;
  std::size_t CacheCount() const { return caches_.size(); }
  TCacheCapacity GetCache(std::size_t index) const;
  void SetCache(std::size_t index, const TCacheCapacity& entry);
  void DeleteCache(std::size_t index);
  // Makes the cache list an exact copy of other's; handsets are untouched.
  void AssignCaches(const TTanmatsuList& other);

  // Clears the list and fills it with the built-in catalogue.
  void LoadBuiltIn();

  // Clears the list and reads a "TL1" or "TL2" file. Raises
  // ETanmatsuListFileError for a file that is not a list or holds a bad field
  // or a short line (records read before the bad line stay in the list), and
  // EInOutError when the file cannot be opened or read. Besides the known
  // columns, a "series" column gives each record its series.
  void LoadFromFile(const std::filesystem::path& fileName, TListCheck check = TListCheck::Lenient);

  // Writes the whole list as a "TL2" file, atomically. Each record's own
  // Cache is written, not the named capacity; a tenth column "series" is
  // added when some record has a series. Raises EInOutError.
  void SaveToFile(const std::filesystem::path& fileName) const;

  // The same reading from the CP932 text of a file held in memory (fileName
  // names it in messages), and the text SaveToFile writes.
  void LoadFromText(std::string_view text, const std::filesystem::path& fileName,
                    TListCheck check = TListCheck::Lenient);
  std::string SaveToText() const;

private:
  void LoadFromLines(const std::vector<std::string>& lines, const std::filesystem::path& fileName,
                     TListCheck check);
  std::vector<std::string> SaveToLines() const;
  void CheckIndex(std::size_t index) const;
  void CheckCacheIndex(std::size_t index) const;

  std::vector<TTanmatsuRecord> records_;
  std::vector<TCacheCapacity> caches_;
};

} // namespace mirufo
