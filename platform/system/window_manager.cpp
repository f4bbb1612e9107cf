// Window records: creation and destruction, text, rectangles, window longs, showing, painting
// requests and the relations between windows. The table owns every record; a window's widget
// follows its record through window_widgets.h.
#include <QApplication>
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/system/device_screen.h"
#include "platform/system/handle_allocator.h"
#include "platform/system/hot_keys.h"
#include "platform/system/message_loop.h"
#include "platform/system/screen_metrics.h"
#include "platform/system/single_instance.h"
#include "platform/system/text_utils.h"
#include "platform/system/window_records.h"
#include "platform/system/window_widgets.h"

namespace platform::windows {
namespace {

struct WindowTable {
  std::unordered_map<uintptr_t, std::shared_ptr<WindowRecord>> windows;  // live windows by handle value
  std::vector<HWND> topLevel;                                             // top-level windows, oldest first
};

WindowTable& table() {
  static WindowTable instance;
  return instance;
}

// The handle that GetDesktopWindow gives: not a window record, but accepted where the
// platform accepts the desktop (IsWindow, rectangles).
HWND desktopHandle() {
  static const HWND handle = handles::allocateHandle<HWND>();
  return handle;
}

DWORD currentStyle(const WindowRecord& record) {
  DWORD style = record.style & ~(WS_VISIBLE | WS_DISABLED);
  if (record.visible) style |= WS_VISIBLE;
  if (!record.enabled) style |= WS_DISABLED;
  return style;
}

// The device-screen origin of a window's client area.
POINT screenOrigin(const WindowRecord& record) {
  POINT origin{record.rect.left, record.rect.top};
  HWND parent = record.isChild() ? record.parent : nullptr;
  while (parent != nullptr) {
    const auto parentRecord = findWindow(parent);
    if (!parentRecord) break;
    origin.x += parentRecord->rect.left;
    origin.y += parentRecord->rect.top;
    parent = parentRecord->isChild() ? parentRecord->parent : nullptr;
  }
  return origin;
}

RECT defaultRect(bool child, int x, int y, int width, int height) {
  RECT rect{};
  if (child) {
    rect.left = x == CW_USEDEFAULT ? 0 : x;
    rect.top = x == CW_USEDEFAULT ? 0 : y;
    rect.right = rect.left + (width == CW_USEDEFAULT ? 0 : std::max(width, 0));
    rect.bottom = rect.top + (width == CW_USEDEFAULT ? 0 : std::max(height, 0));
    return rect;
  }
  // A top-level window placed by the system gets the screen below the shell's top bar.
  rect.left = x == CW_USEDEFAULT ? 0 : x;
  rect.top = x == CW_USEDEFAULT ? kTopBarHeight : y;
  if (width == CW_USEDEFAULT) {
    rect.right = platform::kDeviceScreenWidth;
    rect.bottom = platform::kDeviceScreenHeight;
  } else {
    rect.right = rect.left + std::max(width, 0);
    rect.bottom = rect.top + std::max(height, 0);
  }
  return rect;
}

void collectSubtree(HWND hwnd, std::vector<HWND>& out) {
  const auto record = findWindow(hwnd);
  if (!record) return;
  out.push_back(hwnd);
  const std::vector<HWND> children = record->children;
  for (HWND child : children) collectSubtree(child, out);
}

void unlinkRecord(const std::shared_ptr<WindowRecord>& record) {
  auto& t = table();
  if (record->isChild()) {
    if (const auto parent = findWindow(record->parent)) std::erase(parent->children, record->handle);
  } else {
    std::erase(t.topLevel, record->handle);
  }
  t.windows.erase(handles::handleValue(record->handle));
}

// Destroys a window, its owned windows and its children. WM_DESTROY goes to the window first,
// then to its children; a window whose creation failed gets none itself.
void destroyTree(HWND hwnd, bool sendDestroyToSelf) {
  const auto record = findWindow(hwnd);
  if (!record || record->destroyed) return;
  record->destroyed = true;
  // Windows that this one owns (its dialogs) go first, as on the platform.
  if (!record->isChild()) {
    const std::vector<HWND> tops = table().topLevel;
    for (HWND other : tops) {
      const auto otherRecord = findWindow(other);
      if (otherRecord && otherRecord->parent == hwnd && other != hwnd) DestroyWindow(other);
    }
  }
  if (record->visible) moveFocusAwayFrom(hwnd);
  std::vector<HWND> subtree;
  collectSubtree(hwnd, subtree);
  for (HWND member : subtree) {
    if (const auto memberRecord = findWindow(member)) memberRecord->destroyed = true;
  }
  for (HWND member : subtree) {
    if (member == hwnd && !sendDestroyToSelf) continue;
    messages::deliver(member, WM_DESTROY, 0, 0, platform::messages::Delivery::Sent);
  }
  // Children first, so that a parent's widget outlives the widgets inside it.
  for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
    const auto memberRecord = findWindow(*it);
    if (!memberRecord) continue;
    forgetFocusOf(*it);
    messages::removeMessagesFor(*it);
    messages::killTimersOf(*it);
    unregisterHotKeysOf(*it);
    widgets::releaseWidget(*memberRecord);
    unlinkRecord(memberRecord);
  }
  widgets::refreshTopBar();
}

LONG_PTR readExtra(const WindowRecord& record, int offset, size_t size) {
  if (offset < 0 || static_cast<size_t>(offset) + size > record.extraBytes.size()) return 0;
  if (size == sizeof(LONG)) {
    LONG value = 0;
    std::memcpy(&value, record.extraBytes.data() + offset, sizeof value);
    return value;
  }
  LONG_PTR value = 0;
  std::memcpy(&value, record.extraBytes.data() + offset, sizeof value);
  return value;
}

bool writeExtra(WindowRecord& record, int offset, size_t size, LONG_PTR value, LONG_PTR* previous) {
  if (offset < 0 || static_cast<size_t>(offset) + size > record.extraBytes.size()) return false;
  *previous = readExtra(record, offset, size);
  if (size == sizeof(LONG)) {
    const LONG narrow = static_cast<LONG>(value);
    std::memcpy(record.extraBytes.data() + offset, &narrow, sizeof narrow);
  } else {
    std::memcpy(record.extraBytes.data() + offset, &value, sizeof value);
  }
  return true;
}

LONG_PTR getLong(HWND hwnd, int index, size_t size) {
  const auto record = findWindow(hwnd);
  if (!record) return 0;
  switch (index) {
    case GWLP_WNDPROC:
      // A procedure does not fit a 32-bit value on this host: only the pointer-sized call gives it.
      return size == sizeof(LONG_PTR) ? reinterpret_cast<LONG_PTR>(record->procedure) : 0;
    case GWLP_HINSTANCE:
      return size == sizeof(LONG_PTR) ? reinterpret_cast<LONG_PTR>(record->instance) : 0;
    case GWLP_ID:
      return static_cast<LONG_PTR>(record->id);
    case GWL_STYLE:
      return static_cast<LONG>(currentStyle(*record));
    case GWL_EXSTYLE:
      return static_cast<LONG>(record->exStyle);
    case GWLP_USERDATA:
      return size == sizeof(LONG) ? static_cast<LONG>(record->userData) : record->userData;
    default:
      return readExtra(*record, index, size);
  }
}

LONG_PTR setLong(HWND hwnd, int index, LONG_PTR value, size_t size) {
  const auto record = findWindow(hwnd);
  if (!record) return 0;
  LONG_PTR previous = 0;
  switch (index) {
    case GWLP_WNDPROC:
      if (size != sizeof(LONG_PTR) || value == 0) return 0;
      previous = reinterpret_cast<LONG_PTR>(record->procedure);
      record->procedure = reinterpret_cast<WNDPROC>(value);
      return previous;
    case GWLP_HINSTANCE:
      if (size != sizeof(LONG_PTR)) return 0;
      previous = reinterpret_cast<LONG_PTR>(record->instance);
      record->instance = reinterpret_cast<HINSTANCE>(value);
      return previous;
    case GWLP_ID:
      previous = static_cast<LONG_PTR>(record->id);
      record->id = static_cast<UINT_PTR>(value);
      return previous;
    case GWL_STYLE:
      // Visibility and the enabled state change only through ShowWindow and EnableWindow.
      previous = static_cast<LONG>(currentStyle(*record));
      record->style = (static_cast<DWORD>(value) & ~(WS_VISIBLE | WS_DISABLED)) | (record->style & (WS_VISIBLE | WS_DISABLED));
      return previous;
    case GWL_EXSTYLE:
      previous = static_cast<LONG>(record->exStyle);
      record->exStyle = static_cast<DWORD>(value);
      return previous;
    case GWLP_USERDATA:
      previous = record->userData;
      record->userData = size == sizeof(LONG) ? static_cast<LONG>(value) : value;
      return size == sizeof(LONG) ? static_cast<LONG>(previous) : previous;
    default:
      return writeExtra(*record, index, size, value, &previous) ? previous : 0;
  }
}

bool textMatches(const std::u16string& actual, LPCWSTR wanted) {
  if (wanted == nullptr) return true;
  return text::folded(actual) == text::folded(text::fromPointer(wanted));
}

}  // namespace

