// A tiny program for the tests that need processes of their own.
//   platform_probe launch [launcher options] [document]  - runs a minimal viewer through the
//       desktop launcher; prints the command line it was given. With QUILL_PROBE_CREATE_MS set,
//       its main window's creation takes that long (as a first-run dialog would make it)
//   platform_probe first DEVICE   - a viewer's main window ("Quillscope_"/"Quillscope") behind
//       another window; prints "ready", then "raised" once another process brings it forward
//   platform_probe second DEVICE  - finds the first one, brings it forward (exit 0), or exits
//       with 2 (not found) or 1 (not raised)
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/host/launcher.h"
#include "platform/system/files/device_paths.h"
#include "platform/system/single_instance.h"
#include "platform/testing/test_host.h"

namespace {

HWND mainWindow = nullptr;
bool announced = false;  // "ready" was printed: activations from now on are raises

LRESULT probeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    if (const char* creating = std::getenv("QUILL_PROBE_CREATE_MS")) platform::testing::pumpFor(std::atoi(creating));
  }
  if (message == WM_ACTIVATE && hwnd == mainWindow && announced && LOWORD(wParam) != WA_INACTIVE) {
    std::printf("raised\n");
    std::fflush(stdout);
    PostQuitMessage(0);
  }
  if (message == WM_TIMER) PostQuitMessage(3);  // nobody came: give up
  if (message == WM_DESTROY && hwnd == mainWindow) PostQuitMessage(0);
  return DefWindowProc(hwnd, message, wParam, lParam);
}

ATOM registerProbeClass(HINSTANCE instance) {
  WNDCLASS wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = probeProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = u"Quillscope_";
  return RegisterClass(&wc);
}

int runLoop() {
  MSG msg{};
  while (GetMessage(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int launchedEntry(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
  std::printf("command line: %s\n", QString::fromUtf16(commandLine).toUtf8().constData());
  std::fflush(stdout);
  if (FindWindow(u"Quillscope_", u"Quillscope") != nullptr) return 0;
  registerProbeClass(instance);
  mainWindow = CreateWindowEx(0, u"Quillscope_", u"Quillscope", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  ShowWindow(mainWindow, showCommand);
  UpdateWindow(mainWindow);
  return runLoop();
}

int runFirst(const char* device) {
  platform::files::setDeviceRoot(device);
  if (!platform::single_instance::startListening()) return 4;
  const HINSTANCE instance = platform::testing::testInstance();
  registerProbeClass(instance);
  mainWindow = CreateWindowEx(0, u"Quillscope_", u"Quillscope", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  CreateWindowEx(0, u"Quillscope_", u"Other", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                 nullptr, nullptr, instance, nullptr);
  if (GetActiveWindow() == mainWindow) return 5;
  SetTimer(mainWindow, 1, 20000, nullptr);
  announced = true;
  std::printf("ready\n");
  std::fflush(stdout);
  return runLoop();
}

int runSecond(const char* device) {
  platform::files::setDeviceRoot(device);
  // As the launcher does: listen unless another viewer already answers for this device.
  platform::single_instance::startListening();
  const HWND found = FindWindow(u"Quillscope_", u"Quillscope");
  if (found == nullptr) return 2;
  if ((reinterpret_cast<uintptr_t>(found) & 1) != 0) return 7;
  const HWND marked = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(found) | 1);
  return SetForegroundWindow(marked) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "launch") == 0) {
    return platform::host::runDesktopProgram(argc - 1, argv + 1, launchedEntry, nullptr);
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s launch ... | first DEVICE | second DEVICE\n", argv[0]);
    return 64;
  }
  platform::testing::initTestHost(&argc, argv, nullptr);
  if (std::strcmp(argv[1], "first") == 0) return runFirst(argv[2]);
  if (std::strcmp(argv[1], "second") == 0) return runSecond(argv[2]);
  return 64;
}
