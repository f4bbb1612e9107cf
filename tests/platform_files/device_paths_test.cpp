// Device paths: separators, "." and "..", the sandbox boundary, case, and desktop mode's mounts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/system/files/device_paths.h"
#include "platform/system/windows.h"
#include "tests/platform_files/device_folder.h"

namespace {

using platform::files::devicePathFor;
using platform::files::hostPathFor;
using quill_test::DeviceFolderTest;

class DevicePathsTest : public DeviceFolderTest {};

TEST_F(DevicePathsTest, SeparatorsAndDotsResolveInsideTheDevice) {
  EXPECT_EQ(hostPathFor(u"\\"), root());
  EXPECT_EQ(hostPathFor(u"\\My Documents\\a.txt"), host("My Documents/a.txt"));
  EXPECT_EQ(hostPathFor(u"/My Documents/a.txt"), host("My Documents/a.txt"));
  EXPECT_EQ(hostPathFor(u"\\\\My Documents//.\\sub\\..\\a.txt"), host("My Documents/a.txt"));
  EXPECT_EQ(hostPathFor(u"My Documents\\a.txt"), host("My Documents/a.txt"));  // no current folder: from "\"
}

TEST_F(DevicePathsTest, HostilePathsNeverLeaveTheSandbox) {
  EXPECT_EQ(hostPathFor(u"\\..\\..\\etc"), host("etc"));
  EXPECT_EQ(hostPathFor(u"..\\..\\..\\..\\etc\\passwd"), host("etc/passwd"));
  EXPECT_EQ(hostPathFor(u"\\a\\..\\..\\..\\b"), host("b"));
  EXPECT_EQ(hostPathFor(u"/../.."), root());
  // A name starting with U+FFFE followed by the byte-swapped units of "/../../../etc/passwd":
  // read as a byte-order mark it would become those names after ".." was already resolved.
  std::u16string swapped = u"\\\uFFFE";
  for (char16_t unit : std::u16string(u"/../../../etc/passwd")) swapped += static_cast<char16_t>(unit << 8);
  for (const std::u16string& hostile : {std::u16string(u"\\..\\..\\etc\\passwd"), std::u16string(u".."),
                                        std::u16string(u"\\.\\..\\x/../../y"), swapped}) {
    const std::string mapped = hostPathFor(hostile);
    EXPECT_EQ(mapped.rfind(root(), 0), 0u) << mapped;
    EXPECT_EQ(mapped.find("/.."), std::string::npos) << mapped;
  }
}

TEST_F(DevicePathsTest, ExistingNamesMatchWhateverTheirCase) {
  writeHostFile("My Documents/Notes.TXT", "x");
  EXPECT_EQ(hostPathFor(u"\\my documents\\notes.txt"), host("My Documents/Notes.TXT"));
  // A missing name keeps the spelling it was given.
  EXPECT_EQ(hostPathFor(u"\\MY DOCUMENTS\\New\\File.txt"), host("My Documents/New/File.txt"));
}

TEST_F(DevicePathsTest, HostPathsMapBackOnlyFromInsideTheSandbox) {
  EXPECT_EQ(devicePathFor(root()), u"\\");
  EXPECT_EQ(devicePathFor(host("My Documents/a b.txt")), u"\\My Documents\\a b.txt");
  EXPECT_EQ(devicePathFor(root() + "/x/../y/./z.txt"), u"\\y\\z.txt");
  EXPECT_EQ(devicePathFor("/etc/passwd"), u"");
  EXPECT_EQ(devicePathFor(root() + "/../outside"), u"");
  EXPECT_EQ(devicePathFor(root() + "-sibling/a"), u"");  // a shared prefix is not "inside"
}

TEST_F(DevicePathsTest, RelativeHostPathsAreTakenFromTheWorkingFolder) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::create_directories(host("My Documents"));
  std::filesystem::current_path(host("My Documents"));
  EXPECT_EQ(devicePathFor("book.pdb"), u"\\My Documents\\book.pdb");
  EXPECT_EQ(devicePathFor("../Program Files"), u"\\Program Files");
  std::filesystem::current_path(previous);
}

