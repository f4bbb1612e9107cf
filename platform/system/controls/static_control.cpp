// "STATIC": labels (left, centred or right aligned, word-wrapped or clipped on one line) and
// icons, on QLabel. Static controls never take the pointer: clicks go through to the window
// beneath, as on the platform.
#include <QLabel>
#include <QPixmap>
#include <memory>

#include "platform/system/controls/control_support.h"
#include "platform/system/controls/standard_controls.h"
#include "platform/system/window_host.h"

namespace platform::controls {
namespace {

inline constexpr DWORD kStaticTypeMask = 0x001F;  // SS_* type bits

struct StaticRecord {
  HWND window = nullptr;       // the control's own window
  DWORD type = SS_LEFT;        // SS_* type (style & 0x1F)
  bool noPrefix = false;       // SS_NOPREFIX: "&" is shown as it is
  HICON icon = nullptr;        // SS_ICON: the icon shown, borrowed from whoever loaded it
  HFONT font = nullptr;        // the last WM_SETFONT handle, borrowed; only WM_GETFONT returns it
  QLabel* label = nullptr;     // the Qt label; the layer owns it
};

bool showsIcon(const StaticRecord& record) { return record.type == SS_ICON; }

void showText(StaticRecord& record, const std::u16string& text) {
  record.label->setText(record.noPrefix ? widgets::toQString(text.c_str()) : withoutMnemonics(text));
}

// Places the label's text the way the style asks.
void configureLabel(StaticRecord& record) {
  QLabel* label = record.label;
  label->setTextFormat(Qt::PlainText);  // a file name is never read as markup
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  switch (record.type) {
    case SS_CENTER:
      label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
      label->setWordWrap(true);
      break;
    case SS_RIGHT:
      label->setAlignment(Qt::AlignRight | Qt::AlignTop);
      label->setWordWrap(true);
      break;
    case SS_LEFTNOWORDWRAP:
      // One line, cut at the control's right edge.
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(false);
      break;
    case SS_ICON:
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      break;
    default:
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(true);
      break;
  }
}

// An icon control takes the size of its icon, keeping its position.
void sizeToIcon(HWND hwnd, const QSize& deviceSize) {
  if (deviceSize.isEmpty()) return;
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  POINT topLeft{rect.left, rect.top};
  if (HWND parent = GetParent(hwnd)) ScreenToClient(parent, &topLeft);
  MoveWindow(hwnd, topLeft.x, topLeft.y, deviceSize.width(), deviceSize.height(), TRUE);
}

// Shows the icon (its pixels are device pixels, drawn larger on the desktop) or nothing.
void showIcon(HWND hwnd, StaticRecord& record, HICON icon) {
  record.icon = icon;
  const QPixmap pixels = icon != nullptr ? widgets::iconPixmap(icon) : QPixmap();
  if (pixels.isNull()) {
    record.label->clear();
    return;
  }
  const QSize desktopSize(toDesktopPixels(pixels.width()), toDesktopPixels(pixels.height()));
  record.label->setPixmap(pixels.scaled(desktopSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  sizeToIcon(hwnd, pixels.size());
}

// The window text of an icon control names its icon resource: "#1000" or "1000".
HICON iconNamedBy(HINSTANCE instance, const std::u16string& name) {
  std::u16string digits = !name.empty() && name[0] == u'#' ? name.substr(1) : name;
  if (digits.empty() || digits.size() > 5) return nullptr;
  unsigned id = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return nullptr;
    id = id * 10 + static_cast<unsigned>(c - u'0');
  }
  if (id > 0xFFFF) return nullptr;
  return LoadIcon(instance, MAKEINTRESOURCE(static_cast<WORD>(id)));
}

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  auto record = std::make_unique<StaticRecord>();
  const auto style = static_cast<DWORD>(create->style);
  record->window = hwnd;
  record->type = style & kStaticTypeMask;
  record->noPrefix = (style & SS_NOPREFIX) != 0;
  record->label = new QLabel;
  configureLabel(*record);
  record->label->setEnabled((style & WS_DISABLED) == 0);
  widgets::attachWidget(hwnd, record->label, widgets::InputRouting::Native);
  StaticRecord* kept = record.release();
  storeRecord(hwnd, kept);
  const std::u16string text = textParameter(create->lpszName);
  if (showsIcon(*kept)) {
    showIcon(hwnd, *kept, iconNamedBy(create->hInstance, text));
  } else {
    showText(*kept, text);
  }
  return 0;
}

LRESULT onSetText(HWND hwnd, StaticRecord& record, WPARAM wParam, LPARAM lParam) {
  const LRESULT stored = DefWindowProc(hwnd, WM_SETTEXT, wParam, lParam);
  const std::u16string text = textParameter(lParam);
  if (showsIcon(record)) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(hwnd, GWLP_HINSTANCE));
    showIcon(hwnd, record, iconNamedBy(instance, text));
  } else {
    showText(record, text);
  }
  return stored;
}

// STM_SETICON: shows the icon and returns the one shown before (nullptr if none).
LRESULT onSetIcon(HWND hwnd, StaticRecord& record, HICON icon) {
  if (!showsIcon(record)) return 0;
  HICON previous = record.icon;
  showIcon(hwnd, record, icon);
  return reinterpret_cast<LRESULT>(previous);
}

}  // namespace

// The widget that shows the control.
QWidget* shownWidget(const StaticRecord& record) { return record.label; }

LRESULT handleStaticMessage(HWND hwnd, StaticRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT:
      return onSetText(hwnd, record, wParam, lParam);
    case STM_SETICON:
      return onSetIcon(hwnd, record, reinterpret_cast<HICON>(wParam));
    case STM_SETIMAGE:
      // IMAGE_ICON (1) is the only image type the layer has.
      if (wParam != 1) return 0;
      return onSetIcon(hwnd, record, reinterpret_cast<HICON>(lParam));
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

LRESULT staticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr ControlProcedure<StaticRecord> kProcedure{onCreate, shownWidget, nullptr, nullptr,
                                                    handleStaticMessage};
  return runControlProcedure(kProcedure, hwnd, message, wParam, lParam);
}

}  // namespace platform::controls
