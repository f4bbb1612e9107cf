// main() for tests that need the desktop: Qt's offscreen platform unless a display is asked
// for, and the program's resources registered for the test instance.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/testing/test_host.h"
#ifdef QUILL_HAVE_RESOURCES
#include "resources/quillscope_resources.h"
#endif

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
#ifdef QUILL_HAVE_RESOURCES
  platform::testing::initTestHost(&argc, argv, &quillscopeResources());
#else
  platform::testing::initTestHost(&argc, argv, nullptr);
#endif
  return RUN_ALL_TESTS();
}
