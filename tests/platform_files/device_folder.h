// Every test here runs on a device of its own: a DeviceSandbox whose folder is "\" while the
// fixture lives. Host paths are built by hand from the sandbox folder ("\" -> "/"), so that the
// tests check the mapping rather than repeat it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/testing/test_host.h"

namespace quill_test {

class DeviceFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& root() const { return sandbox_->root(); }
  std::string host(const std::string& relativeHostPath) const { return root() + "/" + relativeHostPath; }
  void writeHostFile(const std::string& relativeHostPath, const std::string& bytes) const;
  std::string readHostFile(const std::string& relativeHostPath) const;

 private:
  std::unique_ptr<platform::testing::DeviceSandbox> sandbox_;  // the test's device, removed with it
};

}  // namespace quill_test
