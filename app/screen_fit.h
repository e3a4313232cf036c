// Keeps every window of the program on its screen: a window or dialog that
// would open larger than the screen's free area, or partly outside it, is
// made smaller and moved in when it is shown, title bar and buttons within
// reach (a 640 x 480 screen, or a large scale factor).
#pragma once

class QApplication;
class QPoint;
class QWidget;

namespace mirufo {

// The centre of the window that holds widget, in screen coordinates; read
// from the window's area, which is right also before the window system
// has reported the frame.
QPoint WindowCentre(const QWidget* widget);

// Fits the window, with its frame, into the free area of its screen. Before
// the window system has framed the window its frame is estimated.
void FitOnScreen(QWidget* window);

// From now on every window is fitted as it is shown, and once more when the
// window system has put its frame around it.
void FitWindowsOnScreen(QApplication& application);

} // namespace mirufo
