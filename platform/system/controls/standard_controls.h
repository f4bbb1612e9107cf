// The class procedures of the standard controls, registered by registerStandardControls().
#pragma once

#include "platform/system/windows.h"

namespace platform::controls {

LRESULT buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT staticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT comboBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT listBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT listViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform::controls
