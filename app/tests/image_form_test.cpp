// The source image page as a user meets it: opening (and a file that cannot
// be read), undo, selecting with the mouse and cropping, the recent files,
// zoom limits, the brightness dialog, drag and drop, the clipboard, a tone
// command reaching the maker, and the look-at point found on the subject.
#include "app/dialogs/brightness_contrast_dialog.h"
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app/pages/image_form.h"
#include "app/pages/source_picture_view.h"
#include "app_test_support.h"
#include "imaging/tone.h"
#include "output/tanmatsu_option_list.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "tests/support/test_picture.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QUrl>

namespace mirufo {
namespace {

TUserFilePaths PathsIn(const QTemporaryDir& dir) {
  const std::filesystem::path folder = dir.path().toStdString();
  return {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"};
}

// A picture whose pixels all differ, saved as a PNG file.
QImage Gradient(int width = 40, int height = 30) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixelColor(x, y, QColor(x * 6 % 256, y * 8 % 256, (200 + x + y) % 256));
  return image;
}

std::string SavePicture(const QTemporaryDir& dir, const char* name,
                        const QImage& image = Gradient()) {
  const QString path = dir.filePath(QString::fromUtf8(name));
  image.save(path, "PNG");
  return path.toStdString();
}

// The program with the source image page current and its window shown.
struct TPageFixture {
  QTemporaryDir dir;
  test::TMessageRecorder messages;
  TMirufoProgram program;
  TImageForm& page = program.ImageForm();
  TSourcePictureView& view = *page.View();

  // The user's files in the fixture's folder unless given.
  explicit TPageFixture(std::optional<TUserFilePaths> paths = std::nullopt)
      : program(paths ? *paths : PathsIn(dir)) {
    program.Form().ShowPlaced();
    program.Form().resize(640, 480);
    program.Form().GoToPage(1);
  }
  // Sends a mouse event straight to the picture area.
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(view.viewport(), &event);
  }
  // The viewport point at the middle of a picture pixel.
  QPoint PointOf(int x, int y) const {
    const int zoom = static_cast<int>(page.Editor().Zoom());
    const TSourceViewLayout& l = view.Layout();
    return {l.OffsetX - view.horizontalScrollBar()->value() + x * zoom + zoom / 2,
            l.OffsetY - view.verticalScrollBar()->value() + y * zoom + zoom / 2};
  }
  void Click(int x, int y) {
    Mouse(QEvent::MouseButtonPress, PointOf(x, y), Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, PointOf(x, y), Qt::NoButton);
  }
  void Trigger(QAction* action) {
    page.UpdateActions();
    QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    action->trigger();
  }
  std::string Status() const { return program.Form().StatusText(); }
};

QImage ToQImage(const TBitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB888);
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor c = bitmap.GetPixel(x, y);
      image.setPixelColor(x, y, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  return image;
}

TBitmap FromQImage(const QImage& image) {
  TBitmap bitmap(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      bitmap.SetPixel(x, y, RGB(c.red(), c.green(), c.blue()));
    }
  return bitmap;
}

} // namespace

