// The smaller system services: strings, memory and the clipboard, fonts, cursors, resources
// and message boxes.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "core_test_support.h"
#include "platform/host/launcher.h"
#include "platform/system/gdi_objects.h"
#include "platform/system/resources.h"
#include "platform/system/window_host.h"
#include "platform/testing/test_hooks.h"
#include "platform/testing/test_host.h"

using namespace coretest;
using platform::testing::DeviceSandbox;
using platform::testing::ScopedHook;

namespace {

class ServicesTest : public ::testing::Test {
 protected:
  DeviceSandbox sandbox_;
};

TEST_F(ServicesTest, StringFunctionsCompareAndCopyWithinTheirBounds) {
  EXPECT_EQ(lstrlen(u"abc"), 3);
  EXPECT_EQ(lstrlen(nullptr), 0);
  EXPECT_LT(lstrcmp(u"ABC", u"abc"), 0);  // unit by unit
  EXPECT_GT(lstrcmp(u"abd", u"abc"), 0);
  EXPECT_EQ(lstrcmp(u"", nullptr), 0);
  EXPECT_EQ(lstrcmpi(u"Shift_JIS", u"shift_jis"), 0);
  EXPECT_LT(lstrcmpi(u"apple", u"Banana"), 0);  // case does not decide the order
  EXPECT_GT(lstrcmpi(u"\u00C9T\u00C9", u"\u00E9t"), 0);
  WCHAR buffer[6];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(lstrcpyn(buffer, u"abcdefgh", 4), buffer);
  EXPECT_EQ(std::u16string(buffer), u"abc");
  EXPECT_EQ(buffer[4], u'#');
  lstrcpyn(buffer, u"abcdefgh", 0);
  EXPECT_EQ(buffer[0], u'a');  // nothing written
}

TEST_F(ServicesTest, WsprintfFormatsItsConversionsAndNeverPassesItsBuffer) {
  WCHAR buffer[1100];
  EXPECT_EQ(wsprintf(buffer, u"%s", u"C:\\\"quoted path\""), 16);
  EXPECT_EQ(std::u16string(buffer), u"C:\\\"quoted path\"");
  wsprintf(buffer, u"%d|%5d|%-4d|%05d|%u|%x|%X|%c|%%|%.2s|%s", -12, 34, 7, -42, 4000000000u, 255u, 0xABCu, u'Z',
           u"xyz", static_cast<const WCHAR*>(nullptr));
  EXPECT_EQ(std::u16string(buffer), u"-12|   34|7   |-0042|4000000000|ff|ABC|Z|%|xy|(null)");
  wsprintf(buffer, u"%ld %q %", 5);
  EXPECT_EQ(std::u16string(buffer), u"5 %q %");
  // 1024 units with the terminator, however long the text.
  std::u16string longText(2000, u'a');
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(wsprintf(buffer, u"%s%s", longText.c_str(), u"tail"), 1023);
  EXPECT_EQ(buffer[1023], 0);
  EXPECT_EQ(buffer[1024], u'#');
}

TEST_F(ServicesTest, ClipboardTakesLocalMemoryTextAndReadsItBack) {
  const std::u16string text = u"\u65E5\u672C copy";
  auto* block = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, (text.size() + 1) * sizeof(WCHAR)));
  ASSERT_NE(block, nullptr);
  std::copy(text.begin(), text.end(), block);
  block[text.size()] = 0;
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);  // not open yet
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), block);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdU16String(), text);
  const auto* back = static_cast<const WCHAR*>(GetClipboardData(CF_UNICODETEXT));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::u16string(back), text);
  // Memory that is not a LocalAlloc block is refused rather than read.
  WCHAR onStack[4] = {u'x', 0, 0, 0};
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, onStack), nullptr);
  EXPECT_EQ(SetClipboardData(1, block), nullptr);
  // A block without a terminator is read only as far as it goes.
  auto* unterminated = static_cast<WCHAR*>(LocalAlloc(LMEM_FIXED, 3 * sizeof(WCHAR)));
  unterminated[0] = u'a';
  unterminated[1] = u'b';
  unterminated[2] = u'c';
  EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, unterminated), unterminated);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
}

