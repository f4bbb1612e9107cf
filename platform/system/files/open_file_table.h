// Inside the file services: the program's own open file handles, so that share modes can be
// honoured among them and an open file is not deleted under them.
#pragma once

#include <sys/types.h>

namespace platform::files {

// True while any handle of the program holds the host file (device and inode) open.
bool isHostFileOpen(dev_t device, ino_t inode);

}  // namespace platform::files
