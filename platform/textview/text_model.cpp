#include "platform/textview/text_model.h"

#include <QChar>
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::textview {
namespace {

constexpr char16_t kCarriageReturn = u'\r';
constexpr char16_t kLineFeed = u'\n';
// How far back from a segment's limit a cut looks for a break opportunity.
constexpr qsizetype kCutSearchWindow = 512;
// How far back it then looks for a character boundary. A character is a few units at most; a
// longer run without a boundary (a line of combining marks or of lone surrogates) is cut at the
// limit, so that every segment but a line's last stays nearly kMaxSegmentLength long and
// indexing stays linear in the text whatever it holds.
constexpr qsizetype kBoundarySearchWindow = 32;

// Characters that are as wide as they are tall (CJK ideographs, kana, Hangul, full-width
// forms): text made of them wraps between any two, so a cut between two is invisible.
bool isWideCharacter(char16_t unit) {
  return (unit >= 0x2E80 && unit <= 0xD7FF) || (unit >= 0xF900 && unit <= 0xFAFF) ||
         (unit >= 0xFF00 && unit <= 0xFFEF);
}

// Whether a segment may start at `position` without tearing a character apart.
bool isCharacterBoundary(QStringView text, qsizetype position) {
  if (position <= 0 || position >= text.size()) return true;
  const QChar here = text[position];
  if (here.isLowSurrogate()) return false;
  const QChar::Category category = here.category();
  return category != QChar::Mark_NonSpacing && category != QChar::Mark_SpacingCombining &&
         category != QChar::Mark_Enclosing;
}

// Where to cut a segment that has grown to `limit` (exclusive) from `start`: after a space, or
// between two wide characters, near the limit; else on the character boundary nearest the
// limit; else, with none near, at the limit itself. Looks at no more than
// kCutSearchWindow + kBoundarySearchWindow units.
qsizetype segmentCut(QStringView text, qsizetype start, qsizetype limit) {
  const qsizetype lowest = std::max(start + 1, limit - kCutSearchWindow);
  for (qsizetype cut = limit; cut >= lowest; --cut) {
    const char16_t before = text[cut - 1].unicode();
    const char16_t after = text[cut].unicode();
    if (before == u' ' || before == u'\t') return cut;
    if (isWideCharacter(before) && isWideCharacter(after)) return cut;
  }
  const qsizetype boundaryLowest = std::max(start + 1, limit - kBoundarySearchWindow);
  for (qsizetype cut = limit; cut >= boundaryLowest; --cut) {
    if (isCharacterBoundary(text, cut)) return cut;
  }
  return limit;
}

// The first position in [from, count) whose unit is at most U+000D, where the zero unit, LF and
// CR lie (and a few other controls, which the caller passes over), or `count`. Most text has
// none for dozens of units, so eight are tested at a time.
qsizetype nextLowUnit(const char16_t* units, qsizetype from, qsizetype count) {
  qsizetype i = from;
#if defined(__SSE2__)
  const __m128i highestLow = _mm_set1_epi16(0x0D);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= count; i += 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
    // Saturating subtraction leaves zero exactly where a unit is at most 0x0D.
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(block, highestLow), zero));
    if (mask != 0) return i + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
  }
#endif
  for (; i < count; ++i) {
    if (units[i] <= 0x0D) return i;
  }
  return count;
}

QString withoutLineEnds(QStringView text) {
  QString result = text.toString();
  for (QChar& unit : result) {
    if (unit == QChar(kCarriageReturn) || unit == QChar(kLineFeed)) unit = QChar(u' ');
  }
  return result;
}

}  // namespace

int lineEndLengthAt(QStringView text, qsizetype position) {
  if (position < 0 || position >= text.size()) return 0;
  const char16_t unit = text[position].unicode();
  if (unit == kLineFeed) return 1;
  if (unit != kCarriageReturn) return 0;
  const auto at = [&](qsizetype i) { return i < text.size() ? text[i].unicode() : char16_t{0}; };
  if (at(position + 1) == kCarriageReturn && at(position + 2) == kLineFeed) return 3;
  if (at(position + 1) == kLineFeed) return 2;
  return 1;
}

TextDocument::TextDocument()
    : segmentStarts_{0}, segmentLineEnds_{0}, formats_{CharacterFormat{}}, runs_{{0, 0}}, paragraphFormats_{ParagraphFormat{}} {}

TextDocument TextDocument::fromPlainText(QString text) {
  TextDocument document;
  if (text.size() > kMaxDocumentLength) text.truncate(kMaxDocumentLength);
  document.text_ = std::move(text);
  document.indexSegments();
  return document;
}

TextDocument TextDocument::fromSharedText(const char16_t* units, qsizetype length, std::shared_ptr<const void> owner) {
  TextDocument document;
  if (units == nullptr || length <= 0) return document;
  document.owner_ = std::move(owner);
  document.text_ = QString::fromRawData(reinterpret_cast<const QChar*>(units), std::min(length, kMaxDocumentLength));
  document.indexSegments(true);
  return document;
}