std::shared_ptr<WindowRecord> findWindow(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  const auto& windows = table().windows;
  const auto it = windows.find(handles::handleValue(hwnd));
  return it == windows.end() ? nullptr : it->second;
}

std::vector<HWND> topLevelWindows() { return table().topLevel; }

HWND topLevelAncestor(HWND hwnd) {
  auto record = findWindow(hwnd);
  while (record && record->isChild()) {
    const auto parent = findWindow(record->parent);
    if (!parent) break;
    record = parent;
  }
  return record ? record->handle : nullptr;
}

bool isSelfOrDescendant(HWND ancestor, HWND descendant) {
  if (ancestor == nullptr || descendant == nullptr) return false;
  auto record = findWindow(descendant);
  while (record) {
    if (record->handle == ancestor) return true;
    if (!record->isChild()) return false;
    record = findWindow(record->parent);
  }
  return false;
}

HWND findLocalTopLevel(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle,
                       bool includeCreating) {
  const std::u16string foldedClass = text::folded(className);
  const std::u16string foldedTitle = text::folded(title);
  for (HWND hwnd : table().topLevel) {
    const auto record = findWindow(hwnd);
    if (!record || record->destroyed || (!record->created && !includeCreating)) continue;
    if (!anyClass && record->windowClass->folded != foldedClass) continue;
    if (!anyTitle && text::folded(record->text) != foldedTitle) continue;
    return hwnd;
  }
  return nullptr;
}

