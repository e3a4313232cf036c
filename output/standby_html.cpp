#include "output/standby_html.h"

#include "platform/encoding.h"
#include "platform/text_file.h"

namespace mirufo {

std::string StandbyHTMLLink(const std::string& fileName) {
  if (IsCp932Representable(fileName))
    return fileName;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string link;
  for (unsigned char c : fileName) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      link += static_cast<char>(c);
    } else {
      link += '%';
      link += kHex[c >> 4];
      link += kHex[c & 15];
    }
  }
  return link;
}

std::vector<std::string> BuildStandbyHTML(const TStandbyHTMLOption& option,
                                          const std::vector<TStandbyHTMLItem>& items,
                                          const std::string& applicationTitle) {
  std::vector<std::string> lines;
  lines.push_back("<html>");
  lines.push_back("");
  lines.push_back("\t<head>");
  lines.push_back("\t\t<meta http-equiv=\"content-type\" content=\"text/html;charset=Shift_JIS\">");
  if (option.WriteGenerator)
    lines.push_back("\t\t<meta name=\"generator\" content=\"" + applicationTitle + "\">");
  lines.push_back("\t\t<title>" + option.Title + "</title>");
  lines.push_back("\t</head>");
  lines.push_back("");
  lines.push_back("\t<body>");
  if (!option.Title.empty())
    lines.push_back("\t\t" + option.Title + "<br>");
  lines.push_back("\t\t<ul>");
  for (const TStandbyHTMLItem& item : items) {
    std::string line = "\t\t\t<li>";
    if (item.FileName)
      line += "<a href=\"" + StandbyHTMLLink(*item.FileName) + "\">";
    line += item.Name;
    if (!item.Screen.empty())
      line += "(" + item.Screen + ")";
    if (item.FileName)
      line += "</a>";
    lines.push_back(std::move(line));
  }
  lines.push_back("\t\t</ul>");
  lines.push_back("\t</body>");
  lines.push_back("");
  lines.push_back("</html>");
  return lines;
}

void WriteStandbyHTML(const std::filesystem::path& path, const TStandbyHTMLOption& option,
                      const std::vector<TStandbyHTMLItem>& items,
                      const std::string& applicationTitle, TExistingFile existing) {
  WriteCp932Lines(path, BuildStandbyHTML(option, items, applicationTitle), existing);
}

} // namespace mirufo
