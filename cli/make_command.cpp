// mirufo-cli make: the four pages' work without windows. It reads the same
// files as the desktop program (the catalogue with the user's handsets, the
// make sets, the settings), chooses the handsets, loads the picture, applies
// the options the make page and the format dialog would, makes every target
// and saves through the same save run as the save page, or only checks
// that it could (--dry-run).
#include "catalogue/named_bits_list.h"
#include "cli/cli.h"
#include "cli/cli_save_host.h"
#include "cli/doc_writers.h"
#include "cli/make_options.h"
#include "cli/make_report.h"
#include "engine/calendar_decorator.h"
#include "engine/output_format.h"
#include "engine/standby_image_decorator.h"
#include "import/multi_format_bitmap.h"
#include "output/save_run.h"
#include "output/standby_file_name.h"
#include "output/standby_texts.h"
#include "output/tanmatsu_option_list.h"
#include "platform/arith.h"
#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/interrupt.h"
#include "platform/text_fields.h"
#include "platform/translate.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace mirufo::cli {
namespace {

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

std::vector<bool> TicksForHandsets(const TTanmatsuOptionList& set, const std::string& list,
                                   const std::string& note) {
  std::vector<bool> ticks(set.HandsetCount(), false);
  for (const std::string& item : SplitFields(list, ",")) {
    if (item.empty())
      continue;
    const std::size_t colon = item.find(':');
    const std::string name = item.substr(0, colon);
    std::optional<std::string> screen;
    if (colon != std::string::npos)
      screen = item.substr(colon + 1);
    bool found = false;
    for (std::size_t i = 0; i < set.HandsetCount(); ++i) {
      const TTanmatsuRecord r = set.GetHandset(i);
      if (r.Name == name && (!screen || r.Screen == *screen)) {
        ticks[i] = true;
        found = true;
      }
    }
    if (!found)
      throw EUsageError(Tr("そのような端末はありません: ") + item + note);
  }
  return ticks;
}

// Chooses the handsets: by name, all, or a make set (the named one, else the
// current one the desktop program saved).
void ChooseHandsets(const TMakeArgs& a, TTanmatsuOptionList& set, const TIniFile& ini,
                    const std::filesystem::path& dataFolder, const std::string& note,
                    const std::vector<std::size_t>& listed) {
  if (!a.Lists.empty() && !a.Handsets && !a.All && !a.SetName) {
    std::vector<bool> ticks(set.HandsetCount(), false);
    for (std::size_t index : listed)
      ticks[index] = true;
    set.ApplySelection(ticks);
  } else if (a.Handsets) {
    set.ApplySelection(TicksForHandsets(set, *a.Handsets, note));
  } else if (!a.All) {
    TMakeSets sets(set);
    const TMakeSetsLoadResult loaded = sets.Load(dataFolder / "makeset.txt");
    if (!loaded.FileRead)
      throw EMirufoError(loaded.Message);
    if (a.SetName) {
      const int index = sets.Sets().IndexOf(*a.SetName);
      if (index < 0)
        throw EUsageError(Tr("そのような作成セットはありません: ") + *a.SetName + note);
      sets.SetCurrentIndex(index);
    } else {
      sets.SetCurrentIndex(ini.ReadInteger("TanmatsuList", "SetIndex", 0));
    }
    sets.ApplyCurrent();
  }
  if (set.TargetCount() > 0)
    return;
  if (!a.Handsets && !a.All && !a.SetName)
    throw EUsageError(
        Tr("作る端末が選ばれていません。--all (すべての端末)、--set 名前 (作成セット)、"
           "--handsets 名前,... (端末) のどれかで選んでください"));
  throw EMirufoError(Tr("作成する待受画像がありません"));
}

// Refuses a source that is missing or not a regular file before the loader
// opens it (opening a FIFO would wait for a writer).
void CheckSourceFile(const std::string& source) {
  struct stat info {};
  if (stat(source.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR)
      throw EInOutError(source + Tr(": ファイルが見つかりません"));
    throw EInOutError(source + ": " + std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode))
    throw EInOutError(source + Tr(": 通常のファイルではありません"));
}

void LoadPicture(const std::string& source, TMultiFormatBitmap& picture) {
  CheckSourceFile(source);
  try {
    picture.LoadFromFile(source);
  } catch (const EMirufoError& e) {
    // Some readers' sentences do not say which file they were reading.
    const std::string message = e.what();
    if (message.find(source) != std::string::npos)
      throw;
    throw EMirufoError(source + ": " + message);
  }
  if (!picture.LastMessage().empty())
    throw EMirufoError(source + ": " + picture.LastMessage());
  if (picture.Empty())
    throw EMirufoError(source + ": " + Tr("元画像が用意されていません"));
  picture.SetPixelFormat(pf24bit);
}

// The options, as the make page's commands and the format dialog set them.
void ApplyOptions(const TMakeArgs& a, TStandbyMaker& maker, TStandbyImageDecoratorList& decorators,
                  const std::string& comment, bool copyright, bool bestFit) {
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
    if (a.TouchesFormat())
      options = ReadFormatOptions(a, options);
    options.Comment = comment;
    options.Copyright = copyright;
    options.BestFit = bestFit;
    target.SetFormatOptions(options);
  }
}

