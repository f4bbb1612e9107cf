// The encoding catalogue: display names in rows of 30 UTF-16 units and font character sets.
#include "decode/encoding_catalogue.h"

namespace {

// Display names in EncodingIndex order, each in a row of 30 units padded with zero units (the
// longest has 26). The View dialog lists them in this order, so a list position is the index.
constexpr char16_t kNames[kEncodingCount][kEncodingNameUnits] = {
    u"Japanese (Auto)",
    u"Japanese (Shift JIS)",
    u"Japanese (ISO-2022-JP)",
    u"Japanese (EUC)",
    u"Unicode (UTF8)",
    u"Unicode (UTF16)",
    u"Western (ISO-8859-1)",
    u"Central Europe(ISO-8859-2)",
    u"South Europe(ISO-8859-3)",
    u"Baltic (ISO-8859-4)",
    u"Cyrillic (ISO-8859-5)",
    u"Greek (ISO-8859-7)",
    u"Korean (EUC)",
    u"Korean (ISO-2022-KR)",
    u"Chinese (Big5)",
    u"Chinese (GB2312)",
    u"Thai (TS620)",
    u"Vietnamese (CP1258)",
    u"Palm DOC(Japanese)",
    u"Palm DOC(Western)",
};

// The platform font character set of each row. Two are not what the names suggest, and are
// kept as the viewer has always had them: Thai takes 106 (no platform character set; Thai would
// be 222) and both Western rows take 238 (East European).
constexpr uint8_t kCharsets[kEncodingCount] = {
    128, 128, 128, 128,            // Japanese
    255, 255,                      // Unicode (OEM)
    238, 238, 238, 186, 204, 161,  // ISO-8859 parts 1, 2, 3, 4, 5, 7
    129, 129,                      // Korean
    136, 134,                      // Big5, GB2312
    106, 163,                      // Thai, Vietnamese
    128, 238,                      // Palm DOC Japanese, Western
};

constexpr uint8_t kCharsetOutsideCatalogue = 128;

}  // namespace

const char16_t* encodingName(int index) {
  if (index < 0 || index >= kEncodingCount) return nullptr;
  return kNames[index];
}

uint8_t charsetForEncoding(uint32_t index) {
  if (index >= static_cast<uint32_t>(kEncodingCount)) return kCharsetOutsideCatalogue;
  return kCharsets[index];
}
