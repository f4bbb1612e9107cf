#include "platform/textview/readers/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/textview/readers/code_pages.h"
#include "platform/textview/readers/rich_text_sink.h"

namespace platform::textview {
namespace {

// Longest control word kept; the rest of a longer one is read and dropped.
constexpr size_t kMaxControlWord = 32;

enum class Destination : uint8_t {
  Body,        // the document's text
  Skip,        // not shown: everything inside is read past
  FontTable,   // \fonttbl: font numbers, character sets and names
  ColorTable,  // \colortbl: red, green, blue per entry
};

// What a group sets; `{` copies it, `}` returns to the enclosing group's.
struct GroupState {
  Destination destination = Destination::Body;  // where the group's text goes
  int font = -1;                 // \fN; -1 = the default font (\deffN)
  int halfPoints = 0;            // \fsN; 0 = the control's size
  int color = 0;                 // \cfN, index into the colour table; 0 = automatic
  bool bold = false;             // \b
  bool italic = false;           // \i
  bool underline = false;        // \ul and its kinds
  bool strikeOut = false;        // \strike, \striked1
  bool hidden = false;           // \v: left out
  int8_t baseline = 0;           // \super / \up > 0, \sub / \dn < 0
  int unicodeSkip = 1;           // \ucN: bytes that stand in for each \uN
  Alignment alignment = Alignment::Left;  // \ql \qc \qr \qj
  bool inTable = false;          // \intbl: the paragraph is in a table cell
};

struct FontEntry {
  std::string name;  // face name as the table gives it (in the document's code page)
  int codePage = 0;  // from \cpgN or \fcharsetN; 0 = the document's
  bool symbol = false;  // \fcharset2: a symbol font (Symbol, Wingdings), whose bytes are marks
};

// A parameter's digits, clamped to 32 bits.
struct Parameter {
  bool present = false;  // the word had digits
  int32_t value = 0;     // their value, clamped
};

std::string lowerRoman(int value) {
  static constexpr std::array<std::pair<int, const char*>, 13> kNumerals = {{{1000, "m"}, {900, "cm"}, {500, "d"},
      {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}}};
  std::string text;
  value = std::clamp(value, 1, 3999);
  for (const auto& [amount, numeral] : kNumerals) {
    while (value >= amount) {
      text += numeral;
      value -= amount;
    }
  }
  return text;
}

class RtfParser {
 public:
  explicit RtfParser(ByteView bytes) : bytes_(bytes) {}

  TextDocument run() {
    stack_.reserve(64);
    stack_.push_back(GroupState{});  // outside every group: what the first `{` copies
    while (position_ < bytes_.size() && !finished_) {
      const uint8_t byte = bytes_[position_];
      if (byte == '{') {
        ++position_;
        openGroup();
      } else if (byte == '}') {
        ++position_;
        closeGroup();
      } else if (byte == '\\') {
        ++position_;
        readControl();
      } else if (byte == '\r' || byte == '\n') {
        ++position_;  // line ends in RTF are not text
      } else {
        ++position_;
        textByte(byte);
      }
    }
    endDocument();
    return sink_.finish();
  }

 private:
  GroupState& state() { return stack_.back(); }

  void openGroup() {
    flushBytes();
    skipRemaining_ = 0;
    if (static_cast<int>(stack_.size()) > kMaxRtfDepth) {
      ++overflowDepth_;  // deeper groups share the deepest state
      return;
    }
    stack_.push_back(stack_.back());
  }

  void closeGroup() {
    flushBytes();
    skipRemaining_ = 0;
    if (overflowDepth_ > 0) {
      --overflowDepth_;
      return;
    }
    if (state().destination == Destination::FontTable) finishFontEntry();
    stack_.pop_back();
    if (stack_.size() <= 1) finished_ = true;  // the document's own group is closed
    if (stack_.empty()) stack_.push_back(GroupState{});
    formatChanged_ = true;
  }

  Parameter readParameter() {
    Parameter parameter;
    bool negative = false;
    if (position_ < bytes_.size() && bytes_[position_] == '-') {
      negative = true;
      ++position_;
    }
    int64_t value = 0;
    while (position_ < bytes_.size() && bytes_[position_] >= '0' && bytes_[position_] <= '9') {
      parameter.present = true;
      value = std::min<int64_t>(value * 10 + (bytes_[position_] - '0'), int64_t{1} << 32);
      ++position_;
    }
    if (negative) value = -value;
    parameter.value = static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    return parameter;
  }

