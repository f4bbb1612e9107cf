// The encoding catalogue: display names as the View dialog lists them, and font character sets.
#include <gtest/gtest.h>

#include <string>

#include "convert/encoding_catalogue.h"

namespace {

struct CatalogueEntry {
  const char16_t* name;
  uint8_t charset;
};

// What the View dialog shows and what the font gets; settings files store these indexes.
constexpr CatalogueEntry kExpected[kEncodingCount] = {
    {u"Japanese (Auto)", 128},          {u"Japanese (Shift JIS)", 128},      {u"Japanese (ISO-2022-JP)", 128},
    {u"Japanese (EUC)", 128},           {u"Unicode (UTF8)", 255},            {u"Unicode (UTF16)", 255},
    {u"Western (ISO-8859-1)", 238},     {u"Central Europe(ISO-8859-2)", 238}, {u"South Europe(ISO-8859-3)", 238},
    {u"Baltic (ISO-8859-4)", 186},      {u"Cyrillic (ISO-8859-5)", 204},     {u"Greek (ISO-8859-7)", 161},
    {u"Korean (EUC)", 129},             {u"Korean (ISO-2022-KR)", 129},      {u"Chinese (Big5)", 136},
    {u"Chinese (GB2312)", 134},         {u"Thai (TS620)", 106},              {u"Vietnamese (CP1258)", 163},
    {u"Palm DOC(Japanese)", 128},       {u"Palm DOC(Western)", 238},
};

TEST(EncodingCatalogueTest, NamesAreExactAndPaddedToThirtyUnits) {
  for (int i = 0; i < kEncodingCount; ++i) {
    SCOPED_TRACE(i);
    const char16_t* name = encodingName(i);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::u16string(name), std::u16string(kExpected[i].name));
    // The row is 30 units: the name, then zero units to the end of the row.
    const size_t length = std::u16string(name).size();
    ASSERT_LT(length, static_cast<size_t>(kEncodingNameUnits));
    for (size_t unit = length; unit < kEncodingNameUnits; ++unit) EXPECT_EQ(name[unit], u'\0');
  }
  EXPECT_EQ(encodingName(-1), nullptr);
  EXPECT_EQ(encodingName(kEncodingCount), nullptr);
}

TEST(EncodingCatalogueTest, CharsetsFollowTheRowsAndDefaultTo128) {
  for (uint32_t i = 0; i < kEncodingCount; ++i) {
    EXPECT_EQ(charsetForEncoding(i), kExpected[i].charset) << "EncodingIndex " << i;
  }
  EXPECT_EQ(charsetForEncoding(20), 128);
  EXPECT_EQ(charsetForEncoding(25), 128);
  EXPECT_EQ(charsetForEncoding(static_cast<uint32_t>(-1)), 128);  // a negative index read as unsigned
}

}  // namespace
