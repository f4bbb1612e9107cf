#include "tests/platform_files/device_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/system/files/device_paths.h"

namespace quill_test {

void DeviceFolderTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quill-files-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  platform::files::setDeviceRoot(root_);
}

void DeviceFolderTest::TearDown() {
  platform::files::setDeviceRoot(std::string());
  std::error_code ignored;
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(root_, ignored);
}

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