  void readControl() {
    if (position_ >= bytes_.size()) return;
    const uint8_t first = bytes_[position_];
    const bool letter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
    if (!letter) {
      ++position_;
      controlSymbol(first);
      return;
    }
    char word[kMaxControlWord + 1];
    size_t length = 0;
    while (position_ < bytes_.size()) {
      const uint8_t c = bytes_[position_];
      if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) break;
      if (length < kMaxControlWord) word[length++] = static_cast<char>(c);
      ++position_;
    }
    word[length] = '\0';
    const Parameter parameter = readParameter();
    if (position_ < bytes_.size() && bytes_[position_] == ' ') ++position_;  // the delimiting space
    controlWord(std::string_view(word, length), parameter);
  }

  // A byte of text: counted off a \uN's stand-ins, else shown in the current font's code page.
  void textByte(uint8_t byte) {
    if (skipRemaining_ > 0) {
      --skipRemaining_;
      return;
    }
    switch (state().destination) {
      case Destination::Skip: return;
      case Destination::FontTable: fontTableByte(byte); return;
      case Destination::ColorTable:
        if (byte == ';') finishColorEntry();
        return;
      case Destination::Body: break;
    }
    if (state().hidden) return;
    beforeBodyText();
    // A list's bullet in a symbol font (Word writes \'b7 in Symbol) would read as another
    // character through the code page.
    if (const auto font = fonts_.find(state().font >= 0 ? state().font : defaultFont_);
        font != fonts_.end() && font->second.symbol) {
      if (const char16_t mark = symbolFontCharacter(byte, font->second.face); mark != 0) {
        flushBytes();
        sink_.appendText(QStringView(&mark, 1));
        return;
      }
    }
    const int codePage = currentCodePage();
    if (codePage != bytesCodePage_) flushBytes();
    bytesCodePage_ = codePage;
    pendingBytes_.push_back(static_cast<char>(byte));
  }

  void unicodeCharacter(char16_t unit) {
    if (state().destination != Destination::Body || state().hidden) return;
    beforeBodyText();
    flushBytes();
    sink_.appendText(QStringView(&unit, 1));
  }

  void controlSymbol(uint8_t symbol) {
    switch (symbol) {
      case '\\': case '{': case '}': textByte(symbol); return;
      case '\'': hexByte(); return;
      case '*': starPending_ = true; return;
      case '~': countedSymbol(u'\u00A0'); return;
      case '_': countedSymbol(u'\u2011'); return;
      case '-': if (skipRemaining_ > 0) --skipRemaining_; return;  // optional hyphen: not shown
      case '\r': case '\n': paragraphMark(); return;  // `\` before a line end is \par
      case '\t': countedSymbol(u'\t'); return;
      default: if (skipRemaining_ > 0) --skipRemaining_; return;
    }
  }

  void countedSymbol(char16_t unit) {
    if (skipRemaining_ > 0) {
      --skipRemaining_;
      return;
    }
    unicodeCharacter(unit);
  }

  void hexByte() {
    int value = 0;
    int digits = 0;
    while (digits < 2 && position_ < bytes_.size()) {
      const uint8_t c = bytes_[position_];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) break;
      value = value * 16 + digit;
      ++digits;
      ++position_;
    }
    if (digits == 0) return;
    textByte(static_cast<uint8_t>(value));
  }

