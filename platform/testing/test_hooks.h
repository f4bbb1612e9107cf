// Hooks that let a test answer what would otherwise wait for a person: modal dialogs, message
// boxes, the open-file dialog, the tap-and-hold gesture and pop-up menus. They install into the
// layer's responder seam; each setter returns the previous hook, and ScopedHook restores it.
#pragma once

#include <utility>

#include "platform/system/responders.h"

namespace platform::testing {

// The responders of the layer's seam, under the names the tests use.
using responders::DialogResponder;
using responders::GestureResponder;
using responders::MessageBoxCall;
using responders::MessageBoxResponder;
using responders::OpenFileResponder;
using responders::PopupMenuResponder;
using responders::setDialogResponder;
using responders::setGestureResponder;
using responders::setMessageBoxResponder;
using responders::setOpenFileResponder;
using responders::setPopupMenuResponder;

template <typename Hook>
class ScopedHook {
 public:
  ScopedHook(Hook (*setter)(Hook), Hook hook) : setter_(setter), previous_(setter(std::move(hook))) {}
  ~ScopedHook() { setter_(std::move(previous_)); }
  ScopedHook(const ScopedHook&) = delete;
  ScopedHook& operator=(const ScopedHook&) = delete;

 private:
  Hook (*setter_)(Hook);  // the setter that installed the hook
  Hook previous_;         // the hook to put back
};

}  // namespace platform::testing