void destroyAllWindows() {
  // Newest first, so that dialogs go before their owners.
  for (;;) {
    const auto tops = table().topLevel;
    if (tops.empty()) break;
    DestroyWindow(tops.back());
    if (findWindow(tops.back())) unlinkRecord(findWindow(tops.back()));
  }
  table().windows.clear();
}

size_t liveWindowCount() { return table().windows.size(); }

void sendGeometryMessages(HWND hwnd, bool moved, bool resized) {
  const auto record = findWindow(hwnd);
  if (!record) return;
  const RECT rect = record->rect;
  if (moved) {
    messages::deliver(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(rect.left), static_cast<WORD>(rect.top)),
                      platform::messages::Delivery::Sent);
  }
  if (resized) {
    messages::deliver(hwnd, WM_SIZE, SIZE_RESTORED,
                      MAKELPARAM(static_cast<WORD>(rect.right - rect.left), static_cast<WORD>(rect.bottom - rect.top)),
                      platform::messages::Delivery::Sent);
  }
}

}  // namespace platform::windows

using platform::windows::findWindow;
using platform::windows::WindowRecord;

HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  using namespace platform::windows;
  const auto windowClass = findClass(className, instance);
  if (!windowClass) return nullptr;
  const bool child = (style & WS_CHILD) != 0;
  if (child && !findWindow(parent)) return nullptr;
  if (!child && parent != nullptr && !findWindow(parent) && parent != desktopHandle()) return nullptr;

  auto record = std::make_shared<WindowRecord>();
  record->handle = platform::handles::allocateHandle<HWND>();
  record->windowClass = windowClass;
  record->procedure = windowClass->info.lpfnWndProc;
  // A top-level window's parent is its owner: the top-level window that contains the one named.
  record->parent = child ? parent : (parent == desktopHandle() ? nullptr : topLevelAncestor(parent));
  record->instance = instance;
  record->id = reinterpret_cast<UINT_PTR>(menuOrId);
  record->style = style;
  record->exStyle = exStyle;
  record->text = platform::text::fromPointer(windowName);
  record->rect = defaultRect(child, x, y, width, height);
  record->extraBytes.assign(static_cast<size_t>(std::max(windowClass->info.cbWndExtra, 0)), 0);
  record->enabled = (style & WS_DISABLED) == 0;
  // A window becomes visible only after its creation message, as on the platform.
  record->visible = false;
  const HWND hwnd = record->handle;
  table().windows[platform::handles::handleValue(hwnd)] = record;
  if (child) {
    findWindow(parent)->children.push_back(hwnd);
  } else {
    table().topLevel.push_back(hwnd);
  }

  CREATESTRUCT create{};
  create.lpCreateParams = param;
  create.hInstance = instance;
  create.hMenu = menuOrId;
  create.hwndParent = parent;
  create.cy = record->rect.bottom - record->rect.top;
  create.cx = record->rect.right - record->rect.left;
  create.y = record->rect.top;
  create.x = record->rect.left;
  create.style = static_cast<LONG>(style);
  create.lpszName = windowName;
  create.lpszClass = className;
  create.dwExStyle = exStyle;
  const LRESULT created = platform::messages::deliver(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create),
                                                      platform::messages::Delivery::Sent);
  if (!findWindow(hwnd)) return nullptr;  // the procedure destroyed its own window
  if (created == -1) {
    destroyTree(hwnd, false);
    return nullptr;
  }
  record->created = true;
  platform::widgets::ensureWidget(hwnd);
  platform::widgets::syncGeometry(*record);
  platform::windows::sendGeometryMessages(hwnd, false, true);
  platform::windows::sendGeometryMessages(hwnd, true, false);
  if ((style & WS_VISIBLE) != 0 && findWindow(hwnd)) ShowWindow(hwnd, SW_SHOW);
  return findWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  const auto record = findWindow(hwnd);
  if (!record) return FALSE;
  if (record->destroyed) return TRUE;
  platform::windows::destroyTree(hwnd, true);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) {
  if (hwnd == platform::windows::desktopHandle()) return TRUE;
  const auto record = findWindow(hwnd);
  return record ? TRUE : FALSE;
}

