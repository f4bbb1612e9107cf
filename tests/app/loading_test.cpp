// Reading a document: what reaches the text view, the size advice, the stream and the buffers.
#include <unistd.h>

#include "app/decode_document.h"
#include "app/document_loader.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::MessageBoxCall;
using platform::testing::MessageSpy;
using platform::testing::ScopedHook;

namespace {

TEST(RichDocumentPath, OnlyLowerCaseDocAndPswEndingsAreRich) {
  EXPECT_TRUE(isRichDocumentPath(u"\\My Documents\\a.psw"));
  EXPECT_TRUE(isRichDocumentPath(u"\\a.doc"));
  EXPECT_TRUE(isRichDocumentPath(u".doc"));
  EXPECT_FALSE(isRichDocumentPath(u"doc"));
  EXPECT_FALSE(isRichDocumentPath(u"\\a.PSW"));
  EXPECT_FALSE(isRichDocumentPath(u"\\a.Doc"));
  EXPECT_FALSE(isRichDocumentPath(u"\\a.docx"));
  EXPECT_FALSE(isRichDocumentPath(u""));
}

TEST(StreamInCallback, DeliversTheBytesAndTheZeroByteInRequestedChunks) {
  std::vector<uint8_t> bytes(10001, 'x');
  bytes[10000] = 0;
  StreamCursor cursor{bytes.data(), bytes.data(), 10001};
  std::vector<uint8_t> sink(4096);
  std::vector<LONG> deliveries;
  for (int call = 0; call < 5; ++call) {
    LONG delivered = -1;
    EXPECT_EQ(streamInCallback(reinterpret_cast<DWORD_PTR>(&cursor), sink.data(), 4096, &delivered), 0u);
    deliveries.push_back(delivered);
    if (delivered == 0) break;
  }
  EXPECT_EQ(deliveries, (std::vector<LONG>{4096, 4096, 1809, 0}));
  EXPECT_EQ(sink[1808], 0);  // the last byte delivered is the zero after the file
}

class LoadTest : public ViewerTest {
 protected:
  int adviceCount = 0;
  std::u16string adviceText;
  ScopedHook<platform::testing::MessageBoxResponder> advice{
      platform::testing::setMessageBoxResponder, [this](const MessageBoxCall& call) {
        ++adviceCount;
        adviceText = call.text;
        EXPECT_EQ(call.caption, u"Information");
        EXPECT_EQ(call.type, 0x30u);
        return IDOK;
      }};

  void load(const std::u16string& path, const std::string& bytes, RichDocumentMode rich) {
    putDocument(path, bytes);
    state->richDocument = rich;
    loadDocument(*state, state->mainWindow);
  }
};

TEST_F(LoadTest, PlainDocumentClearsTheViewAndStreamsNothing) {
  startViewer(u"", settingsBytes(100, 1, 0));
  MessageSpy spy;
  spy.watch(state->textView);
  load(u"\\a.txt", "abc", kDecodedText);
  const auto log = spy.messagesFor(state->textView);
  ASSERT_EQ(log.size(), 2u) << spy.compare({});
  EXPECT_EQ(log[0].message, EM_CLEARALL);
  EXPECT_EQ(log[1].message, EM_STREAMIN);
  EXPECT_EQ(log[1].wParam, SF_TEXT);
  EXPECT_EQ(log[1].lParam, 0);
  EXPECT_EQ(state->byteCount, 3);
  EXPECT_EQ(state->fileBytes.data[3], 0);
  EXPECT_EQ(state->wideText.data[0], 0);
}

TEST_F(LoadTest, RichDocumentIsStreamedWholeWithItsZeroByte) {
  startViewer(u"", settingsBytes(100, 1, 0));
  MessageSpy spy;
  spy.watch(state->textView);
  load(u"\\a.doc", std::string(10000, 'w'), kRichDocument);
  const auto log = spy.messagesFor(state->textView);
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0].message, EM_CLEARALL);
  EXPECT_EQ(log[1].message, EM_STREAMIN);
  EXPECT_EQ(log[1].wParam, 0x10802u);
  EXPECT_EQ(log[1].lParam, reinterpret_cast<LPARAM>(&state->streamRequest));
  // The text view pulled everything: the file's bytes and the zero byte.
  EXPECT_EQ(state->streamCursor.current - state->streamCursor.start, 10001);
  EXPECT_EQ(adviceCount, 0);
}

