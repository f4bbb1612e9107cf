// Inside the layer: where the dialog manager, message boxes, the gesture recognition and pop-up
// menus look for a test's answer before they wait for a person.
#pragma once

#include "platform/testing/test_hooks.h"

namespace platform::testing {

// The installed hooks (empty functions when none is installed).
const DialogResponder& currentDialogResponder();
const MessageBoxResponder& currentMessageBoxResponder();
const GestureResponder& currentGestureResponder();
const PopupMenuResponder& currentPopupMenuResponder();
// Removes the dialog, message-box, gesture and pop-up hooks.
void resetCoreHooks();

}  // namespace platform::testing
