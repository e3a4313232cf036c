// The make page without its drawing: one box per target in handset order,
// which boxes are selected, the option commands that change the selected
// targets, the check marks they show, the texts and geometry of a box, the
// packet tariff, and the page's two settings.
#pragma once

#include "engine/standby_types.h"
#include "imaging/bitmap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mirufo {

class TIniFile;
class TStandbySpecification;
class TTanmatsuOptionList;

// One row of the packet tariff: yen per packet of 128 bytes.
struct TPacketCharge {
  const char* Name;
  float Price;
  const char* Caption; // the command's caption
};
inline constexpr int kPacketChargeCount = 10;
extern const std::array<TPacketCharge, kPacketChargeCount> kPacketCharges;

// "約30円 @ imode": the estimated charge of a download of that size with the
// tariff row; "0 円 @ imode" when the charge is exactly 0. A row outside the
// table reads as row 0.
std::string PacketChargeText(std::int64_t bytes, int row);

// The two format lines of a made target's box: "JPEG 画質70" and
// "プログレッシブ" (or empty), "PNG 16色 ディザ" and "圧縮レベル 9", ...
std::array<std::string, 2> FormatOptionTexts(const TFormatOptions& options);

// The option summary an unmade target's box shows, six lines: resize mode,
// resize quality, sharpening with its count, the two placements and the
// background.
std::vector<std::string> OptionSummaryTexts(const TStandbySpecification& target);

// The lines a box shows instead of the option summary when the last make
// run could not make its target: "作成できませんでした", then the error
// broken after each sentence. Empty when the target has no error.
std::vector<std::string> StandbyBoxErrorTexts(const TStandbySpecification& target);

// What the third left-hand line of a box shows.
enum TFileSizeInfo : std::uint8_t { fiDownloadTime = 0, fiPacketCharge = 1 };

// The six text lines of a box: handset name, screen name, download time or
// charge at the left; format, format detail, size and cache at the right.
struct TBoxTexts {
  std::array<std::string, 3> Left;
  std::array<std::string, 3> Right;
};

// Which marks of each option group the selected targets light: a mark is set
// when any selected target has that value, so a mixed selection lights
// several marks of one group. Indexed by the option's value; the counts by
// 1 to 3.
struct TStandbyChecks {
  std::array<bool, 5> ResizeMode{};
  bool Fast = false;
  bool Quality = false;
  std::array<bool, 5> HorzAlign{};
  std::array<bool, 5> VertAlign{};
  std::array<bool, 5> Background{};
  std::array<bool, 4> Sharpness{};
  std::array<bool, 4> SharpenCount{};
};

// Box geometry. A box is the largest screen among the listed handsets plus
// room for its frames and three lines of text (lineH pixels each).
struct TBoxSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TBoxSize&, const TBoxSize&) = default;
};
TBoxSize StandbyBoxSize(int maxScreenWidth, int maxScreenHeight, int lineH);
// The scale at which a box shows its screen: 1 while the screen's long side
// is at most kMaxPreviewSide (every handset of the built-in catalogue),
// otherwise the scale that brings it down to that side, so that today's
// phone and monitor screens fit the page side by side. A box is then at most
// kMaxPreviewSide square plus its frames and text.
inline constexpr int kMaxPreviewSide = 480;
double BoxPreviewScale(int screenWidth, int screenHeight);
// A side at the preview scale, at least 1 pixel.
int PreviewSide(int side, double scale);
// The text strip at the bottom and the image area above it, both inset by 3.
TRect BoxTextArea(TRect box, int lineH);
TRect BoxImageArea(TRect box, int lineH);
// A screen of that size centred in the image area.
TRect BoxScreenRect(TRect imageArea, int width, int height);

// The two bars that show where a picture is aligned on its screen: a 12 × 2
// horizontal and a 2 × 12 vertical one. None for look-at or no placement.
struct TPlacementMark {
  TRect Horizontal;
  TRect Vertical;
};
std::optional<TPlacementMark> PlacementMark(TRect screen, THorzAlign horz, TVertAlign vert);

// The save dialog's filter for a format, as "description|pattern";
// alternatePng picks the second of the two PNG descriptions.
std::string SaveFilter(TImageFormat format, bool alternatePng);

class TStandbyBoxList {
public:
  explicit TStandbyBoxList(TTanmatsuOptionList& workingSet);

  // Boxes: the handsets that have a target, in handset order. Rebuilding
  // drops the selection of boxes that no longer exist.
  void Rebuild();
  int Count() const { return static_cast<int>(handsets_.size()); }
  std::size_t HandsetOf(int box) const { return handsets_.at(static_cast<std::size_t>(box)); }
  // The box of a handset, or -1.
  int BoxOf(std::size_t handset) const;
  TStandbySpecification* TargetOf(int box) const;
  int MadeCount() const;

  // Selection: box indices, kept sorted and unique; indices outside the
  // boxes are dropped.
  void SetSelection(std::vector<int> boxes);
  const std::vector<int>& Selection() const { return selection_; }
  void SelectAll();
  std::vector<TStandbySpecification*> SelectedTargets() const;
  // Exactly one box selected and its target made: copy and save apply.
  TStandbySpecification* SingleMadeTarget() const;

  // The option commands. Each changes every selected target (remaking the
  // stages the option feeds of a made one) and returns the boxes whose
  // target it handed a new value.
  std::vector<int> SetResizeMode(TResizeMode mode);
  std::vector<int> SetFastResample(bool fast);
  std::vector<int> SetHorzAlign(THorzAlign align);
  std::vector<int> SetVertAlign(TVertAlign align);
  // A corner mode keeps the colour; bgColor with a colour sets both.
  std::vector<int> SetBackground(TBackgroundMode mode, std::optional<TColor> color = {});
  std::vector<int> SetSharpness(TSharpness sharpness);
  std::vector<int> SetSharpenCount(std::uint8_t count);
  TStandbyChecks Checks() const;

  // The format dialog's edits. RememberFormats keeps each selected target's
  // encoding options; ApplyFormat gives every selected made target the
  // options read from its own current ones; RestoreFormats puts the
  // remembered ones back with AutoFit on.
  void RememberFormats();
  std::vector<int> ApplyFormat(const std::function<TFormatOptions(const TFormatOptions&)>& read);
  std::vector<int> RestoreFormats();

  TBoxTexts Texts(int box) const;
  // The largest screen of the listed handsets (0 × 0 for none).
  TBoxSize LargestScreen() const;

  // Settings: "General"/"FileSizeInfo" and "Standby"/"PacketChargeIndex"
  // (a row outside the table reads as 0).
  void LoadSettings(const TIniFile& file);
  void SaveSettings(TIniFile& file) const;
  std::uint8_t FileSizeInfo = fiDownloadTime;
  int PacketChargeIndex = 0;

private:
  std::vector<int> ForSelected(const std::function<void(TStandbySpecification&)>& change);

  TTanmatsuOptionList& workingSet_;
  std::vector<std::size_t> handsets_;
  std::vector<int> selection_;
  std::vector<std::pair<int, TFormatOptions>> remembered_;
};

} // namespace mirufo
