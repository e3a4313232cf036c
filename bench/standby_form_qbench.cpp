// The make page with every built-in handset and the sample picture:
//  - how soon the first made boxes appear while the make run goes on;
//  - scrolling through all boxes, page by page, with and without the kept
//    box pictures, in frames a second;
//  - one box's format option changed: remade and redrawn.
// With --shots DIR it also saves pictures of the page (made and unmade
// boxes) and of both dialogs; --hold SECONDS then leaves them on the screen
// for a screen grab. Run it offscreen or on a display.
#include "app/dialogs/calendar_dialog.h"
#include "app/dialogs/format_dialog.h"
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/pages/standby_box_view.h"
#include "app/pages/standby_form.h"
#include "engine/standby_specification.h"
#include "output/tanmatsu_option_list.h"
#include "tools/sample_picture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace mirufo {
namespace {

// Notes when the box view first paints after the first target is made.
class TFirstPaint : public QObject {
public:
  explicit TFirstPaint(TStandbyForm& page) : page_(page) {}
  qint64 FirstMadePaint = -1;
  QElapsedTimer Clock;

protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && FirstMadePaint < 0 && page_.Boxes().MadeCount() > 0)
      FirstMadePaint = Clock.elapsed();
    return false;
  }

private:
  TStandbyForm& page_;
};

double ScrollFramesPerSecond(TStandbyBoxView& view, bool dropPictures, int& frames) {
  QScrollBar* bar = view.verticalScrollBar();
  frames = 0;
  if (dropPictures)
    view.InvalidateAll();
  QElapsedTimer clock;
  clock.start();
  for (int value = 0; value <= bar->maximum(); value += bar->singleStep() * 4) {
    bar->setValue(value);
    view.viewport()->repaint();
    ++frames;
  }
  return frames * 1000.0 / std::max<qint64>(1, clock.elapsed());
}

void Save(QWidget& widget, const std::string& folder, const char* name) {
  const QString path = QString::fromStdString(folder + "/" + name);
  widget.grab().save(path);
  std::printf("saved %s\n", qPrintable(path));
}

int Run(const std::string& shots, int holdSeconds) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  TMirufoProgram program(
      {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"});
  TForm1& form = program.Form();
  TStandbyForm& page = program.StandbyForm();
  form.resize(1000, 740);
  form.ShowPlaced();
  QApplication::processEvents();
  form.SetSourceImage(MakeSamplePicture(1600, 1200));

  TFirstPaint firstPaint(page);
  page.BoxView().viewport()->installEventFilter(&firstPaint);
  firstPaint.Clock.start();
  form.GoToPage(2); // makes every target
  const qint64 makeTime = firstPaint.Clock.elapsed();
  std::printf("targets %d, made %d\n", page.Boxes().Count(), page.Boxes().MadeCount());
  std::printf("make run %lld ms; first made box painted after %lld ms\n",
              static_cast<long long>(makeTime), static_cast<long long>(firstPaint.FirstMadePaint));

  int frames = 0;
  const double cold = ScrollFramesPerSecond(page.BoxView(), true, frames);
  std::printf("scrolling, pictures drawn afresh: %d frames, %.1f frames/s\n", frames, cold);
  const double warm = ScrollFramesPerSecond(page.BoxView(), false, frames);
  std::printf("scrolling, pictures kept:         %d frames, %.1f frames/s\n", frames, warm);

  // One box's format option changed through the format dialog's apply step.
  page.BoxView().verticalScrollBar()->setValue(0);
  page.BoxView().SetSelection({0});
  const auto change = [&page](const char* what, auto edit) {
    QElapsedTimer clock;
    clock.start();
    const std::vector<int> changed = page.Boxes().ApplyFormat([&edit](const TFormatOptions& o) {
      TFormatOptions options = o;
      edit(options);
      return options;
    });
    const qint64 remade = clock.elapsed();
    for (int box : changed)
      page.RedrawBox(box);
    page.BoxView().viewport()->repaint();
    std::printf("one box, %s: remade %lld ms, remade and redrawn %lld ms\n", what,
                static_cast<long long>(remade), static_cast<long long>(clock.elapsed()));
  };
  change("JPEG quality 70", [](TFormatOptions& o) { o.JpegQuality = 70; });
  change("progressive JPEG", [](TFormatOptions& o) { o.Interlace = true; });
  change("PNG8 16 colours", [](TFormatOptions& o) {
    o.Format = ifPNG8;
    o.Bits = 4;
  });
  change("PNG24", [](TFormatOptions& o) { o.Format = ifPNG24; });

  if (!shots.empty()) {
    // Some boxes unmade, with different placements, beside made ones.
    std::vector<int> unmade = {1, 3, 4, 6};
    page.BoxView().SetSelection({3});
    page.actAlignment[haRight]->trigger();
    page.actLayout[vaTop]->trigger();
    page.BoxView().SetSelection({4});
    page.actAlignment[haCenter]->trigger();
    page.actLayout[vaMiddle]->trigger();
    page.actSharp[shHigh]->trigger();
    for (int box : unmade)
      page.Boxes().TargetOf(box)->ReleaseFrom(skFormat);
    page.BoxView().SetSelection({0, 2});
    page.RedrawAll();
    page.UpdateActions();
    QApplication::processEvents();
    Save(form, shots, "make_page.png");

    TFormatDialog format(&form);
    format.LoadOptions(page.Boxes().TargetOf(2)->FormatOptions());
    format.show();
    QApplication::processEvents();
    Save(format, shots, "format_dialog.png");
    format.SetActivePage(fpPNG8);
    QApplication::processEvents();
    Save(format, shots, "format_dialog_png8.png");

    TCalendarDialog calendar(&form);
    calendar.LoadDecorator(form.Session().CalendarDecorator());
    calendar.show();
    QApplication::processEvents();
    Save(calendar, shots, "calendar_dialog.png");
    // Left on the screen for a while, so that a screen grab can see them.
    if (holdSeconds > 0) {
      format.move(form.geometry().topRight() - QPoint(format.width(), -40));
      calendar.move(form.geometry().bottomLeft() - QPoint(-20, calendar.height() + 40));
      QTimer::singleShot(holdSeconds * 1000, qApp, &QApplication::quit);
      return QApplication::exec();
    }
  }
  return 0;
}

} // namespace
} // namespace mirufo

int main(int argc, char** argv) {
  std::string shots;
  int hold = 0;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--shots") == 0)
      shots = argv[i + 1];
    if (std::strcmp(argv[i], "--hold") == 0)
      hold = std::atoi(argv[i + 1]);
  }
  QTemporaryDir home;
  setenv("MIRUFO_HOME", home.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  return mirufo::Run(shots, hold);
}
