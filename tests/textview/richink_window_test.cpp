// The "RichInk" window: every message the viewer sends, with the results it gets, and the
// control's own handling of the pointer, wheel, keys and scroll bars.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/window_host.h"
#include "platform/testing/message_spy.h"
#include "platform/testing/test_host.h"
#include "platform/textview/font_fallback.h"
#include "platform/textview/richink.h"
#include "platform/textview/text_widget.h"
#include "tests/support/text_view_host.h"

namespace platform::textview {
namespace {

// A main window with a text view filling it, as the viewer creates them.
class RichInkWindow : public test_support::TextViewHostTest {
 protected:
  void SetUp() override { createHost(480, 588); }

  TextViewControl& control() { return widget().control(); }
  LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessage(view_, message, wParam, lParam); }
  LRESULT setText(const std::u16string& text) { return send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
  int firstVisibleLine() { return static_cast<int>(send(EM_GETFIRSTVISIBLELINE)); }
  // Sends a mouse message at a point given in device pixels of the text view.
  void mouse(UINT message, int x, int y, WPARAM keys = MK_LBUTTON) {
    send(message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  }
  std::u16string numberedLines(int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) text += u"line " + QString::number(i).toStdU16String() + u"\r\n";
    return text;
  }

};

using StreamSource = test_support::RecordingSource;
constexpr auto streamCallback = test_support::recordingCallback;

TEST_F(RichInkWindow, StreamInPullsTheDocumentInFourKilobyteChunks) {
  StreamSource source;
  for (int i = 0; i < 10000; ++i) source.bytes.push_back(i % 50 == 49 ? '\n' : 'a');
  source.bytes.push_back('\0');
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, streamCallback};
  send(EM_CLEARALL);
  send(EM_STREAMIN, SF_PWI, reinterpret_cast<LPARAM>(&stream));
  EXPECT_EQ(source.requested, (std::vector<LONG>{4096, 4096, 4096, 4096}));
  EXPECT_EQ(source.delivered, (std::vector<LONG>{4096, 4096, 1809, 0}));
  EXPECT_EQ(send(WM_GETTEXTLENGTH), 10000);  // the zero byte ends the text
  EXPECT_EQ(send(EM_GETLINECOUNT), 201);

  // The plain-text request without a stream changes nothing.
  EXPECT_EQ(send(EM_STREAMIN, SF_TEXT, 0), 0);
  EXPECT_EQ(send(WM_GETTEXTLENGTH), 10000);

  // UTF-16 with its byte-order mark is read as such.
  StreamSource utf16;
  utf16.bytes = std::string("\xFF\xFE" "A\0\x42\x30\0\0", 8);
  EDITSTREAM second{reinterpret_cast<DWORD_PTR>(&utf16), 0, streamCallback};
  send(EM_STREAMIN, SF_PWI, reinterpret_cast<LPARAM>(&second));
  WCHAR buffer[8] = {};
  EXPECT_EQ(send(WM_GETTEXT, 8, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_EQ(std::u16string(buffer), u"A\u3042");
}

TEST_F(RichInkWindow, TextIsSetReadAndClearedWithLineEndsAsEditControlsCountThem) {
  EXPECT_EQ(setText(u"one\r\ntwo\nthree\rfour\r\r\nfive"), TRUE);
  EXPECT_EQ(send(WM_GETTEXTLENGTH), 26);
  EXPECT_EQ(send(EM_GETLINECOUNT), 5);
  WCHAR small[5] = {u'#', u'#', u'#', u'#', u'#'};
  EXPECT_EQ(send(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(small)), 4);
  EXPECT_EQ(std::u16string(small), u"one\r");
  EXPECT_EQ(send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
  send(EM_CLEARALL);
  EXPECT_EQ(send(WM_GETTEXTLENGTH), 0);
  EXPECT_EQ(send(EM_GETLINECOUNT), 1);
  EXPECT_EQ(send(WM_SETTEXT, 0, 0), TRUE);  // no text is an empty text
  EXPECT_EQ(send(WM_GETTEXTLENGTH), 0);
}

TEST_F(RichInkWindow, LeadingByteOrderMarkUnitsAreKeptAsCharacters) {
  // The program's text carries no byte-order mark: U+FEFF and U+FFFE at its start are shown as
  // they are, never dropped or taken as a reason to swap the bytes of what follows.
  for (const std::u16string text : {u"\uFEFFAB", u"\uFFFEAB", u"\uFFFE\u4100"}) {
    setText(text);
    WCHAR buffer[8] = {};
    EXPECT_EQ(send(WM_GETTEXT, 8, reinterpret_cast<LPARAM>(buffer)), static_cast<LRESULT>(text.size()));
    EXPECT_EQ(std::u16string(buffer), text);
  }
}

TEST_F(RichInkWindow, TheSelectionGoesToTheClipboardAndNothingSelectedCopiesNothing) {
  setText(u"Hello brave new world\r\nsecond line");
  send(EM_SETSEL, 6, 11);
  DWORD start = 0;
  DWORD end = 0;
  EXPECT_EQ(send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)), MAKELONG(6, 11));
  EXPECT_EQ(start, 6u);
  EXPECT_EQ(end, 11u);
  QGuiApplication::clipboard()->setText("before");
  send(WM_COPY);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "brave");

