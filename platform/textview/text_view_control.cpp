#include "platform/textview/text_view_control.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>

namespace platform::textview {
namespace {

// Points to pixels on the device's screen (96 dots per inch).
constexpr double kDevicePixelsPerPoint = 96.0 / 72.0;
// Blank space left and right of the text, in device pixels.
constexpr double kDeviceMargin = 2.0;

}  // namespace

TextViewControl::TextViewControl() {
  baseFont_.setPixelSize(12);
  layout_.setDocument(&document_);
  fontsChanged();
  setViewportSize(viewport_);
}

// ---------------------------------------------------------------------------------------------
// Content
// ---------------------------------------------------------------------------------------------

void TextViewControl::setPlainText(QString text) { setDocument(TextDocument::fromPlainText(std::move(text))); }

void TextViewControl::setDocument(TextDocument document) {
  document_ = std::move(document);
  documentChanged();
}

void TextViewControl::clear() { setDocument(TextDocument()); }

void TextViewControl::documentChanged() {
  layout_.setDocument(&document_);
  anchor_ = caret_ = 0;
  topSegment_ = 0;
  topOffset_ = 0;
  horizontalOffset_ = 0.0;
}

// ---------------------------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------------------------

void TextViewControl::setSelection(int64_t start, int64_t end) {
  const qsizetype length = document_.length();
  if (start < 0) {  // -1 (or any negative start): no selection, the caret stays
    anchor_ = caret_;
    return;
  }
  if (end < 0) end = length;
  anchor_ = static_cast<qsizetype>(std::min<int64_t>(start, length));
  caret_ = static_cast<qsizetype>(std::min<int64_t>(end, length));
}

void TextViewControl::extendSelectionTo(qsizetype position) { caret_ = std::clamp<qsizetype>(position, 0, document_.length()); }

void TextViewControl::selectWordAt(qsizetype position) {
  position = std::clamp<qsizetype>(position, 0, document_.length());
  const int64_t segment = document_.segmentAt(position);
  const qsizetype segmentStart = document_.segmentStart(segment);
  const qsizetype contentEnd = document_.segmentContentEnd(segment);
  if (contentEnd == segmentStart) {
    anchor_ = caret_ = position;
    return;
  }
  const QString text = document_.text().mid(segmentStart, contentEnd - segmentStart);
  const qsizetype offset = std::min(position - segmentStart, text.size() - 1);
  QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
  finder.setPosition(offset);
  qsizetype start = finder.isAtBoundary() ? offset : finder.toPreviousBoundary();
  if (start < 0) start = 0;
  finder.setPosition(offset);
  qsizetype end = finder.toNextBoundary();
  if (end < 0) end = text.size();
  anchor_ = segmentStart + start;
  caret_ = segmentStart + end;
}

QString TextViewControl::selectedText() const { return document_.textOf(selectionStart(), selectionEnd(), u"\n"); }

void TextViewControl::applyFaceToSelection(const QString& face) {
  const qsizetype start = selectionStart();
  const qsizetype end = selectionEnd();
  if (start == end) return;
  if (start == 0 && end == document_.length()) {
    document_.clearFaces();
    if (!face.isEmpty()) {
      QStringList families = baseFont_.families();
      families.removeAll(face);
      families.prepend(face);
      baseFont_.setFamilies(families);
    }
    fontsChanged();
  } else {
    document_.setFace(start, end, face);
    layout_.invalidate();
  }
}

// ---------------------------------------------------------------------------------------------
// View settings
// ---------------------------------------------------------------------------------------------

QFont TextViewControl::displayFont() const {
  QFont font = baseFont_;
  const double factor = zoomPercent_ / 100.0;
  if (baseFont_.pixelSize() > 0) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(baseFont_.pixelSize() * factor))));
  } else if (baseFont_.pointSizeF() > 0) {
    font.setPointSizeF(baseFont_.pointSizeF() * factor);
  }
  return font;
}

void TextViewControl::fontsChanged() {
  layout_.setFont(displayFont());
  layout_.setPixelsPerPoint(kDevicePixelsPerPoint * deviceScale_ * zoomPercent_ / 100.0);
}

void TextViewControl::setFont(const QFont& font) {
  baseFont_ = font;
  fontsChanged();
}

int TextViewControl::setZoomPercent(int percent) {
  zoomPercent_ = percent == 0 ? 100 : std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
  fontsChanged();
  return zoomPercent_;
}

bool TextViewControl::setPageStyle(WPARAM style) {
  if (style != PS_NONE && style != PS_RULEDLINES && style != PS_DOTTEDLINES) return false;
  pageStyle_ = style;
  return true;
}

void TextViewControl::setDeviceScale(double scale) {
  deviceScale_ = scale > 0 ? scale : 1.0;
  margin_ = kDeviceMargin * deviceScale_;
  fontsChanged();
  setViewportSize(viewport_);
}

// ---------------------------------------------------------------------------------------------
// Geometry and scrolling
// ---------------------------------------------------------------------------------------------

