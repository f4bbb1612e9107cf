// The main menu (two pop-ups under "FILE" and "TOOL"), the menu-bar description and strings.
#include <iterator>

#include "resources/resource_ids.h"
#include "resources/resource_tables.h"

namespace {

using platform::MenuItemTemplate;

const MenuItemTemplate kFilePopup[] = {
    {u"OPEN...", res::kCommandOpen, MF_STRING, nullptr, 0},
    {nullptr, 0, MF_SEPARATOR, nullptr, 0},
    {u"EXIT", res::kCommandExit, MF_STRING, nullptr, 0},
};

const MenuItemTemplate kToolPopup[] = {
    {u"ABOUT", res::kCommandAbout, MF_STRING, nullptr, 0},
    {nullptr, 0, MF_SEPARATOR, nullptr, 0},
    {u"COPY", res::kCommandCopy, MF_STRING, nullptr, 0},
    {nullptr, 0, MF_SEPARATOR, nullptr, 0},
    {u"EXTENSION", res::kCommandExtension, MF_STRING, nullptr, 0},
    {u"KEY BIND", res::kCommandKeyBind, MF_STRING, nullptr, 0},
    {u"VIEW", res::kCommandView, MF_STRING, nullptr, 0},
};

const MenuItemTemplate kMainMenuItems[] = {
    {u"FILE", 0, MF_POPUP, kFilePopup, std::size(kFilePopup)},
    {u"TOOL", 0, MF_POPUP, kToolPopup, std::size(kToolPopup)},
};

const platform::MenuBarButton kMainMenuBarButtons[] = {
    {res::kStringFile, res::kMenuBarFileButton, 0, true},
    {res::kStringTool, res::kMenuBarToolButton, 1, true},
};

}  // namespace

const platform::MenuTemplate kMenus[] = {
    {res::kMenuMain, kMainMenuItems, std::size(kMainMenuItems)},
};
const size_t kMenuCount = std::size(kMenus);

const platform::MenuBarTemplate kMenuBars[] = {
    {res::kMenuBarMain, res::kMenuMain, kMainMenuBarButtons, std::size(kMainMenuBarButtons)},
};
const size_t kMenuBarCount = std::size(kMenuBars);

const platform::StringResource kStrings[] = {
    {res::kStringFile, u"FILE"},
    {res::kStringOption, u"OPTION"},
    {res::kStringTool, u"TOOL"},
};
const size_t kStringCount = std::size(kStrings);
