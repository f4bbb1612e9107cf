// The desktop window's title: the document's name, its encoding, and what went wrong.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/document_status.h"
#include "app/main_window.h"
#include "tests/app/viewer_fixture.h"

namespace {

std::u16string desktopTitle() {
  WCHAR buffer[512] = {};
  GetWindowText(GetDesktopWindow(), buffer, 512);
  return buffer;
}

constexpr int32_t kShiftJis = 1;
constexpr int32_t kKoreanEuc = 12;
constexpr int32_t kPalmDocJapanese = 18;

struct TitleCase {
  const char* what;            // the situation
  std::u16string commandLine;  // the document named on the command line
  int32_t encoding;            // the encoding in the settings
  std::u16string title;        // what the desktop window's title says
  bool reported;               // whether the same line goes to standard error
};

class DocumentTitleTest : public ViewerTest {
 protected:
  // Documents for every case: a readable text, a folder, an unreadable file, a sparse 2 GiB
  // file, text with undecodable Korean cells (more and less than 1 %), a Word document.
  void prepareDocuments() {
    device->writeFile(u"\\ok.txt", "plain text");
    std::filesystem::create_directories(device->hostPath(u"\\Books"));
    device->writeFile(u"\\locked.txt", "secret");
    ::chmod(device->hostPath(u"\\locked.txt").c_str(), 0);
    device->writeFile(u"\\huge.txt", "");
    std::filesystem::resize_file(device->hostPath(u"\\huge.txt"), uintmax_t{1} << 31);
    device->writeFile(u"\\bad.txt", std::string(10, 'a') + "\x81\x5B");
    device->writeFile(u"\\fine.txt", std::string(200, 'a') + "\x81\x5B");
    device->writeFile(u"\\notes.doc", "{\\rtf1 hello}");
  }
};

TEST_F(DocumentTitleTest, NamesTheDocumentItsEncodingAndWhatWentWrong) {
  const TitleCase cases[] = {
      {"readable text", u"\\ok.txt", kShiftJis, u"ok.txt - Japanese (Shift JIS) - Quillscope", false},
      {"rich document", u"\\notes.doc", kShiftJis, u"notes.doc - Quillscope", false},
      {"missing", u"\\gone.txt", kShiftJis, u"gone.txt - cannot be opened: no such file - Quillscope", true},
      {"folder", u"\\Books", kShiftJis, u"Books - cannot be opened: is a folder - Quillscope", true},
      {"unreadable", u"\\locked.txt", kShiftJis, u"locked.txt - cannot be opened: permission denied - Quillscope", true},
      {"2 GiB", u"\\huge.txt", kShiftJis, u"huge.txt - cannot be opened: 2 GiB or larger - Quillscope", true},
      {"not a book", u"\\ok.txt", kPalmDocJapanese,
       u"ok.txt - Palm DOC(Japanese) - is not a Palm DOC book this viewer reads - Quillscope", true},
      {"over 1 % undecodable", u"\\bad.txt", kKoreanEuc,
       u"bad.txt - Korean (EUC) - 1 characters undecodable in Korean (EUC): try another in VIEW - Quillscope", true},
      {"under 1 % undecodable", u"\\fine.txt", kKoreanEuc, u"fine.txt - Korean (EUC) - Quillscope", false},
  };
  prepareDocuments();
  for (const TitleCase& c : cases) {
    SCOPED_TRACE(c.what);
    // Permissions do not hold back the superuser.
    if (c.commandLine == u"\\locked.txt" && ::geteuid() == 0) continue;
    testing::internal::CaptureStderr();
    startViewer(c.commandLine, settingsBytes(100, c.encoding, 0));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(desktopTitle(), c.title);
    const std::string line = std::filesystem::path(desktopTitle()).string() + "\n";
    EXPECT_EQ(errors.find(line) != std::string::npos, c.reported) << errors;
    DestroyWindow(state->mainWindow);
    MSG quit{};
    PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // its quit request ends no loop here
    state.reset();
    UnregisterClass(kMainWindowClass, platform::testing::testInstance());
  }
}

TEST(TextCensus, CountsEmptyCellsAndBadSequencesUpToTheEnd) {
  const char16_t text[] = {u'a', 0xFFFF, u'b', 0xFFFD, 0, 0xFFFF};
  const TextCensus census = takeCensus(text);
  EXPECT_EQ(census.units, 4u);
  EXPECT_EQ(census.undecodable, 2u);
  EXPECT_FALSE(mostlyUndecodable(TextCensus{100, 1}));  // exactly 1 % is not more than 1 %
  EXPECT_TRUE(mostlyUndecodable(TextCensus{99, 1}));
}

}  // namespace
