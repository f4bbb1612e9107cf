#include "platform/textview/readers/word_reader.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "platform/system/qt_units.h"
#include "platform/textview/readers/code_pages.h"
#include "platform/textview/readers/compound_file.h"
#include "platform/textview/readers/rich_text_sink.h"

namespace platform::textview {
namespace {

constexpr uint16_t kWord97Ident = 0xA5EC;
// Word 97 writes nFib 0xC1 (0xC0 for its beta); lower values are Word 6/95.
constexpr uint16_t kFirstWord97Fib = 0xC0;
constexpr uint16_t kEncrypted = 0x0100;
constexpr uint16_t kObfuscated = 0x8000;
constexpr uint16_t kWhichTable = 0x0200;
constexpr size_t kFkpSize = 512;
// Fields nested deeper than this share the deepest one's state.
constexpr size_t kMaxFieldDepth = 256;

// Indices of the FIB's (offset, length) pairs this reader uses.
enum FcLcb : size_t {
  kStshf = 1,
  kPlcffndRef = 2,
  kPlcfBteChpx = 12,
  kPlcfBtePapx = 13,
  kSttbfFfn = 15,
  kClx = 33,
  kPlcfendRef = 46,
  kPlfLst = 73,
  kPlfLfo = 74,
};

// Word's 16 colours of sprmCIco (0 = automatic).
constexpr std::array<uint32_t, 17> kWordColors = {0,          0xFF000000, 0xFF0000FF, 0xFF00FFFF, 0xFF00FF00, 0xFFFF00FF,
                                                  0xFFFF0000, 0xFFFFFF00, 0xFFFFFFFF, 0xFF000080, 0xFF008080, 0xFF008000,
                                                  0xFF800080, 0xFF800000, 0xFF808000, 0xFF808080, 0xFFC0C0C0};

// Bounded little-endian reads: outside the bytes they give 0.
uint8_t u8At(ByteView bytes, size_t at) { return at < bytes.size() ? bytes[at] : 0; }
uint16_t u16At(ByteView bytes, size_t at) {
  return at + 2 <= bytes.size() && at + 2 > at ? static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)) : 0;
}
uint32_t u32At(ByteView bytes, size_t at) {
  return at + 4 <= bytes.size() && at + 4 > at
             ? static_cast<uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                     (static_cast<uint32_t>(bytes[at + 3]) << 24))
             : 0;
}
// [offset, offset + length) of `bytes`, or empty when it does not lie inside.
ByteView sliceOf(ByteView bytes, uint64_t offset, uint64_t length) {
  if (offset > bytes.size() || length > bytes.size() - offset) return {};
  return bytes.subspan(static_cast<size_t>(offset), static_cast<size_t>(length));
}

struct Fib {
  uint16_t ident = 0;   // wIdent
  uint16_t nFib = 0;    // the format's version
  uint16_t flags = 0;   // fComplex, fEncrypted, fWhichTblStm, fObfuscated ...
  uint32_t fcMin = 0;   // first byte of the text (used only when the piece table is lost)
  uint32_t fcMac = 0;   // one past its last byte
  uint32_t ccpText = 0;  // characters of the main text
  ByteView fcLcb;       // the (offset, length) pairs, in the WordDocument stream
};

std::optional<Fib> readFib(ByteView word) {
  if (word.size() < 0x22) return std::nullopt;
  Fib fib;
  fib.ident = u16At(word, 0);
  fib.nFib = u16At(word, 2);
  fib.flags = u16At(word, 0x0A);
  fib.fcMin = u32At(word, 0x18);
  fib.fcMac = u32At(word, 0x1C);
  const size_t csw = u16At(word, 0x20);
  const size_t lwAt = 0x22 + csw * 2;
  const size_t cslw = u16At(word, lwAt);
  if (lwAt + 2 + cslw * 4 > word.size()) return fib;
  if (cslw > 3) fib.ccpText = u32At(word, lwAt + 2 + 3 * 4);
  const size_t blobAt = lwAt + 2 + cslw * 4;
  const size_t pairs = u16At(word, blobAt);
  fib.fcLcb = sliceOf(word, blobAt + 2, uint64_t{pairs} * 8);
  return fib;
}

// The FIB's structure `index` in the table stream, or empty when it is missing or outside.
ByteView tableSlice(const Fib& fib, ByteView table, size_t index) {
  return sliceOf(table, u32At(fib.fcLcb, index * 8), u32At(fib.fcLcb, index * 8 + 4));
}

// Calls visit(sprm, operand) for every property modifier of a grpprl.
template <typename Visit>
void forEachSprm(ByteView grpprl, Visit visit) {
  size_t at = 0;
  while (at + 2 <= grpprl.size()) {
    const uint16_t sprm = u16At(grpprl, at);
    at += 2;
    size_t size = 0;
    switch (sprm >> 13) {
      case 0: case 1: size = 1; break;
      case 2: case 4: case 5: size = 2; break;
      case 3: size = 4; break;
      case 7: size = 3; break;
      default:  // variable: a count byte first (two bytes for a table definition)
        if (sprm == 0xD608 || sprm == 0xD606) {
          size = u16At(grpprl, at) + 1;
        } else {
          size = size_t{u8At(grpprl, at)} + 1;
        }
        break;
    }
    if (at + size > grpprl.size()) return;
    visit(sprm, grpprl.subspan(at, size));
    at += size;
  }
}

