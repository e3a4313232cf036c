// The built-in catalogue: every handset screen the program knows, one block
// per series with the values its records share, and per record only what
// differs. Records stand in catalogue order: carriers, then series, then
// handsets and screens in the order below.
#include "catalogue/tanmatsu_list.h"

#include <span>

namespace mirufo {
namespace {

constexpr std::uint8_t F(TImageFormat f) {
  return static_cast<std::uint8_t>(1u << f);
}

// A series whose records each give their own standard format.
constexpr int kPerHandset = -1;

// What a record gives beyond its series.
struct TOverride {
  int Format = kPerHandset; // standard format, or the series' one
  std::uint8_t Formats = 0; // accepted formats, or the series' ones
  const char* CacheName = nullptr;
  std::int32_t Bps = 0;
};

struct TEntry {
  const char* Name;
  const char* Screen;
  std::uint16_t Width;
  std::uint16_t Height;
  std::uint8_t Bit;
  TOverride Own = {};
};

struct TSeries {
  TCarrier Carrier;
  const char* Name;
  int Format;
  std::uint8_t Formats;
  const char* CacheName;
  std::int32_t Bps;
  std::span<const TEntry> Entries;
};

constexpr TEntry kSeries0[] = {
    {"SH901iC", "", 240, 320, 18},  {"F901iC", "メイン", 240, 320, 18},
    {"F901iC", "背面", 95, 95, 16}, {"N901iC", "", 240, 320, 16},
    {"D901i", "", 240, 320, 18},    {"P901i", "メイン", 240, 320, 16},
    {"P901i", "背面", 96, 64, 12},
};
constexpr TEntry kSeries1[] = {
    {"F700i", "", 240, 320, 18},
    {"SH900i", "", 240, 269, 18},
    {"N700i", "", 240, 320, 16},
    {"P700i", "", 240, 320, 16},
};
constexpr TEntry kSeries2[] = {
    {"F900i", "", 240, 320, 18},          {"N900i", "", 240, 269, 16},
    {"P900i", "待受画面", 240, 266, 16},  {"P900i", "背面液晶", 96, 64, 16},
    {"SH900i", "待受画面", 240, 320, 18}, {"SH900i", "背面液晶", 160, 120, 16},
    {"F900iT", "", 240, 320, 18},         {"P900iV", "待受画面", 240, 266, 16},
    {"P900iV", "背面液晶", 96, 64, 12},   {"N900iS", "", 240, 269, 16},
    {"D900i", "待受画面", 240, 320, 18},  {"D900i", "背面液晶", 160, 120, 16},
    {"F900iC", "待受画面", 240, 320, 18}, {"F900iC", "背面液晶", 71, 95, 12},
    {"N900iL", "", 240, 269, 16},         {"N900iG", "メイン", 240, 269, 16},
    {"N900iG", "背面", 120, 90, 16},
};
constexpr TEntry kSeries3[] = {
    {"F880iES", "", 240, 320, 16},
};
constexpr TEntry kSeries4[] = {
    {"N2701", "", 176, 198, 16},
    {"N2102V", "待受画面", 176, 198, 16},
    {"N2102V", "背面液晶", 88, 72, 16},
    {"F2102V", "", 176, 182, 16},
    {"P2102V", "", 176, 198, 18},
    {"F2051", "", 176, 182, 16},
    {"N2051", "", 176, 198, 16},
    {"T2101V", "", 176, 144, 18},
    {"SH2101V", "", 320, 240, 16},
    {"P2101V", "", 176, 164, 18},
    {"D2101V", "", 132, 142, 18},
    {"P2002", "", 120, 130, 16},
    {"N2002", "待受画面", 120, 130, 16},
    {"N2002", "問い合わせ画面", 120, 68, 16},
    {"N2001", "待受画面", 120, 130, 12, {.CacheName = "DoCoMo 10KB（504i 以前）"}},
    {"N2001", "問い合わせ画面", 120, 68, 12, {.CacheName = "DoCoMo 10KB（504i 以前）"}},
};
constexpr TEntry kSeries5[] = {
    {"D506i", "待受画面", 240, 320, 18}, {"D506i", "背面液晶", 120, 160, 16},
    {"F506i", "待受画面", 240, 268, 18}, {"F506i", "背面液晶", 70, 64, 12},
    {"N506i", "", 240, 320, 18},         {"P506iC", "", 240, 320, 16},
    {"SH506iC", "", 240, 320, 18},       {"SO506iC", "", 240, 320, 18},
    {"N506iS", "", 240, 320, 18},        {"SO506i(premini-II)", "", 240, 320, 18},
};
constexpr TEntry kSeries6[] = {
    {"D253i", "", 176, 240, 18},
    {"N253i", "待受画面", 160, 198, 16},
    {"N253i", "背面液晶", 66, 88, 12},
    {"P253i", "待受画面", 132, 176, 16},
    {"P253i", "背面液晶", 96, 64, 16},
    {"D253iWM(Music PORTER)", "", 220, 176, 18},
    {"P253iS(Lechiffon)", "", 132, 176, 16},
};
constexpr TEntry kSeries7[] = {
    {"D252i", "待受画面", 176, 240, 18},  {"D252i", "背面液晶", 88, 120, 12},
    {"SH252i", "待受画面", 240, 320, 18}, {"SH252i", "背面液晶", 96, 64, 16},
    {"P252i", "待受画面", 132, 176, 16},  {"P252i", "背面液晶", 96, 64, 16},
    {"N252i", "待受画面", 132, 158, 16},  {"N252i", "背面液晶", 66, 88, 12},
    {"P252iS", "待受画面", 132, 176, 16}, {"P252iS", "背面液晶", 96, 64, 16},
};
constexpr TEntry kSeries8[] = {
    {"P505i", "待受画面", 240, 320, 16},
    {"P505i", "背面液晶", 120, 120, 16},
    {"F505i", "待受画面", 240, 268, 18},
    {"F505i", "背面液晶", 70, 64, 8},
    {"N505i", "待受画面", 240, 320, 18},
    {"N505i", "背面液晶", 120, 160, 16},
    {"SH505i", "待受画面", 240, 320, 18},
    {"SH505i", "背面液晶", 96, 64, 16},
    {"SO505i", "", 256, 320, 18},
    {"D505i", "待受画面", 240, 320, 18},
    {"D505i", "背面液晶", 120, 160, 16},
    {"D505i", "背面液晶（横長）", 160, 120, 16},
    {"D505iS", "待受画面", 240, 320, 18},
    {"D505iS", "背面液晶", 120, 160, 16},
    {"D505iS", "背面液晶（横長）", 160, 120, 16},
    {"P505iS", "待受画面", 240, 320, 16},
    {"N505iS", "待受画面", 240, 320, 18},
    {"N505iS", "背面液晶", 120, 160, 16},
    {"SO505iS", "待受画面", 240, 320, 18},
    {"SH505iS", "待受画面", 240, 320, 18},
    {"SH505iS", "背面液晶", 160, 120, 16},
    {"F505iGPS", "待受画面", 240, 268, 18},
    {"F505iGPS", "背面液晶", 70, 64, 12},
};
constexpr TEntry kSeries9[] = {
    {"D504i", "", 132, 160, 18},          {"F504i", "", 132, 136, 16},
    {"F504iS", "", 132, 136, 16},         {"P504i", "", 132, 144, 16},
    {"P504iS", "待受画面", 132, 176, 16}, {"P504iS", "背面液晶", 96, 64, 16},
    {"N504i", "", 160, 198, 16},          {"N504iS", "待受画面", 160, 198, 16},
    {"N504iS", "背面液晶", 108, 80, 16},  {"SO504i", "", 128, 128, 16},
};
constexpr TEntry kSeries10[] = {
    {"N251i", "", 132, 158, 16},         {"N251iS", "", 132, 158, 16},
    {"D251i", "", 132, 160, 18},         {"D251iS", "待受画面", 132, 160, 18},
    {"D251iS", "背面液晶", 60, 80, 12},  {"F251i", "", 132, 144, 16},
    {"SH251i", "", 120, 160, 16},        {"SH251iS", "待受画面", 176, 220, 16},
    {"SH251iS", "背面液晶", 96, 64, 16}, {"P251iS", "待受画面", 132, 176, 16},
    {"P251iS", "背面液晶", 96, 64, 16},
};
constexpr TEntry kSeries11[] = {
    {"P213i(prosolid)", "", 132, 176, 16},
    {"SO213i(premini)", "", 128, 128, 16},
    {"SO213iS(premini-S)", "", 128, 128, 16},
};
constexpr TEntry kSeries12[] = {
    {"F212i", "", 132, 156, 16},
    {"SO212i", "", 128, 128, 16},
};
constexpr TEntry kSeries13[] = {
    {"N211i", "", 120, 145, 12},  {"N211iS", "", 120, 145, 12}, {"P211i", "", 120, 130, 16},
    {"P211iS", "", 120, 130, 16}, {"SO211i", "", 120, 120, 12}, {"R211i", "", 96, 113, 12},
};
constexpr TEntry kSeries14[] = {
    {"F661i", "", 132, 156, 16},
    {"F671iS", "", 160, 120, 16},
    {"F672i", "", 160, 120, 16},
    {"R692i", "", 96, 113, 12},
};
constexpr TEntry kSeries15[] = {
    {"PENCK(W31H)", "", 240, 320, 16}, {"W31SA", "", 240, 320, 18}, {"W22SA", "", 240, 320, 18},
    {"W22H", "", 240, 320, 16},        {"W21CA", "", 240, 400, 16}, {"W21T", "", 240, 320, 16},
    {"W21SA", "", 240, 320, 18},       {"W21S", "", 240, 320, 18},  {"W21K", "", 240, 320, 18},
    {"W21H", "", 132, 176, 24},        {"W11K", "", 240, 320, 18},  {"W11H", "", 240, 320, 18},
};
constexpr TEntry kSeries16[] = {
    {"A5509T", "", 240, 238, 16},  {"talby(A5508SA)", "", 240, 238, 18},
    {"A5507SA", "", 240, 238, 18}, {"A5506T", "", 240, 238, 16},
    {"A5505SA", "", 240, 238, 18}, {"A5504T", "", 240, 238, 16},
    {"A5503SA", "", 240, 320, 18}, {"A5502K", "", 240, 320, 18},
    {"A5501T", "", 240, 320, 16},
};
constexpr TEntry kSeries17[] = {
    {"A5407CA", "", 240, 320, 24},    {"A5406CA", "", 240, 320, 24},
    {"A5405SA", "", 132, 176, 16},    {"A5404S", "", 240, 320, 18},
    {"A5403CA", "", 240, 320, 24},    {"A5402S", "高繊細", 240, 320, 18},
    {"A5402S", "標準", 120, 160, 18}, {"A5401CAⅡ", "", 132, 176, 24},
    {"A5401CA", "", 132, 176, 24},
};
constexpr TEntry kSeries18[] = {
    {"INFOBAR(A5307ST)", "", 132, 176, 16},
    {"A5306ST", "", 132, 176, 16},
    {"A5305K", "", 132, 176, 18},
    {"A5304T", "", 144, 176, 18},
    {"A5303HⅡ", "", 132, 176, 18},
    {"A5303H", "", 132, 176, 18},
    {"A5302CA", "", 132, 163, 24, {.Formats = F(ifGIF) | F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"A5301T", "待受画面", 144, 176, 18},
    {"A5301T", "発着信、Eメール送受信画面", 144, 60, 18},
    {"A5301T", "EZ接続画面", 144, 105, 18},
    {"A5301T", "Cメール、おしゃべり、時刻アラーム", 144, 90, 18},
    {"A5301T", "ウェイクアップ", 144, 161, 18},
    {"A5301T", "カラフルウィンドウ", 80, 60, 8},
};
constexpr TEntry kSeries19[] = {
    {"C5001T", "", 144, 135, 12},
};
constexpr TEntry kSeries20[] = {
    {"A3015SA", "", 132, 176, 18},
    {"A3014S", "", 120, 120, 16, {.Formats = F(ifGIF) | F(ifJPEG) | F(ifPNG8)}},
    {"A3013T", "", 144, 156, 16},
    {"A3012CA", "", 132, 147, 18, {.Formats = F(ifGIF) | F(ifJPEG) | F(ifPNG8)}},
    {"A3011SA", "", 132, 128, 16},
};
constexpr TEntry kSeries21[] = {
    {"C3003P", "", 132, 176, 16},
    {"C3002K", "", 128, 120, 16},
    {"C3001H", "", 120, 116, 12},
};
constexpr TEntry kSeries22[] = {
    {"A1404S", "", 240, 320, 16}, {"A1403K", "", 240, 320, 18}, {"A1402SⅡ", "", 240, 320, 18},
    {"A1402S", "", 240, 320, 18}, {"A1401K", "", 132, 176, 16},
};
constexpr TEntry kSeries23[] = {
    {"A1305SA", "", 132, 176, 18}, {"A1304TⅡ", "", 144, 176, 16}, {"A1304T", "", 144, 176, 16},
    {"A1303SA", "", 132, 176, 18}, {"A1302SA", "", 132, 176, 18}, {"A1301S", "", 120, 145, 16},
};
constexpr TEntry kSeries24[] = {
    {"A1101S", "", 120, 120, 16},
};
constexpr TEntry kSeries25[] = {
    {"A1014ST", "", 132, 147, 16, {.Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"A1013K", "", 120, 160, 16, {.Formats = F(ifJPEG) | F(ifPNG8)}},
    {"A1012K", "", 120, 120, 16, {.Formats = F(ifJPEG) | F(ifPNG8)}},
    {"A1011ST", "", 128, 129, 16, {.Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
};
constexpr TEntry kSeries26[] = {
    {"C1002S", "", 120, 120, 16, {.Formats = F(ifPNG8)}},
    {"C1001SA", "", 120, 128, 16, {.Formats = F(ifPNG8) | F(ifBMP2)}},
};
constexpr TEntry kSeries27[] = {
    {"C452CA", "", 120, 109, 8, {.Formats = F(ifPNG8)}},
    {"C451H", "", 120, 112, 8, {.Formats = F(ifPNG8)}},
    {"C415T", "", 96, 112, 12, {.Formats = F(ifPNG8)}},
    {"C414K", "", 120, 120, 16, {.Formats = F(ifJPEG) | F(ifPNG8)}},
    {"C413S", "", 120, 120, 8, {.Formats = F(ifPNG8)}},
    {"C412SA", "", 120, 128, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C411ST", "", 120, 104, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C410T", "", 96, 112, 8, {.Formats = F(ifPNG8)}},
    {"C409CA", "", 120, 96, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C408P", "", 120, 115, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C407H", "", 120, 112, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C406S", "", 120, 120, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C404S", "", 120, 120, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C403ST", "", 120, 108, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C402DE", "", 120, 112, 8, {.Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C401SA", "", 120, 128, 8, {.Formats = F(ifPNG8)}},
};
constexpr TEntry kSeries28[] = {
    {"C313K", "", 120, 111, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2)}},
    {"C311CA", "", 127, 93, 1, {.Format = ifBMP2, .Formats = F(ifBMP2)}},
    {"C310T", "", 96, 112, 8, {.Format = ifPNG8, .Formats = F(ifPNG8)}},
    {"C309H", "", 120, 96, 8, {.Format = ifPNG8, .Formats = F(ifPNG8)}},
    {"C307K", "", 121, 90, 1, {.Format = ifBMP2, .Formats = F(ifBMP2)}},
    {"C304SA", "", 128, 96, 1, {.Format = ifBMP2, .Formats = F(ifBMP2)}},
};
constexpr TEntry kSeries29[] = {
    {"TT51", "", 240, 320, 18, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TK41", "", 120, 137, 16, {.Format = ifJPEG, .Formats = F(ifGIF) | F(ifJPEG) | F(ifPNG8)}},
    {"TS41", "", 132, 144, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8)}},
    {"TK40", "", 120, 137, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TT32", "", 144, 176, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TT31", "", 144, 176, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TK31", "", 120, 137, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TS31", "", 120, 112, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8)}},
    {"TK23", "", 120, 137, 8, {.Format = ifPNG8, .Formats = F(ifPNG8)}},
    {"TK22", "", 120, 137, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8)}},
    {"TT22", "", 144, 155, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TK21", "", 120, 137, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TT21", "", 144, 133, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TT11", "", 120, 143, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8) | F(ifBMP2)}},
    {"TK12", "", 120, 137, 8, {.Format = ifPNG8, .Formats = F(ifPNG8)}},
    {"TS11", "", 120, 128, 16, {.Format = ifJPEG, .Formats = F(ifJPEG) | F(ifPNG8)}},
    {"TK11", "", 96, 104, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2), .Bps = 9600}},
    {"TD11", "", 120, 117, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2), .Bps = 9600}},
    {"TP11", "", 96, 108, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2), .Bps = 9600}},
    {"TK05", "", 96, 104, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2), .Bps = 9600}},
    {"TT03", "", 120, 128, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2), .Bps = 9600}},
    {"TK04", "", 96, 104, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2), .Bps = 9600}},
    {"TK03", "", 96, 104, 8, {.Format = ifPNG8, .Formats = F(ifPNG8) | F(ifBMP2), .Bps = 9600}},
    {"TS02", "", 96, 92, 8, {.Format = ifPNG8, .Formats = F(ifPNG8), .Bps = 9600}},
    {"TT02", "", 120, 98, 1, {.Format = ifBMP2, .Formats = F(ifBMP2), .Bps = 9600}},
};
constexpr TEntry kSeries30[] = {
    {"V801SH", "", 240, 260, 18},
    {"V801SA", "", 240, 256, 18},
};
constexpr TEntry kSeries31[] = {
    {"V601SH", "", 240, 260, 18},
    {"J-SH53", "", 240, 260, 18},
};
constexpr TEntry kSeries32[] = {
    {"V601N", "", 160, 180, 16},  {"J-N51", "", 160, 180, 16},  {"J-SH52", "", 120, 130, 16},
    {"J-SA51", "", 132, 144, 16}, {"J-P51", "", 120, 130, 16},  {"J-T51", "", 144, 144, 16},
    {"J-K51", "", 128, 128, 12},  {"J-SH51", "", 120, 130, 16},
};
constexpr TEntry kSeries33[] = {
    {"V401T", "", 222, 261, 18},  {"V301SH", "", 222, 260, 18}, {"V401SH", "", 222, 260, 18},
    {"J-T010", "", 222, 261, 18}, {"J-D08", "", 132, 136, 18},  {"J-SH010", "", 240, 260, 18},
    {"J-T08", "", 222, 261, 16},  {"J-SH09", "", 120, 130, 16}, {"J-SH08", "", 120, 117, 16},
    {"J-N05", "", 160, 180, 16},  {"J-N04", "", 120, 126, 12},  {"J-D06", "", 132, 126, 12},
    {"J-D05", "", 132, 126, 12},  {"J-T06", "", 120, 126, 16},  {"J-SH07", "", 120, 117, 16},
};
constexpr TEntry kSeries34[] = {
    {"V303T", "", 222, 261, 18},  {"V302T", "", 144, 144, 16},  {"V301D", "", 132, 136, 18},
    {"V301T", "", 222, 261, 18},  {"J-SA06", "", 132, 144, 16}, {"J-T09", "", 144, 144, 16},
    {"J-D07", "", 128, 96, 12},   {"J-T07", "", 144, 136, 16},  {"J-SA05", "", 120, 112, 16},
    {"J-NM02", "", 120, 130, 16}, {"J-K05", "", 120, 110, 8},   {"J-SA04", "", 120, 130, 16},
};
constexpr TSeries kCatalogue[] = {
    {crDoCoMo, "901i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（901i シリーズ）",
     384000, kSeries0},
    {crDoCoMo, "700i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（900i シリーズ）",
     384000, kSeries1},
    {crDoCoMo, "900i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（900i シリーズ）",
     384000, kSeries2},
    {crDoCoMo, "880i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（900i シリーズ）",
     384000, kSeries3},
    {crDoCoMo, "FOMA シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（FOMA シリーズ）",
     384000, kSeries4},
    {crDoCoMo, "506i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（505i シリーズ）", 28800,
     kSeries5},
    {crDoCoMo, "253i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（505i シリーズ）", 28800,
     kSeries6},
    {crDoCoMo, "252i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（505i シリーズ）", 28800,
     kSeries7},
    {crDoCoMo, "505i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 20KB（505i シリーズ）", 28800,
     kSeries8},
    {crDoCoMo, "504i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 10KB（504i 以前）", 9600,
     kSeries9},
    {crDoCoMo, "251i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 10KB（504i 以前）", 9600,
     kSeries10},
    {crDoCoMo, "213i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 10KB（504i 以前）", 9600,
     kSeries11},
    {crDoCoMo, "212i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 10KB（504i 以前）", 9600,
     kSeries12},
    {crDoCoMo, "211i シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 10KB（504i 以前）", 9600,
     kSeries13},
    {crDoCoMo, "その他", ifJPEG, F(ifGIF) | F(ifJPEG), "DoCoMo 10KB（504i 以前）", 9600, kSeries14},
    {crAu, "CDMA1X WIN シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au CDMA1X WIN 10KB",
     2400000, kSeries15},
    {crAu, "A5500 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au 9KB", 144000, kSeries16},
    {crAu, "A5400 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au 9KB", 144000, kSeries17},
    {crAu, "A5300 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au 9KB", 144000, kSeries18},
    {crAu, "C5000 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au 9KB", 64000, kSeries19},
    {crAu, "A3000 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8) | F(ifBMP2), "au 9KB", 144000,
     kSeries20},
    {crAu, "C3000 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8) | F(ifBMP2), "au 9KB", 64000,
     kSeries21},
    {crAu, "A1400 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au 9KB", 144000, kSeries22},
    {crAu, "A1300 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au 9KB", 144000, kSeries23},
    {crAu, "A1100 シリーズ", ifJPEG, F(ifGIF) | F(ifJPEG) | F(ifPNG8), "au 9KB", 144000, kSeries24},
    {crAu, "A1000 シリーズ", ifJPEG, 0, "au 7.5KB", 144000, kSeries25},
    {crAu, "C1000 シリーズ", ifPNG8, 0, "au 7.5KB", 64000, kSeries26},
    {crAu, "C4xx シリーズ", ifPNG8, 0, "au 7.5KB", 64000, kSeries27},
    {crAu, "C3xx シリーズ", kPerHandset, 0, "au 7.5KB", 64000, kSeries28},
    {crTuKa, "", kPerHandset, 0, "au 7.5KB", 28800, kSeries29},
    {crVodafone, "W型", ifJPEG, F(ifJPEG) | F(ifPNG8), "Vodafone 12KB（パケット対応機）", 28800,
     kSeries30},
    {crVodafone, "P5型", ifJPEG, F(ifJPEG) | F(ifPNG8), "Vodafone 12KB（パケット対応機）", 28800,
     kSeries31},
    {crVodafone, "P4型", ifJPEG, F(ifJPEG) | F(ifPNG8), "Vodafone 12KB（パケット対応機）", 28800,
     kSeries32},
    {crVodafone, "C4型", ifJPEG, F(ifJPEG) | F(ifPNG8), "Vodafone 6KB（パケット非対応）", 9600,
     kSeries33},
    {crVodafone, "C3型", ifJPEG, F(ifJPEG) | F(ifPNG8), "Vodafone 6KB（パケット非対応）", 9600,
     kSeries34},
};

