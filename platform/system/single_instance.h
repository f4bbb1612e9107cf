// Inside the layer: one viewer per device across processes. Every running program listens on
// a local socket named from the user and the device root; FindWindow asks the other viewer of
// the same device for a top-level window, and SetForegroundWindow on the handle it gave asks
// that viewer to bring the window forward.
#pragma once

#include <string>

#include "platform/system/windows.h"

namespace platform::single_instance {

// Claims the device for this process and starts answering other processes of the same device
// (idempotent; restarts when the device root changed). Returns false when another running
// viewer holds the device (FindWindow then waits for its window, see findRemoteWindow) or,
// holding the claim, when the socket could not be opened.
bool startListening();
// Stops answering and lets the claim go.
void stopListening();
// Whether this process holds the claim on the current device.
bool holdsClaim();
// The socket name for the current user and device root.
std::string serverName();

// Asks the other viewer of this device for a top-level window with that class and title
// (`anyClass` / `anyTitle`: not compared; a window still being created counts). Returns a
// handle of this process that stands for it (distinct and even), or nullptr. After
// startListening was refused, waits up to 20 s for such a window while the holder runs, and
// when the holder ends first claims the device for this process and returns nullptr.
HWND findRemoteWindow(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle);
bool isRemoteWindow(HWND hwnd);
// Asks the viewer that owns the window to bring it forward (`restore`: also restore it from
// the minimised state). Returns true when that viewer answered that it did.
bool raiseRemoteWindow(HWND hwnd, bool restore);

// Hands a WM_COPYDATA block to the window of the viewer that owns it, which runs its handler
// with a copy of the bytes. Returns false when that viewer could not be asked or the window is
// gone (or the block is larger than kMaxCopyDataBytes); `result` is the handler's answer.
bool sendRemoteCopyData(HWND hwnd, const COPYDATASTRUCT& block, LRESULT& result);

// How many raise requests this process has carried out (for tests and the launcher's log).
int raiseRequestsHandled();

}  // namespace platform::single_instance
