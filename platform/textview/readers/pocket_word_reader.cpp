#include "platform/textview/readers/pocket_word_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <vector>

#include "platform/textview/readers/code_pages.h"
#include "platform/textview/readers/rich_text_sink.h"

namespace platform::textview {
namespace {

constexpr size_t kHeaderSize = 14;
constexpr size_t kZoneHeader = 6;
constexpr uint16_t kFontZone = 0x00;
constexpr uint16_t kOrderZone = 0x40;
constexpr uint16_t kParagraphZone = 0x41;
constexpr uint16_t kEndZone = 0x82;
// A paragraph zone's fields before its text.
constexpr size_t kParagraphHeader = 30;
constexpr size_t kParagraphLength = 8;      // u16: bytes of text and codes
constexpr size_t kParagraphBullet = 24;     // u8: 0xFF for a bulleted paragraph
constexpr size_t kParagraphAlignment = 25;  // u8: 0 left, 1 right, 2 centred
// What a bulleted paragraph starts with, in Windows-1252 like its text: a bullet and a space.
constexpr char kBullet[] = "\x95 ";
// The handheld's highlighter: yellow behind the text.
constexpr uint32_t kHighlightColor = 0xFFFFFF00;
// The font table: a count at data offset 4, entries of 80 bytes from offset 16, each an id and
// a face name of 32 UTF-16 units at entry offset 16.
constexpr size_t kFontCount = 4;
constexpr size_t kFontEntries = 16;
constexpr size_t kFontEntrySize = 80;
constexpr size_t kFontName = 16;

// Inline codes of a paragraph's text and the bytes of their argument.
enum Code : uint8_t {
  kLiteral = 0xC1,    // 1: the next byte is text, whatever its value
  kBreak = 0xC4,      // 1: 0 ends the paragraph, 4 is a tab, 1..3 a line break
  kFont = 0xE5,       // 2: font id from the font table
  kSize = 0xE6,       // 2: size in points
  kColor = 0xE7,      // 1: colour index of the palette below
  kWeight = 0xE8,     // 2: weight / 100 (7 = bold)
  kItalic = 0xE9,     // 1: on / off
  kUnderline = 0xEA,  // 1: on / off
  kStrikeOut = 0xEB,  // 1: on / off
  kHighlight = 0xEC,  // 1: on / off
};

// The handheld's 16 colours.
constexpr std::array<uint32_t, 16> kPalette = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                                               0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                                               0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};

uint16_t u16At(ByteView bytes, size_t at) { return at + 2 <= bytes.size() ? static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)) : 0; }
uint32_t u32At(ByteView bytes, size_t at) { return u16At(bytes, at) | (static_cast<uint32_t>(u16At(bytes, at + 2)) << 16); }

struct Paragraph {
  uint16_t id;          // the zone's id, as the order names it
  Alignment alignment;  // how its lines sit
  bool bulleted;        // a bullet goes before its text
  ByteView text;        // its text and inline codes
};

struct Zones {
  std::map<uint16_t, QString> fonts;  // face names by id
  std::vector<uint16_t> order;        // paragraph ids in reading order
  std::vector<Paragraph> paragraphs;  // paragraph zones in file order
};

Zones readZones(ByteView bytes) {
  Zones zones;
  size_t at = kHeaderSize;
  while (at + kZoneHeader <= bytes.size()) {
    const uint16_t type = u16At(bytes, at);
    const uint16_t id = u16At(bytes, at + 2);
    const size_t size = kZoneHeader + size_t{u16At(bytes, at + 4)} * 4;
    const bool cut = size > bytes.size() - at;
    const ByteView zone = bytes.subspan(at, std::min(size, bytes.size() - at));
    if (type == kEndZone) break;
    if (type == kFontZone) {
      const size_t count = u16At(zone, kZoneHeader + kFontCount);
      for (size_t i = 0; i < count; ++i) {
        const size_t entry = kZoneHeader + kFontEntries + i * kFontEntrySize;
        if (entry + kFontEntrySize > zone.size()) break;
        QString name;
        for (size_t k = 0; k < 32; ++k) {
          const char16_t unit = u16At(zone, entry + kFontName + 2 * k);
          if (unit == 0) break;
          name += QChar(unit);
        }
        zones.fonts[u16At(zone, entry)] = name;
      }
    } else if (type == kOrderZone) {
      const size_t count = u32At(zone, kZoneHeader);
      for (size_t i = 0; i < count; ++i) {
        const size_t entry = kParagraphHeader + 8 * i;
        if (entry + 8 > zone.size()) break;
        zones.order.push_back(u16At(zone, entry + 4));
      }
    } else if (type == kParagraphZone && zone.size() >= kParagraphHeader) {
      const size_t length = std::min<size_t>(u16At(zone, kParagraphLength), zone.size() - kParagraphHeader);
      const uint8_t alignment = zone[kParagraphAlignment];
      zones.paragraphs.push_back(Paragraph{id, alignment == 1 ? Alignment::Right : alignment == 2 ? Alignment::Center : Alignment::Left,
                                           zone[kParagraphBullet] == 0xFF, zone.subspan(kParagraphHeader, length)});
    }
    if (cut) break;
    at += size;
  }
  return zones;
}

