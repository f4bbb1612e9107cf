// The document model: line ends, segments of long lines, runs and their faces, text ranges.
#include <gtest/gtest.h>

#include "platform/textview/text_model.h"

namespace platform::textview {
namespace {

// The lines of a document as its segments give them, line ends left out.
std::vector<QString> linesOf(const TextDocument& document) {
  std::vector<QString> lines;
  for (qsizetype segment = 0; segment < document.segmentCount(); ++segment) {
    const qsizetype start = document.segmentStart(segment);
    lines.push_back(document.text().mid(start, document.segmentContentEnd(segment) - start));
  }
  return lines;
}

TEST(TextModel, EachKindOfLineEndEndsExactlyOneLine) {
  struct Case {
    const char16_t* text;
    std::vector<QString> lines;
  };
  const Case cases[] = {
      {u"a\r\nb", {"a", "b"}},
      {u"a\nb", {"a", "b"}},
      {u"a\rb", {"a", "b"}},
      {u"a\r\r\nb", {"a", "b"}},            // the soft line break is one line end
      {u"a\r\rb", {"a", "", "b"}},           // two CRs alone are two
      {u"a\n\rb", {"a", "", "b"}},           // LF then CR: two
      {u"a\r\r\r\nb", {"a", "", "b"}},       // CR alone, then CR CR LF
      {u"a\r\n\nb", {"a", "", "b"}},
      {u"a\r\n", {"a", ""}},                 // a final line end leaves an empty last line
      {u"\r\r\n", {"", ""}},
      {u"", {""}},
  };
  for (const Case& c : cases) {
    const TextDocument document = TextDocument::fromPlainText(QString::fromUtf16(c.text));
    EXPECT_EQ(linesOf(document), c.lines) << QString::fromUtf16(c.text).toUtf8().toHex().toStdString();
    EXPECT_EQ(document.lineCount(), static_cast<qsizetype>(c.lines.size()));
  }
}

TEST(TextModel, LineEndLengthsAndPositionsMapToTheirLines) {
  const TextDocument document = TextDocument::fromPlainText(QString::fromUtf16(u"ab\r\r\ncd\ne"));
  ASSERT_EQ(document.segmentCount(), 3);
  EXPECT_EQ(document.lineEndLength(0), 3);
  EXPECT_EQ(document.lineEndLength(1), 1);
  EXPECT_EQ(document.lineEndLength(2), 0);
  EXPECT_EQ(document.segmentAt(0), 0);
  EXPECT_EQ(document.segmentAt(3), 0);  // inside the line end
  EXPECT_EQ(document.segmentAt(5), 1);
  EXPECT_EQ(document.segmentAt(8), 2);
  EXPECT_EQ(document.segmentAt(100), 2);
  EXPECT_EQ(lineEndLengthAt(u"\r", 0), 1);
  EXPECT_EQ(lineEndLengthAt(u"\r\r", 0), 1);
  EXPECT_EQ(lineEndLengthAt(u"x", 5), 0);
}

TEST(TextModel, LongLinesAreCutIntoSegmentsAtSpacesOrBetweenWideCharacters) {
  QString words;
  while (words.size() < 3 * kMaxSegmentLength) words += u"word ";
  const TextDocument latin = TextDocument::fromPlainText(words);
  ASSERT_GE(latin.segmentCount(), 3);
  EXPECT_EQ(latin.lineCount(), 1);
  for (qsizetype segment = 0; segment + 1 < latin.segmentCount(); ++segment) {
    const qsizetype end = latin.segmentEnd(segment);
    EXPECT_LE(end - latin.segmentStart(segment), kMaxSegmentLength);
    EXPECT_EQ(latin.text()[end - 1], QChar(u' ')) << "segment " << segment;
    EXPECT_EQ(latin.lineEndLength(segment), 0);
  }

  const QString kanji(3 * kMaxSegmentLength, QChar(0x6F22));
  const TextDocument wide = TextDocument::fromPlainText(kanji);
  EXPECT_GE(wide.segmentCount(), 3);
  EXPECT_EQ(wide.segmentEnd(0), kMaxSegmentLength);

  // Without a break opportunity the cut still never separates a surrogate pair.
  QString pairs;
  while (pairs.size() < 2 * kMaxSegmentLength + 3) pairs += QString::fromUtf16(u"\U0001F600");
  pairs.prepend(u'x');
  const TextDocument emoji = TextDocument::fromPlainText(pairs);
  ASSERT_GE(emoji.segmentCount(), 2);
  for (qsizetype segment = 1; segment < emoji.segmentCount(); ++segment) {
    EXPECT_FALSE(emoji.text()[emoji.segmentStart(segment)].isLowSurrogate());
  }
}

// A line without a single place to cut (a million combining marks, a million lone low
// surrogates) is still cut into segments of nearly the full length: cutting every unit on its
// own, after a long search back for a boundary, made indexing quadratic in such a line. The
// segment lengths show the work done; the test asserts them, not a time.
TEST(TextModel, ALineWithoutBoundariesIsCutIntoLongSegments) {
  for (const char16_t unit : {u'\u0301', char16_t{0xDC00}}) {
    QString line = QStringLiteral("x");
    line += QString(1'000'000, QChar(unit));
    const TextDocument document = TextDocument::fromPlainText(line);
    ASSERT_EQ(document.lineCount(), 1);
    ASSERT_GE(document.segmentCount(), 2);
    EXPECT_LE(document.segmentCount(), document.length() / (kMaxSegmentLength / 2) + 1) << int(unit);
    for (qsizetype segment = 0; segment + 1 < document.segmentCount(); ++segment) {
      const qsizetype length = document.segmentEnd(segment) - document.segmentStart(segment);
      ASSERT_GT(length, kMaxSegmentLength / 2) << "segment " << segment << " of U+" << std::hex << int(unit);
      ASSERT_LE(length, kMaxSegmentLength);
    }
    EXPECT_EQ(document.textOf(0, document.length(), u"\n"), line);
  }
}

TEST(TextModel, FacesSplitAndMergeRuns) {
  TextDocument document = TextDocument::fromPlainText("0123456789");
  EXPECT_FALSE(document.hasOwnFormats());
  document.setFace(2, 5, "Serif");
  ASSERT_EQ(document.runs().size(), 3u);
  const auto slices = document.runsIn(0, 10);
  ASSERT_EQ(slices.size(), 3u);
  EXPECT_EQ(slices[1].start, 2);
  EXPECT_EQ(slices[1].end, 5);
  EXPECT_EQ(slices[1].format->face, "Serif");
  EXPECT_TRUE(slices[0].format->face.isEmpty());
  // A second face over the tail and middle, then the same face everywhere merges back.
  document.setFace(4, 10, "Mono");
  EXPECT_EQ(document.runsIn(3, 6).size(), 2u);
  document.setFace(0, 10, "Mono");
  EXPECT_EQ(document.runs().size(), 1u);
  document.clearFaces();
  EXPECT_FALSE(document.hasOwnFormats());
  // Out-of-range requests are clamped and empty ones change nothing.
  document.setFace(8, 100, "Serif");
  EXPECT_EQ(document.runsIn(0, 100).back().end, 10);
  document.setFace(5, 5, "Mono");
  EXPECT_EQ(document.runs().size(), 2u);
}

TEST(TextModel, TextOfARangeWritesLineEndsAsAsked) {
  const TextDocument document = TextDocument::fromPlainText(QString::fromUtf16(u"one\r\ntwo\rthree\r\r\nfour"));
  EXPECT_EQ(document.textOf(0, document.length(), u"\n"), "one\ntwo\nthree\nfour");
  EXPECT_EQ(document.textOf(1, 6, u"\n"), "ne\nt");
  EXPECT_EQ(document.textOf(3, 4, u"\n"), "\n");  // half a CR LF is still the line end
  EXPECT_EQ(document.textOf(5, 8, u"|"), "two");
  EXPECT_EQ(document.textOf(-5, 2, u"\n"), "on");
  EXPECT_EQ(document.textOf(17, 100, u"\n"), "four");
  EXPECT_EQ(document.textOf(7, 3, u"\n"), "");
  // An empty range is empty wherever it lies, inside a line end too.
  for (const qsizetype k : {0, 3, 4, 5, 9, 15, 16, 17, 21}) EXPECT_EQ(document.textOf(k, k, u"\n"), "") << k;
}

TEST(TextModel, BuilderMakesParagraphsOfRuns) {
  DocumentBuilder builder;
  CharacterFormat bold;
  bold.bold = true;
  CharacterFormat big;
  big.pointSize = 18;
  builder.appendText(u"Title", big);
  builder.endParagraph();
  builder.appendText(u"plain ", CharacterFormat{});
  builder.appendText(u"strong", bold);
  builder.appendText(u" line\nbreak", CharacterFormat{});
  builder.endParagraph();
  builder.endParagraph();  // an empty paragraph
  builder.appendText(u"end", CharacterFormat{});
  builder.endParagraph();
  const TextDocument document = builder.finish();
  EXPECT_EQ(document.text(), QString::fromUtf16(u"Title\rplain strong line break\r\rend"));
  EXPECT_EQ(document.lineCount(), 4);
  const auto slices = document.runsIn(6, 28);
  ASSERT_EQ(slices.size(), 3u);
  EXPECT_TRUE(slices[1].format->bold);
  EXPECT_EQ(document.text().mid(slices[1].start, slices[1].end - slices[1].start), "strong");
  EXPECT_EQ(document.runsIn(0, 5).front().format->pointSize, 18);
  // The builder starts over after finish().
  EXPECT_TRUE(builder.finish().isEmpty());
}

}  // namespace
}  // namespace platform::textview
