// mirufo-cli list: the handset catalogue, or the named cache capacities.
#include "catalogue/named_bits_list.h"
#include "cli/cli.h"
#include "engine/output_format.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/ini_file.h"

#include <cstdio>
#include <ostream>

namespace mirufo::cli {
namespace {

constexpr const char* kListUsage = R"(使い方: mirufo-cli list [--tsv] [--caches | --sets]

組み込みの端末と、データフォルダの "tanmatsu_user.lst" のユーザー定義端末を
プログラムが使う順に 1 行ずつ表示します。

  --tsv      タブ区切りで表示します (1 行目は列名、文字コードは UTF-8)
             列: carrier series name screen format supportformats width height
                 bit cachename cache bps
  --caches   端末の代わりにキャッシュ容量の一覧 (name, capacity) を表示します
  --sets     端末の代わりに "makeset.txt" の作成セットを表示します (* は現在のセット)
             --tsv では列 set name series screen で、メンバーを 1 行ずつ
  --help     この説明を表示します

"tanmatsu_user.lst" が読めないときはエラーを表示して終了コード 1 で終わります。
)";

std::string OneDecimal(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

std::string SupportFormatsText(TImageFormats formats) {
  std::string text;
  for (int code = 0; code < 6; ++code)
    text += formats.Contains(static_cast<TImageFormat>(code)) ? '1' : '0';
  return text;
}

std::string SupportFormatsNames(TImageFormats formats) {
  std::string text;
  for (int code = 0; code < 6; ++code) {
    if (!formats.Contains(static_cast<TImageFormat>(code)))
      continue;
    if (!text.empty())
      text += ",";
    text += FormatName(static_cast<TImageFormat>(code));
  }
  return text;
}

void PrintHandsets(const TTanmatsuOptionList& set, bool tsv, std::ostream& out) {
  if (tsv)
    out << "carrier\tseries\tname\tscreen\tformat\tsupportformats\twidth\theight\tbit\tcachename"
           "\tcache\tbps\n";
  for (std::size_t i = 0; i < set.HandsetCount(); ++i) {
    const TTanmatsuRecord r = set.GetHandset(i);
    if (tsv) {
      out << CarrierName(r.Carrier) << '\t' << r.Series << '\t' << r.Name << '\t' << r.Screen
          << '\t' << static_cast<int>(r.Format) << '\t' << SupportFormatsText(r.SupportFormats)
          << '\t' << r.Width << '\t' << r.Height << '\t' << static_cast<int>(r.Bit) << '\t'
          << r.CacheName << '\t' << OneDecimal(r.Cache) << '\t' << r.Bps << '\n';
      continue;
    }
    out << CarrierName(r.Carrier);
    if (!r.Series.empty())
      out << " / " << r.Series;
    out << " / " << r.Name;
    if (!r.Screen.empty())
      out << " (" << r.Screen << ")";
    out << ": " << r.Width << "x" << r.Height << " " << static_cast<int>(r.Bit) << "bit, "
        << FormatName(r.Format) << " [" << SupportFormatsNames(r.SupportFormats) << "], "
        << CacheToStr(r.Cache);
    if (!r.CacheName.empty())
      out << " (" << r.CacheName << ")";
    out << ", " << BpsToStr(r.Bps) << "bps\n";
  }
}

void PrintCaches(const TTanmatsuList& list, bool tsv, std::ostream& out) {
  if (tsv)
    out << "name\tcapacity\n";
  for (std::size_t i = 0; i < list.CacheCount(); ++i) {
    const TCacheCapacity c = list.GetCache(i);
    if (tsv)
      out << c.Name << '\t' << OneDecimal(c.Capacity) << '\n';
    else
      out << c.Name << ": " << CacheToStr(c.Capacity) << '\n';
  }
}

// The make sets as the handset page loads them, the current one marked.
void PrintSets(TTanmatsuOptionList& set, const std::filesystem::path& dataFolder, bool tsv,
               std::ostream& out) {
  TMakeSets sets(set);
  TMakeSetsLoadResult loaded = sets.Load(dataFolder / "makeset.txt");
  if (!loaded.FileRead)
    throw EMirufoError(loaded.Message);
  const TIniFile ini(dataFolder / "mirufo.ini");
  sets.SetCurrentIndex(ini.ReadInteger("TanmatsuList", "SetIndex", 0));
  const TNamedBitsList& list = sets.Sets();
  if (tsv)
    out << "set\tname\tseries\tscreen\n";
  for (std::size_t s = 0; s < list.Count(); ++s) {
    if (!tsv) {
      out << (s == sets.CurrentIndex() ? "* " : "  ") << list.GetName(s) << " ("
          << list.MemberCount(s) << ")\n";
      continue;
    }
    bool any = false;
    for (std::size_t i = 0; i < set.HandsetCount(); ++i) {
      if (!list.GetFlags(s).Get(i))
        continue;
      const TTanmatsuRecord r = set.GetHandset(i);
      out << list.GetName(s) << '\t' << r.Name << '\t' << r.Series << '\t' << r.Screen << '\n';
      any = true;
    }
    if (!any)
      out << list.GetName(s) << "\t\t\t\n";
  }
}

} // namespace

int RunList(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
  bool tsv = false;
  bool caches = false;
  bool makeSets = false;
  for (const std::string& arg : args) {
    if (arg == "--tsv")
      tsv = true;
    else if (arg == "--caches")
      caches = true;
    else if (arg == "--sets")
      makeSets = true;
    else if (arg == "--help" || arg == "-h") {
      out << kListUsage;
      return kExitOk;
    } else
      throw EUsageError("知らないオプションです: " + arg);
  }
  if (caches && makeSets)
    throw EUsageError("--caches と --sets は同時に指定できません");
  const std::filesystem::path dataFolder = DataFolder();
  TTanmatsuOptionList set;
  LoadWorkingSet(set, dataFolder);
  if (caches)
    PrintCaches(set.Handsets(), tsv, out);
  else if (makeSets)
    PrintSets(set, dataFolder, tsv, out);
  else
    PrintHandsets(set, tsv, out);
  return kExitOk;
}

} // namespace mirufo::cli