  void controlWord(std::string_view word, Parameter parameter) {
    const bool star = starPending_;
    starPending_ = false;
    if (skipRemaining_ > 0 && word != "bin") {
      --skipRemaining_;  // a control word counts as one stand-in character
      return;
    }
    GroupState& s = state();
    const int32_t value = parameter.value;
    const bool on = !parameter.present || value != 0;

    // Destinations first: a starred one this reader does not handle is left out.
    if (destinationWord(word, star)) return;
    if (s.destination == Destination::Skip) {
      if (word == "bin") skipBinary(value);
      return;
    }
    if (s.destination == Destination::FontTable) {
      if (word == "f") {
        finishFontEntry();
        fontId_ = value;
        fontEntry_ = FontEntry{};
        fontOpen_ = true;
      } else if (word == "fcharset") {
        if (fontEntry_.codePage == 0) fontEntry_.codePage = codePageOfCharset(value);
        fontEntry_.symbol = value == 2;
      } else if (word == "cpg") {
        fontEntry_.codePage = value;
      }
      return;
    }
    if (s.destination == Destination::ColorTable) {
      const auto component = static_cast<uint32_t>(std::clamp(value, 0, 255));
      if (word == "red") colorEntry_ = (colorEntry_ & 0xFF00FFFFu) | 0xFF000000u | (component << 16);
      else if (word == "green") colorEntry_ = (colorEntry_ & 0xFFFF00FFu) | 0xFF000000u | (component << 8);
      else if (word == "blue") colorEntry_ = (colorEntry_ & 0xFFFFFF00u) | 0xFF000000u | component;
      return;
    }

    // Characters and breaks.
    if (word == "par") return paragraphMark();
    if (word == "line") return lineBreak();
    if (word == "tab") return unicodeCharacter(u'\t');
    if (word == "cell" || word == "nestcell") return cellMark();
    if (word == "row" || word == "nestrow") return rowMark();
    if (word == "page" || word == "sect") return paragraphMark();
    if (word == "u") {
      unicodeCharacter(static_cast<char16_t>(static_cast<uint16_t>(value)));
      skipRemaining_ = s.unicodeSkip;
      return;
    }
    if (word == "uc") {
      s.unicodeSkip = std::clamp(value, 0, 16);
      return;
    }
    if (word == "bin") return skipBinary(value);
    if (word == "emdash") return unicodeCharacter(u'\u2014');
    if (word == "endash") return unicodeCharacter(u'\u2013');
    if (word == "bullet") return unicodeCharacter(u'\u2022');
    if (word == "lquote") return unicodeCharacter(u'\u2018');
    if (word == "rquote") return unicodeCharacter(u'\u2019');
    if (word == "ldblquote") return unicodeCharacter(u'\u201C');
    if (word == "rdblquote") return unicodeCharacter(u'\u201D');
    if (word == "emspace") return unicodeCharacter(u'\u2003');
    if (word == "enspace") return unicodeCharacter(u'\u2002');
    if (word == "qmspace") return unicodeCharacter(u'\u2005');
    if (word == "zwj") return unicodeCharacter(u'\u200D');
    if (word == "zwnj") return unicodeCharacter(u'\u200C');
    if (word == "chftn") return noteCitation();

    // Character formatting.
    bool changed = true;
    if (word == "plain") {
      const int skip = s.unicodeSkip;
      const Alignment alignment = s.alignment;
      const bool inTable = s.inTable;
      s = GroupState{};
      s.unicodeSkip = skip;
      s.alignment = alignment;
      s.inTable = inTable;
    } else if (word == "b") {
      s.bold = on;
    } else if (word == "i") {
      s.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" ||
               word == "ulwave" || word == "ulth" || word == "uldashd" || word == "uldashdd" || word == "ulhwave" ||
               word == "ulldash" || word == "ulthd" || word == "ululdbwave" || word == "ulthdash") {
      s.underline = on;
    } else if (word == "ulnone") {
      s.underline = false;
    } else if (word == "strike" || word == "striked") {
      s.strikeOut = on;
    } else if (word == "v" || word == "webhidden") {
      s.hidden = on;
    } else if (word == "f") {
      s.font = value;
    } else if (word == "fs") {
      s.halfPoints = parameter.present ? std::clamp(value, 0, 3276) : 24;
    } else if (word == "cf") {
      s.color = std::max(value, 0);
    } else if (word == "super") {
      s.baseline = 1;
    } else if (word == "sub") {
      s.baseline = -1;
    } else if (word == "nosupersub") {
      s.baseline = 0;
    } else if (word == "up") {
      s.baseline = value != 0 || !parameter.present ? 1 : 0;
    } else if (word == "dn") {
      s.baseline = value != 0 || !parameter.present ? -1 : 0;
    } else {
      changed = false;
    }
    if (changed) {
      formatChanged_ = true;
      return;
    }

    // Paragraphs, tables and the document.
    if (word == "pard") {
      s.alignment = Alignment::Left;
      s.inTable = false;
    } else if (word == "ql") {
      s.alignment = Alignment::Left;
    } else if (word == "qc") {
      s.alignment = Alignment::Center;
    } else if (word == "qr") {
      s.alignment = Alignment::Right;
    } else if (word == "qj" || word == "qd") {
      s.alignment = Alignment::Justify;
    } else if (word == "intbl") {
      s.inTable = true;
    } else if (word == "itap") {
      s.inTable = value > 0;
    } else if (word == "trowd") {
      cellEdges_.clear();
    } else if (word == "cellx") {
      if (cellEdges_.size() < 64) cellEdges_.push_back(std::clamp(value, 0, 31680) / 20.0);
    } else if (word == "ansicpg") {
      documentCodePage_ = value > 0 ? value : 1252;
    } else if (word == "mac") {
      documentCodePage_ = 10000;
    } else if (word == "pc") {
      documentCodePage_ = 437;
    } else if (word == "pca") {
      documentCodePage_ = 850;
    } else if (word == "deff") {
      defaultFont_ = value;
    }
  }

