// The text view's logic without a window: lazy layout of large texts, wrapping, scrolling by
// line and page, selection rules, faces, zoom and the stored view settings.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QTextLayout>
#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/textview/text_view_control.h"

namespace platform::textview {
namespace {

QString numberedLines(int count) {
  QString text;
  for (int i = 0; i < count; ++i) text += QString("line %1\r\n").arg(i);
  return text;
}

// A control whose view is `lines` whole lines (and a half) high.
void sizeForLines(TextViewControl& control, double lines, double width = 400) {
  control.setViewportSize(QSizeF(width, control.defaultLineHeight() * lines));
}

TEST(TextViewControl, AHugeTextShowsItsFirstScreenWithoutLayingOutEverything) {
  QString text;
  const QString line = "The quick brown fox jumps over the lazy dog, again and again and again.\r\n";
  text.reserve(20 * 1024 * 1024);
  while (text.size() < 20 * 1024 * 1024) text += line;
  TextViewControl control;
  control.setPlainText(text);
  sizeForLines(control, 40.5, 480);
  ASSERT_GT(control.document().segmentCount(), 250000);
  const auto visible = control.visibleSegments();
  EXPECT_GE(visible.size(), 20u);
  const auto statistics = control.layoutStatistics();
  EXPECT_LT(statistics.layoutsMade, 100);
  EXPECT_LE(statistics.cachedLayouts, TextLayoutEngine::kCacheCapacity);
  EXPECT_GE(control.lineCount(), control.document().segmentCount());  // estimates, not layouts
  EXPECT_LT(control.layoutStatistics().laidOutSegments, 100);

  // Jumping to the end lays out the last screen only, and the top line is the one asked.
  control.scrollToBottom();
  EXPECT_EQ(control.firstVisibleLine(), control.lastFirstLine());
  control.scrollToLine(1000000);
  EXPECT_LT(control.layoutStatistics().laidOutSegments, 300);
  EXPECT_GT(control.firstVisibleLine(), 100000);
}

// Lines of wide and narrow letters in varied lengths, too long a text for an exact count on
// demand: the estimates from the average width are off until idle time measures every line.
TEST(TextViewControl, MeasuringInIdleTimeMakesTheLineCountExactWithoutKeepingLayouts) {
  QString text;
  for (int i = 0; i < 3000; ++i) text += QString("W").repeated(i * 37 % 90) + QString("il ").repeated(i * 13 % 25) + "\r\n";
  ASSERT_GT(text.size(), kExactLineCountLimit);
  TextViewControl control;
  sizeForLines(control, 20.5, 300);
  control.setPlainText(text);

  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  int64_t expected = 0;
  for (const QString& line : text.split("\r\n")) {
    QTextLayout whole(line, control.displayFont());
    whole.setTextOption(option);
    whole.beginLayout();
    for (QTextLine wrapped = whole.createLine(); wrapped.isValid(); wrapped = whole.createLine()) {
      wrapped.setLineWidth(control.viewportSize().width() - 2 * control.margin());
    }
    whole.endLayout();
    expected += std::max(1, whole.lineCount());
  }
  EXPECT_NE(control.lineCount(), expected);  // estimated

  int slices = 0;
  while (!control.allMeasured() && slices < 100000) {
    control.measureUntil(std::chrono::steady_clock::now());
    ++slices;
  }
  EXPECT_EQ(control.lineCount(), expected);
  EXPECT_EQ(control.layoutStatistics().cachedLayouts, 0u);
  control.scrollToBottom();
  EXPECT_EQ(control.lastFirstLine() + control.linesPerPage(), expected);
}

TEST(TextViewControl, HugeTextWithoutLineEndsIsCutForLayout) {
  TextViewControl control;
  control.setPlainText(QString(4 * 1024 * 1024, QChar(0x3042)));  // 4M hiragana, no line end
  sizeForLines(control, 30);
  control.visibleSegments();
  EXPECT_LT(control.layoutStatistics().layoutsMade, 10);
  EXPECT_GT(control.lineCount(), 1000);
}

TEST(TextViewControl, LongLinesWrapAtWordsAndCjkAnywhere) {
  TextViewControl control;
  sizeForLines(control, 20, 200);
  control.setPlainText(QString("word ").repeated(200));
  const auto words = control.visibleSegments();
  ASSERT_EQ(words.size(), 1u);
  const QTextLayout& layout = *words.front().layout;
  EXPECT_GT(layout.lineCount(), 5);
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    EXPECT_LE(line.naturalTextWidth(), control.viewportSize().width());
    if (i + 1 < layout.lineCount()) {
      EXPECT_EQ(layout.text()[line.textStart() + line.textLength() - 1], QChar(u' ')) << "line " << i;
    }
  }

