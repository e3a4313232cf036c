// The source image page with a large photograph: opening a 4000 × 3000 JPEG
// until the page has drawn it, and drawing the visible part at 1× and 16×
// while scrolling. Wall-clock times on the offscreen platform, the median of
// several runs. Usage: image_form_qbench [picture.jpg]
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/pages/image_form.h"
#include "app/pages/source_picture_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

// Median wall-clock and processor times in milliseconds; the processor
// time is the steadier figure on a shared machine.
struct TTimes {
  double Wall;
  double Cpu;
};

TTimes MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> walls;
  std::vector<double> cpus;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    const std::clock_t cpu = std::clock();
    timer.start();
    work();
    walls.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    cpus.push_back(static_cast<double>(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
  }
  std::sort(walls.begin(), walls.end());
  std::sort(cpus.begin(), cpus.end());
  return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

// A photograph-like 4000 × 3000 picture: gradients with fine detail, so
// that the JPEG decoder has real work.
QString MakeJpeg(const QTemporaryDir& dir) {
  QImage image(4000, 3000, QImage::Format_RGB888);
  for (int y = 0; y < image.height(); ++y) {
    uchar* row = image.scanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      row[x * 3] = static_cast<uchar>((x / 16 + y / 8) & 0xFF);
      row[x * 3 + 1] = static_cast<uchar>((x * y / 997) & 0xFF);
      row[x * 3 + 2] = static_cast<uchar>((x ^ y) & 0xFF);
    }
  }
  const QString path = dir.filePath("photo.jpg");
  if (!image.save(path, "JPEG", 90))
    return {};
  return path;
}

} // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir home;
  setenv("MIRUFO_HOME", home.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : MakeJpeg(home);
  if (picture.isEmpty()) {
    std::fprintf(stderr, "no JPEG to open\n");
    return 1;
  }
  const std::filesystem::path folder = home.path().toStdString();
  mirufo::TMirufoProgram program(
      {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"});
  program.Form().ShowPlaced();
  program.Form().resize(1024, 768);
  program.Form().GoToPage(1);
  mirufo::TImageForm& page = program.ImageForm();
  mirufo::TSourcePictureView& view = *page.View();
  QApplication::processEvents();

  const TTimes open = MedianMs(5, [&] {
    page.OpenFile(picture.toStdString());
    view.viewport()->repaint();
  });
  std::printf("open %s and draw it: %.1f ms wall, %.1f ms processor (target 500 ms)\n",
              qPrintable(picture), open.Wall, open.Cpu);

  for (int zoom : {1, 16}) {
    while (page.Editor().Zoom() < static_cast<float>(zoom))
      page.actZoomIn->trigger();
    const TTimes paint = MedianMs(20, [&] { view.viewport()->repaint(); });
    int step = 0;
    const TTimes scroll = MedianMs(20, [&] {
      view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->value() + 37 + step++);
      view.viewport()->repaint();
    });
    std::printf("zoom %2d×: redraw %.2f ms (%.2f processor), scroll and redraw %.2f ms (%.2f "
                "processor), viewport %d × %d\n",
                zoom, paint.Wall, paint.Cpu, scroll.Wall, scroll.Cpu, view.viewport()->width(),
                view.viewport()->height());
  }
  return 0;
}
