// The desktop launcher's command line: its options, and the document path it hands the
// program as the program's own command line.
#pragma once

#include <string>
#include <vector>

namespace platform::host {

// What the desktop command line asked for.
struct LauncherOptions {
  std::string device;              // --device DIR (or QUILLSCOPE_DEVICE)
  std::string screenshot;          // --screenshot FILE
  bool help = false;               // --help
  bool version = false;            // --version
  bool noScreenshot = false;       // --no-screenshot: headless, but run until the program quits
  std::vector<std::string> words;  // the document path's words
  std::string error;               // what was wrong with the options, if anything
};

// Reads argv[1..argc-1]: options first, then the document path's words (everything from the
// first word that is no option, or after "--"). A missing argument counts as an empty word.
LauncherOptions parseLauncherOptions(int argc, const char* const* argv);

// The document path as the program's command line: a host path (relative ones made absolute
// against the working directory) becomes a device path; a text that already is a device path,
// that carries quotes, or that lies outside the sandbox is passed verbatim.
std::u16string commandLineFor(const std::vector<std::string>& words);

}  // namespace platform::host
