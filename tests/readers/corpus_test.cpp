// Every file of tests/data/rich read by the reader its content calls for, against the text it
// must show (see tests/data/rich/README.md for the comparison).
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <fstream>
#include <string>
#include <vector>

#include "platform/textview/readers/reader.h"
#include "tests/readers/reader_test_support.h"

namespace platform::textview {
namespace {

struct CorpusFile {
  std::string name;   // file name in tests/data/rich
  std::string check;  // exact, lines-in-order, words-in-order or notice
};

std::vector<CorpusFile> manifest() {
  std::vector<CorpusFile> files;
  std::ifstream in(test_files::dataDir() / "rich" / "manifest.tsv");
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    const size_t first = line.find('\t');
    const size_t second = line.find('\t', first + 1);
    const size_t third = line.find('\t', second + 1);
    if (third == std::string::npos) continue;
    files.push_back({line.substr(0, first), line.substr(second + 1, third - second - 1)});
  }
  return files;
}

QStringList normalisedLines(QString text) {
  text.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n').replace(u'\t', u'\n').remove(QChar(0x00AD));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  QStringList lines = text.split(u'\n');
  for (QString& line : lines) {
    while (line.endsWith(u' ')) line.chop(1);
  }
  while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
  return lines;
}

bool linesInOrder(const QStringList& expected, const QStringList& shown) {
  qsizetype at = 0;
  for (const QString& line : expected) {
    while (at < shown.size() && shown[at] != line) ++at;
    if (at == shown.size()) return false;
    ++at;
  }
  return true;
}

QStringList wordsOf(const QStringList& lines) {
  return lines.join(u' ').split(QRegularExpression(u"\\s+"_qs), Qt::SkipEmptyParts);
}

TEST(RichCorpus, EveryFileShowsItsText) {
  const std::vector<CorpusFile> files = manifest();
  ASSERT_GE(files.size(), 20u);
  for (const CorpusFile& file : files) {
    SCOPED_TRACE(file.name);
    const std::string bytes = readRichFile(file.name);
    const QString expectedText = QString::fromUtf8(readRichFile(file.name + ".expected.txt"));
    const QStringList expected = normalisedLines(expectedText);
    // The view shows a picture as a placeholder; the expected text has no pictures.
    const QStringList shown = normalisedLines(shownText(readDocument(bytesOf(bytes))).remove(u"[Picture]"_qs));
    if (file.check == "exact") {
      EXPECT_EQ(shown.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
    } else if (file.check == "lines-in-order") {
      EXPECT_TRUE(linesInOrder(expected, shown)) << shown.join(u'\n').toStdString();
    } else if (file.check == "words-in-order") {
      EXPECT_TRUE(linesInOrder(wordsOf(expected), wordsOf(shown))) << shown.join(u'\n').toStdString();
    } else {
      ASSERT_EQ(file.check, "notice");
      EXPECT_LE(shown.join(u'\n').size(), 80) << shown.join(u'\n').toStdString();
    }
  }
}

// The formatting sample as Word and as RTF: each phrase in the format the word processor gave
// it, the title's from its paragraph style.
TEST(RichCorpus, FormattingSampleKeepsItsFormats) {
  struct Phrase {
    const char16_t* text;
    const char16_t* face;
    double pointSize;
    bool bold, italic, underline, strikeOut;
    uint32_t color;
    int8_t baseline;
    Alignment alignment;
  };
  const Phrase phrases[] = {
      {u"Quarterly Field Notes", u"Liberation Sans", 20, true, false, false, false, 0, 0, Alignment::Left},
      {u"This paragraph is plain.", u"DejaVu Serif", 12, false, false, false, false, 0, 0, Alignment::Left},
      {u"This part is bold.", u"DejaVu Serif", 12, true, false, false, false, 0, 0, Alignment::Left},
      {u"This part is italic.", u"DejaVu Serif", 12, false, true, false, false, 0, 0, Alignment::Left},
      {u"This part is underlined.", u"DejaVu Serif", 12, false, false, true, false, 0, 0, Alignment::Left},
      {u"Struck out.", u"DejaVu Serif", 12, false, false, false, true, 0, 0, Alignment::Left},
      {u"Eight point", u"DejaVu Serif", 8, false, false, false, false, 0, 0, Alignment::Left},
      {u"twenty-eight.", u"DejaVu Serif", 28, false, false, false, false, 0, 0, Alignment::Left},
      {u"Monospaced face.", u"Liberation Mono", 12, false, false, false, false, 0, 0, Alignment::Left},
      {u"Red words.", u"DejaVu Serif", 12, false, false, false, false, 0xFFCC0000, 0, Alignment::Left},
      {u"Centred closing line.", u"DejaVu Serif", 12, false, true, false, false, 0, 0, Alignment::Center},
  };
  for (const char* name : {"en-formatting.doc", "en-formatting.rtf"}) {
    const std::string bytes = readRichFile(name);
    const TextDocument document = readDocument(bytesOf(bytes));
    for (const Phrase& phrase : phrases) {
      const QString text = QString::fromUtf16(phrase.text);
      const qsizetype at = document.text().indexOf(text);
      ASSERT_GE(at, 0) << name << ": " << text.toStdString();
      const auto slices = document.runsIn(at, at + text.size());
      ASSERT_EQ(slices.size(), 1u) << name << ": " << text.toStdString();
      const CharacterFormat& f = *slices.front().format;
      const CharacterFormat expected{QString::fromUtf16(phrase.face), phrase.pointSize, phrase.bold, phrase.italic,
                                     phrase.underline, phrase.strikeOut, phrase.color, phrase.baseline, 0};
      EXPECT_EQ(f, expected) << name << ": " << text.toStdString();
      EXPECT_EQ(document.paragraphFormatAt(at).alignment, phrase.alignment) << name << ": " << text.toStdString();
    }
    const qsizetype superscript = document.text().indexOf(u"2 is written with a superscript"_qs);
    EXPECT_EQ(document.runsIn(superscript, superscript + 1).front().format->baseline, 1) << name;
  }
}

TEST(RichCorpus, ReadersAreChosenByContent) {
  const struct {
    const char* file;
    const char* reader;
  } cases[] = {
      {"en-formatting.rtf", "RTF"},      {"en-formatting-rtf.doc", "RTF"}, {"pocketword-rtf.psw", "RTF"},
      {"html-named.doc", "HTML"},        {"text-utf8-named.doc", "plain text"},
  };
  for (const auto& c : cases) {
    const std::string bytes = readRichFile(c.file);
    EXPECT_STREQ(readerFor(bytesOf(bytes)).name(), c.reader) << c.file;
  }
}

}  // namespace
}  // namespace platform::textview
