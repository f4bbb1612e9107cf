#include "platform/textview/font_fallback.h"

#include <QFontDatabase>
#include <QStringList>

namespace platform::textview {
namespace {

QStringList candidatesFor(BYTE charSet) {
  switch (charSet) {
    case SHIFTJIS_CHARSET: return {"Noto Sans CJK JP", "Noto Sans JP", "IPAGothic", "VL Gothic", "TakaoGothic"};
    case HANGUL_CHARSET: return {"Noto Sans CJK KR", "Noto Sans KR", "NanumGothic", "UnDotum"};
    case GB2312_CHARSET: return {"Noto Sans CJK SC", "Noto Sans SC", "WenQuanYi Zen Hei", "AR PL UMing CN"};
    case CHINESEBIG5_CHARSET: return {"Noto Sans CJK TC", "Noto Sans TC", "AR PL UMing TW", "WenQuanYi Zen Hei"};
    case THAI_CHARSET: return {"Noto Sans Thai", "Noto Sans Thai UI", "Loma", "Garuda", "Norasi"};
    case VIETNAMESE_CHARSET: return {"Noto Sans", "DejaVu Sans", "Liberation Sans"};
    default: return {};
  }
}

}  // namespace

QString fallbackFaceFor(BYTE charSet) {
  for (const QString& face : candidatesFor(charSet)) {
    if (QFontDatabase::hasFamily(face)) return face;
  }
  return {};
}

QFont withCharacterSetFallback(QFont font, const QString& faceName, BYTE charSet) {
  const QString fallback = fallbackFaceFor(charSet);
  if (fallback.isEmpty()) return font;
  if (faceName.isEmpty() || !QFontDatabase::hasFamily(faceName)) {
    font.setFamilies({fallback});
  } else if (faceName != fallback) {
    font.setFamilies({faceName, fallback});
  }
  return font;
}

}  // namespace platform::textview
