#include "tests/platform_controls/control_test_support.h"

#include <sstream>

namespace controls_test {
namespace {

constexpr LPCWSTR kParentClass = u"ControlTestParent";

ControlTest* g_current = nullptr;           // the running test, which answers notifications
std::vector<Notification> g_notifications;  // what the parent received, in order

LRESULT parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_VKEYTOITEM && g_current != nullptr) {
    // A list box asks first about a key: the key is the code; unanswered, the list acts on it.
    Notification note;
    note.message = message;
    note.code = LOWORD(wParam);
    note.control = reinterpret_cast<HWND>(lParam);
    note.id = GetDlgCtrlID(note.control);
    note.selectionAtArrival = HIWORD(wParam);  // the caret
    g_notifications.push_back(note);
    return g_current->answer ? g_current->answer(note) : -1;
  }
  const bool fromControl = (message == WM_COMMAND && lParam != 0) || (message == WM_NOTIFY && lParam != 0);
  if (!fromControl || g_current == nullptr) return DefWindowProc(hwnd, message, wParam, lParam);
  Notification note;
  note.message = message;
  if (message == WM_COMMAND) {
    note.id = LOWORD(wParam);
    note.code = HIWORD(wParam);
    note.control = reinterpret_cast<HWND>(lParam);
  } else {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    note.id = static_cast<int>(header->idFrom);
    note.code = header->code;
    note.control = header->hwndFrom;
    // Every list-view notification but NM_RETURN and the focus ones carries an NMLISTVIEW.
    if (note.code != NM_RETURN && note.code != NM_SETFOCUS && note.code != NM_KILLFOCUS) {
      note.listView = *reinterpret_cast<const NMLISTVIEW*>(lParam);
    }
  }
  if (g_current->selectionQuery) note.selectionAtArrival = g_current->selectionQuery(note.control);
  g_notifications.push_back(note);
  return g_current->answer ? g_current->answer(note) : 0;
}

}  // namespace

std::string codeName(UINT message, UINT code) {
  if (message == WM_NOTIFY) {
    switch (code) {
      case LVN_ITEMCHANGING: return "LVN_ITEMCHANGING";
      case LVN_ITEMCHANGED: return "LVN_ITEMCHANGED";
      case LVN_INSERTITEM: return "LVN_INSERTITEM";
      case LVN_DELETEITEM: return "LVN_DELETEITEM";
      case LVN_DELETEALLITEMS: return "LVN_DELETEALLITEMS";
      case NM_CLICK: return "NM_CLICK";
      case NM_DBLCLK: return "NM_DBLCLK";
      case NM_RETURN: return "NM_RETURN";
      case NM_SETFOCUS: return "NM_SETFOCUS";
      case NM_KILLFOCUS: return "NM_KILLFOCUS";
      default: return "WM_NOTIFY " + std::to_string(static_cast<int>(code));
    }
  }
  return "WM_COMMAND code " + std::to_string(code);
}

std::string describe(const std::vector<Notification>& notifications) {
  std::ostringstream out;
  for (const Notification& note : notifications) {
    out << "  id " << note.id << ": " << codeName(note.message, note.code);
    if (note.message == WM_NOTIFY) {
      out << " item " << note.listView.iItem << " old " << note.listView.uOldState << " new " << note.listView.uNewState
          << " changed " << note.listView.uChanged;
    }
    out << "\n";
  }
  return out.str();
}

void ControlTest::SetUp() {
  sandbox_ = std::make_unique<platform::testing::DeviceSandbox>();
  WNDCLASS wc{};
  wc.lpfnWndProc = parentProc;
  wc.hInstance = platform::testing::testInstance();
  wc.lpszClassName = kParentClass;
  ASSERT_NE(RegisterClass(&wc), 0);
  parent_ = CreateWindowEx(0, kParentClass, u"controls", WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr,
                           platform::testing::testInstance(), nullptr);
  ASSERT_NE(parent_, nullptr);
  g_current = this;
  g_notifications.clear();
  spy_ = std::make_unique<platform::testing::MessageSpy>();
  spy_->watch(parent_);
}

void ControlTest::TearDown() {
  spy_.reset();
  if (parent_ != nullptr) DestroyWindow(parent_);
  platform::testing::pumpMessages();
  g_current = nullptr;
  g_notifications.clear();
  sandbox_.reset();
}

HWND ControlTest::create(LPCWSTR className, DWORD style, int id, int width, int height, LPCWSTR text) {
  HWND control = CreateWindowEx(0, className, text, style | WS_CHILD | WS_VISIBLE, 10, 10, width, height, parent_,
                                reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), platform::testing::testInstance(), nullptr);
  EXPECT_NE(control, nullptr);
  return control;
}

const std::vector<Notification>& ControlTest::notifications() const { return g_notifications; }

std::vector<UINT> ControlTest::codes() const {
  std::vector<UINT> result;
  for (const Notification& note : g_notifications) result.push_back(note.code);
  return result;
}

void ControlTest::clearNotifications() {
  g_notifications.clear();
  spy_->clear();
}

void ControlTest::focusAndClear(HWND control) {
  SetFocus(control);
  platform::testing::pumpMessages();
  clearNotifications();
}

platform::testing::ExpectedMessage command(HWND control, WORD code) {
  platform::testing::ExpectedMessage expected;
  expected.message = WM_COMMAND;
  expected.checkWParam = true;
  expected.wParam = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code);
  expected.checkLParam = true;
  expected.lParam = reinterpret_cast<LPARAM>(control);
  return expected;
}

}  // namespace controls_test
