// Books written by calibre: the decoded text is the source text the book was made from.
//
// calibre reflows a text file when it writes a book: it joins the lines of a paragraph, puts
// blank lines between paragraphs (ending each line with CR LF), folds runs of spaces, drops the
// ideographic space that opens a Japanese paragraph and curls straight quotes. The comparison
// therefore ignores white space and folds curly quotes back; every other character must match.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "palmdoc/palmdoc.h"
#include "tests/support/palmdoc_builder.h"
#include "tests/support/test_files.h"

namespace {

// A book or its source, made by calibre (tests/data/README.md).
std::string readFile(const char* name) {
  const std::filesystem::path path = test_files::dataDir() / "palmdoc" / name;
  std::string bytes = test_files::readBytes(path);
  EXPECT_FALSE(bytes.empty()) << "cannot read " << path;
  return bytes;
}

// The file loaded as the viewer loads it, with a zero byte after its bytes.
PalmDocFile loadBook(const char* name) {
  const std::string bytes = readFile(name);
  PalmDocFile file{std::vector<uint8_t>(bytes.begin(), bytes.end())};
  file.storage.push_back(0);
  return file;
}

// The source texts are UTF-8 without characters beyond the Basic Multilingual Plane.
std::u16string fromUtf8(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int length = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
    unsigned c = length == 1 ? b : length == 2 ? b & 0x1F : b & 0x0F;
    for (int k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text.at(i + k)) & 0x3F);
    out += static_cast<char16_t>(c);
    i += length;
  }
  return out;
}

// Drops white space and folds what calibre changes in punctuation.
std::u16string withoutReflow(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    switch (c) {
      case u' ': case u'\t': case u'\r': case u'\n': case u'\u3000':
        break;
      case u'\u201C': case u'\u201D':  // calibre curls straight double quotes
        out += u'"';
        break;
      case u'\u301C':  // the wave dash is written as Shift-JIS 0x81 0x60, which reads as U+FF5E
        out += u'\uFF5E';
        break;
      default:
        out += c;
    }
  }
  return out;
}

uint32_t announcedTextLength(const PalmDocFile& file) {
  const uint32_t record0 = test_files::bigEndian32(file.data() + kRecord0Offset);
  return test_files::bigEndian32(file.data() + record0 + 4);
}

std::u16string decodeBook(const PalmDocFile& file, bool japanese) {
  WideBuffer text;
  const int32_t size = palmDocTextSize(file.data(), file.size());
  EXPECT_GT(size, 0);
  if (size <= 0 || !text.ensureCapacity(static_cast<uint32_t>(std::max(size, file.size())))) return u"";
  text.data[0] = 0;
  if (japanese) {
    decodePalmDocJapanese(text, file.data(), file.size());
  } else {
    decodePalmDocWestern(text, file.data(), file.size());
  }
  return std::u16string(text.text());
}

// calibre ends lines with CR LF, which the viewer shows as CR CR LF.
void expectEveryLineEndIsCrCrLf(const std::u16string& text) {
  size_t lineEnds = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\n') continue;
    ++lineEnds;
    ASSERT_GE(i, 2u);
    ASSERT_EQ(text.substr(i - 2, 2), u"\r\r") << "at unit " << i;
  }
  EXPECT_GT(lineEnds, 10u);
}

TEST(PalmDocCorpus, WesternBookShowsItsSourceText) {
  const PalmDocFile book = loadBook("en-doc.pdb");
  const std::u16string shown = decodeBook(book, false);
  const std::u16string source = fromUtf8(readFile("en-source.txt"));
  // The book is in Windows code page 1252: its quotes, dashes and euro signs show as such.
  EXPECT_EQ(withoutReflow(shown), withoutReflow(source));
  // All of the text the header announces, each LF with its added CR.
  EXPECT_EQ(shown.size(), announcedTextLength(book) + std::count(shown.begin(), shown.end(), u'\n'));
  expectEveryLineEndIsCrCrLf(shown);
}

TEST(PalmDocCorpus, JapaneseBookShowsItsSourceText) {
  const PalmDocFile book = loadBook("ja-doc.pdb");
  const std::u16string shown = decodeBook(book, true);
  const std::u16string source = fromUtf8(readFile("ja-source.txt"));
  EXPECT_EQ(withoutReflow(shown), withoutReflow(source));
  expectEveryLineEndIsCrCrLf(shown);
}

TEST(PalmDocCorpus, EReaderBookIsNotDecoded) {
  const PalmDocFile book = loadBook("en-ereader.pdb");
  ASSERT_GT(book.size(), 1000);
  EXPECT_EQ(palmDocTextSize(book.data(), book.size()), -1);
  WideBuffer text;
  ASSERT_TRUE(text.ensureCapacity(static_cast<uint32_t>(book.size())));
  // Nothing is written: the text shown before (empty after a load) stays.
  text.data[0] = u'x';
  text.data[1] = 0;
  decodePalmDocWestern(text, book.data(), book.size());
  decodePalmDocJapanese(text, book.data(), book.size());
  EXPECT_EQ(std::u16string(text.text()), u"x");
}

}  // namespace
