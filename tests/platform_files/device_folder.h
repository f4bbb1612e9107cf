// A fresh device folder for one test: "\" is an empty temporary host folder while the fixture
// lives, and the folder is removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quill_test {

class DeviceFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::string& root() const { return root_; }
  // The host path of a device path, built by hand ("\" -> "/") so that it checks the mapping.
  std::string host(const std::string& relativeHostPath) const { return root_ + "/" + relativeHostPath; }
  void writeHostFile(const std::string& relativeHostPath, const std::string& bytes) const;
  std::string readHostFile(const std::string& relativeHostPath) const;

 private:
  std::string root_;  // the temporary host folder that is "\"
};

}  // namespace quill_test
