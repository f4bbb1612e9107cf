// Resource, command and control numbers of the viewer. They come in blocks: dialogs and menus
// 1001 to 1013, menu commands 2001 to 2007, View dialog controls 3001 to 3005, Key dialog
// controls 5000 to 5010, EXTENSIONS controls 5100 to 5104, OPEN FILE controls 1009 to 1012,
// menu-bar strings 4001 to 4003, hot keys 5001 to 5004.
#pragma once

namespace res {

inline constexpr int kIconMain = 1000;
inline constexpr int kMenuMain = 1001;      // the two pop-up menus "FILE" and "TOOL"
inline constexpr int kMenuBarMain = 1001;   // the menu-bar description
inline constexpr int kDialogView = 1004;    // "VIEW DIALOG"
inline constexpr int kDialogAbout = 1005;
inline constexpr int kDialogKey = 1006;       // "KEY DIALOG"
inline constexpr int kDialogOpenFile = 1008;  // "OPEN FILE", the program's own file browser
inline constexpr int kDialogExtensions = 1013;  // "EXTENSIONS", the file associations

inline constexpr int kStringFile = 4001;    // "FILE"
inline constexpr int kStringOption = 4002;  // "OPTION" (not used by the menu bar)
inline constexpr int kStringTool = 4003;    // "TOOL"

inline constexpr int kMenuBarFileButton = 1002;  // the menu bar's own button commands
inline constexpr int kMenuBarToolButton = 1003;

inline constexpr int kCommandExit = 2001;
inline constexpr int kCommandView = 2002;
inline constexpr int kCommandOpen = 2003;
inline constexpr int kCommandAbout = 2004;
inline constexpr int kCommandKeyBind = 2005;
inline constexpr int kCommandCopy = 2006;
inline constexpr int kCommandExtension = 2007;

// View dialog controls
inline constexpr int kViewZoomList = 3001;
inline constexpr int kViewFontList = 3002;
inline constexpr int kViewEncodingList = 3003;
inline constexpr int kViewLineStyleList = 3004;
inline constexpr int kViewSystemDialogCheck = 3005;

// Key dialog controls. The lists do not follow the settings' KeySlot order: 5001..5004 are the
// application keys APP1..APP4 (the same numbers as their hot keys), 5005..5009 the cursor keys
// UP, DOWN, LEFT, RIGHT and CENTER.
inline constexpr int kKeyAppKeysCheck = 5000;
inline constexpr int kKeyOutLeftList = 5001;   // APP1
inline constexpr int kKeyInLeftList = 5002;    // APP2
inline constexpr int kKeyInRightList = 5003;   // APP3
inline constexpr int kKeyOutRightList = 5004;  // APP4
inline constexpr int kKeyUpList = 5005;
inline constexpr int kKeyDownList = 5006;
inline constexpr int kKeyLeftList = 5007;
inline constexpr int kKeyRightList = 5008;
inline constexpr int kKeyCenterList = 5009;
inline constexpr int kKeyAppKeysGroup = 5010;

// EXTENSIONS controls: one check box per extension. Their numbers follow the labels from top to
// bottom, not the order in which the dialog keeps its flags or walks the extensions.
inline constexpr int kExtensionTxtCheck = 5100;  // "TXT : Text File"
inline constexpr int kExtensionPrcCheck = 5101;  // "PRC : Palm Document"
inline constexpr int kExtensionPdbCheck = 5102;  // "PDB : Palm Data File"
inline constexpr int kExtensionDocCheck = 5103;  // "DOC : Word Document"
inline constexpr int kExtensionPswCheck = 5104;  // "PSW : Pocket Word Document"

// OPEN FILE controls
inline constexpr int kOpenDirectoryList = 1009;  // the subdirectories and ".."
inline constexpr int kOpenFileList = 1010;       // the file rows: name, date, size
inline constexpr int kOpenFilterList = 1011;     // the file types
inline constexpr int kOpenDirectoryName = 1012;  // the line that shows the current directory

// About dialog controls
inline constexpr int kAboutIcon = 1100;
inline constexpr int kAboutKeys = 1101;

}  // namespace res