TEST_F(ServicesTest, LocalMemoryIsZeroedOnRequestAndForeignPointersAreNotFreed) {
  auto* bytes = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(LocalFree(bytes), nullptr);
  int notABlock[8] = {};
  EXPECT_EQ(LocalFree(&notABlock[4]), &notABlock[4]);
  EXPECT_EQ(LocalAlloc(LMEM_FIXED, size_t{1} << 40), nullptr);
  EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST_F(ServicesTest, FontHandlesKeepTheirLogicalFontAndBecomeScaledDesktopFonts) {
  LOGFONT logFont{};
  logFont.lfHeight = -12;
  logFont.lfWeight = 700;
  logFont.lfItalic = 1;
  logFont.lfCharSet = SHIFTJIS_CHARSET;
  std::u16string face = u"NoSuchFace";
  std::copy(face.begin(), face.end(), logFont.lfFaceName);
  const size_t before = platform::gdi::liveFontCount();
  const HFONT font = CreateFontIndirect(&logFont);
  ASSERT_NE(font, nullptr);
  LOGFONT back{};
  EXPECT_EQ(GetObject(font, sizeof back, &back), 92);
  EXPECT_EQ(std::memcmp(&back, &logFont, sizeof back), 0);
  EXPECT_EQ(GetObject(font, 0, nullptr), 92);
  EXPECT_EQ(GetObject(font, 8, &back), 8);
  const QFont desktop = platform::widgets::fontFromHandle(font);
  EXPECT_EQ(desktop.pixelSize(), static_cast<int>(std::lround(12 * platform::widgets::deviceScale())));
  EXPECT_TRUE(desktop.bold());
  EXPECT_TRUE(desktop.italic());
  // A face the desktop lacks, with a Japanese character set, falls back to a Japanese family.
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  if (!japanese.isEmpty()) {
    EXPECT_TRUE(japanese.contains(desktop.families().value(0)));
  }
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_EQ(GetObject(font, sizeof back, &back), 0);
  EXPECT_EQ(platform::gdi::liveFontCount(), before);
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
  EXPECT_EQ(platform::gdi::brushColor(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), QColor(Qt::white));
  // A positive height is the cell height: the character itself is smaller.
  logFont.lfHeight = 12;
  const QFont cell = platform::widgets::fontFromLogFont(logFont);
  EXPECT_LE(cell.pixelSize(), desktop.pixelSize());
}

struct Enumeration {
  std::vector<QString> names;  // the face names, in the order of the calls
  int stopAfter = -1;          // answer 0 at this call
};

int collectFamily(const LOGFONT* logFont, const TEXTMETRIC* metrics, DWORD, LPARAM data) {
  auto* enumeration = reinterpret_cast<Enumeration*>(data);
  EXPECT_GT(metrics->tmHeight, 0);
  enumeration->names.push_back(QString::fromUtf16(logFont->lfFaceName));
  return static_cast<int>(enumeration->names.size()) == enumeration->stopAfter ? 0 : 1;
}

TEST_F(ServicesTest, FontFamiliesAreEnumeratedOnceEachWithTheDefaultsAndAFacePerScriptFirst) {
  // The desktop's families by name alone (Qt names a family of several foundries once per
  // foundry), without the generic names ("Sans Serif") that only stand for another family.
  QStringList families;
  for (QString family : QFontDatabase::families()) {
    if (const qsizetype bracket = family.indexOf(QLatin1String(" [")); bracket > 0) family = family.left(bracket);
    if (QFontDatabase::hasFamily(family) && !families.contains(family, Qt::CaseInsensitive)) families.push_back(family);
  }
  QStringList faceNames;  // as the 32-unit face field holds them
  for (const QString& family : families) faceNames.push_back(family.left(31));
  ASSERT_FALSE(families.isEmpty());
  const HWND window = createTopLevel(u"Fonts", 0);
  const HDC dc = GetDC(window);
  Enumeration all;
  EXPECT_EQ(EnumFontFamilies(dc, nullptr, collectFamily, reinterpret_cast<LPARAM>(&all)), 1);
  ASSERT_EQ(all.names.size(), static_cast<size_t>(families.size()));
  for (size_t i = 0; i < all.names.size(); ++i) {
    EXPECT_TRUE(faceNames.contains(all.names[i])) << all.names[i].toStdString();
    for (size_t j = 0; j < i; ++j) EXPECT_NE(all.names[i], all.names[j]) << "listed twice";
  }
  // The desktop's own sans, serif and monospace faces come first.
  for (const char* generic : {"sans-serif", "serif", "monospace"}) {
    const QString family = QFontInfo(QFont(QString::fromLatin1(generic))).family();
    if (!families.contains(family)) continue;
    const auto at = std::find(all.names.begin(), all.names.end(), family) - all.names.begin();
    EXPECT_LT(at, 5) << generic;
  }
  // A View dialog lists the first 20: each script the machine has a face for is among them.
  const std::vector<QString> firstTwenty(all.names.begin(), all.names.begin() + std::min<size_t>(20, all.names.size()));
  for (auto script : {QFontDatabase::Japanese, QFontDatabase::SimplifiedChinese, QFontDatabase::TraditionalChinese,
                      QFontDatabase::Korean, QFontDatabase::Thai, QFontDatabase::Vietnamese}) {
    if (QFontDatabase::families(script).isEmpty()) continue;
    bool covered = false;
    for (const QString& name : firstTwenty) covered = covered || QFontDatabase::writingSystems(name).contains(script);
    EXPECT_TRUE(covered) << "script " << static_cast<int>(script);
  }
  Enumeration first;
  first.stopAfter = 1;
  EXPECT_EQ(EnumFontFamilies(dc, nullptr, collectFamily, reinterpret_cast<LPARAM>(&first)), 0);
  EXPECT_EQ(first.names.size(), 1u);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
  EXPECT_EQ(ReleaseDC(window, dc), 0);
}

TEST_F(ServicesTest, TheWaitCursorIsTheDesktopsBusyCursorUntilTheArrowComesBack) {
  const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  ASSERT_NE(wait, nullptr);
  ASSERT_NE(arrow, wait);
  SetCursor(wait);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(SetCursor(wait), wait);  // no second override to undo
  EXPECT_EQ(SetCursor(arrow), wait);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ServicesTest, ResourcesAreFoundByNumber) {
  static const uint32_t pixels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x00000000u};
  static const platform::IconResource icons[] = {{1000, 2, 2, pixels}, {1001, 5000, 5000, pixels}};
  static const platform::StringResource strings[] = {{4001, u"FILE"}, {4003, u"TOOL"}};
  static const platform::ResourceSection section{nullptr, 0, nullptr, 0, nullptr, 0, strings, 2, icons, 2};
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x7C30000));
  platform::RegisterResourceSection(instance, &section);
  WCHAR text[8];
  EXPECT_EQ(LoadString(instance, 4003, text, 8), 4);
  EXPECT_EQ(std::u16string(text), u"TOOL");
  EXPECT_EQ(LoadString(instance, 4003, text, 3), 2);
  EXPECT_EQ(LoadString(instance, 4002, text, 8), 0);
  EXPECT_EQ(text[0], 0);
  const HICON icon = LoadIcon(instance, MAKEINTRESOURCE(1000));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIcon(instance, MAKEINTRESOURCE(1000)), icon);
  const QImage image = platform::widgets::iconPixmap(icon).toImage();
  ASSERT_EQ(image.size(), QSize(2, 2));
  EXPECT_EQ(image.pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(LoadIcon(instance, MAKEINTRESOURCE(2)), nullptr);
  // An icon whose stated size is out of proportion is not read.
  EXPECT_TRUE(platform::widgets::iconPixmap(LoadIcon(instance, MAKEINTRESOURCE(1001))).isNull());
  platform::RegisterResourceSection(instance, nullptr);
}