HWND FindWindow(LPCWSTR className, LPCWSTR windowName) {
  using namespace platform::windows;
  if (className != nullptr && IS_INTRESOURCE(className)) {
    // A class atom names a class of this process only.
    const auto wantedClass = findClass(className, nullptr);
    for (HWND hwnd : table().topLevel) {
      const auto record = findWindow(hwnd);
      if (record && wantedClass && record->windowClass == wantedClass && record->created && !record->destroyed &&
          textMatches(record->text, windowName)) {
        return hwnd;
      }
    }
    return nullptr;
  }
  const std::u16string wantedClass = platform::text::fromPointer(className);
  const std::u16string wantedTitle = platform::text::fromPointer(windowName);
  if (HWND local = findLocalTopLevel(wantedClass, className == nullptr, wantedTitle, windowName == nullptr)) return local;
  return platform::single_instance::findRemoteWindow(wantedClass, className == nullptr, wantedTitle, windowName == nullptr);
}

BOOL SetForegroundWindow(HWND hwnd) {
  const HWND target = platform::handles::withoutLowBit(hwnd);
  const bool restore = target != hwnd;
  if (platform::single_instance::isRemoteWindow(target)) {
    return platform::single_instance::raiseRemoteWindow(target, restore) ? TRUE : FALSE;
  }
  const HWND top = platform::windows::topLevelAncestor(target);
  if (top == nullptr) return FALSE;
  platform::widgets::bringDeviceScreenForward();
  platform::windows::activateWindow(top);
  // Already active but without the keyboard (after minimising): the keyboard comes back too.
  if (!platform::windows::isSelfOrDescendant(top, GetFocus())) SetFocus(top);
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int showCommand) {
  using namespace platform::windows;
  const auto record = findWindow(hwnd);
  if (!record || record->destroyed) return FALSE;
  const BOOL wasVisible = record->visible ? TRUE : FALSE;
  if (showCommand == SW_HIDE) {
    if (!record->visible) return FALSE;
    platform::messages::deliver(hwnd, WM_SHOWWINDOW, FALSE, 0, platform::messages::Delivery::Sent);
    if (!findWindow(hwnd)) return wasVisible;
    moveFocusAwayFrom(hwnd);
    record->visible = false;
    platform::widgets::syncVisibility(*record);
    platform::widgets::refreshTopBar();
    return wasVisible;
  }
  if (!record->visible) {
    platform::messages::deliver(hwnd, WM_SHOWWINDOW, TRUE, 0, platform::messages::Delivery::Sent);
    if (!findWindow(hwnd)) return wasVisible;
    record->visible = true;
    record->needsPaint = true;
    platform::widgets::syncVisibility(*record);
  }
  if (record->isChild()) return wasVisible;
  platform::widgets::showDeviceScreen();
  if (showCommand == SW_MINIMIZE) {
    // The handheld's "minimise" sends the viewer to the background: the desktop window is
    // minimised and the program's focus window loses the keyboard.
    platform::widgets::minimiseDeviceScreen();
    if (GetFocus() != nullptr) SetFocus(nullptr);
    return wasVisible;
  }
  if (showCommand == SW_RESTORE || showCommand == SW_SHOWNORMAL) platform::widgets::bringDeviceScreenForward();
  platform::widgets::raise(*record);
  if (record->enabled && (record->exStyle & WS_EX_NOACTIVATE) == 0) activateWindow(hwnd);
  platform::widgets::refreshTopBar();
  return wasVisible;
}

