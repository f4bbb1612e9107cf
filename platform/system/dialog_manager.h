// Inside the layer: the dialog manager's pieces that other services and the tests use.
#pragma once

#include "platform/system/resources.h"
#include "platform/system/windows.h"

namespace platform::dialogs {

// The dialog font's base units in device pixels: the average width of the letters A-Z a-z
// (rounded as the platform does) and the font's cell height. A dialog unit is baseX / 4
// pixels across and baseY / 8 pixels down.
struct BaseUnits {
  int baseX;  // horizontal base unit
  int baseY;  // vertical base unit
};
BaseUnits baseUnitsFor(HFONT font);
// The font that DialogBoxParam creates for a template (face and point size of the template,
// the desktop's default face when it names none). The caller owns the handle.
HFONT createTemplateFont(const DialogTemplate& dialogTemplate);

// Registers the dialog class "#32770" (called once at start-up).
void registerDialogClass();
// How many modal dialog loops are running (nested ones included).
int modalDepth();
// A modeless dialog from a template of the layer's own (the find dialog): created, sent
// WM_INITDIALOG with `initParam` and shown; it lives until DestroyWindow. nullptr on failure.
HWND createModelessDialog(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM initParam);

}  // namespace platform::dialogs
