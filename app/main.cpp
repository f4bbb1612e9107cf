// The desktop's main(): the launcher turns the desktop start into the program's start.
#include "app/win_main.h"
#include "platform/host/launcher.h"
#include "resources/quillscope_resources.h"

int main(int argc, char** argv) {
  return platform::host::runDesktopProgram(argc, argv, WinMain, &quillscopeResources());
}
