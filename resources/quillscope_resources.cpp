// The resource section that the program registers with the platform at start-up.
#include "resources/quillscope_resources.h"

#include "resources/resource_tables.h"

const platform::ResourceSection& quillscopeResources() {
  static const platform::ResourceSection section{
      kDialogs, kDialogCount, kMenus, kMenuCount, kMenuBars, kMenuBarCount,
      kStrings, kStringCount, kIcons, kIconCount,
  };
  return section;
}
