// Running the layer inside a test process: the offscreen desktop application, one sandboxed
// device folder per test (everything the test created is reset when it ends), and pumping the
// queue the way the program's own message loop would.
#include "platform/testing/test_host.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/host/launcher.h"
#include "platform/host/platform_startup.h"
#include "platform/system/files/device_paths.h"
#include "platform/system/hot_keys.h"
#include "platform/system/message_loop.h"
#include "platform/system/program_reset.h"
#include "platform/system/responders.h"
#include "platform/system/window_records.h"

namespace platform::testing {

void initTestHost(int* argc, char** argv, const ResourceSection* resources) {
  if (QApplication::instance() == nullptr) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The device screen at one known scale, whatever the size of the test desktop's screen.
    setenv("QUILLSCOPE_SCALE", "1.5", 0);
    static int fallbackArgc = 1;
    static char programName[] = "quillscope-test";
    static char* fallbackArgv[] = {programName, nullptr};
    if (argc == nullptr || argv == nullptr) {
      new QApplication(fallbackArgc, fallbackArgv);
    } else {
      new QApplication(*argc, argv);
    }
  }
  host::initialisePlatform();
  if (resources != nullptr) RegisterResourceSection(programInstance(), resources);
}

HINSTANCE testInstance() { return programInstance(); }

DeviceSandbox::DeviceSandbox() : previousRoot_(files::deviceRoot()) {
  const std::string pattern = QDir::tempPath().toStdString() + "/quillscope-device-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back(0);
  if (mkdtemp(buffer.data()) != nullptr) root_ = buffer.data();
  files::setDeviceRoot(root_);
}

DeviceSandbox::~DeviceSandbox() {
  reset::resetProgramState();
  responders::resetResponders();
  files::setDeviceRoot(previousRoot_);
  if (!root_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
}

std::string DeviceSandbox::hostPath(const std::u16string& devicePath) const { return files::hostPathFor(devicePath); }

void DeviceSandbox::writeFile(const std::u16string& devicePath, const std::string& bytes) const {
  const std::filesystem::path path(hostPath(devicePath));
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string DeviceSandbox::readFile(const std::u16string& devicePath) const {
  std::ifstream in(hostPath(devicePath), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool DeviceSandbox::exists(const std::u16string& devicePath) const {
  std::error_code ignored;
  return std::filesystem::exists(hostPath(devicePath), ignored);
}

bool pumpMessages() {
  // Bounded, so that a message that keeps posting itself fails the test instead of hanging it.
  for (int round = 0; round < 100000; ++round) {
    messages::processPendingEvents();
    if (messages::queuedMessageCount() == 0) {
      messages::processPendingEvents();
      if (messages::queuedMessageCount() == 0) return !messages::isQuitPending();
    }
    MSG msg{};
    if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return !messages::isQuitPending();
}

void pumpFor(int ms) {
  if (QCoreApplication::instance() == nullptr) return;
  const int64_t deadline = messages::elapsedMilliseconds() + std::max(ms, 0);
  while (messages::elapsedMilliseconds() < deadline) {
    if (messages::isQuitPending() && messages::queuedMessageCount() == 0) {
      // The quit request stays for the program's own loop; only the desktop keeps running.
      messages::runDesktopUntil(nullptr, deadline);
      break;
    }
    MSG msg{};
    if (!messages::waitForMessage(&msg, nullptr, 0, 0, nullptr, deadline)) break;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

}  // namespace platform::testing