// Desktop mode, with the desktop's folders redirected into a temporary home.
class DesktopModeTest : public DeviceFolderTest {
 protected:
  void SetUp() override {
    DeviceFolderTest::SetUp();
    saveEnvironment("HOME");
    saveEnvironment("XDG_DATA_HOME");
    saveEnvironment("XDG_CONFIG_HOME");
    std::filesystem::create_directories(host("home/Documents"));
    std::filesystem::create_directories(host("data"));
    std::filesystem::create_directories(host("config"));
    ::setenv("HOME", host("home").c_str(), 1);
    ::setenv("XDG_DATA_HOME", host("data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", host("config").c_str(), 1);  // no user-dirs.dirs: Documents under home
    platform::files::setDeviceRoot(std::string());
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value.second) ::setenv(name.c_str(), value.first.c_str(), 1);
      else ::unsetenv(name.c_str());
    }
    DeviceFolderTest::TearDown();
  }

 private:
  void saveEnvironment(const char* name) {
    const char* value = std::getenv(name);
    saved_[name] = {value ? value : "", value != nullptr};
  }
  std::map<std::string, std::pair<std::string, bool>> saved_;  // variable -> (value, was set)
};

TEST_F(DesktopModeTest, RootIsTheHostRootWithTwoMountedFolders) {
  EXPECT_EQ(platform::files::deviceRoot(), "");
  EXPECT_EQ(hostPathFor(u"\\"), "/");
  EXPECT_EQ(hostPathFor(u"\\etc\\hostname"), "/etc/hostname");
  EXPECT_EQ(hostPathFor(u"\\..\\..\\etc"), "/etc");
  EXPECT_EQ(hostPathFor(u"\\My Documents\\a.txt"), host("home/Documents/a.txt"));
  EXPECT_EQ(hostPathFor(u"\\Program Files\\Quillscope\\Setting.dat"), host("data/quillscope/Setting.dat"));
  EXPECT_EQ(hostPathFor(u"\\program files\\QUILLSCOPE"), host("data/quillscope"));
}

TEST_F(DesktopModeTest, DocumentsFallBackToTheHomeFolder) {
  std::filesystem::remove(host("home/Documents"));
  platform::files::setDeviceRoot(std::string());
  EXPECT_EQ(hostPathFor(u"\\My Documents\\a.txt"), host("home/a.txt"));
}

TEST_F(DesktopModeTest, HostPathsMapBackThroughTheMounts) {
  EXPECT_EQ(devicePathFor(host("home/Documents/books/a.pdb")), u"\\My Documents\\books\\a.pdb");
  EXPECT_EQ(devicePathFor(host("data/quillscope/Setting.dat")), u"\\Program Files\\Quillscope\\Setting.dat");
  EXPECT_EQ(devicePathFor("/etc/hostname"), u"\\etc\\hostname");
  EXPECT_EQ(devicePathFor("/"), u"\\");
}

TEST_F(DesktopModeTest, ListingShowsTheMountedNames) {
  std::set<std::u16string> rootNames;
  WIN32_FIND_DATA data{};
  HANDLE search = FindFirstFile(u"\\*.*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    rootNames.insert(data.cFileName);
    if (std::u16string(data.cFileName) == u"My Documents") {
      EXPECT_EQ(data.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    }
  } while (FindNextFile(search, &data));
  FindClose(search);
  EXPECT_TRUE(rootNames.count(u"My Documents"));
  EXPECT_TRUE(rootNames.count(u"Program Files"));
  EXPECT_TRUE(rootNames.count(u"etc"));  // the host's own root entries
  EXPECT_FALSE(rootNames.count(u"."));

  search = FindFirstFile(u"\\Program Files\\*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"Quillscope");
  EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(FindNextFile(search, &data));
  FindClose(search);
  EXPECT_EQ(GetFileAttributes(u"\\Program Files"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(DevicePathsTest, AnExplicitRootWinsOverTheEnvironmentAndIsMadeAbsolute) {
  // The environment is read once, at start; a root set since then stays in force.
  ::setenv("QUILLSCOPE_DEVICE", "/tmp/quill-from-environment", 1);
  EXPECT_EQ(platform::files::deviceRoot(), root());
  ::unsetenv("QUILLSCOPE_DEVICE");
  platform::files::setDeviceRoot("relative/../folder/");
  EXPECT_EQ(platform::files::deviceRoot(), (std::filesystem::current_path() / "folder").string());
  platform::files::setDeviceRoot(root());
}

}  // namespace
