// mirufo-cli make: the four pages' work without windows. It reads the same
// files as the desktop program (the catalogue with the user's handsets, the
// make sets, the settings), chooses the handsets, loads the picture, applies
// the options the make page and the format dialog would, makes every target
// and saves through the same save run as the save page.
#include "catalogue/named_bits_list.h"
#include "cli/cli.h"
#include "engine/calendar_decorator.h"
#include "engine/output_format.h"
#include "engine/standby_image_decorator.h"
#include "import/multi_format_bitmap.h"
#include "output/save_run.h"
#include "output/standby_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/arith.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/limits.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <unistd.h>

namespace mirufo::cli {
namespace {

constexpr const char* kMakeUsage = R"(使い方: mirufo-cli make 元画像 [オプション]

元画像から、選んだ端末すべての待受画像を作って保存します。データフォルダの
"tanmatsu_user.lst"、"makeset.txt"、"mirufo.ini" をデスクトップ版と同じように
読みます (書き込みはしません)。指定しなかった設定は端末の既定のままです。

端末の選択 (既定: 保存されている現在の作成セット):
  --set 名前                 作成セットを選ぶ
  --handsets 名前[:スクリーン],...
                             端末を名前で選ぶ (名前だけならその端末の全スクリーン)
  --all                      すべての端末
元画像:
  --lookat X,Y               注視点 (既定: 画像の中央)
作成:
  --resize auto|width|height|none
  --fast                     速度優先で縮小する (既定: 品質優先)
  --halign left|center|right|lookat
  --valign top|middle|bottom|lookat
  --background #RRGGBB|topleft|topright|bottomleft|bottomright
  --sharpen none|low|middle|high
  --sharpen-count 1|2|3
  --calendar on|off
  --comment 文字列           画像に埋め込むコメント
  --copyright on|off         著作権保護フラグ
フォーマット (フォーマットダイアログと同じ読み方):
  --format jpeg|png8|png24|bmp|bmp2|gif
  --quality 1..100           JPEG の画質
  --progressive              プログレッシブ JPEG
  --colors 2|4|8|16|32|64|128|256
  --dither none|floydsteinberg|stucki|sierra|jajuni|stevearche|burkes
  --png-level standard|none|1..9
  --interlace                PNG をインターレースにする
  --gif lzw|rle
保存:
  --out フォルダ             保存先 (既定: 保存されているフォルダ)
  --template T               ファイル名のテンプレート (既定: 保存されているもの。拡張子は自動で付きます)
  --allow-duplicates         同じ画像も端末ごとに保存する
  --html[=タイトル]          index.html も保存する
  --overwrite                既存のファイルを上書きする (なければ何も書かずに止まります)
  --dry-run                  作成して名前を決めるだけで、何も書き込まない
出力:
  --json                     結果を JSON で表示する
  --time                     処理時間を表示する
  --help                     この説明を表示する

終了コード: 0 すべて保存, 3 保存したがキャッシュを超えたファイルがある,
            1 エラー, 2 使い方の誤り
)";

struct TMakeArgs {
  std::string Source;
  std::optional<TLookAtPoint> LookAt;
  std::optional<std::string> SetName;
  std::optional<std::string> Handsets;
  bool All = false;
  std::optional<TResizeMode> Resize;
  bool Fast = false;
  std::optional<THorzAlign> HorzAlign;
  std::optional<TVertAlign> VertAlign;
  std::optional<TBackgroundMode> Background;
  std::optional<TColor> BackgroundColor;
  std::optional<TSharpness> Sharpen;
  std::optional<std::uint8_t> SharpenCount;
  std::optional<bool> Calendar;
  std::optional<std::string> Comment;
  std::optional<bool> Copyright;
  std::optional<TImageFormat> Format;
  std::optional<int> Quality;
  bool Progressive = false;
  std::optional<int> Colors;
  std::optional<std::uint8_t> Dither;
  std::optional<int> PngLevel;
  bool Interlace = false;
  std::optional<std::uint8_t> Gif;
  std::optional<std::string> Out;
  std::optional<std::string> Template;
  bool AllowDuplicates = false;
  bool Html = false;
  std::optional<std::string> HtmlTitle;
  bool Overwrite = false;
  bool DryRun = false;
  bool Json = false;
  bool Time = false;
};

template <typename T>
T Choice(const std::string& option, const std::string& value,
         std::initializer_list<std::pair<const char*, T>> choices) {
  for (const auto& [name, result] : choices)
    if (value == name)
      return result;
  throw EUsageError(option + " の値が正しくありません: " + value);
}

int IntegerValue(const std::string& option, const std::string& value, int low, int high) {
  try {
    std::size_t used = 0;
    int n = std::stoi(value, &used);
    if (used == value.size() && n >= low && n <= high)
      return n;
  } catch (const std::exception&) {
  }
  throw EUsageError(option + " の値が正しくありません: " + value);
}

bool OnOff(const std::string& option, const std::string& value) {
  return Choice<bool>(option, value, {{"on", true}, {"off", false}});
}

TMakeArgs ParseMakeArgs(const std::vector<std::string>& args, bool& help) {
  TMakeArgs a;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0) {
      if (std::size_t eq = arg.find('='); eq != std::string::npos) {
        inlineValue = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
      }
    }
    auto value = [&]() -> std::string {
      if (inlineValue)
        return *inlineValue;
      if (i + 1 >= args.size())
        throw EUsageError(arg + " には値が必要です");
      return args[++i];
    };
    auto noValue = [&] {
      if (inlineValue)
        throw EUsageError(arg + " は値をとりません");
    };
    if (arg == "--help" || arg == "-h") {
      help = true;
      return a;
    } else if (arg == "--lookat") {
      std::string v = value();
      std::size_t comma = v.find(',');
      if (comma == std::string::npos)
        throw EUsageError("--lookat の値は X,Y の形で指定してください: " + v);
      const auto maxSide = static_cast<int>(Limits().MaxSide);
      a.LookAt = TLookAtPoint{IntegerValue(arg, v.substr(0, comma), 0, maxSide),
                              IntegerValue(arg, v.substr(comma + 1), 0, maxSide)};
    } else if (arg == "--set") {
      a.SetName = value();
    } else if (arg == "--handsets") {
      a.Handsets = value();
    } else if (arg == "--all") {
      noValue();
      a.All = true;
    } else if (arg == "--resize") {
      a.Resize = Choice<TResizeMode>(
          arg, value(),
          {{"auto", rzAuto}, {"width", rzFitWidth}, {"height", rzFitHeight}, {"none", rzNone}});
    } else if (arg == "--fast") {
      noValue();
      a.Fast = true;
    } else if (arg == "--halign") {
      a.HorzAlign = Choice<THorzAlign>(
          arg, value(),
          {{"left", haLeft}, {"center", haCenter}, {"right", haRight}, {"lookat", haLookAt}});
    } else if (arg == "--valign") {
      a.VertAlign = Choice<TVertAlign>(
          arg, value(),
          {{"top", vaTop}, {"middle", vaMiddle}, {"bottom", vaBottom}, {"lookat", vaLookAt}});
    } else if (arg == "--background") {
      std::string v = value();
      if (v.size() == 7 && v[0] == '#' &&
          v.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
        unsigned long rgb = std::stoul(v.substr(1), nullptr, 16);
        a.Background = bgColor;
        a.BackgroundColor =
            RGB(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                static_cast<std::uint8_t>(rgb));
      } else {
        a.Background = Choice<TBackgroundMode>(arg, v,
                                               {{"topleft", bgTopLeft},
                                                {"topright", bgTopRight},
                                                {"bottomleft", bgBottomLeft},
                                                {"bottomright", bgBottomRight}});
      }
    } else if (arg == "--sharpen") {
      a.Sharpen = Choice<TSharpness>(
          arg, value(), {{"none", shNone}, {"low", shLow}, {"middle", shMiddle}, {"high", shHigh}});
    } else if (arg == "--sharpen-count") {
      a.SharpenCount = static_cast<std::uint8_t>(IntegerValue(arg, value(), 1, 3));
    } else if (arg == "--calendar") {
      a.Calendar = OnOff(arg, value());
    } else if (arg == "--comment") {
      a.Comment = value();
    } else if (arg == "--copyright") {
      a.Copyright = OnOff(arg, value());
    } else if (arg == "--format") {
      a.Format = Choice<TImageFormat>(arg, value(),
                                      {{"jpeg", ifJPEG},
                                       {"png8", ifPNG8},
                                       {"png24", ifPNG24},
                                       {"bmp", ifBMP},
                                       {"bmp2", ifBMP2},
                                       {"gif", ifGIF}});
    } else if (arg == "--quality") {
      a.Quality = IntegerValue(arg, value(), 1, 100);
    } else if (arg == "--progressive") {
      noValue();
      a.Progressive = true;
    } else if (arg == "--colors") {
      int n = IntegerValue(arg, value(), 2, 256);
      if ((n & (n - 1)) != 0)
        throw EUsageError("--colors は 2, 4, 8, 16, 32, 64, 128, 256 のどれかです: " +
                          std::to_string(n));
      a.Colors = n;
    } else if (arg == "--dither") {
      a.Dither = Choice<std::uint8_t>(arg, value(),
                                      {{"none", 0},
                                       {"floydsteinberg", 1},
                                       {"stucki", 2},
                                       {"sierra", 3},
                                       {"jajuni", 4},
                                       {"stevearche", 5},
                                       {"burkes", 6}});
    } else if (arg == "--png-level") {
      std::string v = value();
      if (v == "standard")
        a.PngLevel = -1;
      else if (v == "none")
        a.PngLevel = 0;
      else
        a.PngLevel = IntegerValue(arg, v, 1, 9);
    } else if (arg == "--interlace") {
      noValue();
      a.Interlace = true;
    } else if (arg == "--gif") {
      a.Gif = Choice<std::uint8_t>(arg, value(), {{"lzw", 0}, {"rle", 1}});
    } else if (arg == "--out") {
      a.Out = value();
    } else if (arg == "--template") {
      a.Template = value();
    } else if (arg == "--allow-duplicates") {
      noValue();
      a.AllowDuplicates = true;
    } else if (arg == "--html") {
      a.Html = true;
      a.HtmlTitle = inlineValue;
    } else if (arg == "--overwrite") {
      noValue();
      a.Overwrite = true;
    } else if (arg == "--dry-run") {
      noValue();
      a.DryRun = true;
    } else if (arg == "--json") {
      noValue();
      a.Json = true;
    } else if (arg == "--time") {
      noValue();
      a.Time = true;
    } else if (arg.rfind("-", 0) == 0 && arg != "-") {
      throw EUsageError("知らないオプションです: " + arg);
    } else if (a.Source.empty()) {
      a.Source = arg;
    } else {
      throw EUsageError("元画像は一つだけ指定してください: " + arg);
    }
  }
  int choices = (a.SetName ? 1 : 0) + (a.Handsets ? 1 : 0) + (a.All ? 1 : 0);
  if (choices > 1)
    throw EUsageError("--set, --handsets, --all はどれか一つだけ指定してください");
  if (a.Source.empty() && !help)
    throw EUsageError("元画像を指定してください");
  return a;
}