  // Handles a word that opens a destination; true when it did.
  bool destinationWord(std::string_view word, bool star) {
    GroupState& s = state();
    if (word == "fonttbl") {
      s.destination = Destination::FontTable;
      return true;
    }
    if (word == "colortbl") {
      s.destination = Destination::ColorTable;
      colorEntry_ = 0;
      return true;
    }
    if (word == "fldrslt") return true;  // the field's result is shown as the group's text
    if (word == "footnote") {
      resolveCitation(isEndnoteAhead());
      s.destination = Destination::Skip;
      return true;
    }
    static constexpr std::array<std::string_view, 36> kSkipped = {
        "stylesheet", "info", "pict", "fldinst", "header", "headerl", "headerr", "headerf", "footer",
        "footerl", "footerr", "footerf", "annotation", "atnid", "atnauthor", "object", "objdata", "objclass",
        "xe", "tc", "txe", "bkmkstart", "bkmkend", "themedata", "colorschememapping", "datastore",
        "latentstyles", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator", "filetbl",
        "template", "userprops", "nonshppict"};
    if (star || std::find(kSkipped.begin(), kSkipped.end(), word) != kSkipped.end()) {
      s.destination = Destination::Skip;
      return true;
    }
    return false;
  }

  // Whether the \footnote just read is followed by \ftnalt (an endnote).
  bool isEndnoteAhead() const {
    size_t at = position_;
    while (at < bytes_.size() && (bytes_[at] == ' ' || bytes_[at] == '\r' || bytes_[at] == '\n')) ++at;
    static constexpr std::string_view kEndnote = "\\ftnalt";
    return bytes_.size() - at >= kEndnote.size() &&
           std::memcmp(bytes_.data() + at, kEndnote.data(), kEndnote.size()) == 0;
  }

  void skipBinary(int32_t count) {
    flushBytes();
    const size_t left = bytes_.size() - position_;
    position_ += std::min(static_cast<size_t>(std::max(count, 0)), left);
  }

  void fontTableByte(uint8_t byte) {
    if (byte == ';') {
      finishFontEntry();
      return;
    }
    if (fontOpen_ && fontEntry_.name.size() < 128) fontEntry_.name.push_back(static_cast<char>(byte));
  }

  void finishFontEntry() {
    if (!fontOpen_) return;
    fontOpen_ = false;
    std::string name = fontEntry_.name;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    QString face;
    decoder_.decode(documentCodePage_, ByteView(reinterpret_cast<const uint8_t*>(name.data()), name.size()), face);
    fonts_[fontId_] = Font{face, fontEntry_.codePage, fontEntry_.symbol};
  }

  void finishColorEntry() {
    if (colors_.size() < 4096) colors_.push_back(colorEntry_);
    colorEntry_ = 0;
  }

  int currentCodePage() {
    const GroupState& s = state();
    const auto found = fonts_.find(s.font >= 0 ? s.font : defaultFont_);
    if (found != fonts_.end() && found->second.codePage != 0) return found->second.codePage;
    return documentCodePage_;
  }

  CharacterFormat currentFormat() {
    const GroupState& s = state();
    CharacterFormat format;
    const auto found = fonts_.find(s.font >= 0 ? s.font : defaultFont_);
    if (found != fonts_.end()) format.face = found->second.face;
    format.pointSize = s.halfPoints / 2.0;
    format.bold = s.bold;
    format.italic = s.italic;
    format.underline = s.underline;
    format.strikeOut = s.strikeOut;
    if (s.color > 0 && static_cast<size_t>(s.color) < colors_.size()) format.color = colors_[static_cast<size_t>(s.color)];
    format.baseline = s.baseline;
    return format;
  }

