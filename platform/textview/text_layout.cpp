#include "platform/textview/text_layout.h"

#include <QColor>
#include <QFontMetricsF>
#include <QTextCharFormat>
#include <QTextBoundaryFinder>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <set>

namespace platform::textview {
namespace {

// Narrower wrap widths are treated as this, so that a collapsed window cannot ask for one
// line per character of a huge text.
constexpr double kMinimumWidth = 16.0;
// Estimates are redone when the measured average advance differs from the one they used by
// more than this share, once this many characters were measured.
constexpr double kRefineDrift = 0.2;
constexpr int64_t kRefineMinimumCharacters = 2000;

}  // namespace

TextLayoutEngine::TextLayoutEngine() { measureLineHeight(); }
TextLayoutEngine::~TextLayoutEngine() = default;

void TextLayoutEngine::setDocument(const TextDocument* document) {
  document_ = document;
  measuredWidth_ = 0.0;
  measuredCharacters_ = 0;
  invalidate();
}

void TextLayoutEngine::setFont(const QFont& font) {
  if (font == font_) return;
  font_ = font;
  measureLineHeight();
  measuredWidth_ = 0.0;
  measuredCharacters_ = 0;
  invalidate();
}

void TextLayoutEngine::setPixelsPerPoint(double pixelsPerPoint) {
  if (pixelsPerPoint == pixelsPerPoint_) return;
  pixelsPerPoint_ = pixelsPerPoint;
  invalidate();
}

void TextLayoutEngine::setWidth(double width) {
  width = std::max(width, kMinimumWidth);
  if (width == width_) return;
  width_ = width;
  invalidate();
}

void TextLayoutEngine::invalidate() {
  estimatesStale_ = true;
  ++generation_;
  clearLayouts();
}

void TextLayoutEngine::clearLayouts() {
  cache_.clear();
  cachedUnits_ = 0;
  pieceStarts_.clear();
  layoutsMade_ = 0;
  unitsLaidOut_ = 0;
  widestLine_ = 0.0;
}

int64_t TextLayoutEngine::segmentCount() const { return document_ ? document_->segmentCount() : 0; }

double TextLayoutEngine::defaultLineHeight() const { return lineHeight_; }

void TextLayoutEngine::measureLineHeight() {
  // As tall as a laid-out line of the font (which rounds the font's metrics its own way).
  QTextLayout probe(QString(), font_);
  probe.beginLayout();
  QTextLine line = probe.createLine();
  if (line.isValid()) line.setLineWidth(width_);
  probe.endLayout();
  lineHeight_ = std::max(1.0, line.isValid() ? line.height() : QFontMetricsF(font_).height());
}

uint32_t TextLayoutEngine::estimateLines(int64_t segment) const {
  const qsizetype characters = document_->segmentContentEnd(segment) - document_->segmentStart(segment);
  const double lines = std::ceil(static_cast<double>(characters) * estimateAdvance_ / width_);
  return static_cast<uint32_t>(std::clamp(lines, 1.0, static_cast<double>(characters) + 1.0));
}

void TextLayoutEngine::ensureEstimates() {
  if (!estimatesStale_) return;
  estimatesStale_ = false;
  if (measuredCharacters_ >= kRefineMinimumCharacters) {
    estimateAdvance_ = measuredWidth_ / static_cast<double>(measuredCharacters_);
  } else {
    estimateAdvance_ = std::max(1.0, QFontMetricsF(font_).averageCharWidth());
  }
  const int64_t count = segmentCount();
  std::vector<uint32_t> counts(static_cast<size_t>(count));
  for (int64_t segment = 0; segment < count; ++segment) counts[static_cast<size_t>(segment)] = estimateLines(segment);
  lines_.assign(counts);
  laidOut_.assign(static_cast<size_t>(count), false);
  laidOutCount_ = 0;
  measureCursor_ = 0;
}

bool TextLayoutEngine::refineEstimates() {
  if (estimatesStale_ || measuredCharacters_ < kRefineMinimumCharacters) return false;
  const double measured = measuredWidth_ / static_cast<double>(measuredCharacters_);
  if (std::abs(measured - estimateAdvance_) <= kRefineDrift * estimateAdvance_) return false;
  estimateAdvance_ = measured;
  bool changed = false;
  for (int64_t segment = 0; segment < segmentCount(); ++segment) {
    if (laidOut_[static_cast<size_t>(segment)]) continue;
    const uint32_t estimate = estimateLines(segment);
    if (estimate != lines_.countOf(segment)) {
      lines_.setCountOf(segment, estimate);
      changed = true;
    }
  }
  return changed;
}

int64_t TextLayoutEngine::lineCount() {
  ensureEstimates();
  return lines_.total();
}

int64_t TextLayoutEngine::linesBefore(int64_t segment) {
  ensureEstimates();
  return lines_.linesBefore(segment);
}

int64_t TextLayoutEngine::segmentOfLine(int64_t line) {
  ensureEstimates();
  return lines_.segmentOfLine(std::max<int64_t>(line, 0));
}

int TextLayoutEngine::lineCountOf(int64_t segment) {
  if (segment < 0 || segment >= segmentCount()) return 0;
  return layoutOf(segment)->lineCount();
}

bool TextLayoutEngine::isLaidOut(int64_t segment) const {
  return !estimatesStale_ && segment >= 0 && segment < static_cast<int64_t>(laidOut_.size()) &&
         laidOut_[static_cast<size_t>(segment)];
}

QFont TextLayoutEngine::fontFor(const CharacterFormat& format) const {
  QFont font = font_;
  if (!format.face.isEmpty()) {
    QStringList families = font_.families();
    families.removeAll(format.face);
    families.prepend(format.face);
    font.setFamilies(families);
  }
  if (format.pointSize > 0.0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(format.pointSize * pixelsPerPoint_))));
  if (format.bold) font.setWeight(QFont::Bold);
  if (format.italic) font.setItalic(true);
  if (format.underline) font.setUnderline(true);
  if (format.strikeOut) font.setStrikeOut(true);
  return font;
}