BOOL UpdateWindow(HWND hwnd) {
  const auto record = findWindow(hwnd);
  if (!record) return FALSE;
  if (record->needsPaint && record->visible) {
    // Cleared first: whatever the procedure does with the message, it is sent only once.
    record->needsPaint = false;
    platform::messages::deliver(hwnd, WM_PAINT, 0, 0, platform::messages::Delivery::Sent);
  }
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* /*rect*/, BOOL /*erase*/) {
  if (hwnd == nullptr) {
    for (HWND top : platform::windows::topLevelWindows()) InvalidateRect(top, nullptr, TRUE);
    return TRUE;
  }
  const auto record = findWindow(hwnd);
  if (!record) return FALSE;
  record->needsPaint = true;
  platform::widgets::repaint(*record);
  return TRUE;
}

BOOL IsWindowVisible(HWND hwnd) {
  auto record = findWindow(hwnd);
  while (record) {
    if (!record->visible) return FALSE;
    if (!record->isChild()) return TRUE;
    record = findWindow(record->parent);
  }
  return FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  const auto record = findWindow(hwnd);
  if (!record) return FALSE;
  const BOOL wasDisabled = record->enabled ? FALSE : TRUE;
  const bool wanted = enable != FALSE;
  if (record->enabled == wanted) return wasDisabled;
  if (!wanted) {
    // A disabled window keeps no keyboard focus.
    if (platform::windows::isSelfOrDescendant(hwnd, GetFocus())) SetFocus(nullptr);
  }
  record->enabled = wanted;
  platform::widgets::syncEnabled(*record);
  platform::messages::deliver(hwnd, WM_ENABLE, wanted ? TRUE : FALSE, 0, platform::messages::Delivery::Sent);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  const auto record = findWindow(hwnd);
  return record && record->enabled ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  const auto record = findWindow(hwnd);
  if (!record) return FALSE;
  const RECT old = record->rect;
  const RECT updated{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  const bool moved = old.left != updated.left || old.top != updated.top;
  const bool resized = (old.right - old.left) != (updated.right - updated.left) ||
                       (old.bottom - old.top) != (updated.bottom - updated.top);
  record->rect = updated;
  platform::widgets::syncGeometry(*record);
  if (repaint) {
    record->needsPaint = true;
    platform::widgets::repaint(*record);
  }
  platform::windows::sendGeometryMessages(hwnd, moved, resized);
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  if (rect == nullptr) return FALSE;
  if (hwnd == platform::windows::desktopHandle()) {
    *rect = RECT{0, 0, platform::kDeviceScreenWidth, platform::kDeviceScreenHeight};
    return TRUE;
  }
  const auto record = findWindow(hwnd);
  if (!record) return FALSE;
  const POINT origin = platform::windows::screenOrigin(*record);
  *rect = RECT{origin.x, origin.y, origin.x + (record->rect.right - record->rect.left),
               origin.y + (record->rect.bottom - record->rect.top)};
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  if (rect == nullptr) return FALSE;
  if (hwnd == platform::windows::desktopHandle()) {
    *rect = RECT{0, 0, platform::kDeviceScreenWidth, platform::kDeviceScreenHeight};
    return TRUE;
  }
  const auto record = findWindow(hwnd);
  if (!record) return FALSE;
  *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  const auto record = findWindow(hwnd);
  if (!record || point == nullptr) return FALSE;
  const POINT origin = platform::windows::screenOrigin(*record);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  const auto record = findWindow(hwnd);
  if (!record || point == nullptr) return FALSE;
  const POINT origin = platform::windows::screenOrigin(*record);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

HWND GetParent(HWND hwnd) {
  const auto record = findWindow(hwnd);
  return record ? record->parent : nullptr;
}

HWND GetWindow(HWND hwnd, UINT relation) {
  const auto record = findWindow(hwnd);
  if (!record) return nullptr;
  if (relation == GW_CHILD) return record->children.empty() ? nullptr : record->children.front();
  if (relation != GW_HWNDNEXT) return nullptr;
  const std::vector<HWND> siblings =
      record->isChild() ? (findWindow(record->parent) ? findWindow(record->parent)->children : std::vector<HWND>{})
                        : platform::windows::topLevelWindows();
  const auto it = std::find(siblings.begin(), siblings.end(), hwnd);
  if (it == siblings.end() || std::next(it) == siblings.end()) return nullptr;
  return *std::next(it);
}

HWND GetDlgItem(HWND dialog, int id) {
  const auto record = findWindow(dialog);
  if (!record) return nullptr;
  for (HWND child : record->children) {
    const auto childRecord = findWindow(child);
    if (childRecord && static_cast<int>(static_cast<intptr_t>(childRecord->id)) == id) return child;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  const auto record = findWindow(hwnd);
  if (!record || !record->isChild()) return 0;
  return static_cast<int>(static_cast<intptr_t>(record->id));
}

BOOL SetWindowText(HWND hwnd, LPCWSTR text) {
  if (hwnd == platform::windows::desktopHandle()) {
    platform::widgets::setDesktopTitle(text);  // the desktop window's own frame
    return TRUE;
  }
  if (!findWindow(hwnd)) return FALSE;
  return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, LPWSTR buffer, int maxCount) {
  if (hwnd == platform::windows::desktopHandle() && buffer != nullptr && maxCount > 0) {
    return platform::text::copyTruncated(platform::widgets::desktopTitle(), buffer, maxCount);
  }
  if (!findWindow(hwnd) || buffer == nullptr || maxCount <= 0) return 0;
  buffer[0] = 0;
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
  if (!findWindow(hwnd)) return 0;
  return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int GetClassName(HWND hwnd, LPWSTR buffer, int maxCount) {
  const auto record = findWindow(hwnd);
  if (!record) return 0;
  return platform::text::copyTruncated(record->windowClass->name, buffer, maxCount);
}

LONG GetWindowLong(HWND hwnd, int index) {
  return static_cast<LONG>(platform::windows::getLong(hwnd, index, sizeof(LONG)));
}

LONG SetWindowLong(HWND hwnd, int index, LONG value) {
  return static_cast<LONG>(platform::windows::setLong(hwnd, index, value, sizeof(LONG)));
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  return platform::windows::getLong(hwnd, index, sizeof(LONG_PTR));
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  return platform::windows::setLong(hwnd, index, value, sizeof(LONG_PTR));
}

HWND GetDesktopWindow() { return platform::windows::desktopHandle(); }

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return platform::kDeviceScreenWidth;
    case SM_CYSCREEN:
      return platform::kDeviceScreenHeight;
    default:
      return 0;
  }
}
