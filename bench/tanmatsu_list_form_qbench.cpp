// The handset page with thousands of user handsets: a header click that sorts
// every row, and the page's redraw after a batch of ticks (tree, list, tabs,
// status), each followed by a full repaint. Prints the median of several runs
// in milliseconds. Runs offscreen unless a display is asked for.
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/pages/tanmatsu_list_form.h"
#include "app/pages/tanmatsu_list_view.h"
#include "app/pages/tanmatsu_tree_view.h"
#include "output/tanmatsu_option_list.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using namespace mirufo;

constexpr int kUserHandsets = 5000;
constexpr int kRuns = 9;

double MedianMs(const std::function<void()>& prepare, const std::function<void()>& measured) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    prepare();
    QElapsedTimer timer;
    timer.start();
    measured();
    times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void WriteUserList(const std::filesystem::path& path) {
  TTanmatsuList list;
  for (int i = 0; i < kUserHandsets; ++i) {
    TTanmatsuRecord r;
    r.Carrier = crUser;
    r.SetName("User" + std::to_string((i * 7919) % kUserHandsets));
    r.Format = ifJPEG;
    r.SupportFormats = {ifJPEG};
    r.Width = static_cast<std::uint16_t>(96 + (i * 37) % 400);
    r.Height = static_cast<std::uint16_t>(96 + (i * 53) % 400);
    r.Bit = 16;
    r.Cache = static_cast<float>(i % 50);
    r.Bps = 384000;
    list.Add(r);
  }
  list.SaveToFile(path);
}

} // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir home;
  setenv("MIRUFO_HOME", home.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  const std::filesystem::path folder = home.path().toStdString();
  const TUserFilePaths paths{folder / "mirufo.ini", folder / "tanmatsu_user.lst",
                             folder / "makeset.txt"};
  WriteUserList(paths.HandsetList);

  QElapsedTimer start;
  start.start();
  TMirufoProgram program(paths);
  program.Form().resize(1000, 700);
  program.Form().ShowPlaced();
  QApplication::processEvents();
  std::printf("start-up with the page shown and its set applied: %.2f ms\n",
              static_cast<double>(start.nsecsElapsed()) / 1e6);
  TTanmatsuListForm& page = program.TanmatsuListForm();
  TTanmatsuOptionList& set = program.Form().Session().WorkingSet();
  auto repaint = [&] {
    page.ListView()->viewport()->repaint();
    page.TreeView()->viewport()->repaint();
  };
  std::printf("rows listed: %zu\n", page.Listed().size());

  const double sort = MedianMs([] {},
                               [&] {
                                 page.SortByColumn(6);
                                 repaint();
                               });
  std::printf("header click, sort and repaint of %zu rows: %.2f ms\n", page.Listed().size(), sort);

  const double byName = MedianMs([] {},
                                 [&] {
                                   page.SortByColumn(1);
                                   repaint();
                                 });
  std::printf("header click by name, sort and repaint: %.2f ms\n", byName);

  // The page's own share of a batch: what it does when the batch ends.
  const double redraw = MedianMs([&] { page.actCheckAll->trigger(); },
                                 [&] {
                                   page.SelectionUpdated();
                                   repaint();
                                 });
  std::printf("page redraw after a batch tick (tree, list, tabs, status): %.2f ms\n", redraw);

  // The whole batch through the working set: every target created or deleted.
  const double untick = MedianMs([&] { page.actCheckAll->trigger(); },
                                 [&] {
                                   page.actUncheckAll->trigger();
                                   repaint();
                                 });
  const double tick = MedianMs([&] { page.actUncheckAll->trigger(); },
                               [&] {
                                 page.actCheckAll->trigger();
                                 repaint();
                               });
  std::printf("untick all %zu handsets, whole batch with targets: %.2f ms\n", set.HandsetCount(),
              untick);
  std::printf("tick all %zu handsets, whole batch with targets: %.2f ms\n", set.HandsetCount(),
              tick);

  const double one = MedianMs([] {},
                              [&] {
                                page.ClickTick(3, false);
                                repaint();
                              });
  std::printf("one tick click and repaint: %.2f ms\n", one);
  return 0;
}
