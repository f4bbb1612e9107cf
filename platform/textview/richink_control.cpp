// The "RichInk" window class: its class procedure reads as a table of the control's messages,
// each handled by a short function over the window's TextViewWidget and its TextViewControl.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>

#include "platform/system/device_screen.h"
#include "platform/system/qt_units.h"
#include "platform/system/window_host.h"
#include "platform/textview/font_fallback.h"
#include "platform/textview/readers/plain_text_reader.h"
#include "platform/textview/readers/reader.h"
#include "platform/textview/richink.h"
#include "platform/textview/stream_in.h"
#include "platform/textview/text_search.h"
#include "platform/textview/text_widget.h"

namespace platform::textview {
namespace {

// Lines scrolled by one notch of the wheel.
constexpr int kWheelLines = 3;

TextViewWidget* viewOf(HWND hwnd) { return qobject_cast<TextViewWidget*>(widgets::widgetOf(hwnd)); }

// A 32-bit position as the messages pass it: -1 arrives as an all-ones WPARAM or LPARAM.
int64_t positionParam(uintptr_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

// A point of a mouse message (device pixels of the window) in the widget's pixels.
QPointF widgetPoint(LPARAM lParam) {
  const double scale = widgets::deviceScale();
  const auto x = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
  const auto y = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
  return QPointF((x + 0.5) * scale, (y + 0.5) * scale);
}

QString faceNameOf(const WCHAR (&faceName)[LF_FACESIZE]) {
  const WCHAR* end = std::find(faceName, faceName + LF_FACESIZE, u'\0');  // never past the field
  return platform::unitsToQString(faceName, static_cast<qsizetype>(end - faceName));
}

// ---------------------------------------------------------------------------------------------
// The desktop's primary selection
// ---------------------------------------------------------------------------------------------

// Counts the contents a view has shown, so that a selection offered earlier is known stale.
constexpr const char* kContentGeneration = "quillscopeContentGeneration";

qlonglong contentGeneration(const TextViewWidget& view) { return view.property(kContentGeneration).toLongLong(); }
void contentReplaced(TextViewWidget& view) { view.setProperty(kContentGeneration, contentGeneration(view) + 1); }

// The selected text, given only when another program asks for it (a middle click): a selection
// of a whole large document is never copied just because it was made. Once the view shows
// something else, or another selection, it gives nothing.
class PrimarySelection final : public QMimeData {
 public:
  explicit PrimarySelection(TextViewWidget& view)
      : view_(&view), generation_(contentGeneration(view)), start_(view.control().selectionStart()),
        end_(view.control().selectionEnd()) {}

  QStringList formats() const override { return {QStringLiteral("text/plain")}; }
  bool hasFormat(const QString& type) const override { return type == QLatin1String("text/plain"); }

 protected:
  QVariant retrieveData(const QString& type, QMetaType) const override {
    if (type != QLatin1String("text/plain") || view_.isNull() || contentGeneration(*view_) != generation_) return {};
    const TextViewControl& control = view_->control();
    if (control.selectionStart() != start_ || control.selectionEnd() != end_) return {};
    return control.selectedText();
  }

 private:
  QPointer<TextViewWidget> view_;  // the view whose selection this is (not owned)
  qlonglong generation_;           // its content when the selection was made
  qsizetype start_;                // the selection then
  qsizetype end_;
};

// A selection made in the view becomes the desktop's primary selection, where it has one.
void offerPrimarySelection(TextViewWidget& view) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr || !clipboard->supportsSelection() || !view.control().hasSelection()) return;
  clipboard->setMimeData(new PrimarySelection(view), QClipboard::Selection);
}

// ---------------------------------------------------------------------------------------------
// Content
// ---------------------------------------------------------------------------------------------

LRESULT onSetText(TextViewWidget& view, LPARAM lParam) {
  const auto* text = reinterpret_cast<LPCWSTR>(lParam);
  view.control().setPlainText(text != nullptr ? widgets::toQString(text) : QString());
  contentReplaced(view);
  view.contentChanged();
  return TRUE;
}

// The view takes the storage over; whatever happens, the storage's release runs exactly once
// (when the document that shows it goes).
LRESULT onSetTextHandover(TextViewWidget& view, LPARAM lParam) {
  auto* handover = reinterpret_cast<TEXTHANDOVER*>(lParam);
  if (handover == nullptr) return FALSE;
  if (handover->prepared == nullptr) PrepareTextHandover(handover);
  const std::unique_ptr<TextDocument> prepared(static_cast<TextDocument*>(handover->prepared));
  handover->prepared = nullptr;
  view.control().setDocument(std::move(*prepared));
  contentReplaced(view);
  view.contentChanged();
  return TRUE;
}

LRESULT onGetText(TextViewWidget& view, WPARAM maxCount, LPARAM lParam) {
  auto* buffer = reinterpret_cast<LPWSTR>(lParam);
  if (buffer == nullptr || maxCount == 0) return 0;
  const int count = static_cast<int>(std::min<WPARAM>(maxCount, INT_MAX));
  return widgets::copyToBuffer(view.control().document().text(), buffer, count);
}

LRESULT onClearAll(TextViewWidget& view) {
  view.control().clear();
  contentReplaced(view);
  view.contentChanged();
  return TRUE;
}

// Pulls the whole stream, reads it by its content and shows it. Format SF_TEXT reads the bytes
// as plain text whatever they hold; a missing request does nothing.
LRESULT onStreamIn(TextViewWidget& view, WPARAM format, LPARAM lParam) {
  auto* stream = reinterpret_cast<EDITSTREAM*>(lParam);
  if (stream == nullptr) return 0;
  const std::vector<uint8_t> bytes = pullStream(*stream);
  const ByteView streamBytes(bytes.data(), bytes.size());
  const bool plainOnly = (format & SF_RTF) == 0 && (format & SF_TEXT) != 0;
  view.control().setDocument(plainOnly ? plainTextReader().read(streamBytes) : readDocument(streamBytes));
  contentReplaced(view);
  view.contentChanged();
  return static_cast<LRESULT>(view.control().document().length());
}

// ---------------------------------------------------------------------------------------------
// Selection and format
// ---------------------------------------------------------------------------------------------

LRESULT onSetSelection(TextViewWidget& view, WPARAM start, LPARAM end) {
  view.control().setSelection(positionParam(start), positionParam(static_cast<uintptr_t>(end)));
  offerPrimarySelection(view);
  view.update();
  return 0;
}

LRESULT onGetSelection(TextViewWidget& view, WPARAM startOut, LPARAM endOut) {
  const qsizetype start = view.control().selectionStart();
  const qsizetype end = view.control().selectionEnd();
  if (auto* out = reinterpret_cast<DWORD*>(startOut)) *out = static_cast<DWORD>(start);
  if (auto* out = reinterpret_cast<DWORD*>(endOut)) *out = static_cast<DWORD>(end);
  if (start > 0xFFFF || end > 0xFFFF) return -1;  // too far for the two 16-bit halves
  return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end)));
}

