// Registration of the standard control classes, and the common-controls initialisation calls
// that programs make before they use a list view.
#include "platform/system/controls/standard_controls.h"

#include "platform/system/commctrl.h"
#include "platform/system/controls/control_support.h"
#include "platform/system/edit_control.h"
#include "platform/system/window_host.h"

namespace platform::widgets {

void registerStandardControls() {
  struct ClassEntry {
    LPCWSTR name;    // class name as programs and dialog templates spell it
    WNDPROC proc;    // its class procedure
  };
  static const ClassEntry kClasses[] = {
      {WC_BUTTON, controls::buttonProc},     {WC_STATIC, controls::staticProc},
      {WC_COMBOBOX, controls::comboBoxProc}, {WC_LISTBOX, controls::listBoxProc},
      {WC_LISTVIEW, controls::listViewProc}, {WC_EDIT, controls::editProc},
  };
  for (const ClassEntry& entry : kClasses) {
    WNDCLASS wc{};
    // Double clicks reach the controls (list box LBN_DBLCLK, list view NM_DBLCLK).
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = entry.proc;
    wc.cbWndExtra = controls::kRecordBytes;
    wc.lpszClassName = entry.name;
    registerSystemClass(wc);
  }
}

}  // namespace platform::widgets

// The classes exist as soon as the layer has started, so both calls only check their argument.
void InitCommonControls() {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (init == nullptr || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  return TRUE;
}