// The format dialog's reading rules: the page of the chosen format (or of the
// target's own format) sets its fields; the reduction method stays the
// handset's.
TFormatOptions ReadFormatOptions(const TMakeArgs& a, TFormatOptions o) {
  const TImageFormat page = a.Format.value_or(o.Format);
  auto chosenBits = [&](std::uint8_t fallback) -> std::uint8_t {
    if (a.Colors)
      return static_cast<std::uint8_t>(std::lround(std::log2(*a.Colors)));
    return o.Bits >= 1 && o.Bits <= 8 ? o.Bits : fallback;
  };
  switch (page) {
  case ifJPEG:
    o.Format = ifJPEG;
    o.Bits = 24;
    if (a.Quality)
      o.JpegQuality = static_cast<std::uint8_t>(*a.Quality);
    if (a.Progressive || a.Format)
      o.Interlace = a.Progressive;
    break;
  case ifPNG8:
    o.Format = ifPNG8;
    o.Bits = chosenBits(8);
    if (a.Dither)
      o.Dither = *a.Dither;
    if (a.PngLevel)
      o.PngCompressLevel = *a.PngLevel;
    if (a.Interlace || a.Format)
      o.Interlace = a.Interlace;
    break;
  case ifPNG24:
    o.Format = ifPNG24;
    o.Bits = 24;
    if (a.PngLevel)
      o.PngCompressLevel = *a.PngLevel;
    if (a.Interlace || a.Format)
      o.Interlace = a.Interlace;
    break;
  case ifBMP:
    o.Format = ifBMP;
    o.Bits = a.Colors ? chosenBits(24) : (o.Bits < 9 ? o.Bits : 24);
    if (a.Dither)
      o.Dither = *a.Dither;
    break;
  case ifBMP2:
    o.Format = ifBMP2;
    o.Bits = 2;
    if (a.Dither)
      o.Dither = *a.Dither;
    break;
  case ifGIF:
    o.Format = ifGIF;
    o.Bits = chosenBits(8);
    if (a.Dither)
      o.Dither = *a.Dither;
    if (a.Gif)
      o.GifCompression = *a.Gif;
    break;
  }
  return o;
}

