// The text view's document: one UTF-16 text, an index of where its lines start, and the
// character formats of its runs. Readers build it, the layout reads it; it knows nothing of
// windows or widgets.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::textview {

// How a run of characters looks. Empty or zero fields mean "the control's own font", so a
// plain text follows whatever font the control is given.
struct CharacterFormat {
  QString face;            // face name; empty = the control's face
  double pointSize = 0.0;  // size in points; 0 = the control's size
  bool bold = false;       // heavier weight
  bool italic = false;     // slanted
  bool underline = false;  // a line under the text
  bool strikeOut = false;  // a line through the text
  uint32_t color = 0;      // 0xAARRGGBB; alpha 0 = the control's text colour
  int8_t baseline = 0;     // > 0 superscript, < 0 subscript, 0 on the line
  uint32_t background = 0;  // highlight behind the text, 0xAARRGGBB; alpha 0 = none

  bool operator==(const CharacterFormat& other) const = default;
};

enum class Alignment : uint8_t { Left, Center, Right, Justify };

// How a paragraph is laid out. The default is the control's own: left, default tab stops.
struct ParagraphFormat {
  Alignment alignment = Alignment::Left;  // where its lines sit between the margins
  std::vector<double> tabStops;           // tab positions in points, ascending (a table row's
                                          // column edges); empty = the control's default stops

  bool operator==(const ParagraphFormat& other) const = default;
};

// A paragraph format from `start` (a paragraph's first character) to the next one's start.
struct ParagraphRun {
  uint32_t start;        // first character of the paragraph
  uint32_t formatIndex;  // index into TextDocument::paragraphFormats()
};

// A stretch of the text, from `start` to the next run's start, shown in one format.
struct FormatRun {
  uint32_t start;        // first character of the run
  uint32_t formatIndex;  // index into TextDocument::formats()
};

// The longest stretch of a paragraph that the layout is handed in one piece. Longer paragraphs
// are cut into segments (preferably after a space or between wide characters) so that a text
// of megabytes without a line end still lays out a screen at a time.
inline constexpr qsizetype kMaxSegmentLength = 8192;
// The longest text the control holds, in UTF-16 units; anything beyond is dropped. It keeps
// every position and line count within 32 bits.
inline constexpr qsizetype kMaxDocumentLength = qsizetype{1} << 30;

// The length of the line end at `position`, or 0 when no line ends there. CR LF, LF alone, CR
// alone and CR CR LF (the soft line break) each end exactly one line.
int lineEndLengthAt(QStringView text, qsizetype position);

class TextDocument {
 public:
  TextDocument();  // an empty document: one empty line
  // The whole text as it is, line ends included; an empty or missing text is an empty document.
  static TextDocument fromPlainText(QString text);
  // A text shown in place: the document reads `units` directly and keeps `owner` alive as long
  // as it (or a copy) exists. The text ends at the first zero unit or after `length` units.
  static TextDocument fromSharedText(const char16_t* units, qsizetype length, std::shared_ptr<const void> owner);

  const QString& text() const { return text_; }
  qsizetype length() const { return text_.size(); }
  bool isEmpty() const { return text_.isEmpty(); }

  // Segments: the pieces the layout works on. Each is a whole line or a piece of a long one.
  qsizetype segmentCount() const { return static_cast<qsizetype>(segmentStarts_.size()); }
  qsizetype segmentStart(qsizetype segment) const { return segmentStarts_[static_cast<size_t>(segment)]; }
  // One past the segment's last visible character (its line end excluded).
  qsizetype segmentContentEnd(qsizetype segment) const { return segmentEnd(segment) - lineEndLength(segment); }
  // The next segment's start (or the text's length for the last one).
  qsizetype segmentEnd(qsizetype segment) const;
  // The length of the line end that closes the segment; 0 for the last line and for a piece
  // of a long line.
  int lineEndLength(qsizetype segment) const { return segmentLineEnds_[static_cast<size_t>(segment)]; }
  // The segment that holds `position` (a position on a line end belongs to its line).
  qsizetype segmentAt(qsizetype position) const;
  // Lines as the text's line ends count them (not as they wrap): line ends + 1.
  qsizetype lineCount() const { return lineCount_; }

