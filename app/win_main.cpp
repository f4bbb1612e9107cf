// The program's entry point: one instance per device, the main window, the message loop.
#include "app/hand_over.h"
#include "app/main_window.h"
#include "app/win_main.h"
#include "platform/textview/richink.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPWSTR commandLine, int showCommand) {
  // A viewer already running on this device is brought forward instead. A document named on
  // this start is handed over to it first, so a document opened from the file manager shows
  // in the running viewer.
  if (HWND running = FindWindow(kMainWindowClass, kMainWindowTitle)) {
    if (commandLine != nullptr && commandLine[0] != 0) handOverDocument(running, commandLine);
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(running) | 1));
    return 0;
  }

  InitRichInkDLL();
  ViewerState state(commandLine);
  if (!createMainWindow(state, instance, showCommand)) {
    state.teardown();
    return 0;
  }

  MSG msg{};
  while (GetMessage(&msg, nullptr, 0, 0)) {
    if (isFindDialogMessage(state, &msg)) continue;  // Enter and Escape in the modeless find dialog
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  const int exitCode = static_cast<int>(msg.wParam);
  state.teardown();
  // The record dies with this frame: a window that outlives it must not find it any more.
  SetWindowLongPtr(state.mainWindow, GWLP_USERDATA, 0);
  return exitCode;
}
