// The program's entry point in the handheld's shape.
#pragma once

#include "platform/system/windows.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