// Character properties the reader shows.
struct Chp {
  bool bold = false, italic = false, strikeOut = false, hidden = false, underline = false;
  bool special = false;  // fSpec: 0x01 and 0x08 stand for a picture and a drawn object
  uint8_t highlight = 0;  // the marker colour (an ico), 0 = none
  int halfPoints = 0;   // 0 = the control's size
  int font = -1;        // index into the font table; -1 = the control's face
  uint32_t color = 0;   // 0xAARRGGBB; alpha 0 = automatic
  int8_t baseline = 0;  // > 0 super, < 0 sub
};

bool toggle(uint8_t operand, bool current) {
  if (operand == 0x80) return current;  // as the style has it
  return operand == 1 || operand == 0x81;
}

void applyCharacterSprms(ByteView grpprl, Chp& chp) {
  forEachSprm(grpprl, [&](uint16_t sprm, ByteView op) {
    switch (sprm) {
      case 0x0835: chp.bold = toggle(op[0], chp.bold); break;
      case 0x0836: chp.italic = toggle(op[0], chp.italic); break;
      case 0x0837: case 0x2A53: chp.strikeOut = toggle(op[0], chp.strikeOut); break;
      case 0x083C: chp.hidden = toggle(op[0], chp.hidden); break;
      case 0x2A3E: chp.underline = op[0] != 0; break;
      case 0x4A43: chp.halfPoints = std::clamp<int>(u16At(op, 0), 0, 3276); break;
      case 0x4A4F: chp.font = u16At(op, 0); break;
      case 0x2A42: chp.color = op[0] < kWordColors.size() ? kWordColors[op[0]] : 0; break;
      case 0x6870:
        chp.color = op[3] == 0xFF ? 0 : (0xFF000000u | (uint32_t{op[0]} << 16) | (uint32_t{op[1]} << 8) | op[2]);
        break;
      case 0x2A48: chp.baseline = op[0] == 1 ? 1 : op[0] == 2 ? -1 : 0; break;
      case 0x0855: chp.special = op[0] != 0; break;
      case 0x2A0C: chp.highlight = op[0] < kWordColors.size() ? op[0] : 0; break;
      default: break;
    }
  });
}

// Paragraph properties the reader uses.
struct Pap {
  Alignment alignment = Alignment::Left;
  bool inTable = false;        // the paragraph is in a table cell
  bool rowEnd = false;         // its mark ends a table row (fTtp)
  std::vector<double> edges;   // a row end's cell edges in points, from the row's left edge
  uint16_t ilfo = 0;           // its list (1-based index of the list overrides), 0 = none
  uint8_t ilvl = 0;            // its level in that list, 0 to 8
};

// The paragraph modifiers of `grpprl` applied to `pap`.
void paragraphProperties(ByteView grpprl, Pap& pap) {
  forEachSprm(grpprl, [&](uint16_t sprm, ByteView op) {
    switch (sprm) {
      case 0x2403: case 0x2461: {
        const uint8_t jc = op[0];
        pap.alignment = jc == 1 ? Alignment::Center : jc == 2 ? Alignment::Right : jc >= 3 ? Alignment::Justify : Alignment::Left;
        break;
      }
      case 0x2416: case 0x244B: pap.inTable = op[0] != 0; break;
      case 0x2417: case 0x244C: pap.rowEnd = op[0] != 0; break;
      case 0x6649: pap.inTable = u32At(op, 0) > 0; break;
      case 0x460B: pap.ilfo = u16At(op, 0); break;
      case 0x260A: pap.ilvl = std::min<uint8_t>(op[0], 8); break;
      case 0xD608: {
        const size_t cells = std::min<size_t>(u8At(op, 2), 63);
        const int16_t left = static_cast<int16_t>(u16At(op, 3));
        pap.edges.clear();
        for (size_t i = 1; i <= cells && 3 + 2 * i + 2 <= op.size(); ++i) {
          pap.edges.push_back((static_cast<int16_t>(u16At(op, 3 + 2 * i)) - left) / 20.0);
        }
        break;
      }
      default: break;
    }
  });
  if (pap.rowEnd) pap.inTable = true;
}

// The style sheet: each style's character and paragraph properties, resolved through the
// styles it is based on. A chain of bases is followed at most kMaxStyleDepth deep, so a style
// based on itself (or a loop of them) ends.
constexpr int kMaxStyleDepth = 16;

class StyleSheet {
 public:
  StyleSheet() = default;
  explicit StyleSheet(ByteView stsh) {
    const size_t headerSize = u16At(stsh, 0);
    const ByteView header = sliceOf(stsh, 2, headerSize);
    const size_t count = std::min<size_t>(u16At(header, 0), 4095);
    const size_t baseSize = u16At(header, 2);
    size_t at = 2 + headerSize;
    for (size_t i = 0; i < count && at + 2 <= stsh.size(); ++i) {
      const size_t size = u16At(stsh, at);
      styles_.push_back(readStyle(sliceOf(stsh, at + 2, size), baseSize));
      at += 2 + size;
    }
  }