TEST_F(ServicesTest, MessageBoxesAskTheResponderWithTheOwnerDisabled) {
  const HWND owner = createTopLevel(u"Owner");
  std::vector<platform::testing::MessageBoxCall> calls;
  bool ownerEnabled = true;
  {
    ScopedHook<platform::testing::MessageBoxResponder> responder(
        platform::testing::setMessageBoxResponder, [&](const platform::testing::MessageBoxCall& call) {
          calls.push_back(call);
          ownerEnabled = IsWindowEnabled(owner) != FALSE;
          return IDNO;
        });
    EXPECT_EQ(MessageBox(owner, u"Quillscope can display up to 64kbyte text.", u"Information", 0x30), IDNO);
  }
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].owner, owner);
  EXPECT_EQ(calls[0].text, u"Quillscope can display up to 64kbyte text.");
  EXPECT_EQ(calls[0].caption, u"Information");
  EXPECT_EQ(calls[0].type, 0x30u);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetFocus(), owner);
}

TEST_F(ServicesTest, ADesktopMessageBoxShowsTheTypesButtonsAndIcon) {
  const HWND owner = createTopLevel(u"Owner");
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttonCount = 0;
  QTimer::singleShot(50, [&] {
    auto* box = platform::widgets::deviceScreen()->findChild<QMessageBox*>();
    if (box == nullptr) return;
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttonCount = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(MessageBox(owner, u"Replace?", u"Question", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(title, QStringLiteral("Question"));
  EXPECT_EQ(text, QStringLiteral("Replace?"));
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(buttonCount, 2);
}


TEST_F(ServicesTest, AScreenshotShowsADesktopMessageBoxStandingOverTheScreen) {
  const HWND owner = createTopLevel(u"Owner");
  ShowWindow(owner, SW_SHOW);
  const std::string before = sandbox_.root() + "/before.png";
  const std::string during = sandbox_.root() + "/during.png";
  ASSERT_TRUE(platform::host::writeScreenshot(before.c_str()));
  bool written = false;
  QTimer::singleShot(50, [&] {
    written = platform::host::writeScreenshot(during.c_str());
    if (auto* box = platform::widgets::deviceScreen()->findChild<QMessageBox*>()) box->button(QMessageBox::Ok)->click();
  });
  MessageBox(owner, u"Shown in the picture", u"Information", MB_OK | MB_ICONEXCLAMATION);
  ASSERT_TRUE(written);
  const QImage plain(QString::fromStdString(before));
  const QImage withBox(QString::fromStdString(during));
  ASSERT_EQ(plain.size(), withBox.size());
  int changed = 0;
  for (int y = 0; y < plain.height(); y += 2) {
    for (int x = 0; x < plain.width(); x += 2) changed += plain.pixel(x, y) != withBox.pixel(x, y);
  }
  EXPECT_GT(changed, 500);  // the box, its text and its button
}

}  // namespace

// A thread's handle: waited for with and without a time limit, its value read once it ends,
// closed while it still runs (it runs on to its end), and refused once closed.
TEST_F(ServicesTest, ThreadsAreWaitedForAndTheirHandlesClosedEvenWhileTheyRun) {
  struct Gate {
    std::atomic<bool> open{false};
    std::atomic<bool> done{false};
  } gate;
  const auto waitAtGate = [](LPVOID parameter) -> DWORD {
    auto* g = static_cast<Gate*>(parameter);
    while (!g->open.load()) std::this_thread::yield();
    g->done.store(true);
    return 7;
  };
  HANDLE thread = CreateThread(nullptr, 0, waitAtGate, &gate, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  DWORD code = 0;
  EXPECT_EQ(WaitForSingleObject(thread, 10), WAIT_TIMEOUT);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  gate.open.store(true);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
  EXPECT_FALSE(CloseHandle(thread));

  Gate second;
  HANDLE running = CreateThread(nullptr, 0, waitAtGate, &second, 0, nullptr);
  EXPECT_TRUE(CloseHandle(running));
  second.open.store(true);
  while (!second.done.load()) std::this_thread::yield();
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}