bool TextLayoutEngine::continuesPreviousPiece(int64_t segment) const {
  return segment > 0 && segment < segmentCount() && document_->lineEndLength(segment - 1) == 0;
}

qsizetype TextLayoutEngine::layoutStart(int64_t segment) {
  if (segment < 0 || segment >= segmentCount()) return 0;
  return pieceStart(segment, 0);
}

qsizetype TextLayoutEngine::pieceStart(int64_t segment, int64_t depth) {
  if (!continuesPreviousPiece(segment)) return document_->segmentStart(segment);
  if (const auto found = pieceStarts_.find(segment); found != pieceStarts_.end()) return found->second;
  qsizetype result = document_->segmentStart(segment);  // afresh at its own cut
  // With the previous piece's start known, the previous piece tells it (laying out in order);
  // else the search near the cut saves laying out the pieces before.
  const bool previousKnown = !continuesPreviousPiece(segment - 1) || pieceStarts_.contains(segment - 1);
  const bool search = !previousKnown && depth < kProvenDepth;
  if (const std::optional<qsizetype> proven = search ? provenLineStart(segment) : std::nullopt) {
    result = *proven;
  } else if (depth < kPieceChainLength) {
    // Where the previous piece, laid out from its own start, starts its last wrapped line.
    const qsizetype previous = pieceStart(segment - 1, depth + 1);
    const std::shared_ptr<QTextLayout> layout = layOut(previous, document_->segmentContentEnd(segment - 1));
    if (layout->lineCount() >= 2) result = previous + layout->lineAt(layout->lineCount() - 1).textStart();
  }
  pieceStarts_[segment] = result;
  return result;
}

qsizetype TextLayoutEngine::nextLineStart(qsizetype from, qsizetype lineEnd, qsizetype longest) const {
  for (qsizetype span = longest + 32;; span *= 2) {
    const qsizetype end = std::min(lineEnd, from + span);
    const std::shared_ptr<QTextLayout> layout = layOut(from, end);
    if (layout->lineCount() >= 2) return from + layout->lineAt(1).textStart();
    if (end == lineEnd) return lineEnd;
  }
}

