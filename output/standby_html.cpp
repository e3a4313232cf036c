#include "output/standby_html.h"

#include "platform/text_file.h"

namespace mirufo {

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
      line += "<a href=\"" + *item.FileName + "\">";
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
                      const std::string& applicationTitle) {
  WriteCp932Lines(path, BuildStandbyHTML(option, items, applicationTitle));
}

} // namespace mirufo