bool TouchesFormat(const TMakeArgs& a) {
  return a.Format || a.Quality || a.Progressive || a.Colors || a.Dither || a.PngLevel ||
         a.Interlace || a.Gif;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default:
      if (c < 0x20) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
        out += buffer;
      } else {
        out += static_cast<char>(c);
      }
    }
  }
  return out + "\"";
}

// The save run's questions, answered the way a command line can.
class TCliSaveHost : public TSaveRunHost {
public:
  TCliSaveHost(std::ostream& err, bool overwrite) : err_(err), overwrite_(overwrite) {}

  TDialogResult Ask(const TSaveMessage& message) override {
    // Creating the output folder and saving what is made are what the
    // command asked for; every other message is a refusal.
    if (message.Kind == TMessageKind::Confirmation)
      return TDialogResult::Yes;
    std::string text = message.Text;
    for (char& c : text)
      if (c == '\r')
        c = '\n';
    err_ << "mirufo-cli: " << text << "\n";
    return TDialogResult::OK;
  }

  std::optional<std::vector<bool>>
  ChooseOverwrites(const std::vector<std::filesystem::path>& existing) override {
    if (overwrite_)
      return std::vector<bool>(existing.size(), true);
    err_ << "mirufo-cli: 保存先に同名のファイルがあるので、何も保存しませんでした "
            "(上書きするには --overwrite):\n";
    for (const auto& path : existing)
      err_ << "  " << path.string() << "\n";
    return std::nullopt;
  }

private:
  std::ostream& err_;
  bool overwrite_;
};

