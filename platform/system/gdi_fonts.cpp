// Fonts: CreateFontIndirect keeps the program's logical-font record under a handle; the desktop
// font for it is made on demand (fontFromLogFont), scaled by deviceScale(). EnumFontFamilies
// lists the desktop's font families once each, the desktop's default faces and a face per
// script of the encoding catalogue first.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

#include "platform/system/gdi_objects.h"
#include "platform/system/handle_allocator.h"
#include "platform/system/qt_units.h"
#include "platform/system/window_host.h"

namespace platform::gdi {
namespace {

std::unordered_map<uintptr_t, LOGFONT>& fonts() {
  static std::unordered_map<uintptr_t, LOGFONT> table;  // font handle value -> its description
  return table;
}

QString faceNameOf(const LOGFONT& logFont) {
  size_t length = 0;
  while (length < static_cast<size_t>(LF_FACESIZE) && logFont.lfFaceName[length] != 0) ++length;
  return platform::unitsToQString(logFont.lfFaceName, static_cast<qsizetype>(length));
}

struct CharsetWritingSystem {
  BYTE charset;                          // the logical font's character set
  QFontDatabase::WritingSystem system;   // the desktop writing system whose glyphs it needs
};

constexpr std::array<CharsetWritingSystem, 10> kCharsets{{
    {SHIFTJIS_CHARSET, QFontDatabase::Japanese},
    {HANGUL_CHARSET, QFontDatabase::Korean},
    {GB2312_CHARSET, QFontDatabase::SimplifiedChinese},
    {CHINESEBIG5_CHARSET, QFontDatabase::TraditionalChinese},
    {THAI_CHARSET, QFontDatabase::Thai},
    {VIETNAMESE_CHARSET, QFontDatabase::Vietnamese},
    {GREEK_CHARSET, QFontDatabase::Greek},
    {RUSSIAN_CHARSET, QFontDatabase::Cyrillic},
    {EASTEUROPE_CHARSET, QFontDatabase::Latin},
    {ANSI_CHARSET, QFontDatabase::Latin},
}};

// A family that has glyphs for the character set, preferring the Noto families that the
// project installs; empty when the desktop has none or the set needs nothing special.
QString fallbackFamilyFor(BYTE charset) {
  for (const auto& entry : kCharsets) {
    if (entry.charset != charset || entry.system == QFontDatabase::Latin) continue;
    const QStringList candidates = QFontDatabase::families(entry.system);
    for (const QString& family : candidates) {
      if (family.contains(QLatin1String("Noto"))) return family;
    }
    return candidates.isEmpty() ? QString() : candidates.first();
  }
  return {};
}

// A family as the enumeration names it: Qt adds " [Foundry]" to a family that several foundries
// make, and the program knows the family by its name alone.
QString withoutFoundry(const QString& family) {
  const qsizetype bracket = family.indexOf(QLatin1String(" ["));
  return bracket > 0 && family.endsWith(QLatin1Char(']')) ? family.left(bracket) : family;
}

// The family that the desktop gives for a generic style (sans, serif, monospace).
QString defaultFamilyFor(QFont::StyleHint hint) {
  const QString generic = hint == QFont::Serif       ? QStringLiteral("serif")
                          : hint == QFont::Monospace ? QStringLiteral("monospace")
                                                     : QStringLiteral("sans-serif");
  QFont font(generic);
  font.setStyleHint(hint);
  return QFontInfo(font).family();
}

// The desktop's families, each once: first its default sans, serif and monospace faces and a
// face for each script the viewer decodes (Japanese, Chinese both ways, Korean, Thai,
// Vietnamese), then the others in the font database's order. A short list of the first
// families thus always holds a face that can show the document. Generic names that only stand
// for another family ("Sans Serif") are left out: the family itself is listed.
QStringList enumerationOrder() {
  QStringList ordered;
  auto add = [&ordered](const QString& family) {
    const QString name = withoutFoundry(family);
    if (!name.isEmpty() && !ordered.contains(name, Qt::CaseInsensitive) && QFontDatabase::hasFamily(name)) {
      ordered.push_back(name);
    }
  };
  add(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
  add(defaultFamilyFor(QFont::SansSerif));
  add(defaultFamilyFor(QFont::Serif));
  add(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
  add(defaultFamilyFor(QFont::Monospace));
  for (BYTE charset : {SHIFTJIS_CHARSET, GB2312_CHARSET, CHINESEBIG5_CHARSET, HANGUL_CHARSET, THAI_CHARSET, VIETNAMESE_CHARSET}) {
    add(fallbackFamilyFor(charset));
  }
  for (const QString& family : QFontDatabase::families()) add(family);
  return ordered;
}

BYTE charsetOfFamily(const QString& family) {
  const auto systems = QFontDatabase::writingSystems(family);
  if (systems.contains(QFontDatabase::Latin)) return ANSI_CHARSET;
  for (const auto& entry : kCharsets) {
    if (systems.contains(entry.system)) return entry.charset;
  }
  return ANSI_CHARSET;
}

}  // namespace

const LOGFONT* findLogFont(HGDIOBJ object) {
  if (const LOGFONT* stockFont = stockLogFont(object)) return stockFont;
  const auto it = fonts().find(handles::handleValue(object));
  return it == fonts().end() ? nullptr : &it->second;
}

bool deleteFont(HGDIOBJ object) { return fonts().erase(handles::handleValue(object)) != 0; }

size_t liveFontCount() { return fonts().size(); }

}  // namespace platform::gdi

namespace platform::widgets {

QFont fontFromLogFont(const LOGFONT& logFont) {
  QFont font = QGuiApplication::instance() != nullptr ? QGuiApplication::font() : QFont();
  const QString face = gdi::faceNameOf(logFont);
  const bool installed = !face.isEmpty() && QGuiApplication::instance() != nullptr && QFontDatabase::hasFamily(face);
  if (installed) {
    font.setFamilies({face});
  } else {
    const QString fallback = QGuiApplication::instance() != nullptr ? gdi::fallbackFamilyFor(logFont.lfCharSet) : QString();
    if (!fallback.isEmpty()) {
      font.setFamilies({fallback});
    } else if (!face.isEmpty()) {
      font.setFamilies({face});  // the desktop substitutes a family of its own
    }
  }
  // Heights are device pixels: negative = the character (em) height, positive = the cell
  // height (ascent + descent), 0 = the device's 12-pixel default.
  const double scale = deviceScale();
  const LONG height = logFont.lfHeight == 0 ? 12 : logFont.lfHeight;
  const double wanted = std::abs(static_cast<double>(height)) * scale;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(wanted))));
  if (height > 0) {
    const QFontMetricsF metrics(font);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell > 0.0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(wanted * wanted / cell))));
  }
  if (logFont.lfWeight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp<LONG>(logFont.lfWeight, 1, 1000)));
  font.setItalic(logFont.lfItalic != 0);
  font.setUnderline(logFont.lfUnderline != 0);
  font.setStrikeOut(logFont.lfStrikeOut != 0);
  return font;
}

