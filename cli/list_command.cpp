// mirufo-cli list: the handset catalogue, or the named cache capacities.
#include "catalogue/named_bits_list.h"
#include "cli/cli.h"
#include "cli/doc_writers.h"
#include "cli/option_table.h"
#include "engine/output_format.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/text_fields.h"
#include "platform/translate.h"

#include <cstdio>
#include <ostream>
#include <set>

namespace mirufo::cli {
namespace {

// A name from the user's files as the terminal shows it: control characters
// escaped, so that a name cannot move the cursor or recolour the screen.
std::string Shown(const std::string& text) {
  return EscapeControls(text);
}

struct TListArgs {
  bool Tsv = false;
  bool Caches = false;
  bool Sets = false;
  bool Names = false;
  std::vector<std::string> Lists;
};

TOption<TListArgs> ListFlag(const char* name, const char* help, bool TListArgs::*field) {
  return {{name, TValueKind::None, "", help, "", {}, ""},
          [field](TListArgs& a, const std::optional<std::string>&) { a.*field = true; }};
}

TCommand<TListArgs> BuildListCommand() {
  TCommand<TListArgs> c;
  c.Doc.Name = "list";
  c.Doc.Synopsis = N_("[--tsv | --names] [--caches | --sets] [--list ファイル]...");
  c.Doc.Summary = N_("端末や作成セットの一覧を表示します");
  c.Doc.Description =
      N_("組み込みの端末と、データフォルダの \"tanmatsu_user.lst\" のユーザー定義端末を"
         "プログラムが使う順に 1 行ずつ表示します。");
  c.Doc.Notes =
      N_("\"tanmatsu_user.lst\" が読めないときはエラーを表示して終了コード 1 で終わります。");
  c.Options = {
      ListFlag(
          "--tsv",
          N_("タブ区切りで表示します (1 行目は列名、文字コードは UTF-8)。列: carrier series name "
             "screen format supportformats width height bit cachename cache bps"),
          &TListArgs::Tsv),
      ListFlag("--caches", N_("端末の代わりにキャッシュ容量の一覧 (name, capacity) を表示します"),
               &TListArgs::Caches),
      ListFlag("--sets",
               N_("端末の代わりに \"makeset.txt\" の作成セットを表示します (* は現在のセット)。"
                  "--tsv では列 set name series screen で、メンバーを 1 行ずつ"),
               &TListArgs::Sets),
      ListFlag("--names", N_("名前だけを 1 行にひとつ、重ねずに表示します (シェルの補完のため)"),
               &TListArgs::Names),
      HandsetListOption(&TListArgs::Lists),
  };
  c.Options.back().Info.Group = "";
  c.Doc.Examples = {
      {"mirufo-cli list --tsv | grep DoCoMo", N_("NTT DoCoMo の端末の一覧を表にします")},
  };
  return c;
}

const TCommand<TListArgs>& ListCommand() {
  static const TCommand<TListArgs> command = BuildListCommand();
  return command;
}

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
      out << CarrierName(r.Carrier) << '\t' << Shown(r.Series) << '\t' << Shown(r.Name) << '\t'
          << Shown(r.Screen) << '\t' << static_cast<int>(r.Format) << '\t'
          << SupportFormatsText(r.SupportFormats) << '\t' << r.Width << '\t' << r.Height << '\t'
          << static_cast<int>(r.Bit) << '\t' << Shown(r.CacheName) << '\t' << OneDecimal(r.Cache)
          << '\t' << r.Bps << '\n';
      continue;
    }
    out << CarrierName(r.Carrier);
    if (!r.Series.empty())
      out << " / " << Shown(r.Series);
    out << " / " << Shown(r.Name);
    if (!r.Screen.empty())
      out << " (" << Shown(r.Screen) << ")";
    out << ": " << r.Width << "x" << r.Height << " " << static_cast<int>(r.Bit) << "bit, "
        << FormatName(r.Format) << " [" << SupportFormatsNames(r.SupportFormats) << "], "
        << CacheToStr(r.Cache);
    if (!r.CacheName.empty())
      out << " (" << Shown(r.CacheName) << ")";
    out << ", " << BpsToStr(r.Bps) << (r.Bps > 0 ? "bps\n" : "\n");
  }
}

