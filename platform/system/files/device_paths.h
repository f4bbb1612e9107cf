// Device paths: the handheld's "\"-separated file names and the host folders behind them.
//
// The program sees a device file system rooted at "\". In desktop mode "\" is the host's "/",
// with "\My Documents" mounted on the user's documents folder and "\Program Files\Quillscope" on
// the program's data folder. In sandbox mode (setDeviceRoot(folder), or the environment variable
// QUILLSCOPE_DEVICE read at start) "\" is that host folder and every device path lives inside it.
#pragma once

#include <string>

namespace platform::files {

// Chooses the host folder behind "\"; an empty string selects desktop mode.
void setDeviceRoot(const std::string& hostFolder /* empty = desktop mode */);

// The host folder behind "\" in sandbox mode, or an empty string in desktop mode.
std::string deviceRoot();

// The host path (UTF-8, "/"-separated) a device path names. "." and ".." are resolved without
// ever leaving the device root; "/" is accepted as a separator and repeated separators collapse.
std::string hostPathFor(const std::u16string& devicePath);

// The device path ("\"-separated, starting with "\") naming a host path; relative host paths are
// taken from the current directory. A host path outside the sandbox yields an empty string.
std::u16string devicePathFor(const std::string& hostPath);

}  // namespace platform::files
