// The test hook of the open-file dialog: a function that answers in place of the person.
#include "platform/testing/open_file_hook.h"

#include <mutex>
#include <utility>

namespace platform::testing {
namespace {

std::mutex& hookMutex() {
  static std::mutex mutex;
  return mutex;
}
OpenFileResponder& installedResponder() {
  static OpenFileResponder responder;
  return responder;
}

}  // namespace

OpenFileResponder setOpenFileResponder(OpenFileResponder responder) {
  std::lock_guard<std::mutex> lock(hookMutex());
  return std::exchange(installedResponder(), std::move(responder));
}

OpenFileResponder currentOpenFileResponder() {
  std::lock_guard<std::mutex> lock(hookMutex());
  return installedResponder();
}

}  // namespace platform::testing
