// Threads as the handheld starts and waits for them, over std::thread. The thread and its
// handle share a record of the thread's end, so that the handle of a running thread can be
// closed (the thread runs on to its end on its own) and a wait needs no lock on the table.
#include "platform/system/threads.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/system/files/handle_table.h"

namespace platform::threads {
namespace {

// What a thread and its handle share: whether the function has returned, and its value.
struct ThreadEnd {
  std::mutex mutex;                // guards `ended` and `exitCode`
  std::condition_variable signal;  // notified once, when the function returns
  bool ended = false;              // the function has returned
  DWORD exitCode = STILL_ACTIVE;   // its value once it has
};

// One thread handle: the thread itself and the record of its end.
struct ThreadEntry {
  std::thread thread;               // owned: joined or detached when the handle is closed
  std::shared_ptr<ThreadEnd> end;   // shared with the running thread
};

files::HandleTable<ThreadEntry>& table() {
  static files::HandleTable<ThreadEntry> threads;
  return threads;
}

std::shared_ptr<ThreadEnd> endOf(HANDLE handle) {
  std::lock_guard<std::mutex> lock(table().mutex);
  ThreadEntry* entry = table().find(handle);
  return entry != nullptr ? entry->end : nullptr;
}

}  // namespace

bool closeThreadHandle(HANDLE handle) {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(table().mutex);
    ThreadEntry* entry = table().find(handle);
    if (entry == nullptr) return false;
    thread = std::move(entry->thread);
    table().remove(handle);
  }
  // A thread still running owns its record through its own copy of the pointer.
  if (thread.joinable()) thread.detach();
  return true;
}

}  // namespace platform::threads

using namespace platform::threads;

HANDLE CreateThread(SECURITY_ATTRIBUTES* /*security*/, DWORD /*stackSize*/, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD /*creationFlags*/, DWORD* threadId) {
  if (start == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto end = std::make_shared<ThreadEnd>();
  ThreadEntry entry;
  try {
    entry.thread = std::thread([start, parameter, end] {
      const DWORD code = start(parameter);
      std::lock_guard<std::mutex> lock(end->mutex);
      end->ended = true;
      end->exitCode = code;
      end->signal.notify_all();
    });
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  entry.end = std::move(end);
  std::uintptr_t value = 0;
  {
    std::lock_guard<std::mutex> lock(table().mutex);
    value = table().add(std::move(entry));
  }
  if (threadId != nullptr) *threadId = static_cast<DWORD>(value);
  return reinterpret_cast<HANDLE>(value);
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  const std::shared_ptr<ThreadEnd> end = endOf(object);
  if (end == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  std::unique_lock<std::mutex> lock(end->mutex);
  if (milliseconds == INFINITE) {
    end->signal.wait(lock, [&] { return end->ended; });
    return WAIT_OBJECT_0;
  }
  const bool ended = end->signal.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return end->ended; });
  return ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
  const std::shared_ptr<ThreadEnd> end = endOf(thread);
  if (end == nullptr || exitCode == nullptr) {
    SetLastError(end == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(end->mutex);
  *exitCode = end->exitCode;
  return TRUE;
}
