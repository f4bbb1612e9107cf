// Inside the layer: how a window record meets the Qt widget that shows it. Control classes and
// the text view use this to put their widget on screen; the application never includes it.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>

#include "platform/system/windows.h"

namespace platform::widgets {

// How desktop input on a window's widget reaches the program.
enum class InputRouting {
  // The layer turns key, mouse, wheel and focus events into the platform's messages
  // (WM_KEYDOWN with virtual-key codes, WM_LBUTTONDOWN/UP, WM_MOUSEMOVE, WM_MOUSEWHEEL,
  // WM_SETFOCUS/WM_KILLFOCUS, WM_HOTKEY for registered keys) sent or posted to the window, and
  // the desktop event itself is consumed. Used by the main window and the text view, whose
  // procedures (and their subclasses) must see every input message.
  Messages,
  // The widget handles input itself (a Qt combo box, list, button); the control's procedure
  // sends its notifications. Focus changes are still reported with WM_SETFOCUS/WM_KILLFOCUS.
  Native,
};

// Shows `hwnd` through `widget`: the layer parents the widget to the parent window's widget
// (or to the device screen for a top-level window), keeps its geometry and visibility in step
// with the window record, and deletes it when the window is destroyed. Call from WM_CREATE.
void attachWidget(HWND hwnd, QWidget* widget, InputRouting routing);
QWidget* widgetOf(HWND hwnd);
// The window that a widget (or its nearest ancestor with a window) shows, or nullptr.
HWND windowOf(const QWidget* widget);
// The device screen: the desktop window that holds every top-level window of the program.
QWidget* deviceScreen();
// The handheld's screen inside it: 480 x 640 device pixels drawn deviceScale() times larger,
// centred in the desktop window. Top-level windows are placed on it and device coordinates
// are taken from it.
QWidget* deviceSurface();

// Text conversions at the boundary.
QString toQString(LPCWSTR text);
QString toQString(LPCWSTR text, int length);
std::u16string toU16(const QString& text);
// Copies `text` into buffer (maxCount units with the terminator); returns units copied.
int copyToBuffer(const QString& text, LPWSTR buffer, int maxCount);

// The desktop font for a logical-font record or font handle (nullptr: the default UI font).
QFont fontFromLogFont(const LOGFONT& logFont);
QFont fontFromHandle(HFONT font);
// The picture of an icon handle from LoadIcon (a null pixmap for anything else).
QPixmap iconPixmap(HICON icon);
// Desktop pixels per device pixel: the device's 12-pixel font is drawn this many times larger.
// Chosen when first asked (QUILLSCOPE_SCALE, else the largest scale up to 1.5 at which the
// whole device screen fits the desktop's available area) and changed when the desktop window
// is resized.
double deviceScale();

// Registers a class whose procedure belongs to the layer (controls, dialogs, text view) so that
// it is found whatever instance a CreateWindowEx call names.
ATOM registerSystemClass(const WNDCLASS& wc);
// Registers the standard controls: BUTTON, STATIC, COMBOBOX, LISTBOX, SysListView32.
void registerStandardControls();

// Map a virtual-key code to/from desktop keys (see the README for the application keys).
WORD virtualKeyFromQtKey(int qtKey);

}  // namespace platform::widgets