// A file of 2^31 - 1 bytes would make the stream's byteCount + 1 overflow: it is refused like
// the files of 2 GiB and more (sparse files, so nothing of that size is written or read).
TEST_F(LoadTest, FilesOf2To31Minus1BytesAndMoreShowAsEmptyDocuments) {
  startViewer(u"", settingsBytes(100, 1, 0));
  for (const std::u16string name : {u"\\huge.psw", u"\\huge.txt"}) {
    for (const off_t size : {off_t{0x7FFFFFFF}, off_t{0x80000000}}) {
      putDocument(name, "x");
      ASSERT_EQ(truncate(device->hostPath(name).c_str(), size), 0);
      state->richDocument = documentModeOf(name.c_str());
      loadDocument(*state, state->mainWindow);
      EXPECT_EQ(state->byteCount, 0) << size;
      EXPECT_EQ(GetWindowTextLength(state->textView), 0) << size;
    }
  }
  EXPECT_EQ(adviceCount, 0);
}

TEST_F(LoadTest, SizeAdviceOnlyAbove64KAndTheWholeFileIsStillShown) {
  startViewer(u"", settingsBytes(100, 6, 0));  // ISO-8859-1: one unit per byte
  load(u"\\exact.txt", std::string(65536, 'a'), kDecodedText);
  EXPECT_EQ(adviceCount, 0);

  load(u"\\over.txt", std::string(65537, 'b'), kDecodedText);
  EXPECT_EQ(adviceCount, 1);
  EXPECT_EQ(adviceText, u"Quillscope can display up to 64kbyte text.");
  decodeDocument(*state);
  SendMessage(state->mainWindow, WM_PAINT, 0, 0);
  EXPECT_EQ(GetWindowTextLength(state->textView), 65537);
}

TEST_F(LoadTest, BuffersOnlyGrowAndAreReused) {
  startViewer(u"", settingsBytes(100, 1, 0));
  load(u"\\big.txt", std::string(50000, 'a'), kDecodedText);
  const uint8_t* bytes = state->fileBytes.data;
  const char16_t* text = state->wideText.data;
  load(u"\\small.txt", std::string(1000, 'b'), kDecodedText);
  EXPECT_EQ(state->fileBytes.capacity, 50000u);
  EXPECT_EQ(state->wideText.capacity, 50000u);
  EXPECT_EQ(state->fileBytes.data, bytes);
  EXPECT_EQ(state->wideText.data, text);
  EXPECT_EQ(state->byteCount, 1000);
  EXPECT_EQ(state->fileBytes.data[1000], 0);
}

TEST_F(LoadTest, AMissingFileShowsAnEmptyViewAndIsNotCreated) {
  startViewer(u"", settingsBytes(100, 1, 0));
  load(u"\\big.txt", std::string(300, 'a'), kDecodedText);
  lstrcpyn(state->path, u"\\nowhere\\missing.txt", kPathUnits);
  loadDocument(*state, state->mainWindow);
  EXPECT_EQ(state->byteCount, 0);
  EXPECT_EQ(state->fileBytes.data[0], 0);
  EXPECT_EQ(state->wideText.text()[0], 0);
  EXPECT_FALSE(device->exists(u"\\nowhere\\missing.txt"));
  EXPECT_FALSE(device->exists(u"\\nowhere"));
  decodeDocument(*state);
  SendMessage(state->mainWindow, WM_PAINT, 0, 0);
  EXPECT_EQ(GetWindowTextLength(state->textView), 0);
}

TEST_F(LoadTest, AFileOfTwoGigabytesOrMoreIsRefusedNotWrapped) {
  startViewer(u"", settingsBytes(100, 1, 0));
  device->writeFile(u"\\huge.txt", "");
  // A sparse file: 2 GiB of size without the disk space.
  ASSERT_EQ(truncate(device->hostPath(u"\\huge.txt").c_str(), off_t{1} << 31), 0);
  int messages = adviceCount;
  lstrcpyn(state->path, u"\\huge.txt", kPathUnits);
  state->richDocument = kDecodedText;
  loadDocument(*state, state->mainWindow);
  EXPECT_EQ(state->byteCount, 0);
  EXPECT_EQ(state->fileBytes.data[0], 0);
  EXPECT_LT(state->fileBytes.capacity, 1u << 20);  // nothing was sized by the huge file
  EXPECT_EQ(adviceCount, messages);
}

TEST_F(LoadTest, ADirectoryShowsAnEmptyView) {
  startViewer(u"", settingsBytes(100, 1, 0));
  device->writeFile(u"\\folder\\inner.txt", "x");
  lstrcpyn(state->path, u"\\folder", kPathUnits);
  state->richDocument = kDecodedText;
  loadDocument(*state, state->mainWindow);
  EXPECT_EQ(state->byteCount, 0);
}

}  // namespace