std::vector<bool> TicksForHandsets(const TTanmatsuOptionList& set, const std::string& list) {
  std::vector<bool> ticks(set.HandsetCount(), false);
  for (const std::string& item : SplitFields(list, ",")) {
    if (item.empty())
      continue;
    std::size_t colon = item.find(':');
    std::string name = item.substr(0, colon);
    std::optional<std::string> screen;
    if (colon != std::string::npos)
      screen = item.substr(colon + 1);
    bool found = false;
    for (std::size_t i = 0; i < set.HandsetCount(); ++i) {
      TTanmatsuRecord r = set.GetHandset(i);
      if (r.Name == name && (!screen || r.Screen == *screen)) {
        ticks[i] = true;
        found = true;
      }
    }
    if (!found)
      throw EUsageError("そのような端末はありません: " + item);
  }
  return ticks;
}

void ReportProgress(std::ostream& err, bool terminal, const TStandbyMaker& maker,
                    const TStandbySpecification& target) {
  const int done = maker.Made(), total = maker.ToMake();
  if (terminal) {
    const int width = 30;
    int filled = total > 0 ? done * width / total : width;
    err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
        << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << done << "/"
        << total << " " << target.ProgressText() << "\x1b[K" << std::flush;
    if (done >= total)
      err << "\n";
  } else {
    err << "作成 " << done << "/" << total << " " << target.ProgressText() << "\n";
  }
}

} // namespace