struct TBuiltInCache {
  const char* Name;
  float Capacity;
};

// Named capacities added after each carrier's records.
constexpr TBuiltInCache kDoCoMoCaches[] = {
    {"DoCoMo 20KB（901i シリーズ）", 20},
    {"DoCoMo 20KB（900i シリーズ）", 20},
    {"DoCoMo 20KB（505i シリーズ）", 20},
    {"DoCoMo 20KB（FOMA シリーズ）", 20},
    {"DoCoMo 10KB（504i 以前）", 10},
    {"DoCoMo 15KB", 15},
    {"DoCoMo 8KB", 8},
    {"DoCoMo 5KB", 5},
};
constexpr TBuiltInCache kAuCaches[] = {
    {"au CDMA1X WIN 10KB", 10}, {"au 9KB", 9}, {"au 7.5KB", 7.5f}};
// Tu-Ka handsets share au's smallest capacity; adding it again changes nothing.
constexpr TBuiltInCache kTuKaCaches[] = {{"au 7.5KB", 7.5f}};
constexpr TBuiltInCache kVodafoneCaches[] = {{"Vodafone 12KB（パケット対応機）", 12},
                                             {"Vodafone 6KB（パケット非対応）", 6}};

std::span<const TBuiltInCache> CachesAfter(TCarrier carrier) {
  switch (carrier) {
  case crDoCoMo:
    return kDoCoMoCaches;
  case crAu:
    return kAuCaches;
  case crTuKa:
    return kTuKaCaches;
  case crVodafone:
    return kVodafoneCaches;
  default:
    return {};
  }
}

