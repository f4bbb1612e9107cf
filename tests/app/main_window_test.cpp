// The main window's handler: the command table, focus messages, start-up with and without a
// document on the command line.
#include "app/main_window.h"
#include "platform/system/commdlg.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::Delivery;
using platform::testing::MessageSpy;
using platform::testing::ScopedHook;

namespace {

bool quitPending(int* exitCode) {
  MSG msg{};
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *exitCode = static_cast<int>(msg.wParam);
      return true;
    }
    DispatchMessage(&msg);
  }
  return false;
}

int defaultHandlingCount(const MessageSpy& spy, HWND hwnd, UINT message) {
  int count = 0;
  for (const auto& m : spy.messagesFor(hwnd)) count += (m.delivery == Delivery::Default && m.message == message);
  return count;
}

TEST_F(ViewerTest, ExitCommandPostsTheQuitRequestWithCodeZeroWithoutDestroyingTheWindow) {
  startViewer(u"", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();  // the open command of an empty command line
  SendMessage(state->mainWindow, WM_COMMAND, 2001, 0);
  int exitCode = -1;
  EXPECT_TRUE(quitPending(&exitCode));
  EXPECT_EQ(exitCode, 0);
  EXPECT_TRUE(IsWindow(state->mainWindow));
}

TEST_F(ViewerTest, CopyCommandSendsTheCopyMessageToTheTextView) {
  startViewer(u"", settingsBytes(100, 1, 0));
  MessageSpy spy;
  spy.watch(state->textView);
  EXPECT_EQ(SendMessage(state->mainWindow, WM_COMMAND, 2006, 0), 0);
  EXPECT_EQ(messageNumbers(spy, state->textView), std::vector<UINT>{WM_COPY});
}

TEST_F(ViewerTest, MenuBarButtonsAndUnknownCommandsReachDefaultHandling) {
  startViewer(u"", settingsBytes(100, 1, 0));
  MessageSpy spy;
  spy.watch(state->mainWindow);
  for (WPARAM id : {1002u, 1003u, 2000u, 2008u, 9999u}) SendMessage(state->mainWindow, WM_COMMAND, id, 0);
  EXPECT_EQ(defaultHandlingCount(spy, state->mainWindow, WM_COMMAND), 5);
  SendMessage(state->mainWindow, WM_COMMAND, 2006, 0);
  EXPECT_EQ(defaultHandlingCount(spy, state->mainWindow, WM_COMMAND), 5);
}

TEST_F(ViewerTest, FocusMessagesNeverReachDefaultHandling) {
  startViewer(u"", settingsBytes(100, 1, 0, /*appKeys=*/0));
  MessageSpy spy;
  spy.watch(state->mainWindow);
  SendMessage(state->mainWindow, WM_SETFOCUS, 0, 0);
  SendMessage(state->mainWindow, WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(defaultHandlingCount(spy, state->mainWindow, WM_SETFOCUS), 0);
  EXPECT_EQ(defaultHandlingCount(spy, state->mainWindow, WM_KILLFOCUS), 0);
  EXPECT_EQ(SendMessage(state->mainWindow, WM_SETFOCUS, 0, 0), 0);
}

TEST_F(ViewerTest, EmptyCommandLineRunsTheOpenCommandOnceTheLoopStarts) {
  int dialogs = 0;
  ScopedHook<platform::testing::OpenFileResponder> chooser(
      platform::testing::setOpenFileResponder, [&](const OPENFILENAME& request) {
        ++dialogs;
        EXPECT_EQ(request.lStructSize, 76u);
        EXPECT_EQ(request.nMaxFile, 256u);
        EXPECT_EQ(request.Flags, 0x1000u);
        EXPECT_EQ(request.nFilterIndex, 0u);
        EXPECT_EQ(std::u16string(request.lpstrFilter), u"Document File");
        return std::u16string();  // cancelled
      });
  startViewer(u"", settingsBytes(100, 1, 0));
  EXPECT_EQ(dialogs, 0);  // not during creation
  platform::testing::pumpMessages();
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(state->richDocument, kNoDocumentYet);  // a cancelled first choice leaves no document
}

TEST_F(ViewerTest, ChoosingAFileLoadsDecodesAndShowsIt) {
  device->writeFile(u"\\My Documents\\kana.txt", "\x82\xa0\x82\xa2");  // Shift-JIS
  ScopedHook<platform::testing::OpenFileResponder> chooser(
      platform::testing::setOpenFileResponder, [](const OPENFILENAME&) { return std::u16string(u"\\My Documents\\kana.txt"); });
  startViewer(u"", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  EXPECT_EQ(std::u16string(state->path), u"\\My Documents\\kana.txt");
  EXPECT_EQ(state->richDocument, kDecodedText);
  WCHAR shown[8]{};
  GetWindowText(state->textView, shown, 8);
  EXPECT_EQ(std::u16string(shown), u"\u3042\u3044");
}

TEST_F(ViewerTest, CommandLineDocumentIsLoadedDuringCreationAndShownByTheFirstPaint) {
  device->writeFile(u"\\doc\\a.txt", "\xa4\xa2");  // EUC-JP
  startViewer(u"\\doc\\a.txt", settingsBytes(100, 3, 0));
  EXPECT_EQ(state->byteCount, 2);
  EXPECT_EQ(state->wideText.data, nullptr);  // decoded, and handed to the view by the first paint
  platform::testing::pumpMessages();
  WCHAR shown[8]{};
  GetWindowText(state->textView, shown, 8);
  EXPECT_EQ(std::u16string(shown), u"\u3042");
}

TEST(ViewerStateConstruction, CommandLineIsTakenVerbatimAndAnOverlongOneIsRefused) {
  ViewerState quoted(u"\"\\My Documents\\a b.txt\"  ");
  EXPECT_EQ(std::u16string(quoted.path), u"\"\\My Documents\\a b.txt\"  ");
  EXPECT_EQ(quoted.richDocument, kNoDocumentYet);
  EXPECT_EQ(quoted.byteCount, 0);
  EXPECT_EQ(quoted.fileBytes.capacity, 0u);

  std::u16string longest(1023, u'a');
  EXPECT_EQ(std::u16string(ViewerState(longest.c_str()).path), longest);
  std::u16string tooLong(1024, u'a');
  EXPECT_EQ(ViewerState(tooLong.c_str()).path[0], 0);
}

TEST_F(ViewerTest, MainWindowLeavesTheBottomForTheMenuBar) {
  startViewer(u"", settingsBytes(100, 1, 0));
  RECT window{}, view{};
  GetWindowRect(state->mainWindow, &window);
  GetWindowRect(state->textView, &view);
  EXPECT_NE(state->menuBar, nullptr);
  EXPECT_EQ(window.left, 0);
  EXPECT_EQ(view.left, window.left);
  EXPECT_EQ(view.top, window.top);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) - window.bottom, 26);
}

}  // namespace