LRESULT onSetCharFormat(TextViewWidget& view, WPARAM scope, LPARAM lParam) {
  const auto* format = reinterpret_cast<const CHARFORMAT*>(lParam);
  if (format == nullptr || format->cbSize != sizeof(CHARFORMAT)) return FALSE;
  if ((format->dwMask & CFM_FACE) == 0) return TRUE;
  const QString face = faceNameOf(format->szFaceName);
  TextViewControl& control = view.control();
  if (scope & SCF_SELECTION) {
    control.applyFaceToSelection(face);
  } else {
    // The default format: the face of the whole control.
    const qsizetype caret = control.caret();
    control.setSelection(0, -1);
    control.applyFaceToSelection(face);
    control.setSelection(caret, caret);
  }
  view.contentChanged();
  return TRUE;
}

LRESULT onCopy(TextViewWidget& view) {
  if (!view.control().hasSelection()) return 0;
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(view.control().selectedText());
  return 0;
}

// ---------------------------------------------------------------------------------------------
// View settings
// ---------------------------------------------------------------------------------------------

// The text font, remembered on the widget with its size in device pixels, so that it can be
// sized again when the desktop window is resized (the handle itself is never kept).
constexpr const char* kTextFont = "quillscopeTextFont";
constexpr const char* kTextFontDevicePixels = "quillscopeTextFontDevicePixels";

