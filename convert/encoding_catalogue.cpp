// The encoding catalogue: one row per EncodingIndex with its name, character set and decoder.
#include "convert/encoding_catalogue.h"

#include "decode/chinese.h"
#include "decode/iso8859.h"
#include "decode/japanese.h"
#include "decode/korean.h"
#include "decode/thai_vietnamese.h"
#include "decode/unicode.h"
#include "palmdoc/palmdoc.h"

namespace {

// The platform font character sets the rows use. Two are not what the names suggest, and are
// kept as the viewer has always had them: Thai takes 106 (no platform character set; Thai would
// be 222) and both Western rows take 238 (East European).
constexpr uint8_t kShiftJisCharset = 128;
constexpr uint8_t kOemCharset = 255;
constexpr uint8_t kEastEuropeCharset = 238;
constexpr uint8_t kBalticCharset = 186;
constexpr uint8_t kRussianCharset = 204;
constexpr uint8_t kGreekCharset = 161;
constexpr uint8_t kHangulCharset = 129;
constexpr uint8_t kChineseBig5Charset = 136;
constexpr uint8_t kGb2312Charset = 134;
constexpr uint8_t kThaiRowCharset = 106;
constexpr uint8_t kVietnameseCharset = 163;

constexpr uint8_t kCharsetOutsideCatalogue = kShiftJisCharset;

// A row decoder from a decoder's member function. The decoder objects are stateless; each call
// makes its own, as the viewer creates one per decode.
template <typename Decoder, size_t (Decoder::*method)(char16_t*, const uint8_t*, int32_t) const>
size_t decodeWith(WideBuffer& text, const uint8_t* in, int32_t n) {
  return (Decoder().*method)(text.data, in, n);
}

// ISO-8859 part `part`; no row reaches part 6.
template <int part>
size_t decodeIso8859Part(WideBuffer& text, const uint8_t* in, int32_t n) {
  return Iso8859Decoder().decodeIso8859(text.data, in, n, part);
}

}  // namespace

const EncodingRow kEncodingCatalogue[kEncodingCount] = {
    // "Japanese (Auto)" detects nothing: it is Shift-JIS.
    {u"Japanese (Auto)", kShiftJisCharset, TextRoom::kUnitPerByte,
     decodeWith<JapaneseDecoder, &JapaneseDecoder::decodeShiftJis>},
    {u"Japanese (Shift JIS)", kShiftJisCharset, TextRoom::kUnitPerByte,
     decodeWith<JapaneseDecoder, &JapaneseDecoder::decodeShiftJis>},
    {u"Japanese (ISO-2022-JP)", kShiftJisCharset, TextRoom::kUnitPerByte,
     decodeWith<JapaneseDecoder, &JapaneseDecoder::decodeIso2022Jp>},
    {u"Japanese (EUC)", kShiftJisCharset, TextRoom::kUnitPerByte,
     decodeWith<JapaneseDecoder, &JapaneseDecoder::decodeEucJp>},
    {u"Unicode (UTF8)", kOemCharset, TextRoom::kUnitPerByte, decodeWith<UnicodeDecoder, &UnicodeDecoder::decodeUtf8>},
    {u"Unicode (UTF16)", kOemCharset, TextRoom::kUnitPerByte, decodeWith<UnicodeDecoder, &UnicodeDecoder::decodeUtf16>},
    {u"Western (ISO-8859-1)", kEastEuropeCharset, TextRoom::kUnitPerByte, decodeIso8859Part<1>},
    {u"Central Europe(ISO-8859-2)", kEastEuropeCharset, TextRoom::kUnitPerByte, decodeIso8859Part<2>},
    {u"South Europe(ISO-8859-3)", kEastEuropeCharset, TextRoom::kUnitPerByte, decodeIso8859Part<3>},
    {u"Baltic (ISO-8859-4)", kBalticCharset, TextRoom::kUnitPerByte, decodeIso8859Part<4>},
    {u"Cyrillic (ISO-8859-5)", kRussianCharset, TextRoom::kUnitPerByte, decodeIso8859Part<5>},
    {u"Greek (ISO-8859-7)", kGreekCharset, TextRoom::kUnitPerByte, decodeIso8859Part<7>},
    {u"Korean (EUC)", kHangulCharset, TextRoom::kUnitPerByte, decodeWith<KoreanDecoder, &KoreanDecoder::decodeEucKr>},
    {u"Korean (ISO-2022-KR)", kHangulCharset, TextRoom::kUnitPerByte,
     decodeWith<KoreanDecoder, &KoreanDecoder::decodeIso2022Kr>},
    {u"Chinese (Big5)", kChineseBig5Charset, TextRoom::kUnitPerByte,
     decodeWith<ChineseDecoder, &ChineseDecoder::decodeBig5>},
    {u"Chinese (GB2312)", kGb2312Charset, TextRoom::kUnitPerByte,
     decodeWith<ChineseDecoder, &ChineseDecoder::decodeGb2312>},
    {u"Thai (TS620)", kThaiRowCharset, TextRoom::kUnitPerByte,
     decodeWith<ThaiVietnameseDecoder, &ThaiVietnameseDecoder::decodeThai>},
    {u"Vietnamese (CP1258)", kVietnameseCharset, TextRoom::kUnitPerByte,
     decodeWith<ThaiVietnameseDecoder, &ThaiVietnameseDecoder::decodeVietnamese>},
    {u"Palm DOC(Japanese)", kShiftJisCharset, TextRoom::kPalmDocBook, decodePalmDocJapanese},
    {u"Palm DOC(Western)", kEastEuropeCharset, TextRoom::kPalmDocBook, decodePalmDocWestern},
};

const EncodingRow* encodingRow(uint32_t index) {
  return index < static_cast<uint32_t>(kEncodingCount) ? &kEncodingCatalogue[index] : nullptr;
}

const char16_t* encodingName(int index) {
  if (index < 0 || index >= kEncodingCount) return nullptr;
  return kEncodingCatalogue[index].name;
}

uint8_t charsetForEncoding(uint32_t index) {
  const EncodingRow* row = encodingRow(index);
  return row != nullptr ? row->charset : kCharsetOutsideCatalogue;
}
