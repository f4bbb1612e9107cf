// The RTF reader on small documents: code pages, Unicode and its stand-ins, destinations that
// are not shown, tables, notes, formatting, and input built to break a parser.
#include <gtest/gtest.h>

#include <string>

#include "platform/textview/readers/rtf_reader.h"
#include "tests/readers/reader_test_support.h"

namespace platform::textview {
namespace {

QString rtfText(const std::string& bytes) { return shownText(rtfReader().read(bytesOf(bytes))); }

TEST(RtfReader, TextAsItIsShown) {
  const struct {
    const char* rtf;
    const char16_t* text;
  } cases[] = {
      {R"({\rtf1 one\par two\line three\tab four})", u"one\ntwo\nthree\tfour"},
      {R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80 \'93q\'94})", u"caf\u00E9 \u20AC \u201Cq\u201D"},
      {R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})", u"\u041F\u0440\u0438"},
      {R"({\rtf1\ansicpg1250{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset128 M;}{\f2\fcharset136 T;}}\'8a\f1\'82\'a0\'93\'fa\f2\'a4\'a4})",
       u"\u0160\u3042\u65E5\u4E2D"},
      {R"({\rtf1{\fonttbl{\f0\fcharset222 Thai;}}\f0\'a1})", u"\u0E01"},
      {R"({\rtf1\uc2 \u26085\'93\'fa!})", u"\u65E5!"},
      {R"({\rtf1 {\uc2 \u26085\'93\'fa}\u26412 ?x})", u"\u65E5\u672Cx"},  // \uc is scoped to its group
      {R"({\rtf1\uc0 \u-10179\u-8704 .})", u"\U0001F600."},             // a surrogate pair
      {R"({\rtf1 a{\v hidden}b})", u"ab"},
      {R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}}})", u"shown"},
      {R"({\rtf1 {\field{\*\fldinst A {\field{\*\fldinst B}{\fldrslt in}}}{\fldrslt out}}})", u"out"},
      {R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red1;}{\stylesheet{\s0 Normal;}}{\info{\title T}}{\pict\pngblip 89504e}{\*\unknown u}{\header h}body})",
       u"body"},
      {R"({\rtf1 a\bin999999 xyz})", u"a"},  // \bin longer than the file
      {"{\\rtf1 a\\bin2 }}b}", u"ab"},
      {R"({\rtf1 {\b bold)", u"bold"},  // never closed
      {R"({\rtf1 \emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote\~\-\_})", u"\u2014\u2013\u2022\u2018\u2019\u201C\u201D\u00A0\u2011"},
      {R"({\rtf1\fs99999999999999999 \uc-5 x\u99999999999 y})", u"x\uFFFFy"},  // parameters clamped
      {R"({\pwd2\ansi note\par})", u"note"},
      {R"({\rtf1 a} trailing)", u"a"},
      {R"({\rtf1 x{\super\chftn}{\footnote\chftn note}, y{\super\chftn}{\*\footnote\ftnalt\chftn end}.})", u"x1, yi."},
      // List labels as word processors write them for readers without lists; a symbol font's
      // bullet is the mark it draws, not the code page's character.
      {R"({\rtf1{\fonttbl{\f0 Times;}{\f1\fcharset2 Symbol;}{\f2\fcharset2 Wingdings;}}{\*\listtable{\list\listid1}})"
       R"({\listtext\pard\plain\f1 \'b7\tab}\ls1 a\par{\listtext\f2 \'a7\tab}b\par{\pntext 2.\tab}c\par\f1 \'61\'b7})",
       u"\u2022\ta\n\u25AA\tb\n2.\tc\na\u2022"},
  };
  for (const auto& c : cases) EXPECT_EQ(rtfText(c.rtf), QString::fromUtf16(c.text)) << c.rtf;
}

TEST(RtfReader, TablesAreRowsWithCellsAtTabStops) {
  const std::string rtf =
      R"({\rtf1\trowd\cellx1440\cellx2880\cellx4320 \intbl A\cell B1\par B2\cell\cell\row)"
      R"(\trowd\cellx1440\cellx2880\cellx4320 \intbl\cell x\cell y\cell\row\pard after\par})";
  const TextDocument document = rtfReader().read(bytesOf(rtf));
  EXPECT_EQ(shownText(document), u"A\tB1\tB2\t\n\tx\ty\nafter"_qs);
  const ParagraphFormat& row = document.paragraphFormatAt(0);
  EXPECT_EQ(row.tabStops, (std::vector<double>{72.0, 144.0}));
  EXPECT_TRUE(document.paragraphFormatAt(document.length() - 1).tabStops.empty());
}

TEST(RtfReader, CharacterAndParagraphFormats) {
  const std::string rtf =
      R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red255\green0\blue0;})"
      R"(\pard\qc\f1\fs28\b\i\ul\strike\cf1\super X\plain Y\par\pard\qr Z\par})";
  const TextDocument document = rtfReader().read(bytesOf(rtf));
  ASSERT_EQ(shownText(document), u"XY\nZ"_qs);
  const auto slices = document.runsIn(0, 2);
  ASSERT_EQ(slices.size(), 2u);
  const CharacterFormat& x = *slices[0].format;
  EXPECT_EQ(x.face, u"Courier New"_qs);
  EXPECT_EQ(x.pointSize, 14.0);
  EXPECT_TRUE(x.bold && x.italic && x.underline && x.strikeOut);
  EXPECT_EQ(x.color, 0xFFFF0000u);
  EXPECT_EQ(x.baseline, 1);
  const CharacterFormat& y = *slices[1].format;
  EXPECT_EQ(y.face, u"Arial"_qs);  // \plain: the default font, nothing else
  EXPECT_FALSE(y.bold || y.italic || y.underline || y.strikeOut || y.color != 0 || y.baseline != 0);
  EXPECT_EQ(document.paragraphFormatAt(0).alignment, Alignment::Center);
  EXPECT_EQ(document.paragraphFormatAt(3).alignment, Alignment::Right);
}

TEST(RtfReader, DeepNestingIsReadWithoutRecursion) {
  const int depth = 200000;
  const std::string rtf = "{\\rtf1 Before " + std::string(depth, '{') + "\\b deep" + std::string(depth, '}') + " After}";
  const QString text = rtfText(rtf);
  EXPECT_TRUE(text.startsWith(u"Before "_qs)) << text.left(40).toStdString();
  EXPECT_TRUE(text.endsWith(u" After"_qs));
}

}  // namespace
}  // namespace platform::textview
