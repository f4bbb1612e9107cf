// What the refresh request sends to the text view, message by message.
#include "app/display.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::MessageSpy;

namespace {

class RefreshTest : public ViewerTest {
 protected:
  std::vector<UINT> refreshTraffic() {
    MessageSpy spy;
    spy.watch(state->textView);
    refreshDisplay(*state);
    return messageNumbers(spy, state->textView);
  }
};

TEST_F(RefreshTest, ADecodedTextIsHandedOverOnceThenOnlyTheSettingsAreSent) {
  startViewer(u"", settingsBytes(100, 1, 0));
  state->richDocument = kDecodedText;
  ASSERT_TRUE(state->wideText.ensureCapacity(8));
  lstrcpyn(state->wideText.data, u"abc", 8);
  const std::vector<UINT> settings{EM_SETZOOMPERCENT, EM_SETINKLAYER, EM_SETVIEW, EM_SETPAGESTYLE, WM_SETFONT};
  std::vector<UINT> first{EM_SETTEXTHANDOVER};
  first.insert(first.end(), settings.begin(), settings.end());
  EXPECT_EQ(refreshTraffic(), first);
  EXPECT_EQ(state->wideText.data, nullptr);  // the view owns the storage now
  EXPECT_EQ(refreshTraffic(), settings);
  EXPECT_EQ(GetWindowTextLength(state->textView), 3);
}

// Start-up with a document: showing the window paints and the load posts a refresh, yet the
// text reaches the view exactly once.
TEST_F(RefreshTest, TheDocumentOfTheCommandLineReachesTheViewOnce) {
  device->writeFile(u"\\a.txt", "some text");
  MessageSpy spy;
  spy.watchAll();
  startViewer(u"\\a.txt", settingsBytes(100, 4, 0));
  platform::testing::pumpMessages();
  int texts = 0;
  for (const auto& message : spy.messagesFor(state->textView)) {
    if (message.message == EM_SETTEXTHANDOVER || message.message == WM_SETTEXT) ++texts;
  }
  EXPECT_EQ(texts, 1);
  EXPECT_EQ(GetWindowTextLength(state->textView), 9);
}

TEST_F(RefreshTest, RichDocumentAndNoDocumentApplyTheFaceToTheWholeTextAndSendNoFont) {
  startViewer(u"", settingsBytes(100, 1, 0));
  const std::vector<UINT> expected{EM_SETSEL, EM_SETCHARFORMAT, EM_SETSEL, EM_SETZOOMPERCENT,
                                   EM_SETINKLAYER, EM_SETVIEW, EM_SETPAGESTYLE};
  state->richDocument = kNoDocumentYet;
  EXPECT_EQ(refreshTraffic(), expected);
  state->richDocument = kRichDocument;
  EXPECT_EQ(refreshTraffic(), expected);
}

TEST_F(RefreshTest, ParametersOfEachMessage) {
  startViewer(u"", settingsBytes(125, 1, 1, 1, 1, u"Noto Sans"));
  state->richDocument = kRichDocument;
  MessageSpy spy;
  spy.watch(state->textView);
  refreshDisplay(*state);
  const auto log = spy.messagesFor(state->textView);
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(log[0].wParam, 0u);
  EXPECT_EQ(log[0].lParam, -1);
  EXPECT_EQ(log[1].wParam, SCF_SELECTION);
  EXPECT_EQ(log[2].lParam, 0);
  EXPECT_EQ(log[3].lParam, 125);   // zoom
  EXPECT_EQ(log[4].wParam, 1u);    // ink layer 1
  EXPECT_EQ(log[5].wParam, 0u);    // view mode 0
  EXPECT_EQ(log[6].wParam, PS_RULEDLINES);
}

TEST_F(RefreshTest, LineStylesMapToPageStylesAndAnUnknownStyleSendsNone) {
  startViewer(u"", settingsBytes(100, 1, 0));
  state->richDocument = kDecodedText;
  const struct { uint32_t lineStyle; WPARAM pageStyle; } cases[] = {{0, 16}, {1, 2}, {2, 32}};
  for (const auto& c : cases) {
    state->lineStyle = c.lineStyle;
    MessageSpy spy;
    spy.watch(state->textView);
    refreshDisplay(*state);
    const auto log = spy.messagesFor(state->textView);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[3].message, EM_SETPAGESTYLE);
    EXPECT_EQ(log[3].wParam, c.pageStyle) << "line style " << c.lineStyle;
  }
  state->lineStyle = 5;
  EXPECT_EQ(refreshTraffic(), (std::vector<UINT>{EM_SETZOOMPERCENT, EM_SETINKLAYER, EM_SETVIEW, WM_SETFONT}));
}

TEST_F(RefreshTest, PlainTextReachesTheTextView) {
  startViewer(u"", settingsBytes(100, 1, 0));
  state->richDocument = kDecodedText;
  state->wideText.ensureCapacity(16);
  lstrcpyn(state->wideText.data, u"\u3042\u3044 text", 16);
  refreshDisplay(*state);
  WCHAR shown[32]{};
  GetWindowText(state->textView, shown, 32);
  EXPECT_EQ(std::u16string(shown), u"\u3042\u3044 text");
}

}  // namespace
