// Dialog templates: the About dialog, the View dialog, the Key dialog, OPEN FILE and EXTENSIONS. Coordinates are dialog units; every
// dialog is shown full-screen, so its own size only matters for the controls' layout.
#include <iterator>

#include <quillscope_version.h>

#include "platform/system/commctrl.h"
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

// The check box on top; the application keys in their group, the inner two above and the outer
// two below on the outer sides, as the keys sit on the handheld; the cursor keys as a cross
// below, CENTER last.
const DialogItem kKeyDialogItems[] = {
    {WC_BUTTON, u"Enable Application Key", res::kKeyAppKeysCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 4, 2, 200, 12},
    {WC_BUTTON, u"APPLICATION KEY", res::kKeyAppKeysGroup, BS_GROUPBOX, 0, 4, 16, 262, 66},
    {WC_STATIC, u"IN LEFT", IDC_STATIC, kLabel, 0, 44, 26, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyInLeftList, kDropDownList, 0, 44, 36, 88, 120},
    {WC_STATIC, u"IN RIGHT", IDC_STATIC, kLabel, 0, 138, 26, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyInRightList, kDropDownList, 0, 138, 36, 88, 120},
    {WC_STATIC, u"OUT LEFT", IDC_STATIC, kLabel, 0, 10, 52, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyOutLeftList, kDropDownList, 0, 10, 62, 88, 120},
    {WC_STATIC, u"OUT RIGHT", IDC_STATIC, kLabel, 0, 172, 52, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyOutRightList, kDropDownList, 0, 172, 62, 88, 120},
    {WC_STATIC, u"UP", IDC_STATIC, kLabel, 0, 91, 86, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyUpList, kDropDownList, 0, 91, 96, 88, 120},
    {WC_STATIC, u"LEFT", IDC_STATIC, kLabel, 0, 4, 110, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyLeftList, kDropDownList, 0, 4, 120, 88, 120},
    {WC_STATIC, u"RIGHT", IDC_STATIC, kLabel, 0, 178, 110, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyRightList, kDropDownList, 0, 178, 120, 88, 120},
    {WC_STATIC, u"DOWN", IDC_STATIC, kLabel, 0, 91, 134, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyDownList, kDropDownList, 0, 91, 144, 88, 120},
    {WC_STATIC, u"CENTER", IDC_STATIC, kLabel, 0, 91, 160, 88, 10},
    {WC_COMBOBOX, u"", res::kKeyCenterList, kDropDownList, 0, 91, 170, 88, 120},
    {WC_BUTTON, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 60, 190, 60, 16},
    {WC_BUTTON, u"CANCEL", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 0, 150, 190, 60, 16},
};

// The directory list also passes its keys to the dialog (LBS_WANTKEYBOARDINPUT), so that on the
// desktop the arrow keys move through it without entering a folder.
const DialogItem kOpenFileDialogItems[] = {
    {WC_STATIC, u"OPEN FILE", IDC_STATIC, kLabel, 0, 2, 2, 100, 10},
    {WC_COMBOBOX, u"", res::kOpenFilterList, kDropDownList, 0, 2, 13, 120, 70},
    {WC_STATIC, u"DIRECTORY", IDC_STATIC, kLabel, 0, 2, 25, 40, 10},
    {WC_STATIC, u"DirName", res::kOpenDirectoryName, SS_LEFTNOWORDWRAP, 0, 43, 25, 90, 10},
    {WC_LISTBOX, u"", res::kOpenDirectoryList,
     LBS_SORT | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, 0, 2, 35, 135, 30},
    {WC_STATIC, u"FILE", IDC_STATIC, kLabel, 0, 2, 65, 120, 10},
    {WC_LISTVIEW, u"", res::kOpenFileList, LVS_REPORT | LVS_SORTASCENDING | WS_BORDER | WS_TABSTOP, 0, 2, 75, 135, 62},
    {WC_BUTTON, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 20, 139, 40, 13},
    {WC_BUTTON, u"CANCEL", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 0, 70, 139, 40, 13},
};

// The label keeps the handheld program's spelling.
const DialogItem kExtensionsDialogItems[] = {
    {WC_STATIC, u"Associated file extenstions", IDC_STATIC, kLabel, 0, 2, 2, 110, 10},
    {WC_BUTTON, u"TXT : Text File", res::kExtensionTxtCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 15, 100, 10},
    {WC_BUTTON, u"PRC : Palm Document", res::kExtensionPrcCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 25, 100, 10},
    {WC_BUTTON, u"PDB : Palm Data File", res::kExtensionPdbCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 35, 100, 10},
    {WC_BUTTON, u"DOC : Word Document", res::kExtensionDocCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 45, 100, 10},
    {WC_BUTTON, u"PSW : Pocket Word Document", res::kExtensionPswCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 10, 55, 100, 10},
    {WC_BUTTON, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 20, 130, 40, 15},
    {WC_BUTTON, u"CANCEL", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 0, 70, 130, 40, 15},
};

const DialogItem kAboutDialogItems[] = {
    {WC_STATIC, u"", res::kAboutIcon, SS_ICON, 0, 6, 6, 20, 20},
    {WC_STATIC, u"Quillscope " QUILLSCOPE_VERSION_UTF16, IDC_STATIC, kLabel, 0, 32, 8, 230, 10},
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
    {res::kDialogKey, u"KEY DIALOG", WS_POPUP | WS_CAPTION, 0, 0, 270, 210, nullptr, 9,
     kKeyDialogItems, std::size(kKeyDialogItems)},
    {res::kDialogOpenFile, u"OPEN FILE", WS_POPUP | WS_CAPTION, 0, 0, 120, 150, nullptr, 9,
     kOpenFileDialogItems, std::size(kOpenFileDialogItems)},
    {res::kDialogExtensions, u"EXTENSIONS", WS_POPUP | WS_CAPTION, 0, 0, 120, 150, nullptr, 9,
     kExtensionsDialogItems, std::size(kExtensionsDialogItems)},
    {res::kDialogAbout, u"About Quillscope", WS_POPUP | WS_CAPTION, 0, 0, 270, 110, nullptr, 9,
     kAboutDialogItems, std::size(kAboutDialogItems)},
};
const size_t kDialogCount = std::size(kDialogs);
