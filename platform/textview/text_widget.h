// The widget that shows a text view on the desktop: it paints what its TextViewControl says
// is visible (white page, black text, the page style's lines, the selection) and keeps the
// scroll bars in step with the scroll position. A user's use of the scroll bars reaches the
// window as WM_VSCROLL / WM_HSCROLL, so the window's procedure (and any subclass in front of
// it) sees it like any other scroll request.
#pragma once

#include <QImage>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "platform/system/windows.h"
#include "platform/textview/text_view_control.h"

namespace platform::textview {

class TextViewWidget;
// Called after every paint of a text view. Only measuring programs install one (the viewer's
// start-up benchmark notes when the document first reaches the screen); the product never does.
using PaintObserver = void (*)(TextViewWidget& view);
void setPaintObserver(PaintObserver observer);

class TextViewWidget final : public QWidget {
  Q_OBJECT

 public:
  // `style` is the window's creation style: WS_VSCROLL and WS_HSCROLL give the scroll bars.
  TextViewWidget(HWND window, DWORD style, double deviceScale);

  TextViewControl& control() { return control_; }
  HWND window() const { return window_; }
  // Call after anything that changes what is shown: repaints and moves the scroll bars.
  void contentChanged();
  // Whether what the view shows has been painted since it last changed.
  bool drawn() const { return drawn_; }
  // Whether every text view on screen has painted what it shows (a headless screenshot waits
  // for this).
  static bool everyShownViewDrawn();
  // The thumb position a scroll bar drag is reporting right now (the message's 16-bit
  // position cannot hold the line numbers of a long text), if any.
  std::optional<int> trackedThumbPosition() const { return trackedThumb_; }
  // SB_THUMBTRACK / SB_THUMBPOSITION: the thumb's line becomes the top line. A thumb at the
  // bottom of the bar means the end, whatever line count the bar's range was made from.
  void scrollToThumb(int position);

  // What the window procedure remembers between input messages.
  struct PointerState {
    bool selecting = false;    // a left press in the text is being dragged
    int wheelRemainder = 0;    // wheel movement not yet turned into whole lines
  };
  PointerState& pointer() { return pointer_; }

  // Colours of the page.
  static QColor selectionBackground() { return QColor(0x33, 0x66, 0xCC); }
  static QColor pageLineColour() { return QColor(0x70, 0x70, 0x70); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layOutChildren();
  void syncScrollBars();
  void verticalAction(int action);
  void horizontalAction(int action);
  void paintPageLines(QPainter& painter, const std::vector<VisibleSegment>& segments);
  // Idle work: once the view is painted, the last screen's glyphs are drawn where they do not
  // show, then the line counts still estimated are measured a slice at a time.
  void startIdleWork();
  void idleWork();
  void drawLastScreenHidden(QPainter& painter);
  QRect viewportRect() const;

  HWND window_;                  // the window this widget shows
  TextViewControl control_;      // the text view's content and state, owned
  QScrollBar* vertical_ = nullptr;    // child, owned by this widget; none without WS_VSCROLL
  QScrollBar* horizontal_ = nullptr;  // child, owned by this widget; none without WS_HSCROLL
  std::optional<int> trackedThumb_;   // set while a thumb drag is being reported
  bool syncing_ = false;         // the scroll bars are being set from the control
  QImage dottedRow_;             // one row of alternate dots, as wide as the view
  PointerState pointer_;         // mouse and wheel state of the window procedure
  bool drawn_ = false;           // painted since the content last changed
  QTimer idleTimer_;             // runs idleWork() while the event queue is empty
  uint64_t preparedGeneration_ = ~uint64_t{0};  // layout generation whose last screen was drawn
  bool lastScreenPending_ = false;  // the next paint draws the last screen where it is hidden
  bool countsChanged_ = false;   // idle measuring changed line counts the scroll bar lacks
  std::chrono::steady_clock::time_point lastIdleSync_;  // when idle work last moved the bar
};

}  // namespace platform::textview
