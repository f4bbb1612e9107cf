// Inside the layer: the state of the program's cursor.
#pragma once

namespace platform::cursors {

// Whether the desktop's busy cursor is shown for the program (IDC_WAIT set).
bool isWaitCursorShown();
// Puts the desktop's own cursor back (at the end of a test or a program).
void restoreCursor();

}  // namespace platform::cursors
