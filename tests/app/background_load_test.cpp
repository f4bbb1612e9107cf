// Big plain documents: the first screen shows from the start of the file while a thread of its
// own reads and decodes the rest, and the whole text then takes its place.
#include <cstring>
#include <random>

#include "app/background_load.h"
#include "app/document_session.h"
#include "convert/decode_text.h"
#include "platform/system/key_state.h"
#include "tests/app/viewer_fixture.h"

namespace {

// Bytes that put the decoders in their corners: line feeds right after lead bytes, shift and
// escape sequences, byte-order marks, surrogate halves and every byte value.
std::string mixedBytes(uint32_t seed, size_t pieces) {
  using namespace std::string_literals;
  static const std::string kPieces[] = {"\n"s,     "\r\n"s,   "\n\0"s,   "\0\n"s,   "\x1b$B"s, "\x1b(B"s,
                                        "\x1b$)C"s, "\x0e"s,   "\x0f"s,   "\xef\xbb\xbf"s, "\xff\xfe"s, "\xd8\x3d"s, "\x81"s};
  std::mt19937 random(seed);
  std::string bytes;
  for (size_t i = 0; i < pieces; ++i) {
    if (random() % 3 == 0) {
      bytes += kPieces[random() % std::size(kPieces)];
    } else {
      bytes += static_cast<char>(random() & 0xFF);
    }
  }
  return bytes;
}

std::u16string decoded(uint32_t encoding, const std::string& bytes) {
  ByteBuffer in;
  EXPECT_TRUE(in.ensureCapacity(static_cast<uint32_t>(bytes.size())));
  std::memcpy(in.data, bytes.data(), bytes.size());
  in.data[bytes.size()] = 0;
  WideBuffer out;
  const DecodeOutcome outcome = decodeText(encoding, in, static_cast<int32_t>(bytes.size()), out);
  return outcome.decoded ? std::u16string(out.data, outcome.units) : std::u16string();
}

// Every row a big document is loaded in the background in (all but the two Palm DOC rows): the
// first screen taken from the text of the file's first bytes is the start of the whole text,
// whatever the bytes and wherever they are cut.
TEST(FirstScreen, IsTheStartOfTheWholeTextInEveryRow) {
  for (uint32_t encoding = 0; encoding < 18; ++encoding) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
      const std::string bytes = mixedBytes(seed * 97 + encoding, 4000);
      const std::u16string whole = decoded(encoding, bytes);
      for (const size_t cut : {bytes.size() / 4, bytes.size() / 2 + 1, bytes.size() - 1}) {
        const std::u16string head = decoded(encoding, bytes.substr(0, cut));
        const uint32_t length = firstScreenLength(head.data(), static_cast<uint32_t>(head.size()));
        ASSERT_GT(length, 0u) << "row " << encoding;
        ASSERT_LE(length, whole.size());
        EXPECT_EQ(head.substr(0, length), whole.substr(0, length)) << "row " << encoding << ", seed " << seed << ", cut " << cut;
      }
    }
  }
}

TEST(FirstScreen, EndsAtALineFeedWellBeforeTheEndOfWhatWasDecoded) {
  const std::u16string text = u"one\ntwo\n" + std::u16string(kUnsettledTailUnits, u'x') + u"\n";
  EXPECT_EQ(firstScreenLength(text.data(), static_cast<uint32_t>(text.size())), 8u);
  const std::u16string late = u"one" + std::u16string(kUnsettledTailUnits, u'x') + u"\nshort\n";
  EXPECT_EQ(firstScreenLength(late.data(), static_cast<uint32_t>(late.size())), 0u);
}

class BackgroundLoadTest : public ViewerTest {
 protected:
  platform::testing::ScopedHook<platform::testing::MessageBoxResponder> advice{
      platform::testing::setMessageBoxResponder, [](const platform::testing::MessageBoxCall&) { return IDOK; }};