  // The style's character properties on top of `chp`, its bases' first.
  void applyCharacter(uint16_t istd, Chp& chp) const { apply(istd, chp, 0); }
  // The style's paragraph properties, its bases' first (later modifiers win).
  std::vector<ByteView> paragraphSprms(uint16_t istd) const {
    std::vector<ByteView> chain;
    for (int depth = 0; depth < kMaxStyleDepth && istd < styles_.size() && styles_[istd].defined; ++depth) {
      chain.insert(chain.begin(), styles_[istd].paragraph);
      if (styles_[istd].base == istd) break;
      istd = styles_[istd].base;
    }
    return chain;
  }

 private:
  struct Style {
    bool defined = false;   // an entry with content (empty slots are allowed)
    uint16_t base = 0x0FFF;  // the style it is based on; 0x0FFF = none
    ByteView character;     // its character modifiers
    ByteView paragraph;     // its paragraph modifiers (paragraph styles)
  };

  static Style readStyle(ByteView std, size_t baseSize) {
    Style style;
    if (std.size() < 10 || baseSize < 10) return style;
    style.defined = true;
    const uint16_t kind = u16At(std, 2) & 0x000F;  // 1 paragraph, 2 character
    style.base = u16At(std, 2) >> 4;
    const size_t upxCount = u16At(std, 4) & 0x000F;
    // The name: a count of UTF-16 units, the units and a terminating zero.
    size_t at = baseSize;
    at += 2 + size_t{u16At(std, at)} * 2 + 2;
    for (size_t i = 0; i < upxCount && i < 3; ++i) {
      at += at & 1;
      const size_t size = u16At(std, at);
      const ByteView upx = sliceOf(std, at + 2, size);
      if (kind == 1 && i == 0) style.paragraph = upx.size() >= 2 ? upx.subspan(2) : ByteView{};  // after its istd
      if ((kind == 1 && i == 1) || (kind == 2 && i == 0)) style.character = upx;
      at += 2 + size;
    }
    return style;
  }

  void apply(uint16_t istd, Chp& chp, int depth) const {
    if (depth >= kMaxStyleDepth || istd >= styles_.size() || !styles_[istd].defined) return;
    if (styles_[istd].base != istd) apply(styles_[istd].base, chp, depth + 1);
    applyCharacterSprms(styles_[istd].character, chp);
  }

  std::vector<Style> styles_;  // by istd
};

// A number in Roman numerals (up to 3999; 0 and less as "0").
std::string romanNumber(int value, bool lower) {
  static constexpr std::array<const char*, 13> kRoman = {"M", "CM", "D", "CD", "C", "XC", "L", "XL", "X", "IX", "V", "IV", "I"};
  static constexpr std::array<int, 13> kValues = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
  if (value <= 0) return "0";
  value = std::min(value, 3999);
  std::string number;
  for (size_t i = 0; i < kValues.size(); ++i) {
    for (; value >= kValues[i]; value -= kValues[i]) number += kRoman[i];
  }
  if (lower) std::transform(number.begin(), number.end(), number.begin(), [](char c) { return static_cast<char>(c - 'A' + 'a'); });
  return number;
}

// Lists: the numbers and bullets Word draws before a list paragraph. A paragraph names a list
// override (ilfo) and a level; the override names a list (by lsid) and may restart levels; the
// list gives each level a number format and a number text in which the units 0 to 8 stand for
// the numbers of those levels. Counting is per list, so two overrides of one list share numbers.
constexpr size_t kListLevels = 9;
constexpr size_t kMaxLists = 0x7FFF;

struct ListLevel {
  int32_t start = 1;      // the first number
  uint8_t format = 0;     // nfc: 0 decimal, 1/2 upper/lower Roman, 3/4 upper/lower letter, 22
                          // two-digit decimal, 23 bullet, 255 no number
  bool legal = false;     // every level's number shown as decimal
  uint8_t follow = 0;     // after the text: 0 a tab, 1 a space, 2 nothing
  std::u16string text;    // the number text, with level placeholders 0 to 8
  int font = -1;          // the number's font (index into the font table), -1 = the paragraph's
};

struct ListDefinition {
  uint32_t lsid = 0;                             // the list's id
  std::array<ListLevel, kListLevels> levels;     // its levels (a simple list has one)
};

struct ListOverride {
  uint32_t lsid = 0;                             // the list it uses
  std::array<int32_t, kListLevels> startAt{};    // a restart value per level, when restarts[level]
  std::array<bool, kListLevels> restarts{};      // whether this override restarts the level
};

// Reads one level at `at` of the table stream; returns the offset after it, or 0 when it does not fit.
size_t readListLevel(ByteView table, size_t at, ListLevel& level) {
  if (at + 28 > table.size()) return 0;
  level.start = static_cast<int32_t>(u32At(table, at));
  level.format = table[at + 4];
  level.legal = (table[at + 5] & 0x04) != 0;
  level.follow = table[at + 15];
  const size_t chpx = table[at + 24];
  const size_t papx = table[at + 25];
  Chp numberFormat;
  applyCharacterSprms(sliceOf(table, at + 28 + papx, chpx), numberFormat);
  level.font = numberFormat.font;
  size_t next = at + 28 + papx + chpx;
  const size_t units = u16At(table, next);
  if (next + 2 + units * 2 > table.size()) return 0;
  level.text.clear();
  for (size_t i = 0; i < units; ++i) level.text += static_cast<char16_t>(u16At(table, next + 2 + 2 * i));
  return next + 2 + units * 2;
}