  // Formats of the runs, in text order; the first run starts at 0.
  const std::vector<CharacterFormat>& formats() const { return formats_; }
  const std::vector<FormatRun>& runs() const { return runs_; }
  // The runs that overlap [start, end), as (start, end, format) clipped to that range.
  struct RunSlice {
    qsizetype start;                // first character, clipped
    qsizetype end;                  // one past the last character, clipped
    const CharacterFormat* format;  // the run's format, owned by the document
  };
  std::vector<RunSlice> runsIn(qsizetype start, qsizetype end) const;
  // True when some run names a face, size, weight or slant of its own.
  bool hasOwnFormats() const;
  // The format of the paragraph that holds `position` (the default one when none was given).
  const ParagraphFormat& paragraphFormatAt(qsizetype position) const;
  const std::vector<ParagraphFormat>& paragraphFormats() const { return paragraphFormats_; }

  // Gives [start, end) the face `face` (empty = the control's face); runs are split and
  // merged as needed.
  void setFace(qsizetype start, qsizetype end, const QString& face);
  // Makes every run use the control's face.
  void clearFaces();

  // The text of [start, end) with every line end written as `lineEnd`.
  QString textOf(qsizetype start, qsizetype end, QStringView lineEnd) const;

 private:
  friend class DocumentBuilder;
  // Indexes the segments and line ends; with `endAtZero`, the text ends at its first zero
  // unit (the rest is dropped from the document).
  void indexSegments(bool endAtZero = false);
  uint32_t internFormat(const CharacterFormat& format);
  void splitRunAt(qsizetype position);
  void mergeRuns();

  QString text_;                           // the whole text, line ends included; for a shared
                                           // text, raw data that owner_ keeps alive
  std::shared_ptr<const void> owner_;      // shared: keeps a shared text's storage; else empty
  std::vector<uint32_t> segmentStarts_;    // start of every segment, ascending; never empty
  std::vector<uint8_t> segmentLineEnds_;   // line-end length (0..3) closing each segment
  qsizetype lineCount_ = 1;                // line ends + 1
  std::vector<CharacterFormat> formats_;   // distinct formats; [0] is the control's own
  std::vector<FormatRun> runs_;            // ascending starts, first at 0; never empty
  std::vector<ParagraphFormat> paragraphFormats_;  // distinct paragraph formats; [0] is the default
  std::vector<ParagraphRun> paragraphRuns_;        // ascending starts; empty = all default
};

// How a reader produces a document: paragraphs of runs. Paragraphs are joined with a CR, the
// rich-text controls' paragraph mark; the last paragraph gets none, so a document that ends
// its last paragraph does not show an empty line after it.
class DocumentBuilder {
 public:
  DocumentBuilder();
  // Adds text to the current paragraph. Line ends inside `text` become spaces: a paragraph
  // ends only through endParagraph().
  void appendText(QStringView text, const CharacterFormat& format);
  void endParagraph();
  // The format of the paragraph being built (the one the next endParagraph() closes).
  void setParagraphFormat(const ParagraphFormat& format) { paragraphFormat_ = format; }
  // Characters appended so far (paragraph marks included): readers use it to stop early.
  qsizetype length() const { return text_.size(); }
  // The finished document; the builder is empty afterwards.
  TextDocument finish();

 private:
  TextDocument document_;    // what is built so far
  QString text_;             // the text so far, moved into the document by finish()
  std::vector<FormatRun> runs_;  // runs so far, ascending starts
  bool markPending_ = false;  // a paragraph ended: its mark is written when more follows
  ParagraphFormat paragraphFormat_;   // the format of the paragraph being built
  qsizetype paragraphStart_ = 0;      // where the paragraph being built starts
  std::vector<ParagraphRun> paragraphRuns_;  // formats of the finished paragraphs so far
  void recordParagraph();
};

}  // namespace platform::textview
