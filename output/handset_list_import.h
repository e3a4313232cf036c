// Bringing a handset list file from elsewhere (a shipped list of today's
// screens, a list a friend made) into the working set as user handsets, and
// finding the lists that come with the program.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace mirufo {

class TTanmatsuOptionList;

// The extension of handset list files, without the dot.
inline constexpr const char* kHandsetListExtension = "lst";

struct THandsetListImport {
  std::size_t Added = 0;        // handsets appended
  std::size_t AlreadyThere = 0; // records equal to a handset already there
  // Per record of the file, the working-set index of its handset (appended
  // or already there), in file order.
  std::vector<std::size_t> Handsets;
};

// Reads a TL1 or TL2 file strictly and merges it into the working set as
// user-defined handsets, named capacities first, by the start-up merge, but
// without appending a record equal in every field to a handset already
// there. Appended handsets start selected. The whole file is read before
// anything is merged, so a file that is not a regular file, cannot be read,
// is not a list or holds a bad line raises (ETanmatsuListFileError naming the
// file and the line, or EInOutError) and changes nothing.
THandsetListImport ImportHandsetList(TTanmatsuOptionList& workingSet,
                                     const std::filesystem::path& fileName);

// "%s から %d 個の端末を追加しました（%d 個は登録済みでした）", translated.
std::string HandsetListImportText(const std::filesystem::path& fileName,
                                  const THandsetListImport& result);

// The shipped handset lists (*.lst but not the user's own list) in the
// shipped-data folders, sorted by file name within each folder, earlier
// folders first.
std::vector<std::filesystem::path> ShippedHandsetLists();

// The folder an import dialog starts in: the first shipped-data folder that
// holds a handset list, else the first shipped-data folder, else empty.
std::filesystem::path ShippedHandsetListFolder();

} // namespace mirufo
