// What one text view holds and does, apart from any widget: the document, its lazy layout,
// the selection, the view settings (font, zoom, ink layer, view mode, page style) and the
// scroll position, with the rules the control's messages follow. The widget paints what this
// says is visible; the window procedure turns messages into these calls.
#pragma once

#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/textview/richink.h"
#include "platform/textview/text_layout.h"
#include "platform/textview/text_model.h"

namespace platform::textview {

// Zoom limits; 0 (a viewer that has not chosen one yet) means 100.
inline constexpr int kMinZoomPercent = 10;
inline constexpr int kMaxZoomPercent = 1000;
// Up to this many characters, the line count answers after laying out everything; above, it
// uses the estimates for the parts not yet shown.
inline constexpr qsizetype kExactLineCountLimit = 65536;

// A wrapped line: the segment and the line's index in that segment's layout.
struct LinePosition {
  int64_t segment;  // segment of the document
  int line;         // line within the segment's layout
  auto operator<=>(const LinePosition&) const = default;
};

// A segment as it appears on screen, for painting and hit testing.
struct VisibleSegment {
  std::shared_ptr<const QTextLayout> layout;  // the segment's layout, shared with the cache
  int64_t segment;                            // which segment
  qsizetype textStart;                        // its first character in the document
  int firstLine;                              // first line shown
  int lastLine;                               // last line shown (inclusive)
  double offsetY;                             // where the layout's y = 0 falls in the viewport
};

class TextViewControl {
 public:
  TextViewControl();

  // ---- content
  void setPlainText(QString text);
  void setDocument(TextDocument document);
  void clear();
  const TextDocument& document() const { return document_; }

  // ---- selection (positions are UTF-16 offsets into the text)
  // EM_SETSEL: start -1 removes the selection, an end below 0 means the end of the text,
  // both are clamped to the text, and start may follow end.
  void setSelection(int64_t start, int64_t end);
  qsizetype selectionStart() const { return std::min(anchor_, caret_); }
  qsizetype selectionEnd() const { return std::max(anchor_, caret_); }
  qsizetype caret() const { return caret_; }
  bool hasSelection() const { return anchor_ != caret_; }
  // Extends the selection from its anchor to `position` (a mouse drag).
  void extendSelectionTo(qsizetype position);
  // Selects the word (or run of spaces) at `position`.
  void selectWordAt(qsizetype position);
  // The selected text with each line end written as a line feed, the desktop's convention.
  QString selectedText() const;
  // Gives the selection the face `face`. A selection over the whole text changes the
  // control's face; a part of it keeps the face per run.
  void applyFaceToSelection(const QString& face);

  // ---- view settings
  void setFont(const QFont& font);
  QFont displayFont() const;  // the font at the current zoom
  // Returns the zoom in effect afterwards.
  int setZoomPercent(int percent);
  int zoomPercent() const { return zoomPercent_; }
  void setInkLayer(WPARAM layer) { inkLayer_ = layer; }
  WPARAM inkLayer() const { return inkLayer_; }
  void setViewMode(WPARAM mode) { viewMode_ = mode; }
  WPARAM viewMode() const { return viewMode_; }
  // Only PS_NONE, PS_RULEDLINES and PS_DOTTEDLINES are taken; returns whether it was.
  bool setPageStyle(WPARAM style);
  WPARAM pageStyle() const { return pageStyle_; }
  // Desktop pixels per device pixel, for sizes given in points.
  void setDeviceScale(double scale);

  // ---- geometry and scrolling (pixels of the viewport, the text area inside the scroll bars)
  void setViewportSize(QSizeF size);
  QSizeF viewportSize() const { return viewport_; }
  double margin() const { return margin_; }
  int64_t firstVisibleLine();
  int64_t lineCount();
  // The largest first visible line: the last line then sits at the bottom of the view.
  int64_t lastFirstLine();
  void scrollLines(int64_t delta);
  void scrollPages(int pages);  // negative = up
  void scrollToLine(int64_t line);
  void scrollToTop() { scrollToLine(0); }
  void scrollToBottom();
  // Horizontal: only a line wider than the view (a long word at a large zoom) needs it.
  double horizontalOffset() const { return horizontalOffset_; }
  double horizontalRange();
  void scrollHorizontallyTo(double offset);
  // Lines that fit whole in the view from the top (at least 1).
  int linesPerPage();
  // By character rather than by line, so that a place survives a relayout: the first
  // character of the top line, and scrolling so that the line holding `position` is the top
  // line (or as near as the end of the text allows).
  qsizetype firstVisiblePosition();
  void scrollToPosition(qsizetype position);
  // Scrolls `position` into view: nothing when its line is shown whole, else its line becomes
  // the top line.
  void revealPosition(qsizetype position);

  // ---- what is on screen
  std::vector<VisibleSegment> visibleSegments();
  // The text position under a viewport point; above the view gives the first visible line,
  // below the text gives the end of the last visible line.
  qsizetype positionAt(QPointF point);
  // Height of a line of the control's font: the spacing of page-style lines below the text.
  double defaultLineHeight() const { return layout_.defaultLineHeight(); }
  TextLayoutEngine::Statistics layoutStatistics() const { return layout_.statistics(); }
  // Lets estimates catch up with what was measured; true when the line counts changed.
  bool refineEstimates();
  // What the view would show scrolled to the end, without scrolling there.
  std::vector<VisibleSegment> lastScreen();

  // ---- idle work: the line counts still estimated, measured a slice at a time
  bool measureUntil(std::chrono::steady_clock::time_point deadline) { return layout_.measureUntil(deadline); }
  bool allMeasured() { return layout_.allMeasured(); }
  // Changes whenever every layout is made anew (content, font, zoom or width changed).
  uint64_t layoutGeneration() const { return layout_.generation(); }

 private:
  void documentChanged();
  void fontsChanged();
  LinePosition topPosition();
  void setTop(LinePosition position);
  LinePosition moveDown(LinePosition from, int64_t lines);
  LinePosition moveUp(LinePosition from, int64_t lines);
  LinePosition lastTopPosition();
  int lineIndexFor(int64_t segment, qsizetype offset);
  double lineHeight(LinePosition position);

  TextDocument document_;      // the content, owned
  TextLayoutEngine layout_;    // its layout; borrows document_
  QFont baseFont_;             // the font from WM_SETFONT (or the default), before zoom
  int zoomPercent_ = 100;      // zoom in effect
  double deviceScale_ = 1.0;   // desktop pixels per device pixel
  WPARAM inkLayer_ = 1;        // EM_SETINKLAYER value; 1 is the text layer
  WPARAM viewMode_ = VT_TYPINGVIEW;  // EM_SETVIEW value
  WPARAM pageStyle_ = PS_NONE;       // EM_SETPAGESTYLE value
  qsizetype anchor_ = 0;       // where the selection started
  qsizetype caret_ = 0;        // where it ends (the moving end)
  QSizeF viewport_{200, 200};  // text area in pixels
  double margin_ = 2.0;        // blank space left and right of the text, in pixels
  int64_t topSegment_ = 0;     // segment of the first visible line
  qsizetype topOffset_ = 0;    // where that line starts within the segment (survives relayout)
  double horizontalOffset_ = 0.0;  // pixels scrolled to the right
};

}  // namespace platform::textview
