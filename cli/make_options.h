// mirufo-cli make: what its command line asks for, and the table of its
// options that fills it in.
#pragma once

#include "cli/option_table.h"
#include "color/dither_engine.h"
#include "engine/standby_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mirufo::cli {

struct TMakeArgs {
  std::string Source;
  std::optional<TLookAtPoint> LookAt;
  bool LookAtAuto = false; // --lookat auto: on the picture's subject
  // Handsets: at most one of these three.
  std::optional<std::string> SetName;
  std::optional<std::string> Handsets;
  bool All = false;
  // Handset list files merged first; without one of the three above, the
  // handsets of these files are made.
  std::vector<std::string> Lists;
  // The make page.
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
  // The format dialog.
  std::optional<TImageFormat> Format;
  std::optional<int> Quality;
  bool Progressive = false;
  std::optional<int> Colors;
  std::optional<TDitherKind> Dither;
  std::optional<int> PngLevel; // -1 the library's standard level
  bool Interlace = false;
  std::optional<std::uint8_t> Gif;
  std::optional<bool> BestFit; // --fit best; classic when false
  // Saving.
  std::optional<std::string> Out;
  std::optional<std::string> Template;
  bool AllowDuplicates = false;
  bool Html = false;
  std::optional<std::string> HtmlTitle;
  bool Overwrite = false;
  bool DryRun = false;
  // Reporting.
  bool Json = false;
  bool Time = false;
  bool Progress = false;
  bool Quiet = false;

  // True when some option of the format dialog was given.
  bool TouchesFormat() const {
    return Format || Quality || Progressive || Colors || Dither || PngLevel || Interlace || Gif;
  }
};

// The option table of "make".
const TCommand<TMakeArgs>& MakeCommand();

// Checks the combination of the parsed options (one way of choosing
// handsets, a source given). Raises EUsageError.
void CheckMakeArgs(const TMakeArgs& args);

} // namespace mirufo::cli