std::optional<qsizetype> TextLayoutEngine::provenLineStart(int64_t segment) {
  // The first place at or after the segment's start where the whole line, laid out at once,
  // starts a wrapped line. That line's wrapping is unknown here without laying out all of it
  // before; but the wrapped line that holds the segment's start begins at one of the break
  // opportunities a line's length before it. Following every one of them line by line, the
  // candidates merge (where two lines end at the same place, all that follows is the same);
  // once a single one is left, the whole line's wrapping passes through it. Text whose
  // candidates never merge (characters of one width that break anywhere) gets no answer.
  const qsizetype x = document_->segmentStart(segment);
  int64_t first = segment;
  while (continuesPreviousPiece(first)) --first;
  int64_t last = segment;
  while (last + 1 < segmentCount() && document_->lineEndLength(last) == 0) ++last;
  const qsizetype lineStart = document_->segmentStart(first);
  const qsizetype lineEnd = document_->segmentContentEnd(last);
  const qsizetype limit = x + (document_->segmentContentEnd(segment) - x) / 2;

  // How long wrapped lines are here, from a layout of the text around the start.
  const std::shared_ptr<QTextLayout> probe = layOut(std::max(lineStart, x - kProbeUnits), std::min(lineEnd, x + kProbeUnits));
  qsizetype longest = 1;
  for (int i = 0; i < probe->lineCount(); ++i) longest = std::max<qsizetype>(longest, probe->lineAt(i).textLength());
  qsizetype shortest = longest;  // of the lines whose both ends the probe shows
  for (int i = 1; i + 1 < probe->lineCount(); ++i) shortest = std::min<qsizetype>(shortest, probe->lineAt(i).textLength());
  const qsizetype reach = 2 * longest + 16;
  const qsizetype from = std::max(lineStart, x - reach);

  std::set<qsizetype> chains;
  if (from == lineStart) {
    chains.insert(lineStart);
  } else {
    // Break opportunities, and where a run without one is longer than the shortest line (a
    // word that may be broken anywhere), every character boundary in it.
    const qsizetype context = std::max(lineStart, from - 16);
    const QString window(document_->text().constData() + context, x + 1 - context);
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, window);
    std::vector<qsizetype> breaks;
    for (qsizetype at = lines.toNextBoundary(); at >= 0; at = lines.toNextBoundary()) {
      if (context + at >= from && context + at <= x) breaks.push_back(context + at);
    }
    qsizetype previous = from;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, window);
    breaks.push_back(x + 1);
    for (const qsizetype at : breaks) {
      if (at - previous > shortest / 2) {
        characters.setPosition(previous - context);
        for (qsizetype inside = characters.toNextBoundary(); inside >= 0 && context + inside < at; inside = characters.toNextBoundary()) {
          chains.insert(context + inside);
        }
      }
      if (at <= x) chains.insert(at);
      previous = at;
    }
  }
  // Text that merges does so within a few lines; beyond this many steps it is taken as text
  // that does not.
  size_t steps = 8 * chains.size() + 64;
  while (!chains.empty() && (chains.size() > 1 || *chains.begin() < x)) {
    const qsizetype lowest = *chains.begin();
    if (lowest >= limit || steps-- == 0) return std::nullopt;
    chains.erase(chains.begin());
    chains.insert(nextLineStart(lowest, lineEnd, longest));
  }
  if (chains.empty() || *chains.begin() > limit) return std::nullopt;
  return *chains.begin();
}

std::shared_ptr<QTextLayout> TextLayoutEngine::buildLayout(int64_t segment) {
  const qsizetype start = layoutStart(segment);
  const qsizetype end = continuesPreviousPiece(segment + 1) ? layoutStart(segment + 1) : document_->segmentContentEnd(segment);
  return layOut(start, std::max(start, end));
}