  send(EM_SETSEL, 0, 0);
  QGuiApplication::clipboard()->setText("untouched");
  send(WM_COPY);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");

  send(EM_SETSEL, 16, static_cast<LPARAM>(-1));
  send(WM_COPY);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "world\nsecond line");
  send(EM_SETSEL, 0, static_cast<LPARAM>(-1));
  send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 34u);
}

CHARFORMAT faceFormat(const std::u16string& face) {
  CHARFORMAT format{};
  format.cbSize = sizeof(CHARFORMAT);
  format.dwMask = CFM_FACE;
  std::copy_n(face.c_str(), std::min<size_t>(face.size() + 1, LF_FACESIZE), format.szFaceName);
  return format;
}

TEST_F(RichInkWindow, TheFaceNameAppliesToTheSelection) {
  setText(u"abcdef");
  CHARFORMAT serif = faceFormat(u"DejaVu Serif");
  // The viewer's way: select everything, set the face, collapse the selection.
  send(EM_SETSEL, 0, static_cast<LPARAM>(-1));
  EXPECT_EQ(send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&serif)), TRUE);
  send(EM_SETSEL, 0, 0);
  EXPECT_EQ(control().displayFont().families().front(), "DejaVu Serif");

  CHARFORMAT mono = faceFormat(u"DejaVu Sans Mono");
  send(EM_SETSEL, 2, 4);
  send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&mono));
  const auto runs = control().document().runsIn(0, 6);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[1].start, 2);
  EXPECT_EQ(runs[1].format->face, "DejaVu Sans Mono");

  // A record of the wrong size is refused; a face name without its zero stays in the field.
  CHARFORMAT wrongSize = faceFormat(u"DejaVu Sans");
  wrongSize.cbSize = 60;
  send(EM_SETSEL, 0, static_cast<LPARAM>(-1));
  EXPECT_EQ(send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&wrongSize)), FALSE);
  EXPECT_EQ(control().document().runs().size(), 3u);
  CHARFORMAT unterminated = faceFormat(u"");
  std::fill(std::begin(unterminated.szFaceName), std::end(unterminated.szFaceName), u'x');
  EXPECT_EQ(send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&unterminated)), TRUE);
  EXPECT_EQ(control().displayFont().families().front(), QString(LF_FACESIZE, u'x'));
}

TEST_F(RichInkWindow, ViewSettingsAreStoredAndAnswered) {
  EXPECT_EQ(send(EM_SETZOOMPERCENT, 0, 150), TRUE);
  EXPECT_EQ(send(EM_GETZOOMPERCENT), 150);
  send(EM_SETZOOMPERCENT, 0, 0);
  EXPECT_EQ(send(EM_GETZOOMPERCENT), 100);
  send(EM_SETZOOMPERCENT, 0, 100000);
  EXPECT_EQ(send(EM_GETZOOMPERCENT), 1000);
  send(EM_SETINKLAYER, 1);
  EXPECT_EQ(send(EM_GETINKLAYER), 1);
  send(EM_SETVIEW, VT_TYPINGVIEW);
  EXPECT_EQ(send(EM_GETVIEW), 0);
  for (WPARAM style : {PS_RULEDLINES, PS_DOTTEDLINES, PS_NONE}) {
    EXPECT_EQ(send(EM_SETPAGESTYLE, style), TRUE);
    EXPECT_EQ(send(EM_GETPAGESTYLE), static_cast<LRESULT>(style));
  }
  EXPECT_EQ(send(EM_SETPAGESTYLE, 5), FALSE);
  EXPECT_EQ(send(EM_GETPAGESTYLE), static_cast<LRESULT>(PS_NONE));
}