class ListTable {
 public:
  ListTable() = default;
  ListTable(const Fib& fib, ByteView table) {
    const ByteView lists = tableSlice(fib, table, kPlfLst);
    const size_t count = std::min<size_t>(u16At(lists, 0), kMaxLists);
    if (lists.size() < 2 + count * 28) return;
    // The levels follow the list entries in the table stream, outside the structure's length.
    size_t at = static_cast<size_t>(lists.data() - table.data()) + 2 + count * 28;
    for (size_t i = 0; i < count && at != 0; ++i) {
      ListDefinition list;
      list.lsid = u32At(lists, 2 + i * 28);
      const size_t levels = (lists[2 + i * 28 + 26] & 0x01) != 0 ? 1 : kListLevels;
      for (size_t l = 0; l < levels && at != 0; ++l) at = readListLevel(table, at, list.levels[l]);
      if (at != 0) lists_.push_back(std::move(list));
    }
    readOverrides(tableSlice(fib, table, kPlfLfo), table);
  }

  // The label of a paragraph in list override `ilfo` (1-based) at `level`, counting it; empty
  // when the paragraph names no list this table holds.
  std::u16string label(uint16_t ilfo, uint8_t level, const std::vector<QString>& fonts) {
    if (ilfo == 0 || ilfo > overrides_.size() || level >= kListLevels) return {};
    ListOverride& override = overrides_[ilfo - 1];
    const ListDefinition* list = find(override.lsid);
    if (list == nullptr) return {};
    Counters& counters = counters_[override.lsid];
    if (override.restarts[level]) {
      counters.next[level] = override.startAt[level];
      counters.used[level] = true;
      override.restarts[level] = false;  // a restart applies once, where the override begins
    } else if (!counters.used[level]) {
      counters.next[level] = list->levels[level].start;
      counters.used[level] = true;
    }
    counters.value[level] = counters.next[level]++;
    for (size_t deeper = level + 1; deeper < kListLevels; ++deeper) counters.used[deeper] = false;

    const ListLevel& shown = list->levels[level];
    std::u16string text;
    for (char16_t unit : shown.text) {
      if (unit < kListLevels) {
        const ListLevel& numbered = list->levels[unit];
        text += formatNumber(counters.value[unit], shown.legal ? 0 : numbered.format);
      } else {
        const QString face = shown.font >= 0 && static_cast<size_t>(shown.font) < fonts.size()
                                 ? fonts[static_cast<size_t>(shown.font)] : QString();
        text += bulletUnit(unit, face);
      }
    }
    if (text.empty()) return text;
    if (shown.follow == 0) text += u'\t';
    if (shown.follow == 1) text += u' ';
    return text;
  }

 private:
  struct Counters {
    std::array<int32_t, kListLevels> next{};   // the number the level's next paragraph gets
    std::array<int32_t, kListLevels> value{};  // the number its last paragraph got
    std::array<bool, kListLevels> used{};      // whether the level has counted since it last restarted
  };

  void readOverrides(ByteView lfos, ByteView table) {
    const size_t count = std::min<size_t>(u32At(lfos, 0), kMaxLists);
    if (lfos.size() < 4 + count * 16) return;
    // Each override's level restarts follow the overrides, again outside the structure's length.
    size_t at = static_cast<size_t>(lfos.data() - table.data()) + 4 + count * 16;
    for (size_t i = 0; i < count; ++i) {
      ListOverride override;
      override.lsid = u32At(lfos, 4 + i * 16);
      const size_t levels = lfos[4 + i * 16 + 12];
      at += 4;  // the override's first character, unused
      for (size_t l = 0; l < levels && l < kListLevels && at + 8 <= table.size(); ++l) {
        const uint32_t flags = u32At(table, at + 4);
        const size_t level = flags & 0x0F;
        if ((flags & 0x10) != 0 && level < kListLevels) {
          override.restarts[level] = true;
          override.startAt[level] = static_cast<int32_t>(u32At(table, at));
        }
        at += 8;
        ListLevel replaced;  // a level given in full: its start counts as a restart
        if ((flags & 0x20) != 0) {
          at = readListLevel(table, at, replaced);
          if (at == 0) break;
        }
      }
      overrides_.push_back(override);
      if (at == 0) break;
    }
  }

  const ListDefinition* find(uint32_t lsid) const {
    for (const ListDefinition& list : lists_) {
      if (list.lsid == lsid) return &list;
    }
    return nullptr;
  }

  static std::u16string formatNumber(int32_t value, uint8_t format) {
    std::string text;
    switch (format) {
      case 1: case 2: text = romanNumber(value, format == 2); break;
      case 3: case 4: {
        // A, B ... Z, AA, BB ...: the letter repeats once for each round of the alphabet.
        const int32_t n = std::max(value, 1) - 1;
        text.assign(static_cast<size_t>(std::min(n / 26 + 1, 32)), static_cast<char>((format == 3 ? 'A' : 'a') + n % 26));
        break;
      }
      case 22: text = (value >= 0 && value < 10 ? "0" : "") + std::to_string(value); break;
      case 23: case 255: return {};
      default: text = std::to_string(value); break;
    }
    return std::u16string(text.begin(), text.end());
  }