class ParagraphReader {
 public:
  ParagraphReader(const Zones& zones, RichTextSink& sink) : zones_(zones), sink_(sink) {}

  void read(const Paragraph& paragraph) {
    const ByteView text = paragraph.text;
    sink_.setAlignment(paragraph.alignment);
    // The bullet takes the format of the paragraph's first text.
    bulletPending_ = paragraph.bulleted;
    size_t at = 0;
    while (at < text.size()) {
      const uint8_t byte = text[at++];
      const auto argument = [&](size_t size) {
        uint16_t value = 0;
        for (size_t i = 0; i < size && at < text.size(); ++i) value |= static_cast<uint16_t>(text[at++] << (8 * i));
        return value;
      };
      switch (byte) {
        case kLiteral: if (at < text.size()) addByte(text[at++]); break;
        case kBreak: {
          const uint16_t kind = argument(1);
          if (kind == 4) {
            addByte('\t');
          } else {
            addBullet();
            flush();
            sink_.endParagraph();  // the paragraph's end, or a line break inside it
            if (kind == 0) return;
          }
          break;
        }
        case kFont: {
          const auto found = zones_.fonts.find(argument(2));
          format_.face = found != zones_.fonts.end() ? found->second : QString();
          changeFormat();
          break;
        }
        case kSize: format_.pointSize = argument(2); changeFormat(); break;
        case kColor: {
          const uint16_t index = argument(1);
          format_.color = index < kPalette.size() ? kPalette[index] : 0;
          changeFormat();
          break;
        }
        case kWeight: format_.bold = argument(2) >= 6; changeFormat(); break;
        case kItalic: format_.italic = argument(1) != 0; changeFormat(); break;
        case kUnderline: format_.underline = argument(1) != 0; changeFormat(); break;
        case kStrikeOut: format_.strikeOut = argument(1) != 0; changeFormat(); break;
        case kHighlight: format_.background = argument(1) != 0 ? kHighlightColor : 0; changeFormat(); break;
        default:
          if (byte >= 0x20) addByte(byte);  // not the padding's zeros
          break;
      }
    }
    // A paragraph cut short of its end code still ends here.
    addBullet();
    flush();
    sink_.endParagraph();
  }

  void finish() { flush(); }

 private:
  void changeFormat() {
    if (format_ == sink_.format()) return;
    flush();
    sink_.setFormat(format_);
  }

  void addBullet() {
    if (bulletPending_) pending_ += kBullet;
    bulletPending_ = false;
  }

  void addByte(uint8_t byte) {
    addBullet();
    pending_.push_back(static_cast<char>(byte));
  }

  void flush() {
    if (pending_.empty()) return;
    sink_.appendText(decodeWindows1252(ByteView(reinterpret_cast<const uint8_t*>(pending_.data()), pending_.size())));
    pending_.clear();
  }

  const Zones& zones_;       // fonts, borrowed
  RichTextSink& sink_;       // the document being built, borrowed
  CharacterFormat format_;   // the format the codes so far give (it carries across paragraphs)
  std::string pending_;      // text bytes not yet handed to the sink
  bool bulletPending_ = false;  // the paragraph's bullet waits for its first text
};

}  // namespace

bool PocketWordReader::recognises(ByteView bytes) const {
  return bytes.size() >= 5 && std::memcmp(bytes.data(), "{\\pwi", 5) == 0;
}

TextDocument PocketWordReader::read(ByteView bytes) const {
  const Zones zones = readZones(bytes);
  RichTextSink sink;
  ParagraphReader reader(zones, sink);
  // The order names each paragraph by id; a file that gives every paragraph the same id (or
  // names ids that are missing) is read in file order.
  std::map<uint16_t, const Paragraph*> byId;
  bool idsUnique = true;
  for (const Paragraph& paragraph : zones.paragraphs) idsUnique = byId.emplace(paragraph.id, &paragraph).second && idsUnique;
  bool ordered = idsUnique && !zones.order.empty() && zones.order.size() == zones.paragraphs.size();
  for (uint16_t id : zones.order) ordered = ordered && byId.count(id) != 0;
  if (ordered) {
    for (uint16_t id : zones.order) reader.read(*byId[id]);
  } else {
    for (const Paragraph& paragraph : zones.paragraphs) reader.read(paragraph);
  }
  reader.finish();
  return sink.finish();
}

const PocketWordReader& pocketWordReader() {
  static const PocketWordReader reader;
  return reader;
}

}  // namespace platform::textview