// A bar on a terminal, otherwise one line per made target.
void ReportProgress(std::ostream& err, bool terminal, const TStandbyMaker& maker,
                    const TStandbySpecification& target) {
  const int done = maker.Made(), total = maker.ToMake();
  if (!terminal) {
    err << Tr("作成 ") << done << "/" << total << " " << EscapeControls(target.ProgressText())
        << "\n";
    return;
  }
  const int width = 30;
  const int filled = total > 0 ? done * width / total : width;
  err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
      << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << done << "/" << total
      << " " << EscapeControls(target.ProgressText()) << "\x1b[K" << std::flush;
  if (done >= total)
    err << "\n";
}

TMakeReport CollectReport(const TTanmatsuOptionList& set, const TSaveRunOptions& save,
                          const TSaveReport& saved, const std::vector<bool>& existed, bool dryRun) {
  TMakeReport report;
  report.Folder = WithTrailingDelimiter(save.Folder);
  // A real run names the page only when it was written.
  if (save.Html.Save && (dryRun || saved.HtmlWritten))
    report.Html = report.Folder + save.Html.FileName;
  report.HtmlWritten = saved.HtmlWritten;
  std::map<int, std::vector<std::size_t>> members; // save entry -> handsets
  for (std::size_t i = 0; i < set.HandsetCount(); ++i)
    if (set.IsSelected(i) && set.SaveIndexOf(i) >= 0)
      members[set.SaveIndexOf(i)].push_back(i);
  for (int s = 0; s < set.SaveCount(); ++s) {
    TStandbySpecification& target = *set.GetSaveStandby(s);
    const TTanmatsuRecord record = set.GetSaveTanmatsu(s);
    const TFormatOptions& o = target.FormatOptions();
    TReportEntry e;
    e.File = set.FileNameOf(s);
    for (std::size_t i : members[s])
      e.Handsets.push_back({set.GetHandset(i).Name, set.GetHandset(i).Screen});
    e.Width = target.FinalWidth();
    e.Height = target.FinalHeight();
    e.Format = FormatName(o.Format);
    e.Bits = o.Bits;
    if (o.Format == ifJPEG)
      e.Quality = o.JpegQuality;
    else if (o.Bits <= 8 && o.Format != ifBMP2)
      e.Colors = PaletteColors(o, o.Bits);
    e.BestFit = o.BestFit;
    e.Size = target.FileSize();
    e.CacheKB = record.Cache;
    e.CacheBytes = KilobytesToBytes(record.Cache);
    e.Bps = record.Bps;
    e.Status = StatusTexts(target);
    const std::filesystem::path path = report.Folder + e.File;
    e.Written = std::find(saved.Written.begin(), saved.Written.end(), path) != saved.Written.end();
    e.Clash = set.GetFileNameBattings(s);
    e.Exists = static_cast<std::size_t>(s) < existed.size() && existed[static_cast<std::size_t>(s)];
    report.Entries.push_back(std::move(e));
  }
  for (std::size_t i = 0; i < set.HandsetCount(); ++i)
    if (const TStandbySpecification* target = set.TargetOf(i);
        target && !target->MakeError().empty())
      report.Failed.push_back(
          {{set.GetHandset(i).Name, set.GetHandset(i).Screen}, target->MakeError()});
  return report;
}

} // namespace

