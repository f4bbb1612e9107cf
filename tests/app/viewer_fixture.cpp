#include "tests/app/viewer_fixture.h"

#include <cstring>

#include "app/main_window.h"
#include "platform/system/input_routing.h"
#include "platform/system/commdlg.h"
#include "platform/textview/richink.h"

std::string settingsBytes(int32_t zoom, int32_t encoding, int32_t lineStyle, int32_t appKeys,
                          int32_t useSystemDialog, const std::u16string& face) {
  std::string bytes(184, '\0');
  auto put = [&](size_t offset, int32_t value) { std::memcpy(&bytes[offset], &value, 4); };
  put(0, zoom);
  std::memcpy(&bytes[4], face.data(), std::min<size_t>(face.size(), 31) * 2);
  put(132, encoding);
  put(136, lineStyle);
  put(140, appKeys);
  const int32_t keys[9] = {8, 9, 6, 7, 0, 1, 0, 2, 3};
  for (int i = 0; i < 9; ++i) put(144 + 4 * i, keys[i]);
  put(180, useSystemDialog);
  return bytes;
}

void ViewerTest::SetUp() {
  // Each test starts with no modifier key held, whatever the keys of the test before it held.
  platform::input::rememberModifiers(0);
  device = std::make_unique<platform::testing::DeviceSandbox>();
  cancelOpenDialog = std::make_unique<platform::testing::ScopedHook<platform::testing::OpenFileResponder>>(
      platform::testing::setOpenFileResponder, [](const OPENFILENAME&) { return std::u16string(); });
}

void ViewerTest::TearDown() {
  if (state && state->mainWindow != nullptr && IsWindow(state->mainWindow)) DestroyWindow(state->mainWindow);
  state.reset();
  cancelOpenDialog.reset();
  device.reset();
}

void ViewerTest::startViewer(const std::u16string& commandLine, const std::string& settings) {
  if (!settings.empty()) device->writeFile(u"\\Program Files\\Quillscope\\Setting.dat", settings);
  InitRichInkDLL();
  state = std::make_unique<ViewerState>(commandLine.c_str());
  ASSERT_TRUE(createMainWindow(*state, platform::testing::testInstance(), SW_SHOW));
}

void ViewerTest::putDocument(const std::u16string& devicePath, const std::string& bytes) {
  device->writeFile(devicePath, bytes);
  lstrcpyn(state->path, devicePath.c_str(), kPathUnits);
}


std::u16string ViewerTest::shownText() const {
  std::u16string text(static_cast<size_t>(GetWindowTextLength(state->textView)) + 1, u'\0');
  text.resize(static_cast<size_t>(GetWindowText(state->textView, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::vector<UINT> messageNumbers(const platform::testing::MessageSpy& spy, HWND hwnd) {
  std::vector<UINT> numbers;
  for (const auto& m : spy.messagesFor(hwnd)) numbers.push_back(m.message);
  return numbers;
}
