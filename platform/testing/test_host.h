// Running the layer inside a test process: the offscreen desktop, a sandboxed device folder per
// test, pumping the queue, and input as a user gives it.
#pragma once

#include <string>
#include <vector>

#include "platform/system/resources.h"
#include "platform/system/windows.h"

namespace platform::testing {

// Creates the desktop application (offscreen) once per process and the program instance with
// the given resources (may be nullptr).
void initTestHost(int* argc, char** argv, const ResourceSection* resources);
HINSTANCE testInstance();

// A fresh, empty device folder for one test: "\" maps to it while the object lives. Windows,
// classes other than the system's, hot keys, the queue and the hooks are reset on destruction.
class DeviceSandbox {
 public:
  DeviceSandbox();
  ~DeviceSandbox();
  DeviceSandbox(const DeviceSandbox&) = delete;
  DeviceSandbox& operator=(const DeviceSandbox&) = delete;

  const std::string& root() const { return root_; }  // the host folder that is "\"
  // The host path of a device path such as u"\\My Documents\\a.txt".
  std::string hostPath(const std::u16string& devicePath) const;
  // Writes a file (creating its folders) at a device path.
  void writeFile(const std::u16string& devicePath, const std::string& bytes) const;
  std::string readFile(const std::u16string& devicePath) const;
  bool exists(const std::u16string& devicePath) const;

 private:
  std::string root_;          // host folder, removed on destruction
  std::string previousRoot_;  // the device root before this sandbox (restored on destruction)
};

// Dispatches posted messages and desktop events until the queue is empty. Returns false if a
// WM_QUIT was found (it stays queued for GetMessage), true otherwise.
bool pumpMessages();
// Runs the desktop's event processing for `ms` milliseconds, dispatching messages.
void pumpFor(int ms);

// Input as a user gives it, through the desktop's own events (so focus, hot keys and the
// window procedures see what they would see).
void pressKey(WORD vk);                       // key press and release on the focused widget
void pressKey(WORD vk, UINT modifiers);       // the same with MOD_CONTROL, MOD_SHIFT, MOD_ALT held
// Files dragged from the desktop and dropped on the viewer's screen (host paths).
void dropFiles(const std::vector<std::string>& hostPaths);
void tap(HWND hwnd, int x, int y);            // left press and release, short
void rightClick(HWND hwnd, int x, int y);     // right-button press and release
// Left press at x, y (device pixels of the window), held still for `holdMs` milliseconds while
// messages are dispatched (so a tap-and-hold recognition can run), then released.
void pressAndHold(HWND hwnd, int x, int y, int holdMs);
void clickButton(HWND button);                // a click on a BUTTON control
void chooseComboItem(HWND combo, int index);  // the user picks an entry of a drop-down list
void chooseListBoxItem(HWND listBox, int index);
void chooseListViewItem(HWND listView, int index);
void doubleClickListViewItem(HWND listView, int index);

}  // namespace platform::testing