  // Numbered lines, a little over the background-load threshold.
  static std::string bigText() {
    std::string text;
    for (int i = 0; text.size() <= kBackgroundLoadThreshold; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
  }
  static std::u16string asUnits(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

  // Starts the viewer on a big document and paints its first screen; the load is still pending
  // (only the timer or a key collects it).
  void startOnBigDocument(const std::string& text) {
    device->writeFile(u"\\big.txt", text);
    device->writeFile(u"\\small.txt", "small\r\n");
    startViewer(u"\\big.txt", settingsBytes(100, 4, 0));  // UTF-8
    SendMessage(state->mainWindow, WM_PAINT, 0, 0);
  }
  void waitForWholeDocument() {
    for (int waited = 0; backgroundLoadPending(*state) && waited < 60000; waited += 5) platform::testing::pumpFor(5);
    ASSERT_FALSE(backgroundLoadPending(*state));
  }
  int64_t top() { return SendMessage(state->textView, EM_GETTOPCHAR, 0, 0); }
};

TEST_F(BackgroundLoadTest, TheFirstScreenShowsThenTheWholeTextAtTheSamePlace) {
  const std::string text = bigText();
  startOnBigDocument(text);
  ASSERT_TRUE(backgroundLoadPending(*state));
  const std::u16string first = shownText();
  EXPECT_GT(first.size(), 1000u);
  EXPECT_LE(first.size(), kFirstScreenBytes);
  EXPECT_EQ(asUnits(text).substr(0, first.size()), first);

  for (int i = 0; i < 3; ++i) SendMessage(state->textView, WM_VSCROLL, SB_PAGEDOWN, 0);
  const int64_t place = top();
  EXPECT_GT(place, 0);
  waitForWholeDocument();
  EXPECT_EQ(shownText(), asUnits(text));
  EXPECT_EQ(top(), place);
  EXPECT_EQ(state->byteCount, static_cast<int32_t>(text.size()));
}

// Keys act on the whole document: Ctrl+End waits for it and reaches its true end.
TEST_F(BackgroundLoadTest, AKeyWaitsForTheWholeDocument) {
  const std::string text = bigText();
  startOnBigDocument(text);
  const auto firstScreenLength = static_cast<int64_t>(shownText().size());
  SetFocus(state->mainWindow);
  platform::testing::pressKey(VK_END, MOD_CONTROL);
  platform::testing::pumpMessages();
  EXPECT_FALSE(backgroundLoadPending(*state));
  EXPECT_GT(top(), firstScreenLength);
  EXPECT_GT(top(), static_cast<int64_t>(text.size()) - 4096);  // the last screen of the whole text
}

// A reader's place deep in the document waits for the rest, and is kept if the reader leaves
// before it is in.
TEST_F(BackgroundLoadTest, AStoredPlaceBeyondTheFirstScreenIsShownOnceTheRestIsIn) {
  const std::string text = bigText();
  startOnBigDocument(text);
  waitForWholeDocument();
  const int64_t deep = static_cast<int64_t>(text.size() / 2);
  SendMessage(state->textView, EM_SETTOPCHAR, static_cast<WPARAM>(deep), 0);
  const int64_t place = top();
  openDocumentPath(*state, u"\\small.txt");

  openDocumentPath(*state, u"\\big.txt");
  SendMessage(state->mainWindow, WM_PAINT, 0, 0);
  platform::testing::pumpMessages();
  ASSERT_TRUE(backgroundLoadPending(*state) || top() == place);
  openDocumentPath(*state, u"\\small.txt");  // left while it loads: the place is kept
  platform::testing::pumpMessages();
  EXPECT_EQ(shownText(), u"small\r\n");
  openDocumentPath(*state, u"\\big.txt");
  SendMessage(state->mainWindow, WM_PAINT, 0, 0);
  waitForWholeDocument();
  platform::testing::pumpMessages();
  EXPECT_EQ(top(), place);
}

// Leaving, exiting or decoding again while the rest loads stops or waits for the thread: the
// buffers it writes are never given to another document under it (the sanitizer build checks).
TEST_F(BackgroundLoadTest, ExitWhileLoadingStopsTheThread) {
  startOnBigDocument(bigText());
  ASSERT_TRUE(backgroundLoadPending(*state));
  state->teardown();
  EXPECT_FALSE(backgroundLoadPending(*state));
}

}  // namespace
