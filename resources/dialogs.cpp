// Dialog templates: the About dialog and the View dialog. Coordinates are dialog units; every
// dialog is shown full-screen, so its own size only matters for the controls' layout.
#include <iterator>

#include "resources/resource_ids.h"
#include "resources/resource_tables.h"

namespace {

using platform::DialogItem;

constexpr DWORD kDropDownList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT;

const DialogItem kViewDialogItems[] = {
    {WC_BUTTON, u"FONT", IDC_STATIC, BS_GROUPBOX, 0, 4, 2, 262, 58},
    {WC_STATIC, u"ZOOM (%)", IDC_STATIC, kLabel, 0, 10, 14, 60, 10},
    {WC_COMBOBOX, u"", res::kViewZoomList, kDropDownList, 0, 80, 12, 80, 120},
    {WC_STATIC, u"FONT NAME", IDC_STATIC, kLabel, 0, 10, 30, 250, 10},
    {WC_COMBOBOX, u"", res::kViewFontList, kDropDownList, 0, 10, 41, 250, 120},
    {WC_STATIC, u"ENCODING", IDC_STATIC, kLabel, 0, 4, 66, 262, 10},
    {WC_COMBOBOX, u"", res::kViewEncodingList, kDropDownList, 0, 4, 77, 262, 140},
    {WC_STATIC, u"LINE STYLE", IDC_STATIC, kLabel, 0, 4, 95, 262, 10},
    {WC_COMBOBOX, u"", res::kViewLineStyleList, kDropDownList, 0, 4, 106, 262, 60},
    {WC_BUTTON, u"Default File Dialog", res::kViewSystemDialogCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 4, 122, 200, 12},
    {WC_BUTTON, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 60, 140, 60, 16},
    {WC_BUTTON, u"CANCEL", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 0, 150, 140, 60, 16},
};

const DialogItem kAboutDialogItems[] = {
    {WC_STATIC, u"", res::kAboutIcon, SS_ICON, 0, 6, 6, 20, 20},
    {WC_STATIC, u"Quillscope", IDC_STATIC, kLabel, 0, 32, 8, 230, 10},
    {WC_STATIC, u"A read-only document viewer", IDC_STATIC, kLabel, 0, 32, 18, 230, 10},
    {WC_STATIC,
     u"Keys: the cursor keys, Enter (centre key) and F1, F2, F3, F4 (application keys 1 to 4). "
     u"Hold the pointer still on the text, or press the right button, to copy.",
     res::kAboutKeys, kLabel, 0, 6, 34, 256, 50},
    {WC_BUTTON, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 105, 90, 60, 16},
};

}  // namespace

const platform::DialogTemplate kDialogs[] = {
    {res::kDialogView, u"VIEW DIALOG", WS_POPUP | WS_CAPTION, 0, 0, 270, 160, nullptr, 9,
     kViewDialogItems, std::size(kViewDialogItems)},
    {res::kDialogAbout, u"About Quillscope", WS_POPUP | WS_CAPTION, 0, 0, 270, 110, nullptr, 9,
     kAboutDialogItems, std::size(kAboutDialogItems)},
};
const size_t kDialogCount = std::size(kDialogs);
