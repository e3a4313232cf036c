// What a make run reports: per saved file its handsets, size, cache and
// status, whether it was written, and the run's error when it stopped.
// Written as text lines for people or as JSON for programs.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace mirufo::cli {

struct THandsetName {
  std::string Name;
  std::string Screen;
};

struct TReportEntry {
  std::string File; // the name within the folder
  std::vector<THandsetName> Handsets;
  int Width = 0;
  int Height = 0;
  std::string Format;
  int Bits = 0;
  std::optional<int> Quality; // JPEG only
  std::optional<int> Colors;  // palette formats only
  bool BestFit = false;       // the fit search: best, else classic
  std::int64_t Size = 0;      // bytes of the encoded file
  double CacheKB = 0;         // the handset's cache, 0 for no limit
  std::int64_t CacheBytes = 0;
  std::int32_t Bps = 0;
  std::vector<std::string> Status;
  bool Written = false;
  bool Clash = false;  // another entry has the same name
  bool Exists = false; // a file of this name was there before the run
};

// A target the make run could not make, with the reason.
struct TFailedTarget {
  THandsetName Handset;
  std::string Error;
};

struct TMakeReport {
  std::string Folder;              // with a trailing separator
  std::array<int, 2> LookAt{};     // the look-at point the images were made with
  std::optional<std::string> Html; // the page's path, when one is saved
  std::vector<TReportEntry> Entries;
  std::vector<TFailedTarget> Failed; // in handset order
  std::optional<std::string> Error;  // why the run stopped
  bool DryRun = false;
  bool HtmlWritten = false;

  int SavedCount() const;
};

// One line per entry (TAB-separated), one per target that could not be
// made, then for a real run a summary line.
void WriteTextReport(const TMakeReport& report, std::ostream& out);
// One JSON object on one line. Text that is not valid UTF-8 (a file name
// with stray bytes) has each invalid byte shown as U+FFFD.
void WriteJsonReport(const TMakeReport& report, std::ostream& out);

} // namespace mirufo::cli
