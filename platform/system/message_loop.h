// Inside the layer: the one message queue of the user-interface thread and the delivery of
// messages to window procedures. Every delivery is reported to the installed observer.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/system/windows.h"

class QDialog;

namespace platform::messages {

// How a message reached a window procedure.
enum class Delivery {
  Sent,     // SendMessage (or a direct send by the layer, such as WM_CREATE)
  Posted,   // dispatched from the queue
  Default,  // reached DefWindowProc
};

// Told of every delivery before the procedure runs (the test support's message spy installs
// one; the product installs none).
using DeliveryObserver = void (*)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery);
// Installs `observer` (nullptr: none) and returns the previous one.
DeliveryObserver setDeliveryObserver(DeliveryObserver observer);
// Tells the installed observer, if any, of a delivery.
void reportDelivery(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery);

// Calls the window's current procedure (the layer's way of sending), reporting the delivery.
// Returns 0 for a handle that is not a live window of this program.
LRESULT deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery);

// Waits, running the desktop's event processing, until a message that matches the filter is
// queued (it is removed into *msg and true returned) or `stop` answers true (false returned).
// A pending quit request counts as a message (WM_QUIT) once no other message matches.
// With a deadline (elapsedMilliseconds() value, -1 for none) it also gives up, answering
// false, once that time has come.
bool waitForMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, const std::function<bool()>& stop,
                    int64_t deadline = -1);
// The modal loop of the handheld's dialogs, message boxes and the open dialog: the program's
// messages keep flowing (`preview`, when given, may take one first and answer true, as a
// dialog's keyboard handling does) until `finished` answers true. A quit request ends the loop
// and is posted again for the loops outside it; the answer is then false, else true.
bool runModalLoop(const std::function<bool()>& finished, const std::function<bool(MSG&)>& preview = {});
// Opens a desktop dialog (a message box, the file dialog) application-modal and runs the modal
// loop until it finishes. A quit request rejects it; the answer is then false, else true.
bool runDesktopDialog(QDialog& dialog);

// Runs the desktop's event processing (no message is taken from the queue) until `stop`
// answers true or the deadline (as above) has come.
void runDesktopUntil(const std::function<bool()>& stop, int64_t deadline);
// Wakes a loop that waits in waitForMessage so that it looks at its stop condition again.
void wakeEventLoop();
// Runs the desktop's pending events once without waiting (deferred widget deletions included
// where it is safe).
void processPendingEvents();

// Queue maintenance.
bool isMessageQueued(HWND hwnd, UINT message, WPARAM wParam);
void removeMessagesFor(HWND hwnd);                 // a destroyed window's messages
void removeMessages(HWND hwnd, UINT message, WPARAM wParam);
void clearQueue();                                 // every message and the quit request
size_t queuedMessageCount();
bool isQuitPending();
// Replaces a queued WM_MOUSEMOVE of the same window (the desktop coalesces pointer moves).
void postCoalescedMouseMove(HWND hwnd, WPARAM wParam, LPARAM lParam);

// Milliseconds since the layer started (GetTickCount's clock).
int64_t elapsedMilliseconds();
// When the queue last handed out a posted message (elapsedMilliseconds), for "settled" checks.
int64_t lastDispatchTime();

// Timers of a destroyed window, and all timers (timers.cpp).
void killTimersOf(HWND hwnd);
void killAllTimers();

// Remembers the character that the desktop produced for a key, so that TranslateMessage gives
// the same character (upper or lower case, as typed).
void rememberKeyText(WORD virtualKey, char16_t character);

}  // namespace platform::messages
