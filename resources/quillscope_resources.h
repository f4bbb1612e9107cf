// The viewer's resource section: icon, menus, menu-bar description, dialog templates, strings.
#pragma once

#include "platform/system/resources.h"

const platform::ResourceSection& quillscopeResources();
