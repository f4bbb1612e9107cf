// Inside the layer: forgetting everything a program (or a test) created, so that the next one
// starts from a clean layer in the same process.
#pragma once

namespace platform::reset {

// Destroys every window and menu, unregisters the program's classes, hot keys and timers,
// empties the queue (the quit request included), restores the cursor and deletes the widgets
// of destroyed windows. System classes stay registered.
void resetProgramState();

}  // namespace platform::reset
