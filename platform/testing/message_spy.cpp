// The message spy: one ordered log of the deliveries to the watched windows, and a readable
// side-by-side listing when a test's expected sequence differs from it.
#include "platform/testing/message_spy.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "platform/system/commctrl.h"
#include "platform/textview/richink.h"

namespace platform::testing {
namespace {

MessageSpy* activeSpy = nullptr;  // the spy that records now (the most recently constructed)

struct NamedMessage {
  UINT number;       // message number
  const char* name;  // its name
};

constexpr NamedMessage kNames[] = {
    {WM_NULL, "WM_NULL"}, {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"}, {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"}, {WM_ENABLE, "WM_ENABLE"}, {WM_SETTEXT, "WM_SETTEXT"},
    {WM_GETTEXT, "WM_GETTEXT"}, {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"}, {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"}, {WM_QUIT, "WM_QUIT"}, {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_SETFONT, "WM_SETFONT"},
    {WM_GETFONT, "WM_GETFONT"}, {WM_NOTIFY, "WM_NOTIFY"}, {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"},
    {WM_CHAR, "WM_CHAR"}, {WM_INITDIALOG, "WM_INITDIALOG"}, {WM_COMMAND, "WM_COMMAND"}, {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"}, {WM_TIMER, "WM_TIMER"},
    {WM_HSCROLL, "WM_HSCROLL"}, {WM_VSCROLL, "WM_VSCROLL"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"}, {WM_CUT, "WM_CUT"}, {WM_COPY, "WM_COPY"}, {WM_PASTE, "WM_PASTE"},
    {WM_CLEAR, "WM_CLEAR"}, {WM_HOTKEY, "WM_HOTKEY"},
    {BM_GETCHECK, "BM_GETCHECK"}, {BM_SETCHECK, "BM_SETCHECK"}, {BM_GETSTATE, "BM_GETSTATE"},
    {BM_SETSTATE, "BM_SETSTATE"}, {BM_SETSTYLE, "BM_SETSTYLE"}, {BM_CLICK, "BM_CLICK"},
    {STM_SETICON, "STM_SETICON"}, {STM_SETIMAGE, "STM_SETIMAGE"},
    {CB_GETEDITSEL, "CB_GETEDITSEL"}, {CB_ADDSTRING, "CB_ADDSTRING"}, {CB_DELETESTRING, "CB_DELETESTRING"},
    {CB_GETCOUNT, "CB_GETCOUNT"}, {CB_GETCURSEL, "CB_GETCURSEL"}, {CB_GETLBTEXT, "CB_GETLBTEXT"},
    {CB_GETLBTEXTLEN, "CB_GETLBTEXTLEN"}, {CB_INSERTSTRING, "CB_INSERTSTRING"},
    {CB_RESETCONTENT, "CB_RESETCONTENT"}, {CB_FINDSTRING, "CB_FINDSTRING"}, {CB_SELECTSTRING, "CB_SELECTSTRING"},
    {CB_SETCURSEL, "CB_SETCURSEL"}, {CB_SHOWDROPDOWN, "CB_SHOWDROPDOWN"}, {CB_GETITEMDATA, "CB_GETITEMDATA"},
    {CB_SETITEMDATA, "CB_SETITEMDATA"}, {CB_GETDROPPEDSTATE, "CB_GETDROPPEDSTATE"},
    {CB_FINDSTRINGEXACT, "CB_FINDSTRINGEXACT"},
    {LB_ADDSTRING, "LB_ADDSTRING"}, {LB_INSERTSTRING, "LB_INSERTSTRING"}, {LB_DELETESTRING, "LB_DELETESTRING"},
    {LB_RESETCONTENT, "LB_RESETCONTENT"}, {LB_SETSEL, "LB_SETSEL"}, {LB_SETCURSEL, "LB_SETCURSEL"},
    {LB_GETSEL, "LB_GETSEL"}, {LB_GETCURSEL, "LB_GETCURSEL"}, {LB_GETTEXT, "LB_GETTEXT"},
    {LB_GETTEXTLEN, "LB_GETTEXTLEN"}, {LB_GETCOUNT, "LB_GETCOUNT"}, {LB_SELECTSTRING, "LB_SELECTSTRING"},
    {LB_GETTOPINDEX, "LB_GETTOPINDEX"}, {LB_FINDSTRING, "LB_FINDSTRING"}, {LB_SETTOPINDEX, "LB_SETTOPINDEX"},
    {LB_GETITEMDATA, "LB_GETITEMDATA"}, {LB_SETITEMDATA, "LB_SETITEMDATA"},
    {LB_FINDSTRINGEXACT, "LB_FINDSTRINGEXACT"},
    {EM_GETSEL, "EM_GETSEL"}, {EM_SETSEL, "EM_SETSEL"}, {EM_LINESCROLL, "EM_LINESCROLL"},
    {EM_GETLINECOUNT, "EM_GETLINECOUNT"}, {EM_GETFIRSTVISIBLELINE, "EM_GETFIRSTVISIBLELINE"},
    {EM_SETCHARFORMAT, "EM_SETCHARFORMAT"}, {EM_STREAMIN, "EM_STREAMIN"}, {EM_SETVIEW, "EM_SETVIEW"},
    {EM_GETVIEW, "EM_GETVIEW"}, {EM_SETPAGESTYLE, "EM_SETPAGESTYLE"}, {EM_GETPAGESTYLE, "EM_GETPAGESTYLE"},
    {EM_SETZOOMPERCENT, "EM_SETZOOMPERCENT"}, {EM_GETZOOMPERCENT, "EM_GETZOOMPERCENT"},
    {EM_SETINKLAYER, "EM_SETINKLAYER"}, {EM_GETINKLAYER, "EM_GETINKLAYER"}, {EM_CLEARALL, "EM_CLEARALL"},
    {LVM_INSERTITEM, "LVM_INSERTITEM"}, {LVM_INSERTCOLUMN, "LVM_INSERTCOLUMN"},
    {LVM_DELETEALLITEMS, "LVM_DELETEALLITEMS"}, {LVM_SETITEMSTATE, "LVM_SETITEMSTATE"},
};

const char* deliveryName(Delivery delivery) {
  switch (delivery) {
    case Delivery::Sent:
      return "sent";
    case Delivery::Posted:
      return "posted";
    case Delivery::Default:
      return "default";
  }
  return "?";
}

std::string describe(UINT message, Delivery delivery, bool showW, WPARAM wParam, bool showL, LPARAM lParam) {
  std::string text = messageName(message) + " " + deliveryName(delivery);
  char buffer[64];
  if (showW) {
    std::snprintf(buffer, sizeof buffer, " w=%#llx", static_cast<unsigned long long>(wParam));
    text += buffer;
  }
  if (showL) {
    std::snprintf(buffer, sizeof buffer, " l=%#llx", static_cast<unsigned long long>(lParam));
    text += buffer;
  }
  return text;
}

bool matches(const ExpectedMessage& expected, const SpiedMessage& actual) {
  return expected.message == actual.message && expected.delivery == actual.delivery &&
         (!expected.checkWParam || expected.wParam == actual.wParam) &&
         (!expected.checkLParam || expected.lParam == actual.lParam);
}

}  // namespace

MessageSpy::MessageSpy() : previous_(activeSpy) {
  activeSpy = this;
  messages::setDeliveryObserver(&recordSpiedMessage);
}

MessageSpy::~MessageSpy() {
  if (activeSpy == this) activeSpy = previous_;
  if (activeSpy == nullptr) messages::setDeliveryObserver(nullptr);
}

void MessageSpy::watch(HWND hwnd) {
  if (std::find(watched_.begin(), watched_.end(), hwnd) == watched_.end()) watched_.push_back(hwnd);
}

void MessageSpy::watchAll() { watchingAll_ = true; }

void MessageSpy::clear() { log_.clear(); }

std::vector<SpiedMessage> MessageSpy::messages() const { return log_; }

std::vector<SpiedMessage> MessageSpy::messagesFor(HWND hwnd) const {
  std::vector<SpiedMessage> out;
  std::copy_if(log_.begin(), log_.end(), std::back_inserter(out), [hwnd](const SpiedMessage& m) { return m.hwnd == hwnd; });
  return out;
}

std::string MessageSpy::compare(const std::vector<ExpectedMessage>& expected, HWND hwnd) const {
  const std::vector<SpiedMessage> actual = hwnd == nullptr ? log_ : messagesFor(hwnd);
  bool same = expected.size() == actual.size();
  for (size_t i = 0; same && i < expected.size(); ++i) same = matches(expected[i], actual[i]);
  if (same) return {};
  std::string listing = "   #  expected                                  actual\n";
  const size_t rows = std::max(expected.size(), actual.size());
  for (size_t i = 0; i < rows; ++i) {
    std::string left = "(nothing)";
    std::string right = "(nothing)";
    bool rowMatches = false;
    if (i < expected.size()) {
      const auto& e = expected[i];
      left = describe(e.message, e.delivery, e.checkWParam, e.wParam, e.checkLParam, e.lParam);
    }
    if (i < actual.size()) {
      const auto& a = actual[i];
      const bool showW = i < expected.size() ? expected[i].checkWParam : true;
      const bool showL = i < expected.size() ? expected[i].checkLParam : true;
      right = describe(a.message, a.delivery, showW, a.wParam, showL, a.lParam);
    }
    if (i < expected.size() && i < actual.size()) rowMatches = matches(expected[i], actual[i]);
    char line[256];
    std::snprintf(line, sizeof line, "%c %2zu  %-40s  %s\n", rowMatches ? ' ' : '!', i, left.c_str(), right.c_str());
    listing += line;
  }
  return listing;
}

void recordSpiedMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery) {
  MessageSpy* spy = activeSpy;
  if (spy == nullptr) return;
  if (!spy->watchingAll_ && std::find(spy->watched_.begin(), spy->watched_.end(), hwnd) == spy->watched_.end()) return;
  spy->log_.push_back(SpiedMessage{hwnd, message, wParam, lParam, delivery});
}

std::string messageName(UINT message) {
  for (const auto& entry : kNames) {
    if (entry.number == message) return entry.name;
  }
  char buffer[32];
  if (message >= WM_USER && message < WM_APP) {
    std::snprintf(buffer, sizeof buffer, "WM_USER+%u", message - WM_USER);
  } else {
    std::snprintf(buffer, sizeof buffer, "message %u", message);
  }
  return buffer;
}

}  // namespace platform::testing
