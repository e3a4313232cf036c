// The list of recently opened files: up to eight full paths, most recent
// first, kept in the settings file as "<key>.Count" and "<key>.Items[i]".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

class TIniFile;

inline constexpr std::size_t kRecentFileCount = 8;

class TRecentFiles {
public:
  const std::vector<std::string>& Items() const { return items_; }
  std::size_t Count() const { return items_.size(); }

  // A path not yet listed goes first; a listed one (compared without regard
  // to ASCII letter case) swaps places with the first entry, the entries
  // between keeping their order, and takes the new spelling. The list is
  // then cut to eight entries.
  void Add(const std::string& path);
  // Removes the entry at index; nothing for an index outside the list.
  void Remove(std::size_t index);

  // Reads the list when "<key>.Count" exists; at most eight entries are
  // read, and empty ones are skipped, so a damaged count cannot stall the
  // start or fill the menu with blanks.
  void Load(const TIniFile& ini, std::string_view section, std::string_view key);
  // Writes the count, then the items; items left over from a longer list
  // are removed.
  void Save(TIniFile& ini, std::string_view section, std::string_view key) const;

private:
  std::vector<std::string> items_;
};

} // namespace mirufo