void TextViewControl::setViewportSize(QSizeF size) {
  viewport_ = QSizeF(std::max(0.0, size.width()), std::max(0.0, size.height()));
  layout_.setWidth(viewport_.width() - 2 * margin_);
  horizontalOffset_ = std::min(horizontalOffset_, horizontalRange());
}

int TextViewControl::lineIndexFor(int64_t segment, qsizetype offset) {
  const auto layout = layout_.layoutOf(segment);
  const QTextLine line = layout->lineForTextPosition(static_cast<int>(offset));
  return line.isValid() ? line.lineNumber() : std::max(0, layout->lineCount() - 1);
}

LinePosition TextViewControl::topPosition() {
  topSegment_ = std::clamp<int64_t>(topSegment_, 0, document_.segmentCount() - 1);
  return LinePosition{topSegment_, lineIndexFor(topSegment_, topOffset_)};
}

void TextViewControl::setTop(LinePosition position) {
  topSegment_ = position.segment;
  const auto layout = layout_.layoutOf(position.segment);
  const int line = std::clamp(position.line, 0, std::max(0, layout->lineCount() - 1));
  topOffset_ = layout->lineCount() > 0 ? layout->lineAt(line).textStart() : 0;
}

double TextViewControl::lineHeight(LinePosition position) {
  const auto layout = layout_.layoutOf(position.segment);
  if (position.line < 0 || position.line >= layout->lineCount()) return layout_.defaultLineHeight();
  return layout->lineAt(position.line).height();
}

LinePosition TextViewControl::moveDown(LinePosition from, int64_t lines) {
  const int64_t lastSegment = document_.segmentCount() - 1;
  while (lines > 0) {
    const int count = layout_.lineCountOf(from.segment);
    if (from.line + lines < count) {
      from.line += static_cast<int>(lines);
      break;
    }
    if (from.segment == lastSegment) {
      from.line = std::max(0, count - 1);
      break;
    }
    lines -= count - from.line;
    ++from.segment;
    from.line = 0;
  }
  return from;
}

LinePosition TextViewControl::moveUp(LinePosition from, int64_t lines) {
  while (lines > 0) {
    if (from.line >= lines) {
      from.line -= static_cast<int>(lines);
      break;
    }
    if (from.segment == 0) {
      from.line = 0;
      break;
    }
    lines -= from.line + 1;
    --from.segment;
    from.line = std::max(0, layout_.lineCountOf(from.segment) - 1);
  }
  return from;
}

LinePosition TextViewControl::lastTopPosition() {
  LinePosition position{document_.segmentCount() - 1, 0};
  position.line = std::max(0, layout_.lineCountOf(position.segment) - 1);
  double used = lineHeight(position);
  while (true) {
    const LinePosition above = moveUp(position, 1);
    if (above == position) break;
    const double height = lineHeight(above);
    if (used + height > viewport_.height()) break;
    used += height;
    position = above;
  }
  return position;
}

int64_t TextViewControl::firstVisibleLine() {
  const LinePosition top = topPosition();
  return layout_.linesBefore(top.segment) + top.line;
}

int64_t TextViewControl::lineCount() {
  if (document_.length() <= kExactLineCountLimit) {
    for (int64_t segment = 0; segment < document_.segmentCount(); ++segment) {
      if (!layout_.isLaidOut(segment)) layout_.lineCountOf(segment);
    }
  }
  return layout_.lineCount();
}

int64_t TextViewControl::lastFirstLine() {
  const LinePosition last = lastTopPosition();
  return layout_.linesBefore(last.segment) + last.line;
}

void TextViewControl::scrollLines(int64_t delta) {
  const LinePosition top = topPosition();
  LinePosition target = delta >= 0 ? moveDown(top, delta) : moveUp(top, -delta);
  target = std::min(target, lastTopPosition());
  setTop(target);
}

int TextViewControl::linesPerPage() {
  LinePosition position = topPosition();
  double used = lineHeight(position);
  int lines = 1;
  while (true) {
    const LinePosition below = moveDown(position, 1);
    if (below == position) break;
    const double height = lineHeight(below);
    if (used + height > viewport_.height()) break;
    used += height;
    position = below;
    ++lines;
  }
  return lines;
}

void TextViewControl::scrollPages(int pages) {
  for (; pages > 0; --pages) scrollLines(linesPerPage());
  for (; pages < 0; ++pages) {
    // As many lines as fill the view above the current top.
    LinePosition position = topPosition();
    double used = 0.0;
    int64_t lines = 0;
    while (true) {
      const LinePosition above = moveUp(position, 1);
      if (above == position) break;
      const double height = lineHeight(above);
      if (lines > 0 && used + height > viewport_.height()) break;
      used += height;
      position = above;
      ++lines;
    }
    setTop(position);
  }
}