  // Before any text of the body: the current format, a pending citation, the row left open.
  void beforeBodyText() {
    if (formatChanged_) {
      flushBytes();
      sink_.setFormat(currentFormat());
      formatChanged_ = false;
    }
    if (citationPending_) resolveCitation(false);
    if (!state().inTable) sink_.closeRow();
    sink_.setAlignment(state().alignment);
    sink_.beginCellText(state().inTable);
  }

  void flushBytes() {
    if (pendingBytes_.empty()) return;
    QString text;
    decoder_.decode(bytesCodePage_, ByteView(reinterpret_cast<const uint8_t*>(pendingBytes_.data()), pendingBytes_.size()), text);
    pendingBytes_.clear();
    sink_.appendText(text);
  }

  void noteCitation() {
    if (state().destination != Destination::Body) return;
    flushBytes();
    citationPending_ = true;
    citationFormat_ = currentFormat();
  }

  void resolveCitation(bool endnote) {
    if (!citationPending_) return;
    citationPending_ = false;
    flushBytes();
    const std::string number = endnote ? lowerRoman(++endnotes_) : std::to_string(++footnotes_);
    sink_.appendText(QString::fromLatin1(number.data(), static_cast<qsizetype>(number.size())), citationFormat_);
  }

  void paragraphMark() {
    if (state().destination != Destination::Body) return;
    flushBytes();
    if (citationPending_) resolveCitation(false);
    if (state().inTable) {
      sink_.cellParagraph();
      return;
    }
    sink_.closeRow();
    sink_.setAlignment(state().alignment);
    sink_.endParagraph();
  }

  void lineBreak() {
    if (state().destination != Destination::Body) return;
    flushBytes();
    if (state().inTable) {
      sink_.cellParagraph();
      return;
    }
    sink_.setAlignment(state().alignment);
    sink_.endParagraph();
  }

  void cellMark() {
    if (state().destination != Destination::Body) return;
    flushBytes();
    sink_.endCell();
  }

  void rowMark() {
    if (state().destination != Destination::Body) return;
    flushBytes();
    sink_.endRow(cellEdges_);
  }

  void endDocument() {
    flushBytes();
    if (citationPending_) resolveCitation(false);
    sink_.closeRow();
  }

  struct Font {
    QString face;         // the face name
    int codePage = 0;     // its code page; 0 = the document's
    bool symbol = false;  // a symbol font: its bullets and marks are mapped to Unicode
  };

  ByteView bytes_;                    // the whole file, borrowed
  size_t position_ = 0;               // next byte to read
  bool finished_ = false;             // the document's group has closed
  std::vector<GroupState> stack_;     // open groups, innermost last; [0] stands outside them all
  int overflowDepth_ = 0;             // groups opened beyond kMaxRtfDepth and not yet closed
  bool starPending_ = false;          // `\*` was read: the next word opens an optional destination
  int skipRemaining_ = 0;             // stand-in characters of the last \uN still to skip
  int documentCodePage_ = 1252;       // \ansicpgN
  int defaultFont_ = 0;               // \deffN
  std::map<int, Font> fonts_;         // the font table
  int fontId_ = 0;                    // the font table entry being read
  FontEntry fontEntry_;               // its name and code page so far
  bool fontOpen_ = false;             // an entry is being read
  std::vector<uint32_t> colors_;      // the colour table, 0xAARRGGBB; alpha 0 = automatic
  uint32_t colorEntry_ = 0;           // the colour table entry being read
  std::vector<double> cellEdges_;     // \cellxN of the current row, in points
  bool formatChanged_ = true;         // the sink's format must be set again before text
  std::string pendingBytes_;          // text bytes not yet decoded
  int bytesCodePage_ = 1252;          // their code page
  CodePageDecoder decoder_;           // converters for the code pages met
  bool citationPending_ = false;      // \chftn read, its note's kind not yet known
  CharacterFormat citationFormat_;    // how the citation looks
  int footnotes_ = 0;                 // footnote citations shown so far
  int endnotes_ = 0;                  // endnote citations shown so far
  RichTextSink sink_;                 // the document being built
};

bool startsWith(ByteView bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

}  // namespace

bool RtfReader::recognises(ByteView bytes) const {
  return startsWith(bytes, "{\\rtf") || startsWith(bytes, "{\\urtf") || startsWith(bytes, "{\\pwd");
}

TextDocument RtfReader::read(ByteView bytes) const { return RtfParser(bytes).run(); }

const RtfReader& rtfReader() {
  static const RtfReader reader;
  return reader;
}

}  // namespace platform::textview
