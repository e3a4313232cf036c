#include "output/standby_box_list.h"

#include "catalogue/tanmatsu_record.h"
#include "engine/option_vocabulary.h"
#include "engine/output_format.h"
#include "engine/standby_specification.h"
#include "output/page_texts.h"
#include "output/standby_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/arith.h"
#include "platform/ini_file.h"
#include "platform/translate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace mirufo {

const std::array<TPacketCharge, kPacketChargeCount> kPacketCharges = {{
    {"imode", 0.3f, "imode - 0.3円"},
    {"FOMA", 0.2f, "FOMA - 0.2円"},
    {"FOMA 20", 0.1f, "FOMA パケットパック20 - 0.1円"},
    {"FOMA 40", 0.05f, "FOMA パケットパック40 - 0.05円"},
    {"FOMA 80", 0.02f, "FOMA パケットパック80 - 0.02円"},
    {"au", 0.27f, "au - 0.27円"},
    {"au お得タイム", 0.2f, "au お得タイム - 0.2円"},
    {"au お得タイム(100パケット超過分)", 0.1f, "au お得タイム100パケット超過 - 0.1円"},
    {"au パケット割", 0.1f, "au パケット割 - 0.1円"},
    {"J-PHONE", 0.3f, "J-PHONE - 0.3円"},
}};