void TextDocument::indexSegments(bool endAtZero) {
  segmentStarts_.clear();
  segmentLineEnds_.clear();
  segmentStarts_.push_back(0);
  lineCount_ = 1;
  const char16_t* units = reinterpret_cast<const char16_t*>(text_.constData());
  qsizetype count = text_.size();
  qsizetype segmentStart = 0;
  qsizetype i = 0;
  while (true) {
    const qsizetype next = nextLowUnit(units, i, count);
    const bool atZero = endAtZero && next < count && units[next] == 0;
    // A line longer than a segment is cut into pieces of at most kMaxSegmentLength units.
    while (next - segmentStart > kMaxSegmentLength) {
      const qsizetype cut = segmentCut(QStringView(units, next), segmentStart, segmentStart + kMaxSegmentLength);
      segmentLineEnds_.push_back(0);
      segmentStarts_.push_back(static_cast<uint32_t>(cut));
      segmentStart = cut;
    }
    if (next >= count) break;
    if (atZero) {
      count = next;
      text_ = QString::fromRawData(text_.constData(), count);  // still the same storage
      break;
    }
    const char16_t unit = units[next];
    if (unit != kCarriageReturn && unit != kLineFeed) {
      i = next + 1;
      continue;
    }
    const int length = lineEndLengthAt(QStringView(units, count), next);
    segmentLineEnds_.push_back(static_cast<uint8_t>(length));
    ++lineCount_;
    i = next + length;
    segmentStarts_.push_back(static_cast<uint32_t>(i));
    segmentStart = i;
  }
  segmentLineEnds_.push_back(0);
}

qsizetype TextDocument::segmentEnd(qsizetype segment) const {
  const size_t next = static_cast<size_t>(segment) + 1;
  return next < segmentStarts_.size() ? static_cast<qsizetype>(segmentStarts_[next]) : text_.size();
}

qsizetype TextDocument::segmentAt(qsizetype position) const {
  if (position <= 0) return 0;
  const auto after = std::upper_bound(segmentStarts_.begin(), segmentStarts_.end(),
                                      static_cast<uint32_t>(std::min(position, text_.size())));
  return static_cast<qsizetype>(after - segmentStarts_.begin()) - 1;
}

std::vector<TextDocument::RunSlice> TextDocument::runsIn(qsizetype start, qsizetype end) const {
  std::vector<RunSlice> slices;
  start = std::clamp<qsizetype>(start, 0, text_.size());
  end = std::clamp<qsizetype>(end, start, text_.size());
  auto run = std::upper_bound(runs_.begin(), runs_.end(), static_cast<uint32_t>(start),
                              [](uint32_t position, const FormatRun& r) { return position < r.start; });
  if (run != runs_.begin()) --run;
  for (; run != runs_.end() && static_cast<qsizetype>(run->start) < end; ++run) {
    const auto next = run + 1;
    const qsizetype runEnd = next == runs_.end() ? text_.size() : static_cast<qsizetype>(next->start);
    const qsizetype sliceStart = std::max<qsizetype>(start, run->start);
    const qsizetype sliceEnd = std::min(end, runEnd);
    if (sliceEnd > sliceStart) slices.push_back({sliceStart, sliceEnd, &formats_[run->formatIndex]});
  }
  return slices;
}

bool TextDocument::hasOwnFormats() const {
  return std::any_of(runs_.begin(), runs_.end(),
                     [&](const FormatRun& run) { return !(formats_[run.formatIndex] == CharacterFormat{}); });
}

const ParagraphFormat& TextDocument::paragraphFormatAt(qsizetype position) const {
  const auto after = std::upper_bound(paragraphRuns_.begin(), paragraphRuns_.end(), static_cast<uint32_t>(std::max<qsizetype>(position, 0)),
                                      [](uint32_t p, const ParagraphRun& r) { return p < r.start; });
  if (after == paragraphRuns_.begin()) return paragraphFormats_.front();
  return paragraphFormats_[(after - 1)->formatIndex];
}

uint32_t TextDocument::internFormat(const CharacterFormat& format) {
  const auto found = std::find(formats_.begin(), formats_.end(), format);
  if (found != formats_.end()) return static_cast<uint32_t>(found - formats_.begin());
  formats_.push_back(format);
  return static_cast<uint32_t>(formats_.size() - 1);
}

void TextDocument::splitRunAt(qsizetype position) {
  if (position <= 0 || position >= text_.size()) return;
  const auto at = static_cast<uint32_t>(position);
  auto after = std::upper_bound(runs_.begin(), runs_.end(), at,
                                [](uint32_t p, const FormatRun& r) { return p < r.start; });
  const auto containing = after - 1;  // runs_ starts at 0, so one always contains the position
  if (containing->start == at) return;
  runs_.insert(after, FormatRun{at, containing->formatIndex});
}