int RunMake(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool help = false;
  const TMakeArgs a = ParseMakeArgs(args, help);
  if (help) {
    out << kMakeUsage;
    return kExitOk;
  }
  const auto started = std::chrono::steady_clock::now();
  const std::filesystem::path dataFolder = DataFolder();

  // The catalogue, as the desktop program builds it at start-up.
  TTanmatsuOptionList set;
  LoadWorkingSet(set, dataFolder);

  // The settings.
  const TIniFile ini(dataFolder / "mirufo.ini");
  std::string comment =
      a.Comment.value_or(ini.ReadString("Standby", "Comment", "powered by ミルフォ"));
  bool copyright = a.Copyright.value_or(ini.ReadBool("Standby", "KDDICopyright", true));
  TCalendarDecorator calendar;
  calendar.LoadFromIni(ini, "Standby", "Calendar");
  if (a.Calendar)
    calendar.Enabled = *a.Calendar;
  TStandbyImageDecoratorList decorators;
  decorators.Add(&calendar);

  // The handsets.
  if (a.Handsets) {
    set.ApplySelection(TicksForHandsets(set, *a.Handsets));
  } else if (!a.All) {
    TMakeSets sets(set);
    TMakeSetsLoadResult loaded = sets.Load(dataFolder / "makeset.txt");
    if (!loaded.FileRead)
      throw EMirufoError(loaded.Message);
    if (a.SetName) {
      int index = sets.Sets().IndexOf(*a.SetName);
      if (index < 0)
        throw EUsageError("そのような作成セットはありません: " + *a.SetName);
      sets.SetCurrentIndex(index);
    } else {
      sets.SetCurrentIndex(ini.ReadInteger("TanmatsuList", "SetIndex", 0));
    }
    sets.ApplyCurrent();
  }

  // The picture.
  TMultiFormatBitmap picture;
  picture.LoadFromFile(a.Source);
  if (!picture.LastMessage().empty())
    throw EMirufoError(a.Source + "\n" + picture.LastMessage());
  if (picture.Empty())
    throw EMirufoError("元画像が用意されていません");
  picture.SetPixelFormat(pf24bit);
  TStandbyMaker& maker = set.Maker();
  maker.SetSource(picture);
  TLookAtPoint lookAt{picture.Width() / 2, picture.Height() / 2};
  if (a.LookAt) {
    if (a.LookAt->X >= picture.Width() || a.LookAt->Y >= picture.Height())
      throw EUsageError("--lookat が画像の外です");
    lookAt = *a.LookAt;
  }
  maker.SetLookAt(lookAt);
  maker.ResetAll();
  if (set.TargetCount() == 0)
    throw EMirufoError("作成する待受画像がありません");

  // The options, as the make page's commands and the format dialog set them.
  for (int t = 0; t < maker.Count(); ++t) {
    TStandbySpecification& target = *maker.Items(t);
    target.SetDecorators(&decorators);
    if (a.Resize || a.Fast)
      target.SetResize(a.Resize.value_or(target.ResizeMode()), target.ResizeWidth(),
                       target.ResizeHeight(), a.Fast);
    TLayout layout = target.Layout();
    if (a.HorzAlign)
      layout.HorzAlign = *a.HorzAlign;
    if (a.VertAlign)
      layout.VertAlign = *a.VertAlign;
    if (a.Background)
      layout.Background = *a.Background;
    if (a.BackgroundColor)
      layout.BackgroundColor = *a.BackgroundColor;
    target.SetLayout(layout);
    if (a.Sharpen || a.SharpenCount)
      target.SetSharpen(a.Sharpen.value_or(target.Sharpness()),
                        a.SharpenCount.value_or(target.SharpenCount()));
    TFormatOptions options = target.FormatOptions();
    if (TouchesFormat(a))
      options = ReadFormatOptions(a, options);
    options.Comment = comment;
    options.Copyright = copyright;
    target.SetFormatOptions(options);
  }

  // Making.
  const bool terminal = isatty(STDERR_FILENO) == 1;
  maker.OnMade = [&](TStandbyMaker& sender, TStandbySpecification& target) {
    ReportProgress(err, terminal, sender, target);
  };
  maker.MakeAll();

  // Saving.
  TSaveRunOptions save;
  save.Folder = a.Out.value_or(
      ini.ReadString("Save", "Folder", WithTrailingDelimiter(ProgramFolder().string())));
  save.Template = a.Template.value_or(ini.ReadString("Save", "FileName", "$tn_$sn3"));
  save.SourceFileName = a.Source;
  save.Html.Save = a.Html;
  save.Html.Title = a.HtmlTitle.value_or(ini.ReadString("Save", "HTML.Title", ""));
  save.Html.WriteGenerator = ini.ReadBool("Save", "HTML.WriteGenerator", true);
  const bool allowDuplicates = a.AllowDuplicates || ini.ReadBool("Save", "AllowDuplicate", false);
  set.BuildSavePlan(allowDuplicates);

  TSaveReport report;
  TSaveOutcome outcome = TSaveOutcome::Saved;
  if (a.DryRun) {
    set.MakeFileNames(save.Template + "$ex", save.SourceFileName);
  } else {
    TCliSaveHost host(err, a.Overwrite);
    outcome = RunSave(set, save, host, report);
  }

  // The report.
  std::map<int, std::vector<std::size_t>> members; // save entry -> handsets
  for (std::size_t i = 0; i < set.HandsetCount(); ++i)
    if (set.IsSelected(i) && set.SaveIndexOf(i) >= 0)
      members[set.SaveIndexOf(i)].push_back(i);
  const std::string folder = WithTrailingDelimiter(save.Folder);
  bool anyOver = false;
  int saved = 0;
  std::ostringstream json;
  json << "{\"folder\": " << JsonString(folder) << ", ";
  std::ostringstream entries;
  for (int s = 0; s < set.SaveCount(); ++s) {
    TStandbySpecification& target = *set.GetSaveStandby(s);
    const TTanmatsuRecord record = set.GetSaveTanmatsu(s);
    const std::filesystem::path path = folder + set.FileNameOf(s);
    bool written =
        std::find(report.Written.begin(), report.Written.end(), path) != report.Written.end();
    saved += written ? 1 : 0;
    anyOver = anyOver || target.IsSizeOver();
    const std::vector<std::string> status = StatusTexts(target);
    const TFormatOptions& o = target.FormatOptions();
    const std::int32_t size = target.FileSize();
    const std::int64_t cacheBytes = KilobytesToBytes(record.Cache);
    if (a.Json) {
      entries << (s ? ", " : "") << "{\"file\": " << JsonString(set.FileNameOf(s))
              << ", \"handsets\": [";
      bool first = true;
      for (std::size_t i : members[s]) {
        TTanmatsuRecord m = set.GetHandset(i);
        entries << (first ? "" : ", ") << "{\"name\": " << JsonString(m.Name)
                << ", \"screen\": " << JsonString(m.Screen) << "}";
        first = false;
      }
      const TBitmap* image = target.FinalBitmap();
      entries << "], \"width\": " << (image ? image->Width() : 0)
              << ", \"height\": " << (image ? image->Height() : 0)
              << ", \"format\": " << JsonString(FormatName(o.Format))
              << ", \"bits\": " << static_cast<int>(o.Bits);
      if (o.Format == ifJPEG)
        entries << ", \"quality\": " << static_cast<int>(o.JpegQuality);
      entries << ", \"size\": " << size << ", \"cache\": " << cacheBytes
              << ", \"written\": " << (written ? "true" : "false") << ", \"status\": [";
      for (std::size_t k = 0; k < status.size(); ++k)
        entries << (k ? ", " : "") << JsonString(status[k]);
      entries << "]}";
    } else {
      out << set.FileNameOf(s) << "\t";
      bool first = true;
      for (std::size_t i : members[s]) {
        out << (first ? "" : ", ") << set.GetHandset(i).Name;
        if (!set.GetHandset(i).Screen.empty())
          out << "（" << set.GetHandset(i).Screen << "）";
        first = false;
      }
      out << "\t" << FileSizeText(size) << " / " << CacheToStr(record.Cache);
      std::string download = DownloadTimeText(size, record.Bps);
      if (!download.empty())
        out << "\t" << download;
      for (const std::string& text : status)
        out << "\t" << text;
      if (!a.DryRun && !written)
        out << "\t(保存していません)";
      out << "\n";
    }
  }
  if (a.Json) {
    json << "\"saved\": " << saved + (report.HtmlWritten ? 0 : 0) << ", \"entries\": ["
         << entries.str() << "]}";
    out << json.str() << "\n";
  } else if (!a.DryRun) {
    out << folder << " に " << saved << " 個のファイルを保存しました"
        << (report.HtmlWritten ? " (index.html も)" : "") << "\n";
  }
  if (a.Time) {
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    err << "処理時間: " << elapsed.count() << "msec\n";
  }
  if (outcome != TSaveOutcome::Saved)
    return kExitError;
  return anyOver ? kExitOverCache : kExitOk;
}

} // namespace mirufo::cli