class TImageFormTest : public QObject {
  Q_OBJECT

private slots:
  void openingAndAFileThatCannotBeRead() {
    TPageFixture f;
    QCOMPARE(f.Status(), std::string("no image"));
    QVERIFY(!f.program.Form().NextButton()->isEnabled());
    const std::string path = SavePicture(f.dir, "写真.png");
    f.page.Editor().ZoomIn();
    f.page.OpenFile(path);
    QCOMPARE(f.page.Editor().Zoom(), 1.0f);
    QVERIFY(!f.page.Editor().HasSelection());
    QCOMPARE(f.program.Form().Session().LookAtPoint(), (TLookAtPoint{20, 15}));
    QCOMPARE(f.Status(), std::string("写真.png @ 100%"));
    QVERIFY(f.program.Form().NextButton()->isEnabled());
    QVERIFY(f.program.Form().Session().SourceBitmap().SamePixels(FromQImage(Gradient())));

    // A broken file through the open command: the error is shown and
    // nothing changes, the source file name included.
    f.Click(3, 3);
    const std::string broken =
        (std::filesystem::path(f.dir.path().toStdString()) / "bad.jpg").string();
    test::WriteFile(broken, "not a picture");
    std::string askedFolder;
    std::string askedFilter;
    f.page.AskFileName = [&](const std::string& folder, const std::string& filter) {
      askedFolder = folder;
      askedFilter = filter;
      return broken;
    };
    f.Trigger(f.page.actOpen);
    QCOMPARE(askedFolder, f.dir.path().toStdString());
    QVERIFY(askedFilter.starts_with("使用可能ファイル"));
    QCOMPARE(f.messages.Messages.size(), std::size_t{1});
    QCOMPARE(f.messages.Messages[0].Kind, std::optional<TMsgDlgType>(mtError));
    QVERIFY(f.messages.Messages[0].Text.starts_with(broken));
    // A reader whose message does not name the file gets the name added.
    const std::string gif = (std::filesystem::path(f.dir.path().toStdString()) / "x.gif").string();
    test::WriteFile(gif, "GIF89a");
    std::string reason;
    try {
      f.page.OpenFile(gif);
    } catch (const EMirufoError& e) {
      reason = e.what();
    }
    QCOMPARE(reason, gif + "\nSusie Plugins could not decode");
    QCOMPARE(f.program.Form().Session().SourceFileName(), path);
    QVERIFY(f.page.Editor().Picture().SamePixels(FromQImage(Gradient())));
    QCOMPARE(f.page.Editor().Selection(), (TRect{3, 3, 4, 4}));
    QCOMPARE(f.page.RecentFiles().Items(), std::vector<std::string>{path});
    // Cancelling the dialog ends the command.
    f.page.AskFileName = [](const std::string&, const std::string&) { return std::string(); };
    f.Trigger(f.page.actOpen);
    QCOMPARE(f.program.Form().Session().SourceFileName(), path);
  }

  void undoAfterRotationIsOneLevel() {
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png"));
    f.page.UpdateActions();
    QVERIFY(!f.page.actUndo->isEnabled());
    f.Trigger(f.page.actRotate90);
    QCOMPARE(f.page.Editor().Picture().Width(), 30);
    f.Trigger(f.page.actUndo);
    QVERIFY(f.page.Editor().Picture().SamePixels(FromQImage(Gradient())));
    f.page.UpdateActions();
    QVERIFY(!f.page.actUndo->isEnabled());
  }

