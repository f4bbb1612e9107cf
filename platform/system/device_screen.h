// Inside the layer: the device screen, the one desktop window that shows the handheld's screen
// (480 x 640 device pixels, drawn deviceScale() times larger, centred in the window, which the
// user may resize or maximise): the shell's top bar with the foreground window's title and,
// for a full-screen dialog, its Done button; below it every top-level window of the program.
#pragma once

#include <functional>

#include "platform/system/screen_metrics.h"
#include "platform/system/windows.h"

#include <string>

class QWidget;

namespace platform::widgets {

// Shows the desktop window (once the program shows its first window).
void showDeviceScreen();
// Minimises the desktop window (the program's "go to the background").
void minimiseDeviceScreen();
// Restores, raises and activates the desktop window (bringing the program forward).
void bringDeviceScreenForward();
bool isDeviceScreenMinimised();
// Redraws the top bar: the title of the active window and the Done button of a dialog that
// asked for one.
void refreshTopBar();
// Whether the top bar shows a Done button for `dialog` while it is the active window.
void setDoneButton(HWND dialog, bool shown);
// The desktop window's own title, the one the desktop's task bar and window frame show. The
// program sets it with SetWindowText(GetDesktopWindow(), ...); the handheld screen's top bar
// keeps showing the active window's text.
void setDesktopTitle(LPCWSTR title);
std::u16string desktopTitle();
// The rectangle, in device pixels, of a widget of the device screen (for tests).
RECT deviceRectOf(const QWidget* widget);

// The default scale for a desktop whose available area (work area: the screen without its
// panels) is width x height desktop pixels: the largest, up to 1.5, at which the whole device
// screen and the window's frame fit; never below 0.5.
double fittingScale(int availableWidth, int availableHeight);
// Draws the device screen `scale` times larger from now on (clamped to 0.5 .. 4): every
// window's widget is placed and every font the layer sized is sized again; the scale
// observers are told. The program's coordinates do not change.
void setDeviceScale(double scale);
// Called after every change of the scale (the text view lays its text out again).
void addScaleObserver(std::function<void()> observer);
// Records that `widget`'s font (pixel-sized) is device pixels times the scale, so that it is
// sized again when the scale changes.
void keepFontScaled(QWidget* widget);

}  // namespace platform::widgets