QFont fontFromHandle(HFONT font) {
  if (font == nullptr) {
    LOGFONT defaults{};
    return fontFromLogFont(defaults);
  }
  const LOGFONT* logFont = gdi::findLogFont(font);
  if (logFont == nullptr) {
    LOGFONT defaults{};
    return fontFromLogFont(defaults);
  }
  return fontFromLogFont(*logFont);
}

}  // namespace platform::widgets

HFONT CreateFontIndirect(const LOGFONT* logFont) {
  if (logFont == nullptr) return nullptr;
  const HFONT font = platform::handles::allocateHandle<HFONT>();
  platform::gdi::fonts()[platform::handles::handleValue(font)] = *logFont;
  return font;
}

int EnumFontFamilies(HDC /*dc*/, LPCWSTR family, FONTENUMPROC proc, LPARAM data) {
  if (proc == nullptr || QGuiApplication::instance() == nullptr) return 0;
  QStringList families;
  if (family == nullptr) {
    families = platform::gdi::enumerationOrder();
  } else if (QFontDatabase::hasFamily(platform::zeroTerminatedToQString(family))) {
    families.push_back(platform::zeroTerminatedToQString(family));
  }
  int last = 1;
  for (const QString& name : families) {
    LOGFONT logFont{};
    const std::u16string units = name.toStdU16String();
    const size_t count = std::min(units.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::copy_n(units.data(), count, logFont.lfFaceName);
    logFont.lfHeight = 12;
    logFont.lfWeight = 400;
    logFont.lfCharSet = platform::gdi::charsetOfFamily(name);
    logFont.lfOutPrecision = 3;
    logFont.lfClipPrecision = 2;
    logFont.lfQuality = 1;
    logFont.lfPitchAndFamily = QFontDatabase::isFixedPitch(name) ? 1 : 2;
    QFont font(name);
    font.setPixelSize(12);
    const QFontMetricsF metrics(font);
    TEXTMETRIC textMetric{};
    textMetric.tmAscent = static_cast<LONG>(std::lround(metrics.ascent()));
    textMetric.tmDescent = static_cast<LONG>(std::lround(metrics.descent()));
    textMetric.tmHeight = textMetric.tmAscent + textMetric.tmDescent;
    textMetric.tmAveCharWidth = static_cast<LONG>(std::lround(metrics.averageCharWidth()));
    textMetric.tmMaxCharWidth = static_cast<LONG>(std::lround(metrics.maxWidth()));
    textMetric.tmExternalLeading = static_cast<LONG>(std::lround(metrics.leading()));
    const DWORD type = QFontDatabase::isSmoothlyScalable(name) ? TRUETYPE_FONTTYPE : 0;
    last = proc(&logFont, &textMetric, type, data);
    if (last == 0) break;
  }
  return last;
}