void TextViewControl::scrollToLine(int64_t line) {
  line = std::max<int64_t>(line, 0);
  const int64_t segment = layout_.segmentOfLine(line);
  const int64_t within = line - layout_.linesBefore(segment);
  LinePosition target{segment, static_cast<int>(std::clamp<int64_t>(within, 0, layout_.lineCountOf(segment) - 1))};
  target = std::min(target, lastTopPosition());
  setTop(target);
}

void TextViewControl::scrollToBottom() { setTop(lastTopPosition()); }

double TextViewControl::horizontalRange() {
  return std::max(0.0, std::ceil(layout_.widestLine() + 2 * margin_ - viewport_.width()));
}

void TextViewControl::scrollHorizontallyTo(double offset) { horizontalOffset_ = std::clamp(offset, 0.0, horizontalRange()); }

// ---------------------------------------------------------------------------------------------
// What is on screen
// ---------------------------------------------------------------------------------------------

std::vector<VisibleSegment> TextViewControl::visibleSegments() {
  std::vector<VisibleSegment> segments;
  LinePosition position = topPosition();
  double y = 0.0;
  while (position.segment < document_.segmentCount() && (segments.empty() || y < viewport_.height())) {
    auto layout = layout_.layoutOf(position.segment);
    VisibleSegment visible{layout, position.segment, layout_.layoutStart(position.segment), position.line, position.line, 0.0};
    if (layout->lineCount() == 0) break;
    visible.offsetY = y - layout->lineAt(position.line).y();
    for (int line = position.line; line < layout->lineCount(); ++line) {
      visible.lastLine = line;
      y += layout->lineAt(line).height();
      if (y >= viewport_.height()) break;
    }
    segments.push_back(std::move(visible));
    position = LinePosition{position.segment + 1, 0};
  }
  return segments;
}

qsizetype TextViewControl::positionAt(QPointF point) {
  const std::vector<VisibleSegment> segments = visibleSegments();
  if (segments.empty()) return 0;
  const double x = point.x() - margin_ + horizontalOffset_;
  for (const VisibleSegment& visible : segments) {
    for (int index = visible.firstLine; index <= visible.lastLine; ++index) {
      const QTextLine line = visible.layout->lineAt(index);
      const double bottom = visible.offsetY + line.y() + line.height();
      if (point.y() < bottom) {
        return visible.textStart + line.xToCursor(x, QTextLine::CursorBetweenCharacters);
      }
    }
  }
  const VisibleSegment& last = segments.back();
  const QTextLine line = last.layout->lineAt(last.lastLine);
  return last.textStart + line.textStart() + line.textLength();
}

bool TextViewControl::refineEstimates() { return layout_.refineEstimates(); }

std::vector<VisibleSegment> TextViewControl::lastScreen() {
  const int64_t segment = topSegment_;
  const qsizetype offset = topOffset_;
  setTop(lastTopPosition());
  std::vector<VisibleSegment> segments = visibleSegments();
  topSegment_ = segment;
  topOffset_ = offset;
  return segments;
}

// ---------------------------------------------------------------------------------------------
// Places by character
// ---------------------------------------------------------------------------------------------

qsizetype TextViewControl::firstVisiblePosition() {
  const LinePosition top = topPosition();
  const auto layout = layout_.layoutOf(top.segment);
  const qsizetype within = layout->lineCount() > 0 ? layout->lineAt(top.line).textStart() : 0;
  return layout_.layoutStart(top.segment) + within;
}

void TextViewControl::scrollToPosition(qsizetype position) {
  position = std::clamp<qsizetype>(position, 0, document_.length());
  // A piece of a long line shows from its layout start, which may lie before its own start.
  int64_t segment = document_.segmentAt(position);
  if (segment + 1 < document_.segmentCount() && position >= layout_.layoutStart(segment + 1)) {
    ++segment;
  } else if (segment > 0 && position < layout_.layoutStart(segment)) {
    --segment;  // or after it, where the previous piece's layout ends
  }
  const LinePosition target{segment, lineIndexFor(segment, position - layout_.layoutStart(segment))};
  setTop(std::min(target, lastTopPosition()));
}

void TextViewControl::revealPosition(qsizetype position) {
  position = std::clamp<qsizetype>(position, 0, document_.length());
  for (const VisibleSegment& visible : visibleSegments()) {
    const qsizetype start = visible.textStart + visible.layout->lineAt(visible.firstLine).textStart();
    const QTextLine last = visible.layout->lineAt(visible.lastLine);
    const double bottom = visible.offsetY + last.y() + last.height();
    // The last line counts only when it is shown whole.
    const int lastWhole = bottom <= viewport_.height() || visible.lastLine == visible.firstLine ? visible.lastLine
                                                                                               : visible.lastLine - 1;
    if (lastWhole < visible.firstLine) continue;
    const QTextLine end = visible.layout->lineAt(lastWhole);
    const qsizetype stop = visible.textStart + end.textStart() + end.textLength();
    if (position >= start && position <= stop) return;
  }
  scrollToPosition(position);
}

}  // namespace platform::textview