TEST_F(RichInkWindow, ScrollMessagesMoveTheFirstVisibleLine) {
  setText(numberedLines(300));
  const int page = control().linesPerPage();
  ASSERT_GT(page, 5);
  send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(firstVisibleLine(), 1);
  send(WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(firstVisibleLine(), 1 + page);
  send(WM_VSCROLL, SB_PAGEUP);
  EXPECT_EQ(firstVisibleLine(), 1);
  send(WM_VSCROLL, SB_LINEUP);
  send(WM_VSCROLL, SB_LINEUP);
  EXPECT_EQ(firstVisibleLine(), 0);
  send(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(firstVisibleLine(), send(EM_GETLINECOUNT) - page);
  send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(firstVisibleLine(), send(EM_GETLINECOUNT) - page);
  send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 120));
  EXPECT_EQ(firstVisibleLine(), 120);
  send(WM_VSCROLL, SB_TOP);
  EXPECT_EQ(send(EM_LINESCROLL, 0, 10), TRUE);
  EXPECT_EQ(firstVisibleLine(), 10);
  // The scroll bar shows where the view is.
  QScrollBar* bar = widget().findChild<QScrollBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->value(), 10);
  EXPECT_EQ(bar->maximum(), send(EM_GETLINECOUNT) - page);
}

// Lines too wide for the estimates (made from the font's average width): once a jump lays out
// lines the bar has not heard of, its range ends short of the text's end. A thumb dropped at
// the bottom of the bar still shows the last line.
TEST_F(RichInkWindow, AThumbAtTheBottomOfTheBarShowsTheEndEvenWithAStaleRange) {
  std::u16string text;
  for (int i = 0; i < 2000; ++i) text += std::u16string(60, u'W') + u"\r\n";
  setText(text);
  QScrollBar* vertical = nullptr;
  for (QScrollBar* bar : widget().findChildren<QScrollBar*>()) {
    if (bar->orientation() == Qt::Vertical) vertical = bar;
  }
  ASSERT_NE(vertical, nullptr);
  for (const auto& [code, part] : {std::pair{SB_THUMBTRACK, 2}, std::pair{SB_THUMBPOSITION, 4}}) {
    send(WM_VSCROLL, SB_TOP);
    const int maximum = vertical->maximum();
    control().scrollToLine(maximum / part);  // the bar is not told
    ASSERT_GT(control().lastFirstLine(), maximum);
    send(WM_VSCROLL, MAKEWPARAM(code, maximum));
    EXPECT_EQ(firstVisibleLine(), control().lastFirstLine()) << code;
  }

  // Idle time measures every line, and the bar's range follows.
  send(WM_VSCROLL, SB_TOP);
  const int perLine = control().visibleSegments().front().layout->lineCount();
  for (int i = 0; i < 10000 && !control().allMeasured(); ++i) QCoreApplication::processEvents();
  EXPECT_EQ(send(EM_GETLINECOUNT), 2000 * perLine + 1);
  EXPECT_EQ(vertical->maximum(), control().lastFirstLine());
}

TEST_F(RichInkWindow, TheScrollBarScrollsThroughTheWindowsMessages) {
  setText(numberedLines(100));
  QScrollBar* vertical = nullptr;
  for (QScrollBar* bar : widget().findChildren<QScrollBar*>()) {
    if (bar->orientation() == Qt::Vertical) vertical = bar;
  }
  ASSERT_NE(vertical, nullptr);
  testing::MessageSpy spy;
  spy.watch(view_);
  vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(spy.compare({{WM_VSCROLL, testing::Delivery::Sent, true, SB_LINEDOWN},
                         {WM_VSCROLL, testing::Delivery::Sent, true, SB_PAGEDOWN}}),
            "");
  EXPECT_EQ(firstVisibleLine(), 1 + control().linesPerPage());
  EXPECT_EQ(vertical->value(), firstVisibleLine());
}

TEST_F(RichInkWindow, WheelAndKeysScroll) {
  setText(numberedLines(200));
  send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)));
  EXPECT_EQ(firstVisibleLine(), 3);
  send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)));  // half a notch: not yet
  EXPECT_EQ(firstVisibleLine(), 3);
  send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)));
  EXPECT_EQ(firstVisibleLine(), 6);
  send(WM_KEYDOWN, VK_NEXT);
  EXPECT_EQ(firstVisibleLine(), 6 + control().linesPerPage());
  send(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(firstVisibleLine(), 5 + control().linesPerPage());
  send(WM_KEYDOWN, VK_HOME);
  EXPECT_EQ(firstVisibleLine(), 0);
}

