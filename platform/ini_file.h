// The settings file: an INI text in CP932 with CR LF line ends.
//
// Every component that keeps settings opens the file, reads its keys with
// defaults and, at shutdown, opens it again, writes its keys and writes the
// whole file back. The file object keeps every line it loaded, so keys that
// nobody reads survive the write-back, in their places.
//
// Text form: "[name]" opens a section; "key=value" lines belong to the
// section above them. Lines are trimmed of blanks; blanks around the first
// "=" are dropped. Empty lines are dropped; lines starting with ";" and lines
// without "=" are kept as they are but never read as keys; lines before the
// first section are kept too. Section and key names compare without regard
// to ASCII letter case.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

// The settings file of the program: "mirufo.ini" in the data folder.
std::filesystem::path DefaultSettingsPath();

class TIniFile {
public:
  // Loads the file when it exists; a missing file gives an empty object.
  // Raises EInOutError naming the file when it exists but cannot be read,
  // or when it is not a CP932 text (NUL bytes or invalid byte sequences),
  // so that a write-back can never replace a file it did not understand.
  explicit TIniFile(std::filesystem::path path);
  // Reads text (CP932) as the content of the file at path, with the same
  // checks; nothing is read from disk.
  TIniFile(std::filesystem::path path, std::string_view text);

  const std::filesystem::path& FileName() const { return path_; }

  // A present key returns its value even when it is empty; a missing key
  // or section returns the default.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Decimal with an optional sign, or hexadecimal after "0x"/"0X" (up to 32
  // bits, taken as two's complement). Anything else, or a decimal outside
  // the 32-bit range, gives the default.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  // Read as an integer: non-zero is true; unreadable gives the default.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // A new key goes to the end of its section, a new section to the end of
  // the file; an existing key keeps its place. A line break in a value would
  // split the line, so each CR and LF is written as a blank.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  // Written as "1" or "0".
  void WriteBool(std::string_view section, std::string_view key, bool value);

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // Removes a key (every line of it); nothing when it is missing.
  void DeleteKey(std::string_view section, std::string_view key);

  // Writes the whole file anew, atomically: each section as its "[name]"
  // line, its lines in order, then an empty line. Raises EInOutError naming
  // the file when it cannot be written; the old file then stays as it was.
  void UpdateFile() const;
  // The CP932 text UpdateFile writes.
  std::string Text() const;

private:
  struct TLine {
    std::string Key;  // empty for a kept line that is not a key
    std::string Text; // the value of a key line, or the whole kept line
    bool IsKey = false;
  };
  struct TSection {
    std::string Name;
    std::vector<TLine> Lines;
  };

  const TSection* FindSection(std::string_view name) const;
  TSection* FindSection(std::string_view name);
  static const TLine* FindKey(const TSection& section, std::string_view key);
  void Parse(const std::vector<std::string>& lines);
  void Load(std::string_view bytes);
  std::vector<std::string> Lines() const;

  std::filesystem::path path_;
  std::vector<std::string> preamble_;
  std::vector<TSection> sections_;
};

} // namespace mirufo