void setTextFont(TextViewWidget& view, const QFont& font) {
  view.setProperty(kTextFont, font);
  view.setProperty(kTextFontDevicePixels, font.pixelSize() / widgets::deviceScale());
  view.control().setFont(font);
}

// The desktop window was resized: every text view draws at the new scale.
void rescaleTextViews() {
  const double scale = widgets::deviceScale();
  for (QWidget* widget : QApplication::allWidgets()) {
    auto* view = qobject_cast<TextViewWidget*>(widget);
    if (view == nullptr) continue;
    view->control().setDeviceScale(scale);
    QFont font = view->property(kTextFont).value<QFont>();
    const double devicePixels = view->property(kTextFontDevicePixels).toDouble();
    if (devicePixels > 0) {
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(devicePixels * scale))));
      view->control().setFont(font);
    }
    view->contentChanged();
  }
}

LRESULT onSetFont(TextViewWidget& view, WPARAM wParam) {
  // Everything is taken from the font during this call; the handle itself is not kept.
  const auto font = reinterpret_cast<HFONT>(wParam);
  QFont desktopFont = widgets::fontFromHandle(font);
  LOGFONT logFont{};
  if (font != nullptr && GetObject(font, sizeof(LOGFONT), &logFont) == static_cast<int>(sizeof(LOGFONT))) {
    desktopFont = withCharacterSetFallback(desktopFont, faceNameOf(logFont.lfFaceName), logFont.lfCharSet);
  }
  setTextFont(view, desktopFont);
  view.contentChanged();
  return 0;
}

LRESULT onSetZoom(TextViewWidget& view, LPARAM percent) {
  view.control().setZoomPercent(static_cast<int>(std::clamp<LPARAM>(percent, INT_MIN, INT_MAX)));
  view.contentChanged();
  return TRUE;
}