void PrintCaches(const TTanmatsuList& list, bool tsv, std::ostream& out) {
  if (tsv)
    out << "name\tcapacity\n";
  for (std::size_t i = 0; i < list.CacheCount(); ++i) {
    const TCacheCapacity c = list.GetCache(i);
    if (tsv)
      out << Shown(c.Name) << '\t' << OneDecimal(c.Capacity) << '\n';
    else
      out << Shown(c.Name) << ": " << CacheToStr(c.Capacity) << '\n';
  }
}

// The make sets as the handset page loads them, the current one marked.
void PrintSets(TTanmatsuOptionList& set, const TIniFile& ini,
               const std::filesystem::path& dataFolder, bool tsv, std::ostream& out) {
  TMakeSets sets(set);
  TMakeSetsLoadResult loaded = sets.Load(dataFolder / "makeset.txt");
  if (!loaded.FileRead)
    throw EMirufoError(loaded.Message);
  sets.SetCurrentIndex(ini.ReadInteger("TanmatsuList", "SetIndex", 0));
  const TNamedBitsList& list = sets.Sets();
  if (tsv)
    out << "set\tname\tseries\tscreen\n";
  for (std::size_t s = 0; s < list.Count(); ++s) {
    if (!tsv) {
      out << (s == sets.CurrentIndex() ? "* " : "  ") << Shown(list.GetName(s)) << " ("
          << list.MemberCount(s) << ")\n";
      continue;
    }
    bool any = false;
    for (std::size_t i = 0; i < set.HandsetCount(); ++i) {
      if (!list.GetFlags(s).Get(i))
        continue;
      const TTanmatsuRecord r = set.GetHandset(i);
      out << Shown(list.GetName(s)) << '\t' << Shown(r.Name) << '\t' << Shown(r.Series) << '\t'
          << Shown(r.Screen) << '\n';
      any = true;
    }
    if (!any)
      out << Shown(list.GetName(s)) << "\t\t\t\n";
  }
}

// Names only, each once, for the shell's completion: handsets, make sets or
// capacities.
void PrintNames(TTanmatsuOptionList& set, const std::filesystem::path& dataFolder,
                const TListArgs& a, std::ostream& out) {
  std::vector<std::string> names;
  if (a.Caches) {
    for (std::size_t i = 0; i < set.Handsets().CacheCount(); ++i)
      names.push_back(set.Handsets().GetCache(i).Name);
  } else if (a.Sets) {
    TMakeSets sets(set);
    const TMakeSetsLoadResult loaded = sets.Load(dataFolder / "makeset.txt");
    if (!loaded.FileRead)
      throw EMirufoError(loaded.Message);
    for (std::size_t s = 0; s < sets.Sets().Count(); ++s)
      names.push_back(sets.Sets().GetName(s));
  } else {
    for (std::size_t i = 0; i < set.HandsetCount(); ++i)
      names.push_back(set.GetHandset(i).Name);
  }
  std::set<std::string> seen;
  for (const std::string& name : names)
    if (seen.insert(name).second)
      out << Shown(name) << "\n";
}

} // namespace

TCommandDoc ListCommandDoc() {
  return DocOf(ListCommand());
}

int RunList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TListArgs a;
  if (!ParseOptions(ListCommand(), args, a)) {
    WriteCommandHelp(ListCommandDoc(), out);
    return kExitOk;
  }
  if (a.Caches && a.Sets)
    throw EUsageError(Tr("--caches と --sets は同時に指定できません"));
  if (a.Names && a.Tsv)
    throw EUsageError(Tr("--names と --tsv は同時に指定できません"));
  const std::filesystem::path dataFolder = DataFolder();
  TTanmatsuOptionList set;
  LoadWorkingSet(set, dataFolder, &err);
  ImportHandsetLists(set, a.Lists, &err);
  if (a.Names) {
    PrintNames(set, dataFolder, a, out);
    return kExitOk;
  }
  if (a.Caches)
    PrintCaches(set.Handsets(), a.Tsv, out);
  else if (a.Sets)
    PrintSets(set, ReadSettings(dataFolder, &err), dataFolder, a.Tsv, out);
  else
    PrintHandsets(set, a.Tsv, out);
  return kExitOk;
}

} // namespace mirufo::cli