  // A bullet of a symbol font, which Word keeps at 0xF000 + its byte, as the Unicode character
  // the font draws; a symbol this reader does not know shows as a plain bullet.
  static char16_t bulletUnit(char16_t unit, const QString& face) {
    if (unit < 0xF000 || unit > 0xF0FF) return unit;
    const char16_t shown = symbolFontCharacter(static_cast<uint8_t>(unit & 0xFF), face);
    return shown != 0 ? shown : u'\u2022';
  }

  std::vector<ListDefinition> lists_;        // the document's lists
  std::vector<ListOverride> overrides_;      // by ilfo - 1
  std::map<uint32_t, Counters> counters_;    // the numbering so far, by list
};

// A stretch of the WordDocument stream (by file offset) that shares one grpprl.
struct PropertyRun {
  uint32_t fcStart;   // first byte
  uint32_t fcEnd;     // one past the last
  ByteView grpprl;    // its properties (paragraph runs: after the style index)
  uint16_t style;     // paragraph runs: the paragraph's style (istd); 0 otherwise
};

// The runs of every FKP a bin table names; `paragraphs` reads PAPX pages, else CHPX pages.
std::vector<PropertyRun> readPropertyRuns(ByteView binTable, ByteView word, bool paragraphs) {
  std::vector<PropertyRun> runs;
  if (binTable.size() < 4) return runs;
  const size_t count = (binTable.size() - 4) / 8;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t pn = u32At(binTable, 4 * (count + 1) + 4 * i) & 0x3FFFFF;
    const ByteView page = sliceOf(word, uint64_t{pn} * kFkpSize, kFkpSize);
    if (page.empty()) continue;
    const size_t entries = std::min<size_t>(page[kFkpSize - 1], paragraphs ? 0x1D : 0x65);
    for (size_t k = 0; k < entries; ++k) {
      const uint32_t start = u32At(page, 4 * k);
      const uint32_t end = u32At(page, 4 * (k + 1));
      if (end <= start) continue;
      ByteView grpprl;
      uint16_t style = 0;
      if (paragraphs) {
        const size_t offset = size_t{u8At(page, 4 * (entries + 1) + 13 * k)} * 2;
        if (offset != 0 && offset < kFkpSize - 1) {
          const uint8_t cb = page[offset];
          const ByteView papx = cb != 0 ? sliceOf(page, offset + 1, size_t{cb} * 2 - 1)
                                        : sliceOf(page, offset + 2, size_t{u8At(page, offset + 1)} * 2);
          if (papx.size() >= 2) {
            style = u16At(papx, 0);
            grpprl = papx.subspan(2);
          }
        }
      } else {
        const size_t offset = size_t{u8At(page, 4 * (entries + 1) + k)} * 2;
        if (offset != 0 && offset < kFkpSize - 1) grpprl = sliceOf(page, offset + 1, page[offset]);
      }
      runs.push_back(PropertyRun{start, end, grpprl, style});
    }
  }
  std::sort(runs.begin(), runs.end(), [](const PropertyRun& a, const PropertyRun& b) { return a.fcStart < b.fcStart; });
  return runs;
}

// The run that holds `fc`, or null.
const PropertyRun* runAt(const std::vector<PropertyRun>& runs, uint32_t fc) {
  auto after = std::upper_bound(runs.begin(), runs.end(), fc, [](uint32_t f, const PropertyRun& r) { return f < r.fcStart; });
  if (after == runs.begin()) return nullptr;
  const PropertyRun& run = *(after - 1);
  return fc < run.fcEnd ? &run : nullptr;
}

// The first run boundary after `fc` (run starts and ends), or UINT32_MAX.
uint32_t nextBoundary(const std::vector<PropertyRun>& runs, uint32_t fc) {
  auto after = std::upper_bound(runs.begin(), runs.end(), fc, [](uint32_t f, const PropertyRun& r) { return f < r.fcStart; });
  uint32_t next = after == runs.end() ? UINT32_MAX : after->fcStart;
  if (after != runs.begin() && (after - 1)->fcEnd > fc) next = std::min(next, (after - 1)->fcEnd);
  return next;
}

std::vector<QString> readFontNames(ByteView table) {
  std::vector<QString> names;
  size_t count = u16At(table, 0);
  size_t at = 4;
  if (count == 0xFFFF) return names;  // an extended table is not a font table
  for (size_t i = 0; i < count && at < table.size(); ++i) {
    const size_t length = u8At(table, at);
    const ByteView ffn = sliceOf(table, at + 1, length);
    QString name;
    for (size_t k = 39; k + 1 < ffn.size(); k += 2) {
      const char16_t unit = u16At(ffn, k);
      if (unit == 0) break;
      name += QChar(unit);
    }
    names.push_back(name);
    at += 1 + length;
  }
  return names;
}

// Character positions of a PLC (the notes' citations), ascending.
std::vector<uint32_t> plcPositions(ByteView plc, size_t dataSize) {
  std::vector<uint32_t> positions;
  if (plc.size() < 4) return positions;
  const size_t count = (plc.size() - 4) / (4 + dataSize);
  for (size_t i = 0; i < count; ++i) positions.push_back(u32At(plc, 4 * i));
  return positions;
}

