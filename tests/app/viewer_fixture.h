// A running viewer inside a test: a sandboxed device with a settings file, the main window
// created as the entry point creates it, and helpers to feed it documents.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/viewer_state.h"
#include "platform/testing/message_spy.h"
#include "platform/testing/test_hooks.h"
#include "platform/testing/test_host.h"
#include "tests/support/test_files.h"

// The 184-byte settings image as bytes, with the given values and default key bindings.
std::string settingsBytes(int32_t zoom, int32_t encoding, int32_t lineStyle, int32_t appKeys = 1,
                          int32_t useSystemDialog = 1, const std::u16string& face = u"");

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main window with `commandLine`, as the entry point does. The settings file
  // holds `settings` first (empty string: no settings file at all).
  void startViewer(const std::u16string& commandLine, const std::string& settings);
  // Writes a document into the device and makes it the current path.
  void putDocument(const std::u16string& devicePath, const std::string& bytes);
  // The text the text view shows (the decoded text is handed over to it by the refresh).
  std::u16string shownText() const;

  std::unique_ptr<platform::testing::DeviceSandbox> device;
  std::unique_ptr<ViewerState> state;
  // Unless a test answers the open dialog itself, it is cancelled, as a user might.
  std::unique_ptr<platform::testing::ScopedHook<platform::testing::OpenFileResponder>> cancelOpenDialog;
};

// The little-endian 32-bit integer at `offset` of a settings image.
using test_files::littleEndian32At;

// The message numbers of a spy's log for one window.
std::vector<UINT> messageNumbers(const platform::testing::MessageSpy& spy, HWND hwnd);
