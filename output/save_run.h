// The save run without any window: the folder check, the overwrite
// decision, writing every encoded file, the HTML page and the list of names
// for the clipboard. The save page and the command line both drive it
// through a TSaveRunHost that asks the questions and shows progress.
#pragma once

#include "output/save_texts.h"
#include "output/standby_html.h"
#include "platform/errors.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mirufo {

// Folder separator of this platform, used where paths are shown.
inline constexpr char kPathDelimiter = '/';

// What the save run asks of its caller.
class TSaveRunHost {
public:
  virtual ~TSaveRunHost() = default;
  // Shows a question or refusal and returns the chosen button's result.
  virtual TDialogResult Ask(const TSaveMessage& message) = 0;
  // Shows the overwrite dialog for the files that exist (sorted, without
  // duplicates). Returns one tick per listed file, or nothing on cancel.
  virtual std::optional<std::vector<bool>>
  ChooseOverwrites(const std::vector<std::filesystem::path>& existing) = 0;
  // Progress of the writing loop: position of maximum, with a label.
  virtual void Progress(int /*position*/, int /*maximum*/, const std::string& /*label*/) {}
  virtual void ProgressDone() {}
  // Puts the list of saved names on the clipboard.
  virtual void SetClipboardText(const std::string& /*text*/) {}
};

class TTanmatsuOptionList;

// What the save run is asked to do.
struct TSaveRunOptions {
  std::string Folder;
  // The template as typed; the extension variable is appended by the run.
  std::string Template = "$tn_$sn3";
  // The source picture's file name, for "$fn".
  std::string SourceFileName;
  TStandbyHTMLOption Html;
  // Replace a file that appears at one of the names while the run is under
  // way, as one that was there at the overwrite check is (the command line's
  // --overwrite). Otherwise such a file is kept and stops the run.
  bool ReplaceFilesThatAppear = false;
  bool CopyFileNames = false;
  bool SeparateTab = false;
  std::string ApplicationTitle = "ミルフォ";
};

enum class TSaveOutcome {
  Saved,     // every chosen file was written
  Stopped,   // a check refused the run or the user declined; nothing written
  Cancelled, // the overwrite dialog was cancelled; nothing written
};

// What a save run did, filled in as it goes, so that a caller knows what
// was written also when a write fails half-way.
struct TSaveReport {
  std::vector<std::filesystem::path> Written; // in save order, the page last
  std::vector<bool> Skipped;                  // per save entry: kept the existing file
  bool HtmlWritten = false;
  std::filesystem::path Failed; // the file whose write stopped the run, if one did
};

// A save run stopped at a file it could not write. The message names that
// file and why, then lists every file written before it (or says that none
// was), so that the user knows what the folder holds now.
class ESaveFailed : public EInOutError {
public:
  ESaveFailed(std::filesystem::path failed, std::vector<std::filesystem::path> written,
              const std::string& reason);

  const std::filesystem::path& Failed() const { return failed_; }
  const std::vector<std::filesystem::path>& Written() const { return written_; }

private:
  std::filesystem::path failed_;
  std::vector<std::filesystem::path> written_;
};

// Runs the save on a working set whose save plan is built: names the entries
// from the template, checks, makes sure of the folder, asks about existing
// files, writes every chosen file and the HTML page, and hands the list of
// names to the clipboard. A file that did not exist at the overwrite check is
// put in place without replacing anything, so a file another program made
// meanwhile survives. A write that fails ends the run with ESaveFailed after
// the progress is closed; the files written before stay, and report says
// which they are and which file failed. A signal noted by a TInterruptGuard
// ends the run with EInterrupted before the next file, or drops the file
// being written; the files written before stay and report lists them.
TSaveOutcome RunSave(TTanmatsuOptionList& set, const TSaveRunOptions& options, TSaveRunHost& host,
                     TSaveReport& report);

// Every check of RunSave without writing or creating anything: the plan's
// names, the unfinished targets, whether the folder exists or could be made
// and written into, the existing files (through the host), and every file
// to be written checked the way the write will check it (its name's length,
// what stands at the name, whether that may be replaced). A file the run
// could not write raises ESaveFailed naming it, as the run would. Saved when
// the run would write.
TSaveOutcome CheckSave(TTanmatsuOptionList& set, const TSaveRunOptions& options,
                       TSaveRunHost& host);

// Whether anything stands at the path: a file, a folder, or a symbolic link,
// dangling or not (which a write replaces like a file).
bool PathIsTaken(const std::filesystem::path& path);

// False for a name that would write to the folder itself: empty, or only
// dots and spaces.
bool IsUsableFileName(const std::string& name);

// The HTML page's items: every selected handset in handset order, linked to
// the file of its save entry when it has one.
std::vector<TStandbyHTMLItem> StandbyHTMLItems(const TTanmatsuOptionList& set);

// The folder text with a trailing separator.
std::string WithTrailingDelimiter(std::string folder);

// Makes sure the folder exists, asking before creating it (with every
// missing parent). Returns false when the user declines or creation fails
// (after telling the user), and refuses an empty folder text, which would
// name the root folder.
bool EnsureFolder(const std::string& folder, TSaveRunHost& host);

// Which paths to write: one flag per input path, in input order. Paths that
// are not taken (PathIsTaken) are always written; for the existing ones the host decides.
// Nothing when the host cancels. When existed is given, it receives one flag
// per path: the path existed at the check.
std::optional<std::vector<bool>> DecideOverwrites(const std::vector<std::filesystem::path>& paths,
                                                  TSaveRunHost& host,
                                                  std::vector<bool>* existed = nullptr);

// The names joined by TAB or by CR LF, with nothing after the last.
std::string ClipboardText(const std::vector<std::string>& names, bool separateTab);

// The path shortened for display until it fits maxWidth by the given text
// width: "/aaa/bbb/file.png" becomes "/.../bbb/file.png", "/.../file.png",
// ".../file.png" and finally "file.png". A "C:" drive, where there is one,
// is kept until the folders are gone. The separator is the given one.
std::string ShortenPath(const std::string& path, int maxWidth,
                        const std::function<int(const std::string&)>& textWidth,
                        char delimiter = kPathDelimiter);

} // namespace mirufo
