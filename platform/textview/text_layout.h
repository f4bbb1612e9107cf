// Lazy layout of a TextDocument: segments are laid out with QTextLayout only when they are
// shown or crossed, a small cache keeps the recent ones, and every other segment's wrapped
// line count is an estimate that becomes exact once it is laid out. A text of many megabytes
// therefore costs one pass over its line index before the first screen, not a full layout.
#pragma once

#include <QFont>
#include <QTextLayout>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/textview/line_count_tree.h"
#include "platform/textview/text_model.h"

namespace platform::textview {

class TextLayoutEngine {
 public:
  // How many laid-out segments the cache keeps. A screen needs far fewer.
  static constexpr size_t kCacheCapacity = 192;
  // The cached layouts keep their shaped glyphs (so that painting does not shape the text
  // again), some 25 bytes a unit: beyond this many units of text, older entries make room.
  static constexpr qsizetype kCacheUnits = qsizetype{1} << 18;
  // A line longer than a segment is laid out piece by piece, each piece starting at a place
  // where the line laid out whole starts a wrapped line, so that it wraps exactly as if laid
  // out whole. That place is found near the piece's cut (see provenLineStart), so that a jump
  // deep into a long line lays out only a few pieces' worth. Where it is not found there (text
  // whose wrapping does not settle: characters or words all of one width), the piece starts
  // where the previous one's last wrapped line starts, through at most this many pieces whose
  // starts are not known yet; past them a piece starts afresh at its own cut and a line break
  // shows there. Laying out a line in order always knows the previous piece's start, so only a
  // jump deep into such a line leaves a break, one, well above where it lands.
  static constexpr int64_t kPieceChainLength = 64;
  // The nearest this many pieces before a piece whose start is not known are tried first.
  static constexpr int64_t kProvenDepth = 3;
  // How much text around a piece's cut shows how long the wrapped lines there are.
  static constexpr qsizetype kProbeUnits = 1024;

  TextLayoutEngine();
  ~TextLayoutEngine();
  TextLayoutEngine(const TextLayoutEngine&) = delete;
  TextLayoutEngine& operator=(const TextLayoutEngine&) = delete;

  // The document to lay out, borrowed; it must outlive its use here or be replaced first.
  void setDocument(const TextDocument* document);
  // The control's font at its final size, zoom included.
  void setFont(const QFont& font);
  // Pixels per point for runs that carry a size of their own (zoom and screen scale included).
  void setPixelsPerPoint(double pixelsPerPoint);
  // The width lines wrap at, in pixels.
  void setWidth(double width);
  // The document's formats changed: forget every layout and estimate again.
  void invalidate();

  const QFont& font() const { return font_; }
  double width() const { return width_; }
  int64_t segmentCount() const;
  // Wrapped lines in all segments (estimates for the segments not yet laid out).
  int64_t lineCount();
  int64_t linesBefore(int64_t segment);
  int64_t segmentOfLine(int64_t line);
  // Lines of one segment: exact once laid out.
  int lineCountOf(int64_t segment);
  bool isLaidOut(int64_t segment) const;

  // The segment laid out (from the cache when it is there). Text positions in the layout are
  // relative to layoutStart(segment); its lines are placed from y = 0 down.
  std::shared_ptr<const QTextLayout> layoutOf(int64_t segment);
  // Where the segment's layout starts in the text: the segment's own start, or for a piece of
  // a long line a wrapped line's start near its own (see kPieceChainLength).
  qsizetype layoutStart(int64_t segment);

  // The height of a line of the control's font: the step of ruled lines below the text.
  double defaultLineHeight() const;
  // The widest line of the layouts made since the last invalidation, in pixels.
  double widestLine() const { return widestLine_; }
  // Estimates made from the font's average width are improved with what the layouts measured;
  // when they drifted far, this re-estimates the segments not laid out. Returns true when the
  // line counts changed.
  bool refineEstimates();

  // Lays out segments whose line counts are still estimates, in text order, until `deadline`
  // has passed (one at least), and keeps only their counts, not their layouts: idle time makes
  // the line count exact a slice at a time. Returns true when a count changed.
  bool measureUntil(std::chrono::steady_clock::time_point deadline);
  // Whether every segment's line count is exact.
  bool allMeasured();
  // Increases whenever the layouts are thrown away (document, font or width changed).
  uint64_t generation() const { return generation_; }

  // What the layout has done since the document or its geometry last changed.
  struct Statistics {
    int64_t layoutsMade;   // segments laid out (each counts again if it was evicted and redone)
    size_t cachedLayouts;  // segments in the cache now
    int64_t laidOutSegments;  // distinct segments whose line counts are exact
    int64_t unitsLaidOut;     // units of text laid out, for whatever purpose
  };
  Statistics statistics() const;

 private:
  struct CacheEntry {
    int64_t segment;                             // which segment
    std::shared_ptr<const QTextLayout> layout;   // its layout, shared with callers while in use
    uint64_t lastUse;                            // the use counter when last handed out
    qsizetype units;                             // length of the layout's text
  };

  void ensureEstimates();
  void measureLineHeight();
  uint32_t estimateLines(int64_t segment) const;
  std::shared_ptr<QTextLayout> buildLayout(int64_t segment);
  std::shared_ptr<QTextLayout> layOut(qsizetype start, qsizetype end) const;
  bool continuesPreviousPiece(int64_t segment) const;
  qsizetype pieceStart(int64_t segment, int64_t depth);
  std::optional<qsizetype> provenLineStart(int64_t segment);
  qsizetype nextLineStart(qsizetype from, qsizetype lineEnd, qsizetype longest) const;
  void noteLaidOut(int64_t segment, const QTextLayout& layout);
  QFont fontFor(const CharacterFormat& format) const;
  void clearLayouts();

  const TextDocument* document_ = nullptr;  // borrowed
  QFont font_;                        // the control's font, zoom included
  double pixelsPerPoint_ = 96.0 / 72.0;  // for runs with a size of their own
  double width_ = 200.0;              // wrap width in pixels
  double lineHeight_ = 1.0;           // height of a laid-out line of font_
  bool estimatesStale_ = true;        // counts must be estimated again before use
  LineCountTree lines_;               // exact or estimated lines per segment
  std::vector<bool> laidOut_;         // which segments' counts are exact
  int64_t laidOutCount_ = 0;          // how many entries of laidOut_ are set
  double estimateAdvance_ = 6.0;      // average character advance the estimates used
  double measuredWidth_ = 0.0;        // sum of natural line widths of measured segments
  int64_t measuredCharacters_ = 0;    // characters of those segments
  double widestLine_ = 0.0;           // widest natural line width measured
  std::vector<CacheEntry> cache_;     // recently laid-out segments, at most kCacheCapacity
  qsizetype cachedUnits_ = 0;         // sum of the entries' units
  std::unordered_map<int64_t, qsizetype> pieceStarts_;  // layout starts found for pieces of
                                                        // long lines, by segment
  uint64_t useCounter_ = 0;           // increases with every cache use
  int64_t layoutsMade_ = 0;           // layouts built since the last reset
  mutable int64_t unitsLaidOut_ = 0;  // units laid out since the last reset
  int64_t measureCursor_ = 0;         // segments before it are all measured
  uint64_t generation_ = 0;           // see generation()
};

}  // namespace platform::textview