TTanmatsuRecord MakeRecord(const TSeries& series, const TEntry& entry) {
  TTanmatsuRecord r;
  r.Carrier = series.Carrier;
  r.SetSeries(series.Name);
  r.SetName(entry.Name);
  r.SetScreen(entry.Screen);
  int format = entry.Own.Format != kPerHandset ? entry.Own.Format : series.Format;
  r.Format = static_cast<TImageFormat>(format);
  r.SupportFormats = TImageFormats(entry.Own.Formats != 0 ? entry.Own.Formats : series.Formats);
  r.Width = entry.Width;
  r.Height = entry.Height;
  r.Bit = entry.Bit;
  r.SetCacheName(entry.Own.CacheName ? entry.Own.CacheName : series.CacheName);
  r.Cache = 0;
  r.Bps = entry.Own.Bps != 0 ? entry.Own.Bps : series.Bps;
  return r;
}

} // namespace

void TTanmatsuList::LoadBuiltIn() {
  Clear();
  const std::size_t count = std::size(kCatalogue);
  for (std::size_t s = 0; s < count; ++s) {
    const TSeries& series = kCatalogue[s];
    for (const TEntry& entry : series.Entries)
      Add(MakeRecord(series, entry));
    // A carrier's named capacities follow its last series.
    if (s + 1 == count || kCatalogue[s + 1].Carrier != series.Carrier) {
      for (const TBuiltInCache& cache : CachesAfter(series.Carrier)) {
        TCacheCapacity entry;
        entry.SetName(cache.Name);
        entry.Capacity = cache.Capacity;
        AddCache(entry);
      }
    }
  }
}

} // namespace mirufo
