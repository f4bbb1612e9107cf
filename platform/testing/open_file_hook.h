// Inside the layer: the open-file dialog asks whether a test answers it instead of a person.
#pragma once

#include "platform/testing/test_hooks.h"

namespace platform::testing {

// The responder a test installed with setOpenFileResponder, or an empty function.
OpenFileResponder currentOpenFileResponder();

}  // namespace platform::testing
