// The options of "make", one row each: name, value, help, group and what it
// sets. The parser, --help, the manual page and the completion read this.
#include "cli/make_options.h"

#include "engine/option_vocabulary.h"
#include "imaging/bitmap.h"
#include "platform/limits.h"

namespace mirufo::cli {
namespace {

using TMakeOption = TOption<TMakeArgs>;
using TValue = std::optional<std::string>;

constexpr const char* kHandsetGroup = N_("端末の選択 (既定: 保存されている現在の作成セット)");
constexpr const char* kSourceGroup = N_("元画像");
constexpr const char* kMakeGroup = N_("作成");
constexpr const char* kFormatGroup = N_("フォーマット (フォーマットダイアログと同じ読み方)");
constexpr const char* kSaveGroup = N_("保存");
constexpr const char* kReportGroup = N_("出力");

// An option without a value that sets one flag.
TMakeOption Flag(const char* name, const char* help, const char* group, bool TMakeArgs::*field) {
  return {{name, TValueKind::None, "", help, group, {}, ""},
          [field](TMakeArgs& a, const TValue&) { a.*field = true; }};
}

// An option whose value is one of fixed names.
template <typename T>
TMakeOption Choice(const char* name, const char* help, const char* group,
                   std::initializer_list<std::pair<const char*, T>> choices,
                   std::optional<T> TMakeArgs::*field) {
  TOptionInfo info{name, TValueKind::Required, "", help, group, {}, ""};
  for (const auto& choice : choices) {
    info.Choices.push_back(choice.first);
    info.ValueName += (info.ValueName.empty() ? "" : "|") + std::string(choice.first);
  }
  std::vector<std::pair<std::string, T>> table(choices.begin(), choices.end());
  return {info, [name = std::string(name), table, field](TMakeArgs& a, const TValue& v) {
            for (const auto& [text, value] : table)
              if (*v == text) {
                a.*field = value;
                return;
              }
            BadValue(name, *v);
          }};
}

// An option whose value is one of a vocabulary's command-line names, in the
// table's order.
template <typename T>
TMakeOption Choice(const char* name, const char* help, const char* group, TVocabulary<T> table,
                   std::optional<T> TMakeArgs::*field) {
  TOptionInfo info{name, TValueKind::Required, "", help, group, {}, ""};
  for (const auto& row : table)
    if (row.Name) {
      info.Choices.push_back(row.Name);
      info.ValueName += (info.ValueName.empty() ? "" : "|") + std::string(row.Name);
    }
  return {info, [name = std::string(name), table, field](TMakeArgs& a, const TValue& v) {
            const TVocabularyEntry<T>* row = FindNamed(table, *v);
            if (!row)
              BadValue(name, *v);
            a.*field = row->Value;
          }};
}

TMakeOption Text(const char* name, const char* valueName, const char* help, const char* group,
                 std::optional<std::string> TMakeArgs::*field, const char* complete = "") {
  return {{name, TValueKind::Required, valueName, help, group, {}, complete},
          [field](TMakeArgs& a, const TValue& v) { a.*field = *v; }};
}

TMakeOption OnOff(const char* name, const char* help, const char* group,
                  std::optional<bool> TMakeArgs::*field) {
  return Choice<bool>(name, help, group, {{"on", true}, {"off", false}}, field);
}

TColor HexColor(const std::string& value) {
  unsigned rgb = 0;
  for (std::size_t i = 1; i < 7; ++i) {
    const char c = value[i];
    const unsigned digit =
        c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
    rgb = rgb * 16 + digit;
  }
  return RGB(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
             static_cast<std::uint8_t>(rgb));
}

bool IsHexColor(const std::string& value) {
  return value.size() == 7 && value[0] == '#' &&
         value.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
}

TCommand<TMakeArgs> BuildMakeCommand() {
  TCommand<TMakeArgs> c;
  c.Doc.Name = "make";
  c.Doc.Synopsis = N_("元画像 [オプション]");
  c.Doc.Summary = N_("待受画像を作って保存します");
  c.Doc.Description = N_(
      "元画像から、選んだ端末すべての待受画像を作って保存します。データフォルダの "
      "\"tanmatsu_user.lst\"、\"makeset.txt\"、\"mirufo.ini\" をデスクトップ版と同じように読みます "
      "(書き込みはしません)。指定しなかった設定は端末の既定のままです。\n\n"
      "保存先は --out のフォルダ、指定がなければ現在のフォルダです。");
  c.Doc.Notes = N_(
      "進み具合は標準エラー出力が端末のときだけ表示します (--progress で常に、--quiet "
      "で表示しません)。\n\n"
      "終了コード: 0 すべて保存した, 3 保存したがキャッシュを超えたファイルがある, 1 エラー, "
      "2 使い方の誤り。--dry-run は実際に保存したときと同じ終了コード (3 も) を返します。"
      "作れない端末があると、ほかの端末の画像は作って保存し、1 を返します。\n\n"
      "SIGINT、SIGTERM、SIGHUP を受けると、書きかけのファイルを残さずに止まり、それまでに保存した"
      "ファイルを報告して 128 + シグナル番号 を返します。");
  c.Doc.OperandComplete = "files";
  c.Doc.Examples = {
      {"mirufo-cli make photo.jpg --all --out out --html",
       N_("すべての端末の待受画像を out に作り、index.html も保存します")},
      {"mirufo-cli make photo.jpg --handsets SH901iC,F901iC:背面 --format png8 --colors 16",
       N_("二つの端末のために 16 色の PNG を作ります")},
      {"mirufo-cli make photo.jpg --set 友だち --dry-run --json",
       N_("作成セットの画像を作り、保存できるかどうかだけを JSON で確かめます")},
  };
  c.Operand = [](TMakeArgs& a, const std::string& value) {
    if (!a.Source.empty())
      throw EUsageError(Tr("元画像は一つだけ指定してください: ") + value);
    a.Source = value;
  };

  auto& o = c.Options;
  o.push_back(Text("--set", N_("名前"), N_("作成セットを選ぶ"), kHandsetGroup, &TMakeArgs::SetName,
                   "sets"));
  o.push_back(Text("--handsets", N_("名前[:スクリーン],..."),
                   N_("端末を名前で選ぶ (名前だけならその端末の全スクリーン)"), kHandsetGroup,
                   &TMakeArgs::Handsets, "handsets"));
  o.push_back(Flag("--all", N_("すべての端末"), kHandsetGroup, &TMakeArgs::All));
  o.push_back(HandsetListOption(&TMakeArgs::Lists));
  o.back().Info.Help =
      N_("端末リストファイル (TL1/TL2) の端末をユーザー定義端末として加える (何度でも指定できます)"
         " (ほかに選ばなければ、そのファイルの端末を作ります)");
  o.back().Info.Group = kHandsetGroup;

  o.push_back({{"--lookat",
                TValueKind::Required,
                "X,Y|auto",
                N_("注視点 (auto: 画像の主な被写体に合わせる。既定: 画像の中央)"),
                kSourceGroup,
                {},
                ""},
               [](TMakeArgs& a, const TValue& v) {
                 a.LookAtAuto = *v == "auto";
                 a.LookAt.reset();
                 if (a.LookAtAuto)
                   return;
                 const std::size_t comma = v->find(',');
                 if (comma == std::string::npos)
                   throw EUsageError(Tr("--lookat の値は X,Y の形で指定してください: ") + *v);
                 a.LookAt = TLookAtPoint{StrictInteger("--lookat", v->substr(0, comma), 0,
                                                       static_cast<int>(Limits().MaxSide)),
                                         StrictInteger("--lookat", v->substr(comma + 1), 0,
                                                       static_cast<int>(Limits().MaxSide))};
               }});

  o.push_back(
      Choice("--resize", N_("縮小のしかた"), kMakeGroup, ResizeModes(), &TMakeArgs::Resize));
  o.push_back(
      Flag("--fast", N_("速度優先で縮小する (既定: 品質優先)"), kMakeGroup, &TMakeArgs::Fast));
  o.push_back(Choice("--halign", N_("横の位置"), kMakeGroup, HorzAligns(), &TMakeArgs::HorzAlign));
  o.push_back(Choice("--valign", N_("縦の位置"), kMakeGroup, VertAligns(), &TMakeArgs::VertAlign));
  // A chosen colour as #RRGGBB, or a corner by its name.
  TMakeOption background = Choice("--background", N_("背景色 (色、または元画像の隅の色)"),
                                  kMakeGroup, BackgroundModes(), &TMakeArgs::Background);
  background.Info.ValueName = "#RRGGBB|" + background.Info.ValueName;
  background.Set = [corner = background.Set](TMakeArgs& a, const TValue& v) {
    if (!IsHexColor(*v))
      return corner(a, v);
    a.Background = bgColor;
    a.BackgroundColor = HexColor(*v);
  };
  o.push_back(std::move(background));
  o.push_back(
      Choice("--sharpen", N_("シャープの強さ"), kMakeGroup, Sharpnesses(), &TMakeArgs::Sharpen));
  o.push_back({{"--sharpen-count",
                TValueKind::Required,
                "1|2|3",
                N_("シャープをかける回数"),
                kMakeGroup,
                {"1", "2", "3"},
                ""},
               [](TMakeArgs& a, const TValue& v) {
                 a.SharpenCount =
                     static_cast<std::uint8_t>(StrictInteger("--sharpen-count", *v, 1, 3));
               }});
  o.push_back(OnOff("--calendar", N_("カレンダーを重ねる"), kMakeGroup, &TMakeArgs::Calendar));
  o.push_back(Text("--comment", N_("文字列"), N_("画像に埋め込むコメント"), kMakeGroup,
                   &TMakeArgs::Comment));
  o.push_back(OnOff("--copyright", N_("著作権保護フラグ"), kMakeGroup, &TMakeArgs::Copyright));

  o.push_back(Choice<TImageFormat>("--format", N_("画像形式"), kFormatGroup,
                                   {{"jpeg", ifJPEG},
                                    {"png8", ifPNG8},
                                    {"png24", ifPNG24},
                                    {"bmp", ifBMP},
                                    {"bmp2", ifBMP2},
                                    {"gif", ifGIF}},
                                   &TMakeArgs::Format));
  o.push_back(
      {{"--quality", TValueKind::Required, "1..100", N_("JPEG の画質"), kFormatGroup, {}, ""},
       [](TMakeArgs& a, const TValue& v) { a.Quality = StrictInteger("--quality", *v, 1, 100); }});
  o.push_back(
      Flag("--progressive", N_("プログレッシブ JPEG"), kFormatGroup, &TMakeArgs::Progressive));
  o.push_back({{"--colors",
                TValueKind::Required,
                "2|4|8|16|32|64|128|256",
                N_("色数"),
                kFormatGroup,
                {"2", "4", "8", "16", "32", "64", "128", "256"},
                ""},
               [](TMakeArgs& a, const TValue& v) {
                 const int n = StrictInteger("--colors", *v, 2, 256);
                 if ((n & (n - 1)) != 0)
                   throw EUsageError(
                       Tr("--colors は 2, 4, 8, 16, 32, 64, 128, 256 のどれかです: ") + *v);
                 a.Colors = n;
               }});
  o.push_back(
      Choice("--dither", N_("誤差拡散のしかた"), kFormatGroup, DitherKinds(), &TMakeArgs::Dither));
  o.push_back({{"--png-level",
                TValueKind::Required,
                "standard|none|1..9",
                N_("PNG の圧縮レベル"),
                kFormatGroup,
                {"standard", "none", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
                ""},
               [](TMakeArgs& a, const TValue& v) {
                 if (*v == "standard")
                   a.PngLevel = -1;
                 else if (*v == "none")
                   a.PngLevel = 0;
                 else
                   a.PngLevel = StrictInteger("--png-level", *v, 1, 9);
               }});
  o.push_back(
      Flag("--interlace", N_("PNG をインターレースにする"), kFormatGroup, &TMakeArgs::Interlace));
  o.push_back(Choice<std::uint8_t>("--gif", N_("GIF の圧縮"), kFormatGroup,
                                   {{"lzw", 0}, {"rle", 1}}, &TMakeArgs::Gif));
  o.push_back(Choice<bool>("--fit",
                           N_("キャッシュへの収め方 (classic: 画質を10ずつ・色数を半分ずつ下げる, "
                              "best: 収まる最高画質・最多の色数。既定: 保存されているもの)"),
                           kFormatGroup, {{"classic", false}, {"best", true}},
                           &TMakeArgs::BestFit));

  o.push_back(Text("--out", N_("フォルダ"), N_("保存先 (既定: 現在のフォルダ)"), kSaveGroup,
                   &TMakeArgs::Out, "dirs"));
  o.push_back(
      Text("--template", "T",
           N_("ファイル名のテンプレート (既定: 保存されているもの。拡張子は自動で付きます)"),
           kSaveGroup, &TMakeArgs::Template));
  o.push_back(Flag("--allow-duplicates", N_("同じ画像も端末ごとに保存する"), kSaveGroup,
                   &TMakeArgs::AllowDuplicates));
  o.push_back({{"--html",
                TValueKind::Optional,
                N_("[=タイトル]"),
                N_("index.html も保存する"),
                kSaveGroup,
                {},
                ""},
               [](TMakeArgs& a, const TValue& v) {
                 a.Html = true;
                 a.HtmlTitle = v;
               }});
  o.push_back(Flag("--overwrite",
                   N_("既存のファイルを上書きする (なければ何も書かずに止まります)。"
                      "保存中に現れたファイルも上書きします。シンボリックリンクはリンクそのものを"
                      "置き換え、リンク先には書き込みません"),
                   kSaveGroup, &TMakeArgs::Overwrite));
  o.push_back(Flag("--dry-run", N_("作成して名前と保存の可否を確かめるだけで、何も書き込まない"),
                   kSaveGroup, &TMakeArgs::DryRun));

  o.push_back(Flag("--json", N_("結果を JSON で表示する"), kReportGroup, &TMakeArgs::Json));
  o.push_back(Flag("--time", N_("処理時間を表示する"), kReportGroup, &TMakeArgs::Time));
  o.push_back(Flag("--progress", N_("進み具合を常に表示する"), kReportGroup, &TMakeArgs::Progress));
  o.push_back(Flag("--quiet", N_("エラーのほかは何も表示しない (--json の結果は表示します)"),
                   kReportGroup, &TMakeArgs::Quiet));
  return c;
}

} // namespace

const TCommand<TMakeArgs>& MakeCommand() {
  static const TCommand<TMakeArgs> command = BuildMakeCommand();
  return command;
}

void CheckMakeArgs(const TMakeArgs& a) {
  const int choices = (a.SetName ? 1 : 0) + (a.Handsets ? 1 : 0) + (a.All ? 1 : 0);
  if (choices > 1)
    throw EUsageError(Tr("--set, --handsets, --all はどれか一つだけ指定してください"));
  if (a.Progress && a.Quiet)
    throw EUsageError(Tr("--progress と --quiet は同時に指定できません"));
  if (a.Source.empty())
    throw EUsageError(Tr("元画像を指定してください"));
}

} // namespace mirufo::cli
