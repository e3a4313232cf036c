#include "cli/make_report.h"

#include "catalogue/tanmatsu_record.h"
#include "output/standby_texts.h"
#include "platform/text_fields.h"
#include "platform/translate.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace mirufo::cli {

int TMakeReport::SavedCount() const {
  int saved = 0;
  for (const TReportEntry& entry : Entries)
    saved += entry.Written ? 1 : 0;
  return saved;
}

void WriteTextReport(const TMakeReport& report, std::ostream& out) {
  // Names come from templates and list files: their control characters are
  // shown, not sent to the terminal.
  auto shown = [](const std::string& text) { return EscapeControls(text); };
  for (const TReportEntry& e : report.Entries) {
    out << shown(e.File) << "\t";
    bool first = true;
    for (const THandsetName& h : e.Handsets) {
      out << (first ? "" : ", ") << shown(h.Name);
      if (!h.Screen.empty())
        out << "（" << shown(h.Screen) << "）";
      first = false;
    }
    out << "\t" << FileSizeText(e.Size) << " / " << CacheToStr(e.CacheKB);
    const std::string download = DownloadTimeText(e.Size, e.Bps);
    if (!download.empty())
      out << "\t" << download;
    // The text report shows the statuses in the user's language; the JSON
    // report keeps the program's own names for scripts.
    for (const std::string& text : e.Status)
      out << "\t" << Tr(text);
    if (e.Clash)
      out << "\t" << Tr("(ファイル名が重複しています)");
    if (report.DryRun && e.Exists)
      out << "\t" << Tr("(同名のファイルがあります)");
    if (!report.DryRun && !e.Written)
      out << "\t" << Tr("(保存していません)");
    out << "\n";
  }
  for (const TFailedTarget& f : report.Failed) {
    out << "-\t" << shown(f.Handset.Name);
    if (!f.Handset.Screen.empty())
      out << "（" << shown(f.Handset.Screen) << "）";
    out << "\t" << Tr("(作成できませんでした)") << " " << shown(f.Error) << "\n";
  }
  if (!report.DryRun && !report.Error)
    out << shown(report.Folder) << Tr(" に ") << report.SavedCount()
        << Tr(" 個のファイルを保存しました") << (report.HtmlWritten ? Tr(" (index.html も)") : "")
        << "\n";
}

void WriteJsonReport(const TMakeReport& report, std::ostream& out) {
  using TJson = nlohmann::ordered_json;
  TJson json;
  json["folder"] = report.Folder;
  json["saved"] = report.SavedCount();
  json["lookat"] = report.LookAt;
  json["html"] = report.Html ? TJson(*report.Html) : TJson(nullptr);
  if (report.Error)
    json["error"] = *report.Error;
  TJson entries = TJson::array();
  for (const TReportEntry& e : report.Entries) {
    TJson entry;
    entry["file"] = e.File;
    TJson handsets = TJson::array();
    for (const THandsetName& h : e.Handsets)
      handsets.push_back({{"name", h.Name}, {"screen", h.Screen}});
    entry["handsets"] = handsets;
    entry["width"] = e.Width;
    entry["height"] = e.Height;
    entry["format"] = e.Format;
    entry["bits"] = e.Bits;
    if (e.Quality)
      entry["quality"] = *e.Quality;
    if (e.Colors)
      entry["colors"] = *e.Colors;
    entry["fit"] = e.BestFit ? "best" : "classic";
    entry["size"] = e.Size;
    entry["cache"] = e.CacheBytes;
    entry["written"] = e.Written;
    entry["clash"] = e.Clash;
    entry["exists"] = e.Exists;
    entry["status"] = e.Status;
    entries.push_back(entry);
  }
  json["entries"] = entries;
  TJson failed = TJson::array();
  for (const TFailedTarget& f : report.Failed)
    failed.push_back({{"name", f.Handset.Name}, {"screen", f.Handset.Screen}, {"error", f.Error}});
  json["failed"] = failed;
  out << json.dump(-1, ' ', false, TJson::error_handler_t::replace) << "\n";
}

} // namespace mirufo::cli
