// The desktop's reading keys beside the nine handheld keys: F5 reloads, Ctrl+F finds, Ctrl+G
// and Shift+Ctrl+G find again forward and backward, Ctrl+Shift+O lists the recent documents.
#pragma once

#include "platform/system/windows.h"

struct ViewerState;

// Runs the reading key `virtualKey` (with the modifiers held with it); false when it is not one.
bool runReadingKey(ViewerState& state, WORD virtualKey);
