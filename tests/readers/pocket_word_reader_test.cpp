// The Pocket Word reader on files built here: inline codes, the paragraph order, and zones
// cut or lying about their length.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/textview/readers/pocket_word_reader.h"
#include "tests/readers/reader_test_support.h"

namespace platform::textview {
namespace {

void put16(std::string& bytes, size_t at, uint32_t value) {
  if (bytes.size() < at + 2) bytes.resize(at + 2, '\0');
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

std::string zone(uint16_t type, uint16_t id, std::string data) {
  data.resize((data.size() + 3) / 4 * 4, '\0');
  std::string bytes;
  put16(bytes, 0, type);
  put16(bytes, 2, id);
  put16(bytes, 4, static_cast<uint32_t>(data.size() / 4));
  return bytes + data;
}

std::string fontZone(const std::vector<std::u16string>& faces) {
  std::string data(16, '\0');
  put16(data, 4, static_cast<uint32_t>(faces.size()));
  for (size_t i = 0; i < faces.size(); ++i) {
    std::string entry(80, '\0');
    put16(entry, 0, static_cast<uint32_t>(i + 1));
    for (size_t k = 0; k < faces[i].size(); ++k) put16(entry, 16 + 2 * k, faces[i][k]);
    data += entry;
  }
  return zone(0x00, 1, data);
}

std::string orderZone(const std::vector<uint16_t>& ids) {
  std::string data(24, '\0');
  put16(data, 0, static_cast<uint32_t>(ids.size()));
  for (uint16_t id : ids) {
    std::string entry(8, '\0');
    put16(entry, 4, id);
    data += entry;
  }
  return zone(0x40, 2, data);
}

std::string paragraphZone(uint16_t id, const std::string& text, uint8_t alignment = 0, bool bulleted = false) {
  std::string data(24, '\0');
  put16(data, 2, static_cast<uint32_t>(text.size()));
  data[18] = static_cast<char>(bulleted ? 0xFF : 0);
  data[19] = static_cast<char>(alignment);
  return zone(0x41, id, data + text);
}

std::string pwi(const std::string& zones) { return std::string("{\\pwi\x15\0\0\x01\x01\x06\0\0\0", 14) + zones + zone(0x82, 99, ""); }

QString pwiText(const std::string& bytes) { return shownText(pocketWordReader().read(bytesOf(bytes))); }

TEST(PocketWordReader, InlineCodesAndTheirFormats) {
  const std::string text = std::string("\xE5\x02\x00\xE6\x10\x00" "Big ", 10) + std::string("\xE8\x07\x00" "bold", 7) +
                           std::string("\xE8\x04\x00\xE9\x01" "it", 7) + std::string("\xE9\x00\xEA\x01" "u", 5) +
                           std::string("\xEA\x00\xEB\x01" "s\xEB\x00", 7) + std::string("\xC4\x04" "caf\xC1\xE9 \x80\xC4\x00", 11);
  const TextDocument document = pocketWordReader().read(bytesOf(pwi(fontZone({u"Tahoma", u"Courier New"}) + paragraphZone(3, text, 1))));
  ASSERT_EQ(shownText(document), u"Big bolditus\tcaf\u00E9 \u20AC"_qs);
  const CharacterFormat& big = *document.runsIn(0, 1).front().format;
  EXPECT_EQ(big.face, u"Courier New"_qs);
  EXPECT_EQ(big.pointSize, 16.0);
  EXPECT_TRUE(document.runsIn(4, 5).front().format->bold);
  EXPECT_TRUE(document.runsIn(8, 9).front().format->italic);
  EXPECT_TRUE(document.runsIn(10, 11).front().format->underline);
  EXPECT_TRUE(document.runsIn(11, 12).front().format->strikeOut);
  EXPECT_FALSE(document.runsIn(12, 13).front().format->strikeOut);
  EXPECT_EQ(document.paragraphFormatAt(0).alignment, Alignment::Right);
}

TEST(PocketWordReader, BulletsAndHighlight) {
  const std::string end("\xC4\x00", 2);
  const TextDocument document = pocketWordReader().read(
      bytesOf(pwi(paragraphZone(3, std::string("\xE8\x07\x00" "one", 6) + end, 0, true) +
                  paragraphZone(4, std::string("\xE8\x04\x00" "a \xEC\x01" "marked\xEC\x00 word", 20) + end))));
  ASSERT_EQ(shownText(document), u"\u2022 one\na marked word"_qs);
  EXPECT_TRUE(document.runsIn(0, 1).front().format->bold) << "the bullet takes the paragraph's first format";
  EXPECT_EQ(document.runsIn(6, 7).front().format->background, 0u);
  EXPECT_EQ(document.runsIn(8, 9).front().format->background, 0xFFFFFF00u);
  EXPECT_EQ(document.runsIn(14, 15).front().format->background, 0u);
}

TEST(PocketWordReader, ParagraphOrderAndDamage) {
  const std::string end("\xC4\x00", 2);
  const struct {
    const char* what;
    std::string file;
    const char16_t* text;
  } cases[] = {
      {"the order zone decides", pwi(orderZone({5, 3}) + paragraphZone(3, "two" + end) + paragraphZone(5, "one" + end)), u"one\ntwo"},
      {"one id for every paragraph: file order",
       pwi(orderZone({3, 3}) + paragraphZone(3, "first" + end) + paragraphZone(3, "second" + end)), u"first\nsecond"},
      {"no order zone: file order", pwi(paragraphZone(7, "a" + end) + paragraphZone(4, "b" + end)), u"a\nb"},
      {"a cut code at the end", pwi(paragraphZone(3, "text\xE5")), u"text"},
      {"a literal escape at the end", pwi(paragraphZone(3, "text\xC1")), u"text"},
  };
  for (const auto& c : cases) EXPECT_EQ(pwiText(c.file), QString::fromUtf16(c.text)) << c.what;

  // A zone that claims more than the file holds: what it holds is read, the walk ends there.
  const std::string whole = pwi(paragraphZone(3, "kept" + end) + paragraphZone(4, "cut short" + end));
  for (size_t length = 0; length <= whole.size(); ++length) {
    const QString text = pwiText(whole.substr(0, length));
    EXPECT_TRUE(u"kept\ncut short"_qs.startsWith(text)) << length << " " << text.toStdString();
  }
  // A paragraph that claims a length beyond its zone is clamped to the zone.
  std::string lying = pwi(paragraphZone(3, "kept" + end) + paragraphZone(4, "more" + end));
  put16(lying, 14 + 6 + 2, 0xFFFF);
  EXPECT_TRUE(pwiText(lying).startsWith(u"kept"_qs));
}

}  // namespace
}  // namespace platform::textview