namespace {

// The make command; json tells whether a JSON report is wanted and reported
// whether it was printed, so that an error on the way still gives one.
int MakeAndSave(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool& json, bool& reported) {
  TMakeArgs a;
  if (!ParseOptions(MakeCommand(), args, a)) {
    WriteCommandHelp(DocOf(MakeCommand()), out);
    reported = true;
    return kExitOk;
  }
  json = a.Json;
  CheckMakeArgs(a);
  // SIGINT, SIGTERM and SIGHUP end the run between two steps: no file is
  // left half written and the report of what was saved is still printed.
  TInterruptGuard interrupts;
  // An empty folder name would save into the root folder.
  if (a.Out && a.Out->empty())
    throw EMirufoError(Tr("保存先のフォルダ名が空です。--out にフォルダを指定してください"));

  const auto started = std::chrono::steady_clock::now();
  const std::filesystem::path dataFolder = DataFolder();
  TTanmatsuOptionList set;
  const std::optional<std::string> unread =
      LoadWorkingSet(set, dataFolder, a.Quiet ? nullptr : &err);
  const std::vector<std::size_t> listed =
      ImportHandsetLists(set, a.Lists, a.Quiet ? nullptr : &err);
  const TIniFile ini = ReadSettings(dataFolder, a.Quiet ? nullptr : &err);

  const std::string comment =
      a.Comment.value_or(ini.ReadString("Standby", "Comment", "powered by ミルフォ"));
  const bool copyright = a.Copyright.value_or(ini.ReadBool("Standby", "KDDICopyright", true));
  const bool bestFit = a.BestFit.value_or(ini.ReadBool("Standby", "BestFit", false));
  TCalendarDecorator calendar;
  calendar.LoadFromIni(ini, "Standby", "Calendar");
  if (a.Calendar)
    calendar.Enabled = *a.Calendar;
  TStandbyImageDecoratorList decorators;
  decorators.Add(&calendar);

  ChooseHandsets(a, set, ini, dataFolder, UnreadDataFolderNote(unread), listed);

  TMultiFormatBitmap picture;
  LoadPicture(a.Source, picture);
  TStandbyMaker& maker = set.Maker();
  // The maker takes the decoded picture over: a large photograph is held once.
  const int sourceWidth = picture.Width(), sourceHeight = picture.Height();
  maker.SetSource(std::move(picture));
  TLookAtPoint lookAt{sourceWidth / 2, sourceHeight / 2};
  if (a.LookAt) {
    if (a.LookAt->X >= sourceWidth || a.LookAt->Y >= sourceHeight)
      throw EUsageError(Tr("--lookat が画像の外です"));
    lookAt = *a.LookAt;
  } else if (a.LookAtAuto) {
    lookAt = maker.SubjectLookAt();
  }
  maker.SetLookAt(lookAt);
  ApplyOptions(a, maker, decorators, comment, copyright, bestFit);

  const bool terminal = isatty(STDERR_FILENO) == 1;
  if (a.Progress || (terminal && !a.Quiet))
    maker.OnMade = [&](TStandbyMaker& sender, TStandbySpecification& target) {
      ReportProgress(err, terminal, sender, target);
    };
  // A handset the picture cannot be made for is reported; the others are
  // made and saved.
  maker.KeepGoing = true;
  // Only the files are saved: the run keeps no pictures it will not read.
  maker.KeepPictures = false;
  maker.ProcessMessages = ThrowIfInterrupted;
  maker.MakeAll();

  // Saving, or checking that the save would go through.
  TSaveRunOptions save;
  save.Folder = a.Out.value_or(".");
  save.Template = a.Template.value_or(ini.ReadString("Save", "FileName", "$tn_$sn3"));
  save.SourceFileName = a.Source;
  save.Html.Save = a.Html;
  save.Html.Title = a.HtmlTitle.value_or(ini.ReadString("Save", "HTML.Title", ""));
  save.Html.WriteGenerator = ini.ReadBool("Save", "HTML.WriteGenerator", true);
  set.BuildSavePlan(a.AllowDuplicates || ini.ReadBool("Save", "AllowDuplicate", false));
  set.MakeFileNames(TStandbyFileName::ParseWithExtension(save.Template), save.SourceFileName);
  std::vector<bool> existed;
  for (int s = 0; s < set.SaveCount(); ++s)
    existed.push_back(PathIsTaken(WithTrailingDelimiter(save.Folder) + set.FileNameOf(s)));

  TCliSaveHost host(err, a.Overwrite);
  save.ReplaceFilesThatAppear = a.Overwrite;
  TSaveReport saved;
  std::optional<std::string> error;
  std::optional<int> interrupted;
  try {
    // The dry run answers with the checks and messages of the real run.
    const TSaveOutcome outcome =
        a.DryRun ? CheckSave(set, save, host) : RunSave(set, save, host, saved);
    if (outcome != TSaveOutcome::Saved)
      error = host.Refusal().value_or(Tr("保存しませんでした"));
  } catch (const EInterrupted& e) {
    error = e.what();
    interrupted = e.ExitStatus();
    err << "mirufo-cli: " << EscapeControls(*error, true) << "\n";
  } catch (const std::exception& e) {
    // The message names the failing file and lists what was written.
    error = e.what();
    err << "mirufo-cli: " << EscapeControls(*error, true) << "\n";
  }

  TMakeReport report = CollectReport(set, save, saved, existed, a.DryRun);
  report.DryRun = a.DryRun;
  report.LookAt = {maker.GetLookAt().X, maker.GetLookAt().Y};
  if (!report.Failed.empty()) {
    for (const TFailedTarget& f : report.Failed)
      err << "mirufo-cli: " << EscapeControls(f.Error, true) << "\n";
    if (!error)
      error = Tr("作成できなかった待受画像があります") + std::string(" (") +
              std::to_string(report.Failed.size()) + Tr(" 個)");
  }
  report.Error = error;
  reported = true;
  if (a.Json)
    WriteJsonReport(report, out);
  else if (!a.Quiet)
    WriteTextReport(report, out);
  if (a.Time && !a.Quiet) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    err << Tr("処理時間: ") << elapsed.count() << "msec\n";
  }
  if (interrupted)
    return *interrupted;
  if (error)
    return kExitError;
  for (int s = 0; s < set.SaveCount(); ++s)
    if (set.GetSaveStandby(s)->IsSizeOver())
      return kExitOverCache;
  return kExitOk;
}

} // namespace

int RunMake(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // Until the options are read, a "--json" anywhere asks for JSON.
  bool json = std::find(args.begin(), args.end(), "--json") != args.end();
  bool reported = false;
  try {
    return MakeAndSave(args, out, err, json, reported);
  } catch (const EInterrupted& e) {
    // Stopped before the save: nothing was written.
    if (json && !reported) {
      TMakeReport report;
      report.Error = e.what();
      WriteJsonReport(report, out);
    }
    err << "mirufo-cli: " << EscapeControls(e.what(), true) << "\n";
    return e.ExitStatus();
  } catch (const std::exception& e) {
    // A script reading the report gets one object that says what failed.
    if (json && !reported) {
      TMakeReport report;
      report.Error = e.what();
      WriteJsonReport(report, out);
    }
    throw;
  }
}

} // namespace mirufo::cli
