#include "tests/platform_files/device_folder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quill_test {

void DeviceFolderTest::SetUp() {
  sandbox_ = std::make_unique<platform::testing::DeviceSandbox>();
  ASSERT_FALSE(root().empty());
}

void DeviceFolderTest::TearDown() { sandbox_.reset(); }

void DeviceFolderTest::writeHostFile(const std::string& relativeHostPath, const std::string& bytes) const {
  const std::filesystem::path path = host(relativeHostPath);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

std::string DeviceFolderTest::readHostFile(const std::string& relativeHostPath) const {
  std::ifstream in(host(relativeHostPath), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace quill_test