  void selectingWithTheMouseAndCropping_data() {
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to"); // in viewport points beyond the picture when negative
    QTest::addColumn<QRect>("expected");
    QTest::newRow("one pixel") << 1 << QPoint(7, 5) << QPoint(7, 5) << QRect(7, 5, 1, 1);
    QTest::newRow("past the right and bottom edges")
        << 1 << QPoint(0, 0) << QPoint(-1, -1) << QRect(0, 0, 40, 30);
    QTest::newRow("zoomed, past the edges with scrolling")
        << 16 << QPoint(0, 0) << QPoint(-1, -1) << QRect(0, 0, 40, 30);
  }
  void selectingWithTheMouseAndCropping() {
    QFETCH(int, zoom);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRect, expected);
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png"));
    while (f.page.Editor().Zoom() < zoom)
      f.Trigger(f.page.actZoomIn);
    f.Mouse(QEvent::MouseButtonPress, f.PointOf(from.x(), from.y()), Qt::LeftButton);
    const QPoint end =
        to.x() < 0 ? QPoint(f.view.viewport()->width() + 200, f.view.viewport()->height() + 200)
                   : f.PointOf(to.x(), to.y());
    f.Mouse(QEvent::MouseMove, end, Qt::LeftButton);
    QCOMPARE(f.view.ScrollTimer()->isActive(), to.x() < 0);
    if (zoom > 1) {
      // The timer scrolls toward the cursor until the picture's end shows.
      QTRY_COMPARE_WITH_TIMEOUT(f.view.horizontalScrollBar()->value(),
                                f.view.horizontalScrollBar()->maximum(), 10000);
      QTRY_COMPARE_WITH_TIMEOUT(f.view.verticalScrollBar()->value(),
                                f.view.verticalScrollBar()->maximum(), 10000);
    }
    QVERIFY(f.Status().starts_with("開始:"));
    f.Mouse(QEvent::MouseButtonRelease, end, Qt::NoButton);
    QVERIFY(!f.view.ScrollTimer()->isActive());
    QVERIFY(f.Status().starts_with("a.png @ "));
    const TRect s = f.page.Editor().Selection();
    QCOMPARE(QRect(s.Left, s.Top, s.Width(), s.Height()), expected);
    f.Trigger(f.page.actCrop);
    QCOMPARE(f.page.Editor().Picture().Width(), expected.width());
    QCOMPARE(f.page.Editor().Picture().Height(), expected.height());
    QCOMPARE(f.page.Editor().Picture().GetPixel(0, 0),
             FromQImage(Gradient()).GetPixel(expected.x(), expected.y()));
    QVERIFY(f.program.Form().Session().SourceBitmap().SamePixels(f.page.Editor().Picture()));
  }

  void lookAtWithCtrlClickAndDoubleClick() {
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png"));
    f.Mouse(QEvent::MouseButtonPress, f.PointOf(5, 6), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(f.program.Form().Session().LookAtPoint(), (TLookAtPoint{5, 6}));
    QVERIFY(!f.page.Editor().HasSelection());
    f.Mouse(QEvent::MouseButtonDblClick, f.PointOf(9, 2), Qt::LeftButton);
    QCOMPARE(f.program.Form().Session().LookAtPoint(), (TLookAtPoint{9, 2}));
  }

  void recentFilesOrderSettingsAndAMissingFile() {
    QTemporaryDir dir;
    std::vector<std::string> paths;
    for (const char* name : {"1.png", "2.png", "3.png", "4.png"})
      paths.push_back(SavePicture(dir, name));
    {
      TPageFixture f(PathsIn(dir));
      for (auto it = paths.rbegin(); it != paths.rend(); ++it)
        f.page.OpenFile(*it);
      // Third of four: third, second, first, fourth.
      f.page.mnuRecentFile[2]->trigger();
      QCOMPARE(f.page.RecentFiles().Items(),
               (std::vector<std::string>{paths[2], paths[1], paths[0], paths[3]}));
      QCOMPARE(f.program.Form().Session().SourceFileName(), paths[2]);
      QVERIFY(f.page.mnuRecentFile[3]->isVisible());
      QVERIFY(!f.page.mnuRecentFile[4]->isVisible());
      QVERIFY(f.page.mnuRecentFile[0]->text().startsWith("&1 "));

      std::filesystem::remove(paths[1]);
      f.page.mnuRecentFile[1]->trigger();
      QCOMPARE(f.messages.Messages.size(), std::size_t{1});
      QCOMPARE(QString::fromStdString(f.messages.Messages[0].Text),
               QString::fromStdString("ファイルが見つかりません。\n" + paths[1]));
      QCOMPARE(f.messages.Messages[0].Plan.Buttons.at(0).Caption,
               std::string("ちゃんと探したのかよ？"));
      QCOMPARE(f.page.RecentFiles().Count(), std::size_t{3});
      QVERIFY(!f.page.mnuRecentFile[3]->isVisible());
    }
    // Written at the end, and read by the next run.
    const TIniFile ini(PathsIn(dir).Settings);
    QCOMPARE(ini.ReadString("SourceImage", "RecentFiles.Count", ""), std::string("3"));
    QCOMPARE(ini.ReadString("SourceImage", "RecentFiles.Items[2]", ""), paths[3]);
    TPageFixture again(PathsIn(dir));
    QCOMPARE(again.page.RecentFiles().Items(),
             (std::vector<std::string>{paths[2], paths[0], paths[3]}));
  }

  void zoomLimitsKeysAndWheel() {
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png"));
    f.page.UpdateActions();
    QVERIFY(!f.page.actZoomOut->isEnabled());
    QVERIFY(!f.page.actActualPixels->isEnabled());
    QVERIFY(f.page.actZoomIn->isEnabled());
    for (int i = 0; i < 20; ++i) {
      bool handled = false;
      f.page.MouseWheel(nullptr, Qt::NoModifier, handled, {}, 120);
      QVERIFY(handled);
    }
    QCOMPARE(f.page.Editor().Zoom(), 16.0f);
    f.page.UpdateActions();
    QVERIFY(!f.page.actZoomIn->isEnabled());
    QCOMPARE(f.Status(), std::string("a.png @ 1600%"));
    QVERIFY(f.view.horizontalScrollBar()->isVisible());
    QCOMPARE(f.view.horizontalScrollBar()->maximum(), f.view.Layout().MaxX);
    bool handled = false;
    f.page.MouseWheel(nullptr, Qt::NoModifier, handled, {}, -120);
    QCOMPARE(f.page.Editor().Zoom(), 15.0f);
    f.Trigger(f.page.actActualPixels);
    QCOMPARE(f.page.Editor().Zoom(), 1.0f);
    QVERIFY(!f.view.horizontalScrollBar()->isVisible());
  }

  // A picture larger than the view opens with its look-at point (the
  // centre) in the middle of the view; a small one stays centred whole.
  void aLargePictureOpensAtItsLookAtPoint() {
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "large.png", Gradient(2001, 1501)));
    QVERIFY(f.view.horizontalScrollBar()->isVisible() && f.view.verticalScrollBar()->isVisible());
    const QPoint middle = f.view.viewport()->rect().center();
    QVERIFY((f.PointOf(1000, 750) - middle).manhattanLength() <= 2);
    QVERIFY(std::abs(f.view.PixelAt(middle).X - 1000) <= 1);
    f.page.OpenFile(SavePicture(f.dir, "small.png"));
    QCOMPARE(f.view.horizontalScrollBar()->value(), 0);
  }

  // The wheel zooms around the pixel under the pointer, also when the
  // picture already scrolls; with Shift, and over a scroll bar, it scrolls.
  void theWheelZoomsAroundThePointer() {
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png", Gradient(200, 160)));
    for (int i = 0; i < 5; ++i)
      f.Trigger(f.page.actZoomIn); // 600 %: it scrolls
    const QPoint at = f.PointOf(30, 20);
    const QPoint global = f.view.viewport()->mapToGlobal(at);
    bool handled = false;
    f.page.MouseWheel(f.view.viewport(), Qt::NoModifier, handled, global, 120);
    QVERIFY(handled);
    QCOMPARE(f.page.Editor().Zoom(), 7.0f);
    QCOMPARE(f.view.PixelAt(at).X, 30);
    QCOMPARE(f.view.PixelAt(at).Y, 20);
    f.page.MouseWheel(f.view.viewport(), Qt::NoModifier, handled, global, -120);
    QCOMPARE(f.page.Editor().Zoom(), 6.0f);
    QCOMPARE(f.view.PixelAt(at).X, 30);
    QScrollBar* bar = f.view.horizontalScrollBar();
    const int before = bar->value();
    f.page.MouseWheel(f.view.viewport(), Qt::ShiftModifier, handled, global, -120);
    QVERIFY(bar->value() > before);
    QCOMPARE(f.page.Editor().Zoom(), 6.0f);
    handled = false;
    f.page.MouseWheel(f.view.verticalScrollBar(), Qt::NoModifier, handled, global, 120);
    QVERIFY(!handled); // the bar scrolls itself
    QCOMPARE(f.page.Editor().Zoom(), 6.0f);
  }

  void handScrollingWithTheSpaceBar() {
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png", Gradient(100, 80)));
    for (int i = 0; i < 15; ++i)
      f.Trigger(f.page.actZoomIn);
    QScrollBar* bar = f.view.horizontalScrollBar();
    bar->setValue(100);
    QTest::keyPress(f.view.viewport(), Qt::Key_Space);
    QVERIFY(f.view.SpaceHeld());
    f.Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    f.Mouse(QEvent::MouseMove, {61, 50}, Qt::LeftButton);
    QCOMPARE(bar->value(), 100 + 11 * 16 / 2);
    QVERIFY(!f.page.Editor().HasSelection());
    f.Mouse(QEvent::MouseButtonRelease, {61, 50}, Qt::NoButton);
    QTest::keyRelease(f.view.viewport(), Qt::Key_Space);
    QVERIFY(!f.view.SpaceHeld());
    f.Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    QVERIFY(f.page.Editor().Selecting());
  }

  void zoomKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<float>("zoom");
    QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << int(Qt::ControlModifier) << 3.0f;
    QTest::newRow("Ctrl++") << int(Qt::Key_Plus) << int(Qt::ControlModifier) << 3.0f;
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << int(Qt::ControlModifier | Qt::KeypadModifier)
                              << 3.0f;
    QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << int(Qt::ControlModifier) << 1.0f;
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << int(Qt::ControlModifier | Qt::KeypadModifier)
                              << 1.0f;
    QTest::newRow("Ctrl+Alt+0") << int(Qt::Key_0) << int(Qt::ControlModifier | Qt::AltModifier)
                                << 1.0f;
  }
  void zoomKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(float, zoom);
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png"));
    f.Trigger(f.page.actZoomIn);
    f.program.Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.program.Form()));
    f.page.UpdateActions();
    QTest::keyClick(f.view.viewport(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.page.Editor().Zoom(), zoom);
  }

  void brightnessDialogPreviewsCancelsAndApplies_data() {
    QTest::addColumn<bool>("accept");
    QTest::newRow("cancel") << false;
    QTest::newRow("OK") << true;
  }
  void brightnessDialogPreviewsCancelsAndApplies() {
    QFETCH(bool, accept);
    TPageFixture f;
    f.page.OpenFile(SavePicture(f.dir, "a.png"));
    f.Trigger(f.page.actSepia);
    const TBitmap sepia = f.page.Editor().Picture();
    const TBitmap undo = f.page.Editor().UndoPicture();
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TBrightnessContrastDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      sawDialog = true;
      QCOMPARE(dialog->windowTitle(), QString("明るさ／コントラスト"));
      QCOMPARE(dialog->scrBrightness->pageStep(), 10);
      dialog->scrBrightness->setValue(100);
      dialog->scrContrast->setValue(-100);
      if (accept)
        dialog->accept();
      else
        dialog->reject();
    });
    f.Trigger(f.page.actBrightnessContrast);
    QVERIFY(sawDialog);
    if (accept) {
      QCOMPARE(f.page.Editor().Picture().GetPixel(0, 0), RGB(228, 228, 228));
      QVERIFY(f.page.Editor().UndoPicture().SamePixels(sepia));
    } else {
      QVERIFY(f.page.Editor().Picture().SamePixels(sepia));
      QVERIFY(f.page.Editor().UndoPicture().SamePixels(undo));
      QVERIFY(f.program.Form().Session().SourceBitmap().SamePixels(sepia));
    }
  }

  void sepiaReachesTheMadeImages() {
    TPageFixture f;
    f.program.Form().ApplySelection(std::vector<bool>(2, true));
    f.page.OpenFile(SavePicture(f.dir, "a.png"));
    f.Trigger(f.page.actSepia);
    QVERIFY(f.program.Form().NextButton()->isEnabled());
    f.program.Form().actNext->trigger();
    QCOMPARE(f.program.Form().SheetManager().Current(), 2);
    TBitmap sepia = FromQImage(Gradient());
    QVERIFY(ApplySepia(sepia, {}));
    QVERIFY(f.program.Form().Session().SourceBitmap().SamePixels(sepia));
    const TTanmatsuOptionList& set = f.program.Form().Session().WorkingSet();
    QCOMPARE(set.CompletedCount(), set.TargetCount());
    QVERIFY(set.TargetCount() > 0);
  }

  void lookAtFoundByTheCommandAndOnOpeningWithTheOption() {
    QTemporaryDir dir;
    const TRect patch{150, 20, 210, 80};
    const std::string path =
        SavePicture(dir, "photo.png", ToQImage(test::SharpSubjectPicture(240, 180, patch)));
    auto onPatch = [&](const TPageFixture& f) {
      const TLookAtPoint p = f.program.Form().Session().LookAtPoint();
      return p.X >= patch.Left && p.X < patch.Right && p.Y >= patch.Top && p.Y < patch.Bottom;
    };
    {
      TPageFixture f(PathsIn(dir));
      f.page.UpdateActions();
      QVERIFY(!f.page.actAutoLookAt->isEnabled());
      QVERIFY(!f.page.actAutoLookAtOnOpen->isChecked());
      QVERIFY(f.page.PopupMenu()->actions().contains(f.page.actAutoLookAt));
      QVERIFY(f.page.GetPageMenu()[2]->actions().contains(f.page.actAutoLookAtOnOpen));
      f.program.Form().ApplySelection(std::vector<bool>(2, true));
      f.page.OpenFile(path);
      QCOMPARE(f.program.Form().Session().LookAtPoint(), (TLookAtPoint{120, 90}));
      // Made images are made again from the new point.
      f.program.Form().actNext->trigger();
      const TTanmatsuOptionList& set = f.program.Form().Session().WorkingSet();
      QCOMPARE(set.CompletedCount(), set.TargetCount());
      f.program.Form().actBack->trigger();
      f.Trigger(f.page.actAutoLookAt);
      QVERIFY(onPatch(f));
      QCOMPARE(set.CompletedCount(), 0);

      f.Trigger(f.page.actAutoLookAtOnOpen);
      f.page.UpdateActions();
      QVERIFY(f.page.actAutoLookAtOnOpen->isChecked());
      f.Mouse(QEvent::MouseButtonPress, f.PointOf(3, 4), Qt::LeftButton, Qt::ControlModifier);
      f.page.OpenFile(path);
      QVERIFY(onPatch(f));
    }
    // The option is kept for the next run.
    QCOMPARE(TIniFile(PathsIn(dir).Settings).ReadString("SourceImage", "AutoLookAtOnOpen", ""),
             std::string("1"));
    TPageFixture again(PathsIn(dir));
    again.page.UpdateActions();
    QVERIFY(again.page.actAutoLookAtOnOpen->isChecked());
    again.page.OpenFile(path);
    QVERIFY(onPatch(again));
  }

  void droppingAFileOpensTheFirst() {
    TPageFixture f;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(SavePicture(f.dir, "drop.png"))),
                  QUrl::fromLocalFile(QString::fromStdString(SavePicture(f.dir, "second.png")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f.page, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f.page, &drop);
    QCOMPARE(std::filesystem::path(f.program.Form().Session().SourceFileName()).filename(),
             std::filesystem::path("drop.png"));
    QCOMPARE(f.page.RecentFiles().Count(), std::size_t{1});
    QCOMPARE(f.page.Editor().Picture().Width(), 40);
  }

  void pasteAndCopy() {
    TPageFixture f;
    QApplication::clipboard()->setImage(Gradient(12, 9));
    f.Trigger(f.page.actPaste);
    QCOMPARE(f.program.Form().Session().SourceFileName(), std::string("クリップボード"));
    QVERIFY(f.page.Editor().Picture().SamePixels(FromQImage(Gradient(12, 9))));
    QVERIFY(!f.page.Editor().CanUndo());
    QCOMPARE(f.Status(), std::string("クリップボード @ 100%"));
    f.page.UpdateActions();
    QVERIFY(!f.page.actCopy->isEnabled());
    f.Click(2, 3);
    f.Trigger(f.page.actCopy);
    const QImage copied = QApplication::clipboard()->image();
    QCOMPARE(copied.size(), QSize(1, 1));
    QCOMPARE(copied.pixelColor(0, 0), Gradient(12, 9).pixelColor(2, 3));
    f.Trigger(f.page.actCopyAll);
    QCOMPARE(QApplication::clipboard()->image().size(), QSize(12, 9));
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TImageFormTest)
#include "image_form_test.moc"
