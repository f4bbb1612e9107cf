// The About dialog: the program's name, icon and its desktop keys.
#pragma once

#include "platform/system/windows.h"

void showAboutDialog(HWND owner, HINSTANCE instance);