std::shared_ptr<QTextLayout> TextLayoutEngine::layOut(qsizetype start, qsizetype end) const {
  unitsLaidOut_ += end - start;
  // Always a copy of the units: a shared document's text must not outlive the document.
  auto layout = std::make_shared<QTextLayout>(QString(document_->text().constData() + start, end - start), font_);
  // Keep the glyphs that laying out shaped: else every paint of the layout shapes it again,
  // which is the larger part of painting a screen of CJK text.
  layout->setCacheEnabled(true);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  const ParagraphFormat& paragraph = document_->paragraphFormatAt(start);
  switch (paragraph.alignment) {
    case Alignment::Left: break;
    case Alignment::Center: option.setAlignment(Qt::AlignHCenter); break;
    case Alignment::Right: option.setAlignment(Qt::AlignRight); break;
    case Alignment::Justify: option.setAlignment(Qt::AlignJustify); break;
  }
  if (!paragraph.tabStops.empty()) {
    QList<QTextOption::Tab> tabs;
    for (double stop : paragraph.tabStops) tabs.append(QTextOption::Tab(stop * pixelsPerPoint_, QTextOption::LeftTab));
    option.setTabs(tabs);
  }
  layout->setTextOption(option);
  if (document_->hasOwnFormats()) {
    QList<QTextLayout::FormatRange> ranges;
    for (const TextDocument::RunSlice& slice : document_->runsIn(start, end)) {
      if (*slice.format == CharacterFormat{}) continue;
      QTextLayout::FormatRange range;
      range.start = static_cast<int>(slice.start - start);
      range.length = static_cast<int>(slice.end - slice.start);
      range.format.setFont(fontFor(*slice.format));
      if ((slice.format->color >> 24) != 0) range.format.setForeground(QColor::fromRgba(slice.format->color));
      if ((slice.format->background >> 24) != 0) range.format.setBackground(QColor::fromRgba(slice.format->background));
      if (slice.format->baseline != 0) {
        range.format.setVerticalAlignment(slice.format->baseline > 0 ? QTextCharFormat::AlignSuperScript
                                                                    : QTextCharFormat::AlignSubScript);
      }
      ranges.append(range);
    }
    layout->setFormats(ranges);
  }
  layout->beginLayout();
  double y = 0.0;
  for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
    line.setLineWidth(width_);
    line.setPosition(QPointF(0.0, y));
    y += line.height();
  }
  layout->endLayout();
  return layout;
}

std::shared_ptr<const QTextLayout> TextLayoutEngine::layoutOf(int64_t segment) {
  ensureEstimates();
  segment = std::clamp<int64_t>(segment, 0, std::max<int64_t>(segmentCount() - 1, 0));
  ++useCounter_;
  for (CacheEntry& entry : cache_) {
    if (entry.segment == segment) {
      entry.lastUse = useCounter_;
      return entry.layout;
    }
  }
  if (document_ == nullptr) return std::make_shared<QTextLayout>();
  std::shared_ptr<QTextLayout> layout = buildLayout(segment);
  ++layoutsMade_;
  noteLaidOut(segment, *layout);
  const qsizetype units = layout->text().size();
  while (!cache_.empty() && (cache_.size() >= kCacheCapacity || cachedUnits_ + units > kCacheUnits)) {
    const auto oldest = std::min_element(cache_.begin(), cache_.end(),
                                         [](const CacheEntry& a, const CacheEntry& b) { return a.lastUse < b.lastUse; });
    cachedUnits_ -= oldest->units;
    cache_.erase(oldest);
  }
  cache_.push_back(CacheEntry{segment, layout, useCounter_, units});
  cachedUnits_ += units;
  return layout;
}

void TextLayoutEngine::noteLaidOut(int64_t segment, const QTextLayout& layout) {
  // Make the segment's count exact and learn from its widths.
  if (!laidOut_[static_cast<size_t>(segment)]) {
    laidOut_[static_cast<size_t>(segment)] = true;
    ++laidOutCount_;
    lines_.setCountOf(segment, static_cast<uint32_t>(std::max(1, layout.lineCount())));
    for (int i = 0; i < layout.lineCount(); ++i) {
      const QTextLine line = layout.lineAt(i);
      measuredWidth_ += line.naturalTextWidth();
      measuredCharacters_ += line.textLength();
    }
  }
  for (int i = 0; i < layout.lineCount(); ++i) widestLine_ = std::max(widestLine_, layout.lineAt(i).naturalTextWidth());
}

bool TextLayoutEngine::measureUntil(std::chrono::steady_clock::time_point deadline) {
  ensureEstimates();
  if (document_ == nullptr) return false;
  bool changed = false;
  while (measureCursor_ < segmentCount()) {
    const int64_t segment = measureCursor_++;
    if (laidOut_[static_cast<size_t>(segment)]) continue;
    const uint32_t before = lines_.countOf(segment);
    noteLaidOut(segment, *buildLayout(segment));
    changed = changed || lines_.countOf(segment) != before;
    if (std::chrono::steady_clock::now() >= deadline) break;
  }
  return changed;
}

bool TextLayoutEngine::allMeasured() {
  ensureEstimates();
  return laidOutCount_ == segmentCount();
}

TextLayoutEngine::Statistics TextLayoutEngine::statistics() const {
  return Statistics{layoutsMade_, cache_.size(), estimatesStale_ ? 0 : laidOutCount_, unitsLaidOut_};
}

}  // namespace platform::textview
