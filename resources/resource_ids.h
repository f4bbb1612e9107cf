// Resource, command and control numbers of the viewer. They come in blocks: dialogs and menus
// 1001 to 1013, menu commands 2001 to 2007, View dialog controls 3001 to 3005, menu-bar strings
// 4001 to 4003, hot keys 5001 to 5004.
#pragma once

namespace res {

inline constexpr int kIconMain = 1000;
inline constexpr int kMenuMain = 1001;      // the two pop-up menus "FILE" and "TOOL"
inline constexpr int kMenuBarMain = 1001;   // the menu-bar description
inline constexpr int kDialogView = 1004;    // "VIEW DIALOG"
inline constexpr int kDialogAbout = 1005;

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

// About dialog controls
inline constexpr int kAboutIcon = 1100;
inline constexpr int kAboutKeys = 1101;

}  // namespace res