// The one modifier of a piece whose property modifier is not an index (a Prm0): which modifier
// its 7-bit number stands for, among those this reader shows.
uint16_t singleModifierSprm(uint8_t isprm) {
  switch (isprm) {
    case 0x05: return 0x2403;  // alignment
    case 0x0C: return 0x260A;  // list level
    case 0x18: return 0x2416;  // in a table
    case 0x19: return 0x2417;  // a table row's end
    case 0x4D: return 0x2A0C;  // highlight
    case 0x55: return 0x0835;  // bold
    case 0x56: return 0x0836;  // italic
    case 0x57: return 0x0837;  // strike-out
    case 0x5C: return 0x083C;  // hidden
    case 0x5E: return 0x2A3E;  // underline
    case 0x62: return 0x2A42;  // colour
    case 0x63: return 0x4A43;  // size in half points
    case 0x68: return 0x2A48;  // super/subscript
    default: return 0;
  }
}

struct Piece {
  uint32_t cpStart;   // first character
  uint32_t cpEnd;     // one past its last
  uint32_t fc;        // where its bytes start in the WordDocument stream
  bool compressed;    // 8-bit characters (else UTF-16)
  uint16_t prm;       // property modifier of a fast-saved file
};

class WordParser {
 public:
  WordParser(const Fib& fib, ByteView word, ByteView table, bool picturePlaceholders)
      : fib_(fib), word_(word), table_(table), picturePlaceholders_(picturePlaceholders) {}

  TextDocument run() {
    readPieces();
    chpRuns_ = readPropertyRuns(tableSlice(fib_, table_, kPlcfBteChpx), word_, false);
    papRuns_ = readPropertyRuns(tableSlice(fib_, table_, kPlcfBtePapx), word_, true);
    fonts_ = readFontNames(tableSlice(fib_, table_, kSttbfFfn));
    styles_ = StyleSheet(tableSlice(fib_, table_, kStshf));
    footnoteRefs_ = plcPositions(tableSlice(fib_, table_, kPlcffndRef), 2);
    endnoteRefs_ = plcPositions(tableSlice(fib_, table_, kPlcfendRef), 2);
    lists_ = ListTable(fib_, table_);
    for (const Piece& piece : pieces_) readPiece(piece);
    flush();
    return sink_.finish();
  }

 private:
  void readPieces() {
    const ByteView clx = tableSlice(fib_, table_, kClx);
    size_t at = 0;
    while (at < clx.size()) {
      const uint8_t type = clx[at];
      if (type == 1) {  // a Prc: property modifiers that fast-saved pieces refer to
        const size_t size = u16At(clx, at + 1);
        prcs_.push_back(sliceOf(clx, at + 3, size));
        at += 3 + size;
        continue;
      }
      if (type != 2) break;
      const ByteView plc = sliceOf(clx, at + 5, u32At(clx, at + 1));
      const size_t count = plc.size() >= 4 ? (plc.size() - 4) / 12 : 0;
      for (size_t i = 0; i < count; ++i) {
        const uint32_t cpStart = u32At(plc, 4 * i);
        const uint32_t cpEnd = std::min(u32At(plc, 4 * (i + 1)), fib_.ccpText);
        const size_t pcd = 4 * (count + 1) + 8 * i;
        const uint32_t fc = u32At(plc, pcd + 2);
        // Pieces follow each other in the text: one that goes back would repeat text.
        if (cpEnd <= cpStart || (!pieces_.empty() && cpStart < pieces_.back().cpEnd)) continue;
        const bool compressed = (fc & 0x40000000u) != 0;
        pieces_.push_back(Piece{cpStart, cpEnd, compressed ? (fc & 0x3FFFFFFFu) / 2 : fc, compressed, u16At(plc, pcd + 6)});
      }
      break;
    }
    if (pieces_.empty() && fib_.fcMac > fib_.fcMin) {
      // No piece table: the text is where the FIB says, 16-bit when its length says so.
      const uint32_t bytes = fib_.fcMac - fib_.fcMin;
      const bool wide = fib_.ccpText != 0 && bytes >= fib_.ccpText * 2ull;
      const uint32_t characters = std::min(fib_.ccpText != 0 ? fib_.ccpText : bytes, wide ? bytes / 2 : bytes);
      pieces_.push_back(Piece{0, characters, fib_.fcMin, !wide, 0});
    }
  }

