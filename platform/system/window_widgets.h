// Inside the layer: keeping a window's widget in step with its record (geometry, visibility,
// enabled state, deletion). widget_attachment.cpp implements these; window_manager.cpp calls
// them whenever it changes a record.
#pragma once

#include "platform/system/window_records.h"

namespace platform::widgets {

// Gives a window without a widget the layer's plain surface (painted with the class brush,
// input routed as messages), so that it and its children can be shown.
void ensureWidget(HWND hwnd);
// The widget's geometry from the record's rectangle (device pixels times deviceScale()).
void syncGeometry(windows::WindowRecord& record);
// syncGeometry for every window of the program (the scale changed).
void resyncAllGeometry();
// Shown or hidden as the record says (a child shows only inside a shown parent, as in Qt).
void syncVisibility(windows::WindowRecord& record);
void syncEnabled(windows::WindowRecord& record);
// Puts a top-level window's widget above the others on the device screen.
void raise(windows::WindowRecord& record);
// Asks the desktop to repaint the widget.
void repaint(windows::WindowRecord& record);
// Hides the widget, forgets which window it showed and deletes it once that is safe.
void releaseWidget(windows::WindowRecord& record);
// True while the layer itself is moving widgets (focus changes it causes are not the user's).
bool isPlatformChangingWidgets();
// Gives the desktop focus to the window's widget without reporting it back as a focus change.
void focusWidgetOf(HWND hwnd);

}  // namespace platform::widgets
