// The optional "index.html" page that lists the selected handsets with links
// to their saved images.
#pragma once

#include "platform/text_file.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mirufo {

// The options handed to the save run for the page.
struct TStandbyHTMLOption {
  bool Save = false;
  std::string FileName = "index.html";
  std::string Title;
  bool WriteGenerator = true;
};

// One selected handset of the page, in handset order; FileName is set when
// its image is saved (a folded duplicate names its group's file).
struct TStandbyHTMLItem {
  std::string Name;
  std::string Screen;
  std::optional<std::string> FileName;
};

// The page's lines (without line ends). Title, names and file names are
// written as they are, unescaped, so that a title may carry markup; only a
// link to a name CP932 cannot hold is percent-encoded (StandbyHTMLLink).
std::vector<std::string> BuildStandbyHTML(const TStandbyHTMLOption& option,
                                          const std::vector<TStandbyHTMLItem>& items,
                                          const std::string& applicationTitle);

// Writes the page as CP932 with CR LF line ends, atomically; a page that is
// not to replace an existing file never does (EFileExists).
void WriteStandbyHTML(const std::filesystem::path& path, const TStandbyHTMLOption& option,
                      const std::vector<TStandbyHTMLItem>& items,
                      const std::string& applicationTitle,
                      TExistingFile existing = TExistingFile::Replace);

// The link target of a saved file: the name as it is when CP932 holds it;
// otherwise (a character CP932 lacks, an invalid byte) its UTF-8 bytes
// percent-encoded, since the CP932 page would show "?" in their place and
// the link would miss the file.
std::string StandbyHTMLLink(const std::string& fileName);

} // namespace mirufo
