#include "platform/textview/text_widget.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/textview/richink.h"

namespace platform::textview {
namespace {

PaintObserver paintObserver = nullptr;  // see setPaintObserver

// Idle work runs in slices this long, so that input waits no longer than that.
constexpr auto kIdleSlice = std::chrono::milliseconds(4);
// While idle measuring goes on, the scroll bar takes up the new counts this often.
constexpr auto kIdleSyncInterval = std::chrono::milliseconds(100);

int clampToInt(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT_MAX)); }

// The platform's scroll code for a scroll bar action.
std::optional<WORD> scrollCodeFor(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    default: return std::nullopt;
  }
}

// The first parameter of a scroll message: the code, and for the thumb codes its position
// (the rest carry none, as the platform sends them).
WPARAM thumbParam(WORD code, int position) {
  const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
  return MAKEWPARAM(code, thumb ? static_cast<WORD>(std::clamp(position, 0, 0xFFFF)) : 0);
}

}  // namespace

void setPaintObserver(PaintObserver observer) { paintObserver = observer; }

TextViewWidget::TextViewWidget(HWND window, DWORD style, double deviceScale) : window_(window) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::IBeamCursor);
  control_.setDeviceScale(deviceScale);
  if (style & WS_VSCROLL) {
    vertical_ = new QScrollBar(Qt::Vertical, this);
    vertical_->setCursor(Qt::ArrowCursor);
    vertical_->setFocusPolicy(Qt::NoFocus);
    connect(vertical_, &QAbstractSlider::actionTriggered, this, &TextViewWidget::verticalAction);
  }
  if (style & WS_HSCROLL) {
    horizontal_ = new QScrollBar(Qt::Horizontal, this);
    horizontal_->setCursor(Qt::ArrowCursor);
    horizontal_->setFocusPolicy(Qt::NoFocus);
    horizontal_->hide();  // shown only when a line is wider than the view
    connect(horizontal_, &QAbstractSlider::actionTriggered, this, &TextViewWidget::horizontalAction);
  }
  idleTimer_.setInterval(0);
  connect(&idleTimer_, &QTimer::timeout, this, &TextViewWidget::idleWork);
  layOutChildren();
}

QRect TextViewWidget::viewportRect() const {
  QRect area = rect();
  if (vertical_) area.setRight(area.right() - vertical_->sizeHint().width());
  if (horizontal_ && !horizontal_->isHidden()) area.setBottom(area.bottom() - horizontal_->sizeHint().height());
  return area;
}

void TextViewWidget::layOutChildren() {
  const QRect area = viewportRect();
  if (vertical_) vertical_->setGeometry(area.right() + 1, 0, width() - area.width(), area.height());
  if (horizontal_) horizontal_->setGeometry(0, area.bottom() + 1, area.width(), height() - area.height());
  control_.setViewportSize(QSizeF(area.width(), area.height()));
}

void TextViewWidget::resizeEvent(QResizeEvent*) { contentChanged(); }

void TextViewWidget::contentChanged() {
  layOutChildren();
  syncScrollBars();
  drawn_ = false;
  update();
  startIdleWork();
}

void TextViewWidget::startIdleWork() {
  if (!idleTimer_.isActive() && (preparedGeneration_ != control_.layoutGeneration() || !control_.allMeasured())) {
    idleTimer_.start();
  }
}

void TextViewWidget::scrollToThumb(int position) {
  if (vertical_ != nullptr && position >= vertical_->maximum()) {
    control_.scrollToBottom();
  } else {
    control_.scrollToLine(position);
  }
}