TEST_F(RichInkWindow, MouseSelectsByDragAndWordsByDoubleClick) {
  setText(u"alpha beta gamma\r\ndelta epsilon");
  const double lineHeight = control().defaultLineHeight() / widgets::deviceScale();
  const int firstRow = static_cast<int>(lineHeight / 2);
  const int secondRow = static_cast<int>(lineHeight * 1.5);
  mouse(WM_LBUTTONDOWN, 1, firstRow);
  mouse(WM_MOUSEMOVE, 400, firstRow);
  mouse(WM_MOUSEMOVE, 1, secondRow);
  mouse(WM_LBUTTONUP, 1, secondRow, 0);
  DWORD start = 99;
  DWORD end = 99;
  send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 18u);  // the start of the second line
  mouse(WM_MOUSEMOVE, 400, secondRow, 0);  // moving after the release selects nothing more
  send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 18u);

  // "delta epsilon": a double click on "epsilon" selects it.
  const double charWidth = QFontMetricsF(control().displayFont()).horizontalAdvance("delta ep") / widgets::deviceScale();
  mouse(WM_LBUTTONDBLCLK, static_cast<int>(charWidth), secondRow);
  send(WM_COPY);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "epsilon");
  // A right-button press (the gesture's button) keeps the selection.
  mouse(WM_LBUTTONDOWN, 1, firstRow, MK_RBUTTON);
  send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end - start, 7u);
}

TEST_F(RichInkWindow, SetFontTakesWhatItNeedsAndKeepsNoHandle) {
  LOGFONT logFont{};
  logFont.lfHeight = 12;
  const std::u16string face = u"DejaVu Sans Mono";
  std::copy(face.begin(), face.end(), logFont.lfFaceName);
  HFONT font = CreateFontIndirect(&logFont);
  setText(u"some text to draw");
  EXPECT_EQ(send(WM_SETFONT, reinterpret_cast<WPARAM>(font), 0), 0);
  DeleteObject(font);
  // A new font may now get the same handle value: the view must not notice.
  LOGFONT other = logFont;
  other.lfHeight = 40;
  HFONT replacement = CreateFontIndirect(&other);
  widget().grab();
  EXPECT_EQ(control().displayFont().families().front(), "DejaVu Sans Mono");
  EXPECT_EQ(control().displayFont().pixelSize(), widgets::fontFromLogFont(logFont).pixelSize());
  EXPECT_EQ(send(WM_GETFONT), 0);
  DeleteObject(replacement);
}