LRESULT onSetPageStyle(TextViewWidget& view, WPARAM style) {
  if (!view.control().setPageStyle(style)) return FALSE;
  view.update();
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Scrolling
// ---------------------------------------------------------------------------------------------

LRESULT onVerticalScroll(TextViewWidget& view, WPARAM wParam) {
  TextViewControl& control = view.control();
  switch (LOWORD(wParam)) {
    case SB_LINEUP: control.scrollLines(-1); break;
    case SB_LINEDOWN: control.scrollLines(1); break;
    case SB_PAGEUP: control.scrollPages(-1); break;
    case SB_PAGEDOWN: control.scrollPages(1); break;
    case SB_TOP: control.scrollToTop(); break;
    case SB_BOTTOM: control.scrollToBottom(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      view.scrollToThumb(view.trackedThumbPosition().value_or(HIWORD(wParam)));
      break;
    default: return 0;
  }
  view.contentChanged();
  return 0;
}

LRESULT onHorizontalScroll(TextViewWidget& view, WPARAM wParam) {
  TextViewControl& control = view.control();
  const double step = std::max(1.0, control.defaultLineHeight() / 2);
  const double page = std::max(1.0, control.viewportSize().width() - step);
  const double offset = control.horizontalOffset();
  switch (LOWORD(wParam)) {
    case SB_LINEUP: control.scrollHorizontallyTo(offset - step); break;
    case SB_LINEDOWN: control.scrollHorizontallyTo(offset + step); break;
    case SB_PAGEUP: control.scrollHorizontallyTo(offset - page); break;
    case SB_PAGEDOWN: control.scrollHorizontallyTo(offset + page); break;
    case SB_TOP: control.scrollHorizontallyTo(0); break;
    case SB_BOTTOM: control.scrollHorizontallyTo(control.horizontalRange()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      control.scrollHorizontallyTo(view.trackedThumbPosition().value_or(HIWORD(wParam)));
      break;
    default: return 0;
  }
  view.contentChanged();
  return 0;
}

// EM_LINESCROLL: wParam characters to the right, lParam lines down.
LRESULT onLineScroll(TextViewWidget& view, WPARAM characters, LPARAM lines) {
  TextViewControl& control = view.control();
  control.scrollLines(positionParam(static_cast<uintptr_t>(lines)));
  const double advance = QFontMetricsF(control.displayFont()).averageCharWidth();
  control.scrollHorizontallyTo(control.horizontalOffset() + static_cast<double>(positionParam(characters)) * advance);
  view.contentChanged();
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Places by character, and finding
// ---------------------------------------------------------------------------------------------

LRESULT onSetTopCharacter(TextViewWidget& view, WPARAM position) {
  view.control().scrollToPosition(static_cast<qsizetype>(std::min<WPARAM>(position, INT32_MAX)));
  view.contentChanged();
  return TRUE;
}

LRESULT onScrollCaret(TextViewWidget& view) {
  view.control().revealPosition(view.control().caret());
  view.contentChanged();
  return 0;
}

LRESULT onFindText(TextViewWidget& view, WPARAM flags, LPARAM lParam) {
  auto* find = reinterpret_cast<FINDTEXTEX*>(lParam);
  if (find == nullptr || find->lpstrText == nullptr) return -1;
  const QString& text = view.control().document().text();
  const QStringView needle(find->lpstrText, static_cast<qsizetype>(lstrlen(find->lpstrText)));
  SearchOptions options;
  options.forward = (flags & FR_DOWN) != 0;
  options.matchCase = (flags & FR_MATCHCASE) != 0;
  options.wholeWord = (flags & FR_WHOLEWORD) != 0;
  const int64_t start = findInText(text, needle, find->chrg.cpMin, find->chrg.cpMax, options);
  if (start < 0) return -1;
  find->chrgText.cpMin = static_cast<LONG>(start);
  find->chrgText.cpMax = static_cast<LONG>(start + needle.size());
  return static_cast<LRESULT>(start);
}

// ---------------------------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------------------------

LRESULT onButtonDown(HWND hwnd, TextViewWidget& view, WPARAM keys, LPARAM lParam) {
  if ((keys & MK_RBUTTON) != 0 && (keys & MK_LBUTTON) == 0) return 0;  // keeps the selection
  if (GetFocus() != hwnd) SetFocus(hwnd);
  TextViewControl& control = view.control();
  const qsizetype position = control.positionAt(widgetPoint(lParam));
  if (keys & MK_SHIFT) {
    control.extendSelectionTo(position);
  } else {
    control.setSelection(position, position);
  }
  view.pointer().selecting = true;
  view.update();
  return 0;
}

LRESULT onMouseMove(TextViewWidget& view, WPARAM keys, LPARAM lParam) {
  auto& pointer = view.pointer();
  if (!pointer.selecting) return 0;
  if ((keys & MK_LBUTTON) == 0) {  // the release went elsewhere (a gesture, a menu)
    pointer.selecting = false;
    return 0;
  }
  TextViewControl& control = view.control();
  const QPointF point = widgetPoint(lParam);
  // Dragging past the top or bottom scrolls the text towards the pointer.
  if (point.y() < 0) control.scrollLines(-1);
  if (point.y() >= control.viewportSize().height()) control.scrollLines(1);
  control.extendSelectionTo(control.positionAt(point));
  view.contentChanged();
  return 0;
}

LRESULT onButtonUp(TextViewWidget& view, LPARAM lParam) {
  auto& pointer = view.pointer();
  if (!pointer.selecting) return 0;
  pointer.selecting = false;
  view.control().extendSelectionTo(view.control().positionAt(widgetPoint(lParam)));
  offerPrimarySelection(view);
  view.update();
  return 0;
}

LRESULT onDoubleClick(TextViewWidget& view, LPARAM lParam) {
  TextViewControl& control = view.control();
  control.selectWordAt(control.positionAt(widgetPoint(lParam)));
  offerPrimarySelection(view);
  view.pointer().selecting = false;
  view.update();
  return 0;
}

LRESULT onWheel(TextViewWidget& view, WPARAM wParam) {
  auto& pointer = view.pointer();
  pointer.wheelRemainder += static_cast<int16_t>(HIWORD(wParam));
  const int notches = pointer.wheelRemainder / WHEEL_DELTA;
  if (notches == 0) return 0;
  pointer.wheelRemainder -= notches * WHEEL_DELTA;
  view.control().scrollLines(-static_cast<int64_t>(notches) * kWheelLines);
  view.contentChanged();
  return 0;
}

LRESULT onKeyDown(HWND hwnd, TextViewWidget& view, WPARAM key) {
  TextViewControl& control = view.control();
  const bool controlHeld = (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) != 0;
  switch (key) {
    case VK_UP: control.scrollLines(-1); break;
    case VK_DOWN: control.scrollLines(1); break;
    case VK_PRIOR: control.scrollPages(-1); break;
    case VK_NEXT: control.scrollPages(1); break;
    case VK_HOME: control.scrollToTop(); break;
    case VK_END: control.scrollToBottom(); break;
    case VK_LEFT: return onHorizontalScroll(view, SB_LINEUP);
    case VK_RIGHT: return onHorizontalScroll(view, SB_LINEDOWN);
    case 'A':
      if (!controlHeld) return 0;
      control.setSelection(0, -1);
      offerPrimarySelection(view);
      break;
    case 'C':
      if (controlHeld) SendMessage(hwnd, WM_COPY, 0, 0);
      return 0;
    default: return 0;
  }
  view.contentChanged();
  return 0;
}

// ---------------------------------------------------------------------------------------------
// The class procedure
// ---------------------------------------------------------------------------------------------

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  const DWORD style = create != nullptr ? static_cast<DWORD>(create->style) : (WS_VSCROLL | WS_HSCROLL);
  auto* view = new TextViewWidget(hwnd, style, widgets::deviceScale());
  setTextFont(*view, widgets::fontFromHandle(nullptr));
  widgets::attachWidget(hwnd, view, widgets::InputRouting::Messages);
  view->contentChanged();
  return 0;
}

LRESULT CALLBACK richInkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return onCreate(hwnd, reinterpret_cast<const CREATESTRUCT*>(lParam));
  TextViewWidget* view = viewOf(hwnd);
  if (view == nullptr && message == EM_SETTEXTHANDOVER && lParam != 0) {
    // No view to show it: the storage is given back at once, as the message promises.
    DiscardTextHandover(reinterpret_cast<TEXTHANDOVER*>(lParam));
    return FALSE;
  }
  if (view == nullptr) return DefWindowProc(hwnd, message, wParam, lParam);
  TextViewControl& control = view->control();
  switch (message) {
    case WM_SETTEXT: return onSetText(*view, lParam);
    case EM_SETTEXTHANDOVER: return onSetTextHandover(*view, lParam);
    case WM_GETTEXT: return onGetText(*view, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(control.document().length());
    case EM_CLEARALL: return onClearAll(*view);
    case EM_STREAMIN: return onStreamIn(*view, wParam, lParam);
    case EM_SETSEL: return onSetSelection(*view, wParam, lParam);
    case EM_GETSEL: return onGetSelection(*view, wParam, lParam);
    case EM_SETCHARFORMAT: return onSetCharFormat(*view, wParam, lParam);
    case WM_COPY: return onCopy(*view);
    case WM_SETFONT: return onSetFont(*view, wParam);
    case WM_GETFONT: return 0;  // no handle is kept
    case EM_SETZOOMPERCENT: return onSetZoom(*view, lParam);
    case EM_GETZOOMPERCENT: return control.zoomPercent();
    case EM_SETINKLAYER: control.setInkLayer(wParam); return TRUE;
    case EM_GETINKLAYER: return static_cast<LRESULT>(control.inkLayer());
    case EM_SETVIEW: control.setViewMode(wParam); return TRUE;
    case EM_GETVIEW: return static_cast<LRESULT>(control.viewMode());
    case EM_SETPAGESTYLE: return onSetPageStyle(*view, wParam);
    case EM_GETPAGESTYLE: return static_cast<LRESULT>(control.pageStyle());
    case WM_VSCROLL: return onVerticalScroll(*view, wParam);
    case WM_HSCROLL: return onHorizontalScroll(*view, wParam);
    case EM_LINESCROLL: return onLineScroll(*view, wParam, lParam);
    case EM_GETLINECOUNT: return static_cast<LRESULT>(control.lineCount());
    case EM_GETFIRSTVISIBLELINE: return static_cast<LRESULT>(control.firstVisibleLine());
    case EM_GETTOPCHAR: return static_cast<LRESULT>(control.firstVisiblePosition());
    case EM_SETTOPCHAR: return onSetTopCharacter(*view, wParam);
    case EM_SCROLLCARET: return onScrollCaret(*view);
    case EM_FINDTEXTEX: return onFindText(*view, wParam, lParam);
    case WM_LBUTTONDOWN: return onButtonDown(hwnd, *view, wParam, lParam);
    case WM_MOUSEMOVE: return onMouseMove(*view, wParam, lParam);
    case WM_LBUTTONUP: return onButtonUp(*view, lParam);
    case WM_LBUTTONDBLCLK: return onDoubleClick(*view, lParam);
    case WM_MOUSEWHEEL: return onWheel(*view, wParam);
    case WM_KEYDOWN: return onKeyDown(hwnd, *view, wParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: view->update(); return 0;
    case WM_PAINT:  // the widget paints itself; default handling validates the window
      view->update();
      return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_CHAR:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR: return 0;  // read-only
    default: return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace
}  // namespace platform::textview

BOOL PrepareTextHandover(TEXTHANDOVER* handover) {
  using platform::textview::TextDocument;
  if (handover == nullptr || handover->prepared != nullptr) return FALSE;
  auto release = handover->release;
  const std::shared_ptr<const void> owner(handover->storage, [release](const void* held) {
    if (release != nullptr) release(const_cast<void*>(held));
  });
  const qsizetype length = static_cast<qsizetype>(std::min<size_t>(handover->length, PTRDIFF_MAX));
  handover->prepared = new TextDocument(TextDocument::fromSharedText(handover->text, length, owner));
  return TRUE;
}

void DiscardTextHandover(TEXTHANDOVER* handover) {
  if (handover == nullptr) return;
  if (handover->prepared != nullptr) {
    delete static_cast<platform::textview::TextDocument*>(handover->prepared);  // gives the storage back
  } else if (handover->release != nullptr) {
    handover->release(handover->storage);
  }
  handover->prepared = nullptr;
  handover->release = nullptr;
  handover->storage = nullptr;
  handover->text = nullptr;
}

BOOL InitRichInkDLL() {
  WNDCLASS existing{};
  if (GetClassInfo(nullptr, WC_RICHINK, &existing)) return TRUE;
  WNDCLASS windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = platform::textview::richInkProc;
  windowClass.lpszClassName = WC_RICHINK;
  if (platform::widgets::registerSystemClass(windowClass) == 0) return FALSE;
  static bool observing = false;
  if (!observing) platform::widgets::addScaleObserver(platform::textview::rescaleTextViews);
  observing = true;
  return TRUE;
}