  void readPiece(const Piece& piece) {
    const uint32_t unit = piece.compressed ? 1 : 2;
    const uint64_t length = uint64_t{piece.cpEnd - piece.cpStart} * unit;
    ByteView bytes = sliceOf(word_, piece.fc, std::min<uint64_t>(length, word_.size() > piece.fc ? word_.size() - piece.fc : 0));
    if (bytes.empty()) return;  // a piece outside the stream is skipped
    // Pieces may name the same bytes again; no document holds more characters than its stream
    // holds bytes, so reading stops there rather than repeat a stream without end.
    bytes = bytes.first(std::min(bytes.size(), budget_ * unit));
    budget_ -= bytes.size() / unit;
    ByteView pieceSprms;
    std::array<uint8_t, 4> single{};  // a single modifier, as a grpprl
    if ((piece.prm & 1) != 0) {
      if ((piece.prm >> 1) < prcs_.size()) pieceSprms = prcs_[piece.prm >> 1];
    } else if (const uint16_t sprm = singleModifierSprm((piece.prm >> 1) & 0x7F); sprm != 0) {
      single = {static_cast<uint8_t>(sprm & 0xFF), static_cast<uint8_t>(sprm >> 8), static_cast<uint8_t>(piece.prm >> 8), 0};
      pieceSprms = ByteView(single.data(), (sprm >> 13) == 2 ? 4 : 3);
    }
    size_t offset = 0;
    while (offset + unit <= bytes.size()) {
      const uint32_t fc = piece.fc + static_cast<uint32_t>(offset);
      // A stretch that shares one set of character and paragraph properties.
      const uint64_t boundary = std::min<uint64_t>(nextBoundary(chpRuns_, fc), nextBoundary(papRuns_, fc));
      size_t end = static_cast<size_t>(std::min<uint64_t>(bytes.size(), boundary - piece.fc));
      end -= (end - offset) % unit;
      if (end <= offset) end = offset + unit;
      // Properties in layers: the paragraph's style, a character style, the text's own, the
      // piece's modifiers.
      const PropertyRun* papRun = runAt(papRuns_, fc);
      const uint16_t paragraphStyle = papRun != nullptr ? papRun->style : 0;
      Chp chp;
      styles_.applyCharacter(paragraphStyle, chp);
      if (const PropertyRun* run = runAt(chpRuns_, fc)) {
        forEachSprm(run->grpprl, [&](uint16_t sprm, ByteView op) {
          if (sprm == 0x4A30) styles_.applyCharacter(u16At(op, 0), chp);  // sprmCIstd
        });
        applyCharacterSprms(run->grpprl, chp);
      }
      applyCharacterSprms(pieceSprms, chp);
      setFormat(chp);
      Pap pap;
      for (ByteView sprms : styles_.paragraphSprms(paragraphStyle)) paragraphProperties(sprms, pap);
      paragraphProperties(papRun != nullptr ? papRun->grpprl : ByteView{}, pap);
      paragraphProperties(pieceSprms, pap);
      for (size_t at = offset; at < end; at += unit) {
        const char16_t c = piece.compressed ? windows1252ToUnicode(bytes[at]) : static_cast<char16_t>(u16At(bytes, at));
        const uint32_t cp = piece.cpStart + static_cast<uint32_t>(at / unit);
        character(c, cp, chp, pap);
      }
      offset = end;
    }
  }

  void setFormat(const Chp& chp) {
    CharacterFormat format;
    if (chp.font >= 0 && static_cast<size_t>(chp.font) < fonts_.size()) format.face = fonts_[static_cast<size_t>(chp.font)];
    format.pointSize = chp.halfPoints / 2.0;
    format.bold = chp.bold;
    format.italic = chp.italic;
    format.underline = chp.underline;
    format.strikeOut = chp.strikeOut;
    format.color = chp.color;
    format.baseline = chp.baseline;
    format.background = chp.highlight != 0 ? kWordColors[chp.highlight] : 0;
    if (format == sink_.format()) return;
    flush();
    sink_.setFormat(format);
  }

  void character(char16_t c, uint32_t cp, const Chp& chp, const Pap& pap) {
    if (paragraphStart_) {
      paragraphStart_ = false;
      if (pap.ilfo != 0 && !chp.hidden) showText(platform::unitsToQString(lists_.label(pap.ilfo, pap.ilvl, fonts_)), pap);
    }
    switch (c) {
      case 0x13:  // a field begins: its instruction is not shown
        if (fields_.size() < kMaxFieldDepth) fields_.push_back(false);
        return;
      case 0x14:  // the instruction ends, the result follows
        if (!fields_.empty()) fields_.back() = true;
        return;
      case 0x15:
        if (!fields_.empty()) fields_.pop_back();
        return;
      case 0x0D:
        flush();
        paragraphStart_ = true;
        if (pap.inTable) {
          sink_.cellParagraph();
        } else {
          sink_.closeRow();
          sink_.setAlignment(pap.alignment);
          sink_.endParagraph();
        }
        return;
      case 0x07:
        flush();
        paragraphStart_ = true;
        if (pap.rowEnd) {
          sink_.endRow(pap.edges);
        } else {
          sink_.endCell();
        }
        return;
      default: break;
    }
    if (!showing() || chp.hidden) return;
    switch (c) {
      case 0x0B: case 0x0C:  // a line, page or section break starts a new line
        flush();
        if (pap.inTable) {
          sink_.cellParagraph();
        } else {
          sink_.setAlignment(pap.alignment);
          sink_.endParagraph();
        }
        return;
      case 0x02: return noteCitation(cp);
      case 0x09: break;
      case 0x1E: c = u'\u2011'; break;  // non-breaking hyphen
      case 0x01: case 0x08:  // an inline picture, a drawn object (a floating picture or shape)
        if (chp.special && picturePlaceholders_) showText(QStringLiteral("[Picture]"), pap);
        return;
      default:
        if (c < 0x20) return;  // pictures, drawn objects, annotation marks, optional hyphens
        break;
    }
    beginText(pap);
    pending_ += QChar(c);
  }

  // Before text: a table cell's separators, or the end of a row left open.
  void beginText(const Pap& pap) {
    if (!pending_.isEmpty()) return;
    sink_.beginCellText(pap.inTable);
    if (!pap.inTable) sink_.closeRow();
  }