  control.setPlainText(QString(300, QChar(0x6F22)));
  const auto kanji = control.visibleSegments();
  EXPECT_GT(kanji.front().layout->lineCount(), 5);
  EXPECT_EQ(control.lineCount(), kanji.front().layout->lineCount());
}

// A line longer than a segment is laid out in pieces; where one piece ends and the next
// begins must not show: every wrapped line starts where it would if the line were laid out
// whole. Words of nearly one width and CJK text (which wraps anywhere) laid out in order, and
// prose of varied words (whose wrapping settles) also after a jump to the end first, which
// lays out only a few pieces' worth.
TEST(TextViewControl, ALongLineWrapsAsIfLaidOutWhole) {
  QString kana;
  for (int i = 0; kana.size() < 100000; ++i) kana += QChar(i % 7 == 0 ? 0x6F22 : 0x3042 + i % 80);
  QString words;
  for (int i = 0; words.size() < 100000; ++i) words += QString("w%1 ").arg(i * 7919 % 100000);
  static const char* const kProse[] = {"a ", "the ", "people ", "between ", "of ", "understanding ", "world, ", "it ",
                                       "little ", "against ", "is ", "remarkably "};
  QString prose;
  for (uint32_t seed = 1; prose.size() < 1100000;) {
    seed = seed * 1103515245u + 12345u;
    prose += QLatin1String(kProse[(seed >> 16) % 12]);
  }
  struct Case {
    QString text;     // one line
    bool jumpFirst;   // to the end before paging from the top
  };
  for (const Case& test : {Case{words, false}, Case{kana, false}, Case{prose, true}}) {
    const QString& text = test.text;
    TextViewControl control;
    sizeForLines(control, 30.5, 300);
    control.setPlainText(text);
    ASSERT_GT(control.document().segmentCount(), 10);
    if (test.jumpFirst) {
      control.scrollToBottom();
      EXPECT_LT(control.layoutStatistics().unitsLaidOut, 8 * kMaxSegmentLength);
      control.scrollToTop();
    }

    QTextLayout whole(text, control.displayFont());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    whole.setTextOption(option);
    std::vector<qsizetype> expected;
    whole.beginLayout();
    for (QTextLine line = whole.createLine(); line.isValid(); line = whole.createLine()) {
      line.setLineWidth(control.viewportSize().width() - 2 * control.margin());
      expected.push_back(line.textStart());
    }
    whole.endLayout();

    // The starts of the lines on screen, page by page down to the end.
    std::vector<qsizetype> shown;
    for (int page = 0; page < 10000; ++page) {
      const auto visible = control.visibleSegments();
      for (const VisibleSegment& segment : visible) {
        for (int line = segment.firstLine; line <= segment.lastLine; ++line) {
          shown.push_back(segment.textStart + segment.layout->lineAt(line).textStart());
        }
      }
      if (control.firstVisibleLine() == control.lastFirstLine()) break;
      control.scrollPages(1);
    }
    std::sort(shown.begin(), shown.end());
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(control.lineCount(), static_cast<int64_t>(expected.size()));
  }
}

TEST(TextViewControl, ScrollsByLineAndPageWithinTheText) {
  TextViewControl control;
  control.setPlainText(numberedLines(200));  // 200 lines and an empty last one
  sizeForLines(control, 10.5);
  EXPECT_EQ(control.lineCount(), 201);
  EXPECT_EQ(control.linesPerPage(), 10);
  control.scrollLines(1);
  EXPECT_EQ(control.firstVisibleLine(), 1);
  control.scrollPages(1);
  EXPECT_EQ(control.firstVisibleLine(), 11);
  control.scrollPages(-1);
  EXPECT_EQ(control.firstVisibleLine(), 1);
  control.scrollLines(-5);
  EXPECT_EQ(control.firstVisibleLine(), 0);
  control.scrollPages(-1);
  EXPECT_EQ(control.firstVisibleLine(), 0);
  control.scrollToBottom();
  EXPECT_EQ(control.firstVisibleLine(), 201 - 10);
  control.scrollLines(3);
  EXPECT_EQ(control.firstVisibleLine(), 191);
  control.scrollPages(1);
  EXPECT_EQ(control.firstVisibleLine(), 191);
  control.scrollToLine(50);
  EXPECT_EQ(control.firstVisibleLine(), 50);
  EXPECT_EQ(control.visibleSegments().front().layout->text(), "line 50");
  control.scrollToTop();
  EXPECT_EQ(control.firstVisibleLine(), 0);

  // A text shorter than the view does not scroll.
  control.setPlainText(numberedLines(3));
  control.scrollLines(2);
  control.scrollPages(1);
  EXPECT_EQ(control.firstVisibleLine(), 0);
}

TEST(TextViewControl, TheTopLineStaysWhenTheWidthChanges) {
  TextViewControl control;
  control.setPlainText(numberedLines(100));
  sizeForLines(control, 10);
  control.scrollToLine(40);
  sizeForLines(control, 10, 300);
  EXPECT_EQ(control.visibleSegments().front().layout->text(), "line 40");
  control.setZoomPercent(200);
  EXPECT_EQ(control.visibleSegments().front().layout->text(), "line 40");
}

TEST(TextViewControl, SelectionFollowsTheEditControlRules) {
  TextViewControl control;
  control.setPlainText("Hello brave new world");  // 21 characters
  control.setSelection(0, -1);
  EXPECT_EQ(control.selectionStart(), 0);
  EXPECT_EQ(control.selectionEnd(), 21);
  control.setSelection(6, 11);
  EXPECT_EQ(control.selectedText(), "brave");
  control.setSelection(11, 6);  // reversed
  EXPECT_EQ(control.selectedText(), "brave");
  EXPECT_EQ(control.caret(), 6);
  control.setSelection(-1, 0);  // removes the selection, keeps the caret
  EXPECT_FALSE(control.hasSelection());
  EXPECT_EQ(control.caret(), 6);
  control.setSelection(15, 500);  // clamped
  EXPECT_EQ(control.selectedText(), " world");
  control.setSelection(0, 0);
  EXPECT_FALSE(control.hasSelection());
  EXPECT_EQ(control.selectedText(), "");

  control.selectWordAt(8);
  EXPECT_EQ(control.selectedText(), "brave");
  control.selectWordAt(6);
  EXPECT_EQ(control.selectedText(), "brave");
  control.selectWordAt(21);
  EXPECT_EQ(control.selectedText(), "world");

  control.setPlainText("one\r\ntwo");
  control.setSelection(0, -1);
  EXPECT_EQ(control.selectedText(), "one\ntwo");
}

TEST(TextViewControl, AFaceOnTheWholeTextChangesTheControlsFaceAndOnAPartTheRuns) {
  TextViewControl control;
  control.setPlainText("abcdef");
  control.setSelection(0, -1);
  control.applyFaceToSelection("DejaVu Serif");
  EXPECT_EQ(control.displayFont().families().front(), "DejaVu Serif");
  EXPECT_FALSE(control.document().hasOwnFormats());
  control.setSelection(1, 3);
  control.applyFaceToSelection("DejaVu Sans Mono");
  EXPECT_TRUE(control.document().hasOwnFormats());
  EXPECT_EQ(control.document().runsIn(1, 3).front().format->face, "DejaVu Sans Mono");
  const auto visible = control.visibleSegments();
  ASSERT_FALSE(visible.empty());
  const auto formats = visible.front().layout->formats();
  ASSERT_EQ(formats.size(), 1);
  EXPECT_EQ(formats.front().start, 1);
  EXPECT_EQ(formats.front().format.font().families().front(), "DejaVu Sans Mono");
  control.setSelection(2, 2);  // nothing selected: nothing changes
  control.applyFaceToSelection("DejaVu Serif");
  EXPECT_EQ(control.document().runs().size(), 3u);
}

TEST(TextViewControl, ZoomScalesTheFontWithinLimits) {
  TextViewControl control;
  QFont font;
  font.setPixelSize(18);
  control.setFont(font);
  EXPECT_EQ(control.setZoomPercent(150), 150);
  EXPECT_EQ(control.displayFont().pixelSize(), 27);
  EXPECT_EQ(control.setZoomPercent(0), 100);  // not chosen yet
  EXPECT_EQ(control.setZoomPercent(-20), kMinZoomPercent);
  EXPECT_EQ(control.setZoomPercent(5000), kMaxZoomPercent);
  control.setZoomPercent(50);
  EXPECT_EQ(control.displayFont().pixelSize(), 9);
  const double half = control.defaultLineHeight();
  control.setZoomPercent(200);
  EXPECT_NEAR(control.defaultLineHeight(), 4 * half, 2.0);
  EXPECT_GE(control.defaultLineHeight(), QFontMetricsF(control.displayFont()).ascent() + QFontMetricsF(control.displayFont()).descent());
}

TEST(TextViewControl, PageStylesAreTheThreeKnownOnes) {
  TextViewControl control;
  EXPECT_EQ(control.pageStyle(), PS_NONE);
  EXPECT_TRUE(control.setPageStyle(PS_RULEDLINES));
  EXPECT_TRUE(control.setPageStyle(PS_DOTTEDLINES));
  EXPECT_FALSE(control.setPageStyle(7));
  EXPECT_EQ(control.pageStyle(), PS_DOTTEDLINES);
}

TEST(TextViewControl, PointsMapToTextPositions) {
  TextViewControl control;
  control.setPlainText(numberedLines(50));
  sizeForLines(control, 10);
  const double height = control.defaultLineHeight();
  EXPECT_EQ(control.positionAt(QPointF(0, height * 2.5)), QString("line 0\r\nline 1\r\n").size());
  EXPECT_EQ(control.positionAt(QPointF(-50, -50)), 0);
  control.scrollToLine(10);
  const qsizetype lineTen = numberedLines(10).size();
  EXPECT_EQ(control.positionAt(QPointF(0, 1)), lineTen);
  EXPECT_EQ(control.positionAt(QPointF(1000, 1)), lineTen + 7);  // the end of "line 10"
  control.setPlainText("short");
  EXPECT_EQ(control.positionAt(QPointF(1000, 1000)), 5);
}

}  // namespace
}  // namespace platform::textview