void TextViewWidget::idleWork() {
  if (!drawn_ && isVisible() && !visibleRegion().isEmpty()) {
    idleTimer_.stop();  // the screen the user waits for comes first; painting starts it again
    return;
  }
  if (preparedGeneration_ != control_.layoutGeneration()) {
    preparedGeneration_ = control_.layoutGeneration();
    lastScreenPending_ = true;
    update();
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  countsChanged_ = control_.measureUntil(now + kIdleSlice) || countsChanged_;
  const bool done = control_.allMeasured();
  if (done) idleTimer_.stop();
  if (countsChanged_ && (done || now - lastIdleSync_ >= kIdleSyncInterval)) {
    countsChanged_ = false;
    lastIdleSync_ = now;
    syncScrollBars();
  }
}

void TextViewWidget::drawLastScreenHidden(QPainter& painter) {
  // The end of the text is where a jump most likely goes (Ctrl+End, the thumb dragged down):
  // its lines are laid out already for the scroll range, and drawing them once where the
  // clip hides them renders their glyphs into the glyph cache that painting the view uses.
  // For a screen of CJK text not shown yet, that is most of the time such a jump takes.
  const QRect area = viewportRect();
  const double y = area.bottom() + 1.0;
  for (const VisibleSegment& visible : control_.lastScreen()) {
    for (int index = visible.firstLine; index <= visible.lastLine; ++index) {
      const QTextLine line = visible.layout->lineAt(index);
      line.draw(&painter, QPointF(control_.margin(), y - line.y()));
    }
  }
}

bool TextViewWidget::everyShownViewDrawn() {
  for (QWidget* widget : QApplication::allWidgets()) {
    const auto* view = qobject_cast<const TextViewWidget*>(widget);
    // A view that other windows cover entirely gets no paint: it counts as drawn.
    if (view != nullptr && view->isVisible() && !view->visibleRegion().isEmpty() && !view->drawn()) return false;
  }
  return true;
}

void TextViewWidget::syncScrollBars() {
  syncing_ = true;
  if (vertical_) {
    const int maximum = clampToInt(control_.lastFirstLine());
    vertical_->setRange(0, maximum);
    vertical_->setPageStep(std::max(1, control_.linesPerPage()));
    vertical_->setSingleStep(1);
    if (!trackedThumb_) vertical_->setValue(clampToInt(control_.firstVisibleLine()));
    vertical_->setEnabled(maximum > 0);
  }
  if (horizontal_) {
    const int range = static_cast<int>(std::min<double>(control_.horizontalRange(), INT_MAX));
    const bool wasHidden = horizontal_->isHidden();
    horizontal_->setVisible(range > 0);
    horizontal_->setRange(0, range);
    horizontal_->setPageStep(std::max(1, viewportRect().width()));
    horizontal_->setSingleStep(std::max(1, static_cast<int>(control_.defaultLineHeight() / 2)));
    horizontal_->setValue(static_cast<int>(control_.horizontalOffset()));
    if (wasHidden != horizontal_->isHidden()) layOutChildren();
  }
  syncing_ = false;
}

void TextViewWidget::verticalAction(int action) {
  if (syncing_) return;
  const std::optional<WORD> code = scrollCodeFor(action);
  if (!code) return;
  const int position = vertical_->sliderPosition();
  if (*code == SB_THUMBTRACK) trackedThumb_ = position;
  SendMessage(window_, WM_VSCROLL, thumbParam(*code, position), 0);
  trackedThumb_.reset();
  // The window decided where the view went; the bar shows that, not its own idea.
  vertical_->setSliderPosition(clampToInt(control_.firstVisibleLine()));
}

void TextViewWidget::horizontalAction(int action) {
  if (syncing_) return;
  const std::optional<WORD> code = scrollCodeFor(action);
  if (!code) return;
  const int position = horizontal_->sliderPosition();
  if (*code == SB_THUMBTRACK) trackedThumb_ = position;
  SendMessage(window_, WM_HSCROLL, thumbParam(*code, position), 0);
  trackedThumb_.reset();
  horizontal_->setSliderPosition(static_cast<int>(control_.horizontalOffset()));
}

void TextViewWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  const QRect area = viewportRect();
  painter.setClipRect(area.intersected(event->rect()));
  const std::vector<VisibleSegment> segments = control_.visibleSegments();

  paintPageLines(painter, segments);

  painter.setPen(Qt::black);
  const qsizetype selectionStart = control_.selectionStart();
  const qsizetype selectionEnd = control_.selectionEnd();
  const double x = control_.margin() - control_.horizontalOffset();
  for (const VisibleSegment& visible : segments) {
    QList<QTextLayout::FormatRange> selections;
    const qsizetype length = visible.layout->text().size();
    const qsizetype from = std::max<qsizetype>(selectionStart - visible.textStart, 0);
    const qsizetype to = std::min<qsizetype>(selectionEnd - visible.textStart, length);
    if (to > from) {
      QTextLayout::FormatRange range;
      range.start = static_cast<int>(from);
      range.length = static_cast<int>(to - from);
      range.format.setBackground(selectionBackground());
      range.format.setForeground(Qt::white);
      selections.append(range);
    }
    visible.layout->draw(&painter, QPointF(x, visible.offsetY), selections, QRectF(area));
  }
  if (lastScreenPending_) {
    lastScreenPending_ = false;
    drawLastScreenHidden(painter);
  }
  drawn_ = true;
  // Layouts made while painting may have sharpened the estimates behind the scroll bars.
  if (control_.refineEstimates() || (vertical_ && vertical_->maximum() != clampToInt(control_.lastFirstLine()))) {
    QMetaObject::invokeMethod(this, [this] { syncScrollBars(); }, Qt::QueuedConnection);
  }
  startIdleWork();
  if (paintObserver != nullptr) paintObserver(*this);
}

void TextViewWidget::paintPageLines(QPainter& painter, const std::vector<VisibleSegment>& segments) {
  const WPARAM style = control_.pageStyle();
  if (style != PS_RULEDLINES && style != PS_DOTTEDLINES) return;
  const QRect area = viewportRect();
  // The bottom pixel row of every text line, then the same spacing down to the bottom.
  std::vector<int> rows;
  double bottom = 0.0;
  for (const VisibleSegment& visible : segments) {
    for (int index = visible.firstLine; index <= visible.lastLine; ++index) {
      const QTextLine line = visible.layout->lineAt(index);
      bottom = visible.offsetY + line.y() + line.height();
      rows.push_back(static_cast<int>(std::floor(bottom)) - 1);
    }
  }
  const double step = control_.defaultLineHeight();
  for (double next = bottom + step; next <= area.height() + step; next += step) rows.push_back(static_cast<int>(std::floor(next)) - 1);

  if (style == PS_RULEDLINES) {
    for (int row : rows) painter.fillRect(QRect(area.left(), row, area.width(), 1), pageLineColour());
    return;
  }
  if (dottedRow_.width() != area.width()) {
    dottedRow_ = QImage(std::max(1, area.width()), 1, QImage::Format_ARGB32_Premultiplied);
    dottedRow_.fill(Qt::transparent);
    for (int column = 0; column < dottedRow_.width(); column += 2) dottedRow_.setPixelColor(column, 0, pageLineColour());
  }
  for (int row : rows) painter.drawImage(QPoint(area.left(), row), dottedRow_);
}

}  // namespace platform::textview