void TextDocument::mergeRuns() {
  std::vector<FormatRun> merged;
  merged.reserve(runs_.size());
  for (const FormatRun& run : runs_) {
    if (!merged.empty() && merged.back().start == run.start) {
      merged.back() = run;  // an empty run gives way to the one that starts where it does
      if (merged.size() >= 2 && merged[merged.size() - 2].formatIndex == run.formatIndex) merged.pop_back();
    } else if (merged.empty() || merged.back().formatIndex != run.formatIndex) {
      merged.push_back(run);
    }
  }
  if (merged.empty() || merged.front().start != 0) merged.insert(merged.begin(), FormatRun{0, 0});
  runs_ = std::move(merged);
}

void TextDocument::setFace(qsizetype start, qsizetype end, const QString& face) {
  start = std::clamp<qsizetype>(start, 0, text_.size());
  end = std::clamp<qsizetype>(end, start, text_.size());
  if (start == end) return;
  splitRunAt(start);
  splitRunAt(end);
  for (FormatRun& run : runs_) {
    if (static_cast<qsizetype>(run.start) < start || static_cast<qsizetype>(run.start) >= end) continue;
    CharacterFormat format = formats_[run.formatIndex];
    format.face = face;
    run.formatIndex = internFormat(format);
  }
  mergeRuns();
}

void TextDocument::clearFaces() {
  for (FormatRun& run : runs_) {
    CharacterFormat format = formats_[run.formatIndex];
    format.face.clear();
    run.formatIndex = internFormat(format);
  }
  mergeRuns();
}

QString TextDocument::textOf(qsizetype start, qsizetype end, QStringView lineEnd) const {
  start = std::clamp<qsizetype>(start, 0, text_.size());
  end = std::clamp<qsizetype>(end, start, text_.size());
  QString result;
  // An empty range holds nothing, not even the line end it may lie inside.
  if (start == end) return result;
  result.reserve(end - start);
  for (qsizetype segment = segmentAt(start); segment < segmentCount(); ++segment) {
    const qsizetype segmentBegin = segmentStart(segment);
    if (segmentBegin >= end) break;
    const qsizetype contentEnd = segmentContentEnd(segment);
    const qsizetype from = std::max(start, segmentBegin);
    const qsizetype to = std::min(end, contentEnd);
    if (to > from) result += QStringView(text_).sliced(from, to - from);
    if (lineEndLength(segment) > 0 && end > contentEnd && start < segmentEnd(segment)) result += lineEnd;
  }
  return result;
}

DocumentBuilder::DocumentBuilder() = default;

void DocumentBuilder::appendText(QStringView text, const CharacterFormat& format) {
  if (text.isEmpty()) return;
  if (markPending_) {
    if (text_.size() >= kMaxDocumentLength) return;
    text_ += QChar(kCarriageReturn);
    markPending_ = false;
  }
  const qsizetype room = kMaxDocumentLength - text_.size();
  if (room <= 0) return;
  if (text.size() > room) text = text.first(room);
  const uint32_t formatIndex = document_.internFormat(format);
  const auto start = static_cast<uint32_t>(text_.size());
  if (runs_.empty() || runs_.back().formatIndex != formatIndex) runs_.push_back(FormatRun{start, formatIndex});
  text_ += withoutLineEnds(text);
}

void DocumentBuilder::recordParagraph() {
  if (paragraphStart_ > text_.size()) return;  // the text is full: nothing more is shown
  // Formats are few and repeat, so a linear search over the distinct ones stays cheap.
  auto& formats = document_.paragraphFormats_;
  auto found = std::find(formats.begin(), formats.end(), paragraphFormat_);
  if (found == formats.end()) found = formats.insert(formats.end(), paragraphFormat_);
  const auto index = static_cast<uint32_t>(found - formats.begin());
  const uint32_t previous = paragraphRuns_.empty() ? 0 : paragraphRuns_.back().formatIndex;
  if (index != previous) paragraphRuns_.push_back(ParagraphRun{static_cast<uint32_t>(paragraphStart_), index});
}

void DocumentBuilder::endParagraph() {
  if (markPending_ && text_.size() < kMaxDocumentLength) text_ += QChar(kCarriageReturn);
  recordParagraph();
  markPending_ = true;
  paragraphStart_ = text_.size() + 1;  // after the mark that is written when more follows
}

TextDocument DocumentBuilder::finish() {
  if (!markPending_) recordParagraph();  // a last paragraph without a mark of its own
  TextDocument document = std::move(document_);
  document.text_ = std::move(text_);
  document.runs_ = std::move(runs_);
  document.paragraphRuns_ = std::move(paragraphRuns_);
  document.mergeRuns();
  document.indexSegments();
  document_ = TextDocument();
  text_.clear();
  runs_.clear();
  paragraphRuns_.clear();
  markPending_ = false;
  paragraphFormat_ = ParagraphFormat{};
  paragraphStart_ = 0;
  return document;
}

}  // namespace platform::textview
