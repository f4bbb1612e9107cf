// The tables that make up the resource section, each defined in the file of its kind.
#pragma once

#include <cstddef>

#include "platform/system/resources.h"

extern const platform::MenuTemplate kMenus[];
extern const size_t kMenuCount;
extern const platform::MenuBarTemplate kMenuBars[];
extern const size_t kMenuBarCount;
extern const platform::StringResource kStrings[];
extern const size_t kStringCount;
extern const platform::DialogTemplate kDialogs[];
extern const size_t kDialogCount;
extern const platform::IconResource kIcons[];
extern const size_t kIconCount;