  void showText(const QString& text, const Pap& pap) {
    if (text.isEmpty()) return;
    beginText(pap);
    pending_ += text;
  }

  bool showing() const { return std::all_of(fields_.begin(), fields_.end(), [](bool result) { return result; }); }

  void noteCitation(uint32_t cp) {
    const bool endnote = std::binary_search(endnoteRefs_.begin(), endnoteRefs_.end(), cp) &&
                         !std::binary_search(footnoteRefs_.begin(), footnoteRefs_.end(), cp);
    const std::string number = endnote ? romanNumber(++endnotes_, true) : std::to_string(++footnotes_);
    pending_ += QString::fromLatin1(number.data(), static_cast<qsizetype>(number.size()));
  }

  void flush() {
    if (pending_.isEmpty()) return;
    sink_.appendText(pending_);
    pending_.clear();
  }

  const Fib& fib_;                          // the document's FIB
  ByteView word_;                           // the WordDocument stream, borrowed
  ByteView table_;                          // the table stream, borrowed
  std::vector<Piece> pieces_;               // the main text's pieces, in text order
  std::vector<ByteView> prcs_;              // property modifiers of the piece table
  std::vector<PropertyRun> chpRuns_;        // character properties by file offset
  std::vector<PropertyRun> papRuns_;        // paragraph properties by file offset
  std::vector<QString> fonts_;              // face names by font index
  StyleSheet styles_;                       // the styles' properties
  std::vector<uint32_t> footnoteRefs_;      // positions of footnote citations
  std::vector<uint32_t> endnoteRefs_;       // positions of endnote citations
  ListTable lists_;                         // list numbers and bullets, counted as paragraphs are read
  bool picturePlaceholders_;                // pictures show as "[Picture]" (else as nothing)
  bool paragraphStart_ = true;              // the next character is a paragraph's first
  std::vector<bool> fields_;                // open fields, innermost last: true once in the result
  int footnotes_ = 0;                       // footnote citations shown
  int endnotes_ = 0;                        // endnote citations shown
  QString pending_;                         // text not yet handed to the sink
  size_t budget_ = word_.size();            // characters that may still be read
  RichTextSink sink_;                       // the document being built
};

// The streams are views: of the file itself where a stream's sectors lie in order (no copy of
// a large document), else of the copies this record owns.
struct WordStreams {
  WordFileKind kind = WordFileKind::NotWord;
  ByteView word;                      // the WordDocument stream
  ByteView table;                     // the table stream the FIB names
  std::vector<uint8_t> wordStorage;   // the WordDocument stream's bytes, when they had to be gathered
  std::vector<uint8_t> tableStorage;  // the table stream's, likewise
  Fib fib;                            // the FIB, when the kind is Readable
};

WordStreams openWord(ByteView bytes) {
  WordStreams streams;
  const std::optional<CompoundFile> file = CompoundFile::open(bytes);
  if (!file) return streams;
  const std::optional<ByteView> word = file->streamView(u"WordDocument", streams.wordStorage);
  if (!word) {
    // Office's encryption keeps the document in an EncryptedPackage stream.
    if (file->stream(u"EncryptedPackage") || file->stream(u"EncryptionInfo")) streams.kind = WordFileKind::PasswordProtected;
    return streams;
  }
  streams.word = *word;
  const std::optional<Fib> fib = readFib(streams.word);
  if (!fib) return streams;
  if (fib->ident != kWord97Ident || fib->nFib < kFirstWord97Fib) {
    streams.kind = WordFileKind::OlderVersion;
    return streams;
  }
  if ((fib->flags & (kEncrypted | kObfuscated)) != 0) {
    streams.kind = WordFileKind::PasswordProtected;
    return streams;
  }
  streams.table = file->streamView((fib->flags & kWhichTable) != 0 ? u"1Table" : u"0Table", streams.tableStorage)
                      .value_or(ByteView{});
  streams.fib = *fib;
  streams.kind = WordFileKind::Readable;
  return streams;
}

}  // namespace

WordFileKind wordFileKind(ByteView bytes) { return openWord(bytes).kind; }

QString wordNotice(WordFileKind kind) {
  switch (kind) {
    case WordFileKind::PasswordProtected: return QStringLiteral("This document is password-protected.");
    case WordFileKind::OlderVersion: return QStringLiteral("This Word document is from Word 6 or 95, which this viewer does not read.");
    case WordFileKind::NotWord: return QStringLiteral("This file holds no Word document this viewer can read.");
    case WordFileKind::Readable: break;
  }
  return QString();
}

bool WordReader::recognises(ByteView bytes) const { return hasCompoundFileSignature(bytes); }

TextDocument WordReader::read(ByteView bytes) const { return readWordDocument(bytes, true); }

TextDocument readWordDocument(ByteView bytes, bool picturePlaceholders) {
  const WordStreams streams = openWord(bytes);
  if (streams.kind != WordFileKind::Readable) return TextDocument::fromPlainText(wordNotice(streams.kind));
  // The FIB's pairs point into the WordDocument stream the FIB was read from: keep it alive.
  return WordParser(streams.fib, streams.word, streams.table, picturePlaceholders).run();
}

const WordReader& wordReader() {
  static const WordReader reader;
  return reader;
}

}  // namespace platform::textview
