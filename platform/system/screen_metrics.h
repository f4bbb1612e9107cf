// The handheld's screen, in device pixels: what the layer lays windows out on and what the
// shell's bars take from it.
#pragma once

namespace platform {

inline constexpr int kDeviceScreenWidth = 480;   // device pixels
inline constexpr int kDeviceScreenHeight = 640;  // device pixels
inline constexpr int kTopBarHeight = 26;         // the shell's title bar at the top of the screen

}  // namespace platform
