// Web pages under a .doc name: recognised by their opening, read through Qt's HTML import in
// the character set their meta tag names, tables as rows.
#include <gtest/gtest.h>

#include <string>

#include "platform/textview/readers/html_reader.h"
#include "tests/readers/reader_test_support.h"

namespace platform::textview {
namespace {

TEST(HtmlReader, CharacterSetsTablesAndBreaks) {
  const struct {
    const char* html;
    const char16_t* text;
  } cases[] = {
      {"<html><head><meta charset=\"windows-1251\"></head><body><p>\xcf\xf0\xe8</p></body></html>", u"\u041F\u0440\u0438"},
      {"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\"></head><body>\x82\xa0</body></html>",
       u"\u3042"},
      {"<!DOCTYPE html><p>caf\xe9 \x80</p>", u"caf\u00E9 \u20AC"},  // no charset, not UTF-8: Windows-1252
      {"<!DOCTYPE html><p>caf\xc3\xa9</p>", u"caf\u00E9"},
      {"<!-- saved --><html><body><table><tr><td>a</td><td></td><td>c</td></tr><tr><td>d</td></tr></table>"
       "<p>x<br>y</p></body></html>",
       u"a\t\tc\nd\t\t\nx\ny"},  // every row has every column
  };
  for (const auto& c : cases) {
    const std::string bytes = c.html;
    ASSERT_TRUE(htmlReader().recognises(bytesOf(bytes))) << c.html;
    EXPECT_EQ(shownText(htmlReader().read(bytesOf(bytes))), QString::fromUtf16(c.text)) << c.html;
  }
}

TEST(HtmlReader, RecognisesOnlyAPageOpening) {
  const struct {
    const char* bytes;
    bool html;
  } cases[] = {
      {"  \r\n<HTML><body>x</body></HTML>", true}, {"\xEF\xBB\xBF<!doctype html>", true}, {"<head><title>t</title></head>", true},
      {"<!-- a comment -->\n<body>", true},      {"text that mentions <html> later", false}, {"<!-- never closed <html>", false},
      {"<p>a fragment</p>", false},
  };
  for (const auto& c : cases) EXPECT_EQ(htmlReader().recognises(bytesOf(c.bytes)), c.html) << c.bytes;
}

}  // namespace
}  // namespace platform::textview
