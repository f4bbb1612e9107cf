// Real processes of the program: one viewer per device, and a sandboxed viewer that writes
// nothing outside its device.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/hand_over.h"
#include "app/main_window.h"
#include "platform/system/single_instance.h"
#include "tests/app/viewer_fixture.h"

extern char** environ;

namespace {

pid_t startViewer(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// Waits for the process to end; returns its exit code, or -1 if it did not end in time.
int waitForExit(pid_t pid, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < until) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

TEST(SingleInstance, ASecondStartBringsTheFirstForwardAndEndsWithCodeZero) {
  platform::testing::DeviceSandbox device;
  device.writeFile(u"\\Program Files\\Quillscope\\Setting.dat", settingsBytes(100, 1, 0));
  device.writeFile(u"\\first.txt", "first");
  device.writeFile(u"\\second.txt", "second");
  const std::string binary = QUILLSCOPE_BINARY;

  const pid_t first = startViewer({binary, "--device", device.root(), "--no-screenshot", device.root() + "/first.txt"});
  ASSERT_GT(first, 0);
  // The running viewer answers on the device: wait until this process can find its window.
  HWND found = nullptr;
  for (int i = 0; i < 500 && found == nullptr; ++i) {
    found = FindWindow(kMainWindowClass, kMainWindowTitle);
    if (found == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_NE(found, nullptr) << "the first viewer never showed its window";
  EXPECT_EQ(FindWindow(kMainWindowClass, u"Quillscope other"), nullptr);

  // A second start without a document only brings the first forward. Had it become a viewer
  // itself it would write the screenshot before quitting.
  const std::string picture = device.root() + "/second.png";
  const pid_t second = startViewer({binary, "--device", device.root(), "--screenshot", picture});
  ASSERT_GT(second, 0);
  EXPECT_EQ(waitForExit(second, std::chrono::seconds(20)), 0);
  EXPECT_FALSE(std::filesystem::exists(picture));
  EXPECT_EQ(waitForExit(first, std::chrono::milliseconds(200)), -1) << "the first viewer must keep running";

  kill(first, SIGTERM);
  waitForExit(first, std::chrono::seconds(10));
}

// A second start that names a document hands it to the running viewer (this test's own), which
// shows it as if it had been chosen; the second start ends with code 0 and shows nothing.
class HandOverTest : public ViewerTest {
 protected:
  void TearDown() override {
    platform::single_instance::stopListening();
    ViewerTest::TearDown();
  }
};

TEST_F(HandOverTest, ADocumentNamedOnASecondStartOpensInTheRunningViewer) {
  device->writeFile(u"\\first.txt", "first");
  device->writeFile(u"\\My Documents\\second.txt", "second");
  startViewer(u"\\first.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  ASSERT_TRUE(platform::single_instance::startListening());

  const std::string picture = device->root() + "/second.png";
  const pid_t second = ::startViewer({QUILLSCOPE_BINARY, "--device", device->root(), "--screenshot", picture,
                                    device->root() + "/My Documents/second.txt"});
  ASSERT_GT(second, 0);
  int exitCode = -1;
  for (int i = 0; i < 1000 && exitCode < 0; ++i) {
    platform::testing::pumpFor(20);  // this viewer answers the second start from its loop
    exitCode = waitForExit(second, std::chrono::milliseconds(1));
  }
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(picture));
  platform::testing::pumpMessages();
  EXPECT_EQ(std::u16string(state->path), u"\\My Documents\\second.txt");
  EXPECT_EQ(state->richDocument, kDecodedText);
  EXPECT_EQ(shownText(), u"second");
}

TEST_F(HandOverTest, OnlyAPathThatFitsIsTakenAndOnlyFromTheQueue) {
  device->writeFile(u"\\first.txt", "first");
  device->writeFile(u"\\third.txt", "third");
  startViewer(u"\\first.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  const std::u16string tooLong(kPathUnits, u'a');
  const std::u16string unterminated = u"\\third.txt";
  const struct {
    ULONG_PTR kind;
    const void* data;
    DWORD bytes;
    LRESULT taken;
  } kBlocks[] = {
      {kHandOverCopyDataKind, tooLong.c_str(), static_cast<DWORD>((tooLong.size() + 1) * 2), FALSE},
      {kHandOverCopyDataKind, u"", 2, FALSE},
      {kHandOverCopyDataKind, "\\\0a", 3, FALSE},  // not whole units
      {0x1234, u"\\x.txt", 14, FALSE},
      {kHandOverCopyDataKind, unterminated.c_str(), static_cast<DWORD>(unterminated.size() * 2), TRUE},
  };
  for (const auto& block : kBlocks) {
    COPYDATASTRUCT data{block.kind, block.bytes, const_cast<void*>(block.data)};
    EXPECT_EQ(SendMessage(state->mainWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), block.taken);
  }
  // Taken, but opened only when the queue gets to it.
  EXPECT_EQ(state->handedOverPath, std::u16string(u"\\third.txt"));
  EXPECT_EQ(shownText(), u"first");
  platform::testing::pumpMessages();
  EXPECT_EQ(state->handedOverPath[0], 0);
  EXPECT_EQ(shownText(), u"third");
}

// With no document the open dialog comes up; the desktop's file dialog keeps its history and
// last folder in Qt's settings. A sandboxed viewer keeps them inside the device: the home
// folder it runs with is left as it was.
TEST(Sandbox, TheOpenDialogWritesNothingOutsideTheDevice) {
  platform::testing::DeviceSandbox device;
  device.writeFile(u"\\Program Files\\Quillscope\\Setting.dat", settingsBytes(100, 1, 0, 1, /*useSystemDialog=*/1));
  char homeTemplate[] = "/tmp/quill-home-XXXXXX";  // a folder of its own, standing for the user's home
  ASSERT_NE(::mkdtemp(homeTemplate), nullptr);
  const std::string home = homeTemplate;
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.rfind("HOME=", 0) != 0 && text.rfind("XDG_", 0) != 0 && text.rfind("QT_QPA_PLATFORM=", 0) != 0) {
      environment.push_back(text);
    }
  }
  environment.push_back("HOME=" + home);
  environment.push_back("QT_QPA_PLATFORM=offscreen");
  std::vector<char*> envp;
  for (std::string& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::string binary = QUILLSCOPE_BINARY;
  std::string deviceOption = "--device";
  std::string deviceFolder = device.root();
  std::string screenshotOption = "--screenshot";
  std::string picture = device.root() + "/screen.png";
  char* argv[] = {binary.data(), deviceOption.data(), deviceFolder.data(), screenshotOption.data(), picture.data(),
                  nullptr};
  pid_t viewer = -1;
  ASSERT_EQ(posix_spawn(&viewer, argv[0], nullptr, nullptr, argv, envp.data()), 0);
  EXPECT_EQ(waitForExit(viewer, std::chrono::seconds(60)), 0);

  EXPECT_TRUE(std::filesystem::exists(picture));
  // The dialog did keep its state: inside the device.
  EXPECT_TRUE(std::filesystem::exists(device.root() + "/Program Files/Quillscope/Qt settings/QtProject.conf"));
  std::vector<std::string> written;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home)) written.push_back(entry.path().string());
  EXPECT_EQ(written, std::vector<std::string>{});
  std::filesystem::remove_all(home);
}

}  // namespace