TEST_F(RichInkWindow, TheCharacterSetPicksAFaceWithItsGlyphs) {
  const QString japanese = fallbackFaceFor(SHIFTJIS_CHARSET);
  if (japanese.isEmpty()) GTEST_SKIP() << "no Japanese face installed";
  LOGFONT logFont{};
  logFont.lfHeight = 12;
  logFont.lfCharSet = SHIFTJIS_CHARSET;  // and no face name
  HFONT font = CreateFontIndirect(&logFont);
  send(WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  DeleteObject(font);
  EXPECT_EQ(control().displayFont().families().front(), japanese);

  const std::u16string face = u"DejaVu Sans";  // installed: first, with the fallback after it
  std::copy(face.begin(), face.end(), logFont.lfFaceName);
  font = CreateFontIndirect(&logFont);
  send(WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  DeleteObject(font);
  EXPECT_EQ(control().displayFont().families(), QStringList({"DejaVu Sans", japanese}));
}

// A 50 MB document handed over in place: the end is reached exactly (its last line at the
// bottom, the line count and the first visible line agreeing with the document's lines), the
// text ends at the zero unit, and the storage is given back once, when the view lets go.
TEST_F(RichInkWindow, AFiftyMegabyteHandedOverTextReachesItsExactEnd) {
  constexpr size_t kUnits = size_t{50} << 20;
  static int releases = 0;
  releases = 0;
  auto* storage = new char16_t[kUnits + 8];
  size_t used = 0;
  int lines = 0;
  while (used + 40 < kUnits) {
    const std::u16string end = lines % 3 != 0 ? u" of a book\r\n" : u"\n";
    const std::u16string line = u"line " + QString::number(lines++).toStdU16String() + end;
    std::copy(line.begin(), line.end(), storage + used);
    used += line.size();
  }
  const std::u16string last = u"the last line";
  std::copy(last.begin(), last.end(), storage + used);
  used += last.size();
  ++lines;
  storage[used] = 0;
  std::fill(storage + used + 1, storage + kUnits + 8, u'x');  // after the zero unit: not text
  TEXTHANDOVER handover{storage, kUnits + 8, [](void* held) {
                          ++releases;
                          delete[] static_cast<char16_t*>(held);
                        },
                        storage, nullptr};
  ASSERT_EQ(send(EM_SETTEXTHANDOVER, 0, reinterpret_cast<LPARAM>(&handover)), TRUE);
  EXPECT_EQ(send(WM_GETTEXTLENGTH), static_cast<LRESULT>(used));

  send(WM_VSCROLL, SB_BOTTOM);
  widget().grab();
  const auto visible = control().visibleSegments();
  ASSERT_FALSE(visible.empty());
  const VisibleSegment& bottom = visible.back();
  EXPECT_EQ(bottom.segment, control().document().segmentCount() - 1);
  EXPECT_EQ(bottom.lastLine, bottom.layout->lineCount() - 1);
  EXPECT_EQ(bottom.layout->text(), QString::fromStdU16String(last));
  EXPECT_EQ(send(EM_GETLINECOUNT), lines);
  EXPECT_EQ(firstVisibleLine() + control().linesPerPage(), lines);
  for (const QScrollBar* bar : widget().findChildren<QScrollBar*>()) {
    if (bar->orientation() == Qt::Vertical) {
      EXPECT_EQ(bar->value(), firstVisibleLine());
    }
  }
  send(WM_VSCROLL, SB_TOP);
  EXPECT_EQ(firstVisibleLine(), 0);

  EXPECT_EQ(releases, 0);
  send(EM_CLEARALL);
  EXPECT_EQ(releases, 1);
}

// A handover prepared on another thread shows as one that was not; one never sent is given
// back, preparation and storage, exactly once.
TEST_F(RichInkWindow, AHandoverPreparedOnAnotherThreadShowsOrIsGivenBack) {
  static int releases = 0;
  releases = 0;
  const auto make = [] {
    auto* storage = new char16_t[16]{u'o', u'n', u'e', u'\n', u't', u'w', u'o', 0};
    return TEXTHANDOVER{storage, 16,
                        [](void* held) {
                          ++releases;
                          delete[] static_cast<char16_t*>(held);
                        },
                        storage, nullptr};
  };
  TEXTHANDOVER shown = make();
  std::thread([&] { EXPECT_TRUE(PrepareTextHandover(&shown)); }).join();
  EXPECT_FALSE(PrepareTextHandover(&shown));  // once only
  ASSERT_EQ(send(EM_SETTEXTHANDOVER, 0, reinterpret_cast<LPARAM>(&shown)), TRUE);
  EXPECT_EQ(send(WM_GETTEXTLENGTH), 7);
  EXPECT_EQ(send(EM_GETLINECOUNT), 2);

  TEXTHANDOVER dropped = make();
  std::thread([&] { PrepareTextHandover(&dropped); }).join();
  DiscardTextHandover(&dropped);
  EXPECT_EQ(releases, 1);
  send(EM_CLEARALL);
  EXPECT_EQ(releases, 2);
}

TEST_F(RichInkWindow, ATwentyMegabyteTextShowsWithoutLayingOutEverything) {
  std::u16string text;
  const std::u16string line = u"A line of a long book, with enough words in it to wrap now and then.\r\n";
  text.reserve(20u << 20);
  while (text.size() < (20u << 20)) text += line;
  EXPECT_EQ(setText(text), TRUE);
  widget().grab();  // the first paint
  const auto statistics = control().layoutStatistics();
  EXPECT_GT(control().document().segmentCount(), 250000);
  EXPECT_LT(statistics.layoutsMade, 100);
  EXPECT_LT(statistics.laidOutSegments, 100);
  send(WM_VSCROLL, SB_BOTTOM);
  widget().grab();
  EXPECT_LT(control().layoutStatistics().laidOutSegments, 200);
  EXPECT_EQ(send(WM_GETTEXTLENGTH), static_cast<LRESULT>(text.size()));
}

}  // namespace
}  // namespace platform::textview