namespace {

std::string Printf(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string ColorCount(std::uint8_t bits) {
  return std::to_string(bits < 63 ? (std::int64_t{1} << bits) : 0);
}

// The palette size of a GIF or PNG8: the best-fit search's count when it
// chose one, else 2^bits.
std::string PaletteCount(const TFormatOptions& o) {
  if (o.Colors != 0 && PaletteColors(o, o.Bits) == o.Colors)
    return std::to_string(o.Colors);
  return ColorCount(o.Bits);
}

std::string LevelText(std::int32_t level) {
  if (level == -1)
    return Tr("標準");
  if (level == 0)
    return Tr("なし");
  return std::to_string(level);
}

std::string DitherText(TDitherKind dither) {
  return std::string(Tr("ディザ")) + (dither == dkNone ? Tr("なし") : Tr("あり"));
}

// The summary line of a value, or empty for a value the table lacks.
template <typename T> std::string Summary(TVocabulary<T> table, T value) {
  const TVocabularyEntry<T>* row = FindEntry(table, value);
  return row && row->Summary ? Tr(row->Summary) : "";
}

} // namespace

std::string PacketChargeText(std::int64_t bytes, int row) {
  const TPacketCharge& tariff =
      kPacketCharges[static_cast<std::size_t>(row >= 0 && row < kPacketChargeCount ? row : 0)];
  const float charge = static_cast<float>(static_cast<long double>(tariff.Price) / 128 * bytes);
  const std::string name = Tr(tariff.Name);
  if (charge == 0)
    return "0 円 @ " + name;
  const std::int64_t hundredths = Trunc(static_cast<long double>(charge) * 100);
  std::string text;
  if (hundredths % 100 == 0)
    text = FillFormat(Tr("約%d円"), {std::to_string(Trunc(charge))});
  else if (hundredths % 10 == 0)
    text = FillFormat(Tr("約%s円"), {Printf("%.1f", charge)});
  else
    text = FillFormat(Tr("約%s円"), {Printf("%.2f", charge)});
  return text + " @ " + name;
}

std::array<std::string, 2> FormatOptionTexts(const TFormatOptions& o) {
  const std::string dither = o.Dither != dkNone ? Tr(" ディザ") : "";
  switch (o.Format) {
  case ifGIF:
    return {FillFormat(Tr("GIF %d色"), {PaletteCount(o)}) + dither,
            Tr(o.GifCompression == 1 ? "RLE圧縮" : "LZW圧縮")};
  case ifJPEG:
    return {Tr("JPEG 画質") + std::to_string(o.JpegQuality),
            o.Interlace ? Tr("プログレッシブ") : ""};
  case ifPNG8:
    return {FillFormat(Tr("PNG %d色"), {PaletteCount(o)}) + dither,
            Tr("圧縮レベル ") + LevelText(o.PngCompressLevel) +
                (o.Interlace ? Tr("インターレース") : "")};
  case ifPNG24:
    return {Tr("PNG24 圧縮レベル") + LevelText(o.PngCompressLevel),
            o.Interlace ? Tr("インターレース") : ""};
  case ifBMP:
    return {"BMP" + (o.Bits < 9 ? ColorCount(o.Bits) : Tr("フル")) + Tr("カラー"),
            DitherText(o.Dither)};
  case ifBMP2:
    return {Tr("モノクロBMP"), DitherText(o.Dither)};
  }
  return {"", ""};
}

std::vector<std::string> StandbyBoxErrorTexts(const TStandbySpecification& target) {
  const std::string& error = target.MakeError();
  if (error.empty())
    return {};
  std::vector<std::string> lines{Tr("作成できませんでした")};
  const std::string stop = "。";
  std::size_t start = 0;
  while (start < error.size()) {
    std::size_t end = error.find(stop, start);
    end = end == std::string::npos ? error.size() : end + stop.size();
    lines.push_back(error.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::vector<std::string> OptionSummaryTexts(const TStandbySpecification& t) {
  return {Summary(ResizeModes(), t.ResizeMode()),
          t.FastResample() ? Tr("サイズ変更品質：高速") : Tr("サイズ変更品質：品質重視"),
          Summary(Sharpnesses(), t.Sharpness()) + " " + std::to_string(t.SharpenCount()) + Tr("回"),
          Summary(HorzAligns(), t.Layout().HorzAlign),
          Summary(VertAligns(), t.Layout().VertAlign),
          Summary(BackgroundModes(), t.Layout().Background)};
}

TBoxSize StandbyBoxSize(int maxScreenWidth, int maxScreenHeight, int lineH) {
  return {maxScreenWidth + 24, maxScreenHeight + 28 + 3 * lineH};
}

double BoxPreviewScale(int screenWidth, int screenHeight) {
  const int side = std::max(screenWidth, screenHeight);
  return side <= kMaxPreviewSide ? 1.0 : static_cast<double>(kMaxPreviewSide) / side;
}

int PreviewSide(int side, double scale) {
  if (scale == 1.0)
    return side;
  return std::max(1, static_cast<int>(std::lround(side * scale)));
}

TRect BoxTextArea(TRect box, int lineH) {
  return {box.Left + 3, box.Bottom - 3 - (3 * lineH + 4), box.Right - 3, box.Bottom - 3};
}

TRect BoxImageArea(TRect box, int lineH) {
  return {box.Left + 3, box.Top + 3, box.Right - 3, BoxTextArea(box, lineH).Top - 1};
}

TRect BoxScreenRect(TRect area, int width, int height) {
  const int left = area.Left + (area.Width() - width) / 2;
  const int top = area.Top + (area.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

std::optional<TPlacementMark> PlacementMark(TRect s, THorzAlign horz, TVertAlign vert) {
  if (horz > haRight || vert > vaBottom)
    return std::nullopt;
  const int w = s.Width();
  const int h = s.Height();
  const std::array<int, 3> barLeft = {s.Left + 4, s.Left + (w - 12) / 2, s.Right - 16};
  const std::array<int, 3> stemLeft = {s.Left + 4, s.Left + (w - 2) / 2, s.Right - 6};
  const std::array<int, 3> barTop = {s.Top + 4, s.Top + (h - 2) / 2, s.Bottom - 6};
  const std::array<int, 3> stemTop = {s.Top + 4, s.Top + (h - 12) / 2, s.Bottom - 16};
  const int bx = barLeft[horz];
  const int by = barTop[vert];
  const int vx = stemLeft[horz];
  const int vy = stemTop[vert];
  return TPlacementMark{{bx, by, bx + 12, by + 2}, {vx, vy, vx + 2, vy + 12}};
}

std::string SaveFilter(TImageFormat format, bool alternatePng) {
  switch (format) {
  case ifGIF:
    return "Graphics Interchange Format (*.gif)|*.gif";
  case ifJPEG:
    return "Joint Photographic Experts Group (*.jpg;*.jpeg)|*.jpg;*.jpeg";
  case ifPNG8:
  case ifPNG24:
    return alternatePng ? "Png's Not Gif (*.png)|*.png" : "Portable Network Graphics (*.png)|*.png";
  case ifBMP:
  case ifBMP2:
    return Tr("ビットマップ (*.bmp)|*.bmp");
  }
  return "";
}

TStandbyBoxList::TStandbyBoxList(TTanmatsuOptionList& workingSet) : workingSet_(workingSet) {}

void TStandbyBoxList::Rebuild() {
  handsets_.clear();
  for (std::size_t i = 0; i < workingSet_.HandsetCount(); ++i)
    if (workingSet_.TargetOf(i))
      handsets_.push_back(i);
  SetSelection(selection_);
  remembered_.clear();
}

int TStandbyBoxList::BoxOf(std::size_t handset) const {
  auto it = std::lower_bound(handsets_.begin(), handsets_.end(), handset);
  return it != handsets_.end() && *it == handset ? static_cast<int>(it - handsets_.begin()) : -1;
}

TStandbySpecification* TStandbyBoxList::TargetOf(int box) const {
  if (box < 0 || box >= Count())
    return nullptr;
  return workingSet_.TargetOf(handsets_[static_cast<std::size_t>(box)]);
}

int TStandbyBoxList::MadeCount() const {
  int made = 0;
  for (int box = 0; box < Count(); ++box)
    if (TStandbySpecification* t = TargetOf(box); t && t->IsMade())
      ++made;
  return made;
}

void TStandbyBoxList::SetSelection(std::vector<int> boxes) {
  std::erase_if(boxes, [this](int box) { return box < 0 || box >= Count(); });
  std::sort(boxes.begin(), boxes.end());
  boxes.erase(std::unique(boxes.begin(), boxes.end()), boxes.end());
  selection_ = std::move(boxes);
}

void TStandbyBoxList::SelectAll() {
  selection_.resize(static_cast<std::size_t>(Count()));
  for (int box = 0; box < Count(); ++box)
    selection_[static_cast<std::size_t>(box)] = box;
}

std::vector<TStandbySpecification*> TStandbyBoxList::SelectedTargets() const {
  std::vector<TStandbySpecification*> targets;
  for (int box : selection_)
    if (TStandbySpecification* t = TargetOf(box))
      targets.push_back(t);
  return targets;
}

TStandbySpecification* TStandbyBoxList::SingleMadeTarget() const {
  if (selection_.size() != 1)
    return nullptr;
  TStandbySpecification* t = TargetOf(selection_.front());
  return t && t->IsMade() ? t : nullptr;
}

std::vector<int>
TStandbyBoxList::ForSelected(const std::function<void(TStandbySpecification&)>& change) {
  std::vector<int> changed;
  for (int box : selection_)
    if (TStandbySpecification* t = TargetOf(box)) {
      change(*t);
      changed.push_back(box);
    }
  return changed;
}

std::vector<int> TStandbyBoxList::SetResizeMode(TResizeMode mode) {
  return ForSelected([mode](TStandbySpecification& t) {
    t.SetResize(mode, t.ResizeWidth(), t.ResizeHeight(), t.FastResample());
  });
}

std::vector<int> TStandbyBoxList::SetFastResample(bool fast) {
  return ForSelected([fast](TStandbySpecification& t) {
    t.SetResize(t.ResizeMode(), t.ResizeWidth(), t.ResizeHeight(), fast);
  });
}

std::vector<int> TStandbyBoxList::SetHorzAlign(THorzAlign align) {
  return ForSelected([align](TStandbySpecification& t) {
    TLayout layout = t.Layout();
    layout.HorzAlign = align;
    t.SetLayout(layout);
  });
}

std::vector<int> TStandbyBoxList::SetVertAlign(TVertAlign align) {
  return ForSelected([align](TStandbySpecification& t) {
    TLayout layout = t.Layout();
    layout.VertAlign = align;
    t.SetLayout(layout);
  });
}

std::vector<int> TStandbyBoxList::SetBackground(TBackgroundMode mode, std::optional<TColor> color) {
  return ForSelected([mode, color](TStandbySpecification& t) {
    TLayout layout = t.Layout();
    layout.Background = mode;
    if (color)
      layout.BackgroundColor = *color;
    t.SetLayout(layout);
  });
}

std::vector<int> TStandbyBoxList::SetSharpness(TSharpness sharpness) {
  return ForSelected(
      [sharpness](TStandbySpecification& t) { t.SetSharpen(sharpness, t.SharpenCount()); });
}

std::vector<int> TStandbyBoxList::SetSharpenCount(std::uint8_t count) {
  return ForSelected([count](TStandbySpecification& t) { t.SetSharpen(t.Sharpness(), count); });
}

TStandbyChecks TStandbyBoxList::Checks() const {
  TStandbyChecks c;
  auto mark = [](auto& group, int value) {
    if (value >= 0 && value < static_cast<int>(group.size()))
      group[static_cast<std::size_t>(value)] = true;
  };
  for (const TStandbySpecification* t : SelectedTargets()) {
    mark(c.ResizeMode, t->ResizeMode());
    (t->FastResample() ? c.Fast : c.Quality) = true;
    mark(c.HorzAlign, t->Layout().HorzAlign);
    mark(c.VertAlign, t->Layout().VertAlign);
    mark(c.Background, t->Layout().Background);
    mark(c.Sharpness, t->Sharpness());
    mark(c.SharpenCount, t->SharpenCount());
  }
  return c;
}

void TStandbyBoxList::RememberFormats() {
  remembered_.clear();
  for (int box : selection_)
    if (TStandbySpecification* t = TargetOf(box))
      remembered_.emplace_back(box, t->FormatOptions());
}

std::vector<int>
TStandbyBoxList::ApplyFormat(const std::function<TFormatOptions(const TFormatOptions&)>& read) {
  std::vector<int> changed;
  for (int box : selection_) {
    TStandbySpecification* t = TargetOf(box);
    if (!t || !t->IsMade())
      continue;
    t->SetFormatOptions(read(t->FormatOptions()));
    changed.push_back(box);
  }
  return changed;
}

std::vector<int> TStandbyBoxList::RestoreFormats() {
  std::vector<int> changed;
  for (const auto& [box, remembered] : remembered_) {
    TStandbySpecification* t = TargetOf(box);
    if (!t)
      continue;
    // Only the encoding options go back: the comment and copyright flag
    // may have been given to every target since.
    TFormatOptions options = t->FormatOptions();
    options.Format = remembered.Format;
    options.Bits = remembered.Bits;
    options.Reduction = remembered.Reduction;
    options.Dither = remembered.Dither;
    options.GifCompression = remembered.GifCompression;
    options.JpegQuality = remembered.JpegQuality;
    options.PngCompressLevel = remembered.PngCompressLevel;
    options.Interlace = remembered.Interlace;
    options.BestFit = remembered.BestFit;
    options.Colors = remembered.Colors;
    options.AutoFit = true;
    t->SetFormatOptions(options);
    changed.push_back(box);
  }
  remembered_.clear();
  return changed;
}

TBoxTexts TStandbyBoxList::Texts(int box) const {
  TBoxTexts texts;
  const TStandbySpecification* t = TargetOf(box);
  if (!t)
    return texts;
  const TTanmatsuRecord handset = workingSet_.GetHandset(HandsetOf(box));
  texts.Left[0] = handset.Name;
  texts.Left[1] = handset.Screen;
  if (FileSizeInfo == fiDownloadTime)
    texts.Left[2] = DownloadTimeText(t->FileSize(), handset.Bps);
  else if (FileSizeInfo == fiPacketCharge)
    // The packet tariffs are those of handsets with a known line speed; one
    // of unknown speed is on none of them.
    texts.Left[2] = handset.Bps > 0 ? PacketChargeText(t->FileSize(), PacketChargeIndex)
                                    : Tr(kUnknownSpeedText);
  const std::string cache = CacheToStr(handset.Cache);
  if (t->IsMade()) {
    auto lines = FormatOptionTexts(t->FormatOptions());
    texts.Right[0] = lines[0];
    texts.Right[1] = lines[1];
    texts.Right[2] = FileSizeText(t->FileSize()) + " / " + cache;
  } else {
    texts.Right[0] = FormatName(t->FormatOptions().Format);
    texts.Right[2] = cache;
  }
  return texts;
}

TBoxSize TStandbyBoxList::LargestScreen() const {
  TBoxSize size;
  for (int box = 0; box < Count(); ++box)
    if (const TStandbySpecification* t = TargetOf(box)) {
      size.Width = std::max(size.Width, t->ScreenWidth());
      size.Height = std::max(size.Height, t->ScreenHeight());
    }
  return size;
}

void TStandbyBoxList::LoadSettings(const TIniFile& file) {
  FileSizeInfo = static_cast<std::uint8_t>(file.ReadInteger("General", "FileSizeInfo", 0));
  PacketChargeIndex = file.ReadInteger("Standby", "PacketChargeIndex", 0);
  if (PacketChargeIndex < 0 || PacketChargeIndex >= kPacketChargeCount)
    PacketChargeIndex = 0;
}

void TStandbyBoxList::SaveSettings(TIniFile& file) const {
  file.WriteInteger("General", "FileSizeInfo", FileSizeInfo);
  file.WriteInteger("Standby", "PacketChargeIndex", PacketChargeIndex);
}

} // namespace mirufo
