// Inside the layer: getting the layer ready once the desktop application exists.
#pragma once

namespace platform::host {

// Creates the device screen, installs the desktop input routing and registers the layer's own
// window classes (dialogs, the menu bar) and the standard controls. Safe to call again.
void initialisePlatform();

}  // namespace platform::host
