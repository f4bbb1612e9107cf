// The desktop launcher: turns a desktop start into the handheld program's start.
#pragma once

#include "platform/system/resources.h"
#include "platform/system/windows.h"

namespace platform::host {

// The program's entry point, in the handheld's shape.
using ProgramEntry = int (*)(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);

// Runs the program on the desktop:
//  - desktop options come first: `--device DIR` (sandbox mode: DIR is the device's "\"; the
//    environment variable QUILLSCOPE_DEVICE does the same), `--screenshot FILE.png` (once the
//    viewer has settled after start-up, write its screen to FILE and quit), `--no-screenshot`
//    (headless, but run until the program quits), `--help`, `--`;
//  - with no display the desktop runs headless on Qt's offscreen platform and a screenshot is
//    written (to ./quillscope-screenshot.png unless --screenshot names another file, or none
//    with --no-screenshot);
//  - the remaining arguments, joined with spaces, are the document path: a relative host path
//    is made absolute against the working directory and written as a device path; the text is
//    then passed verbatim as the program's command line;
//  - the program folder (\Program Files\Quillscope) is created if missing, as an installer would.
// Returns the program's exit code.
int runDesktopProgram(int argc, char** argv, ProgramEntry entry, const ResourceSection* resources);

// Writes the viewer's screen (the device screen with every window on it) to a PNG file.
bool writeScreenshot(const char* pngPath);

}  // namespace platform::host
