// The list box: sorted insertion, the selection messages, searches, the top index, and the
// notifications of a notifying list (LBN_SELCHANGE, LBN_DBLCLK) that a user's clicks send.
#include <string>

#include "tests/platform_controls/control_test_support.h"

namespace controls_test {
namespace {

using platform::testing::chooseListBoxItem;

constexpr int kListId = 1009;

class ListBoxTest : public ControlTest {
 protected:
  HWND createList(DWORD style, int height = 120) { return create(WC_LISTBOX, style, kListId, 160, height); }

  static LRESULT add(HWND list, const char16_t* text) {
    return SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  static std::u16string entry(HWND list, int index) {
    const LRESULT length = SendMessage(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return u"<LB_ERR>";
    std::u16string text(static_cast<size_t>(length) + 1, u'#');
    EXPECT_EQ(SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())), length);
    text.resize(static_cast<size_t>(length));
    return text;
  }
  static LRESULT selection(HWND list) { return SendMessage(list, LB_GETCURSEL, 0, 0); }
};

TEST_F(ListBoxTest, SortedListPlacesNamesWithoutRegardToCase) {
  HWND list = createList(LBS_SORT | LBS_NOTIFY | WS_BORDER | WS_VSCROLL);
  EXPECT_EQ(add(list, u".."), 0);
  EXPECT_EQ(add(list, u"photos"), 1);
  EXPECT_EQ(add(list, u"Books"), 1);
  EXPECT_EQ(add(list, u"archive"), 1);
  EXPECT_EQ(add(list, u"Zeta"), 4);
  EXPECT_EQ(add(list, u"card.lnk"), 3);
  const char16_t* expected[] = {u"..", u"archive", u"Books", u"card.lnk", u"photos", u"Zeta"};
  ASSERT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(entry(list, i), expected[i]) << "entry " << i;

  // LB_INSERTSTRING puts the entry where it is told, sorted list or not.
  EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"zz")), 0);
  EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"aa")), 7);
  EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>(u"far")), LB_ERR);
  EXPECT_EQ(entry(list, 0), u"zz");
  EXPECT_EQ(entry(list, 7), u"aa");
}

TEST_F(ListBoxTest, WithWantKeyboardInputTheParentDecidesAboutEachKeyFirst) {
  const struct {
    DWORD style;
    LRESULT answer;         // the parent's answer to WM_VKEYTOITEM
    LRESULT selectionAfter; // after Down from entry 0
    size_t asked;           // WM_VKEYTOITEM received
  } kCases[] = {
      {LBS_NOTIFY, -1, 1, 0},                          // not asked: the list moves
      {LBS_NOTIFY | LBS_WANTKEYBOARDINPUT, -1, 1, 1},  // asked, left to the list
      {LBS_NOTIFY | LBS_WANTKEYBOARDINPUT, -2, 0, 1},  // asked and used up
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "answer " << c.answer << " style " << c.style);
    HWND list = createList(c.style);
    for (const char16_t* text : {u"a", u"b", u"c"}) add(list, text);
    SendMessage(list, LB_SETCURSEL, 0, 0);
    answer = [&](const Notification& note) -> LRESULT { return note.message == WM_VKEYTOITEM ? c.answer : 0; };
    focusAndClear(list);
    platform::testing::pressKey(VK_DOWN);
    platform::testing::pumpMessages();
    EXPECT_EQ(selection(list), c.selectionAfter);
    size_t asked = 0;
    for (const Notification& note : notifications()) {
      if (note.message != WM_VKEYTOITEM) continue;
      ++asked;
      EXPECT_EQ(note.code, VK_DOWN);
      EXPECT_EQ(note.selectionAtArrival, 0);  // the caret when the key came
      EXPECT_EQ(note.control, list);
    }
    EXPECT_EQ(asked, c.asked);
    EXPECT_GT(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 0);
    DestroyWindow(list);
  }
}

TEST_F(ListBoxTest, SelectionMessagesAnswerAsThePlatformDocuments) {
  HWND list = createList(LBS_NOTIFY);
  for (const char16_t* text : {u"a", u"b", u"c"}) add(list, text);
  EXPECT_EQ(selection(list), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(selection(list), 1);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 3, 0), LB_ERR);  // out of range: refused
  EXPECT_EQ(selection(list), 1);
  EXPECT_EQ(SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);  // -1 clears, and says LB_ERR
  EXPECT_EQ(selection(list), LB_ERR);
  SendMessage(list, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessage(list, LB_GETSEL, 2, 0), 1);
  EXPECT_EQ(SendMessage(list, LB_GETSEL, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, LB_GETSEL, 5, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_SETSEL, TRUE, 0), LB_ERR);  // a single-selection list

  EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 0, 0), 2);
  EXPECT_EQ(selection(list), 1);  // still "c"
  EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 1, 0), 1);
  EXPECT_EQ(selection(list), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 1, 0), LB_ERR);
  EXPECT_EQ(SendMessage(list, LB_RESETCONTENT, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 0, 0), LB_ERR);
}

TEST_F(ListBoxTest, SearchesAndItemData) {
  HWND list = createList(LBS_SORT);
  for (const char16_t* text : {u"Memo.lnk", u"memo", u"Notes", u"music"}) add(list, text);
  // Sorted: memo, Memo.lnk, music, Notes
  const auto find = [&](UINT message, int start, const char16_t* text) {
    return SendMessage(list, message, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
  };
  EXPECT_EQ(find(LB_FINDSTRING, -1, u"MEMO"), 0);
  EXPECT_EQ(find(LB_FINDSTRING, 0, u"memo"), 1);
  EXPECT_EQ(find(LB_FINDSTRING, 1, u"memo"), 0);  // wraps
  EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, u"memo.LNK"), 1);
  EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, u"mus"), LB_ERR);
  EXPECT_EQ(find(LB_SELECTSTRING, -1, u"n"), 3);
  EXPECT_EQ(selection(list), 3);

  EXPECT_EQ(SendMessage(list, LB_SETITEMDATA, 2, 42), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 2, 0), 42);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 4, 0), LB_ERR);
  EXPECT_EQ(add(list, u"a"), 0);
  EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 3, 0), 42);  // moved with "music"
}

TEST_F(ListBoxTest, UserClicksSendSelChangeOnlyFromANotifyingList) {
  HWND list = createList(LBS_NOTIFY | LBS_SORT | WS_BORDER | WS_VSCROLL);
  for (const char16_t* text : {u"..", u"alpha", u"beta"}) add(list, text);
  selectionQuery = [](HWND control) { return SendMessage(control, LB_GETCURSEL, 0, 0); };
  focusAndClear(list);
  chooseListBoxItem(list, 2);
  EXPECT_EQ(spy().compare({command(list, LBN_SELCHANGE)}, parent()), "");
  ASSERT_EQ(notifications().size(), 1u);
  EXPECT_EQ(notifications()[0].selectionAtArrival, 2);
  // A click on the entry already selected reports again.
  chooseListBoxItem(list, 2);
  EXPECT_EQ(codes(), (std::vector<UINT>{LBN_SELCHANGE, LBN_SELCHANGE}));
  // A cursor key reports a change, and nothing when the selection cannot move.
  clearNotifications();
  platform::testing::pressKey(VK_UP);
  EXPECT_EQ(selection(list), 1);
  platform::testing::pressKey(VK_UP);
  platform::testing::pressKey(VK_UP);
  EXPECT_EQ(selection(list), 0);
  EXPECT_EQ(codes(), (std::vector<UINT>{LBN_SELCHANGE, LBN_SELCHANGE})) << describe(notifications());
  // A program's selection sends nothing.
  clearNotifications();
  SendMessage(list, LB_SETCURSEL, 0, 0);
  SendMessage(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"b"));
  EXPECT_TRUE(notifications().empty()) << describe(notifications());

  HWND quiet = create(WC_LISTBOX, LBS_SORT, 1500, 160, 100);
  add(quiet, u"x");
  add(quiet, u"y");
  focusAndClear(quiet);
  chooseListBoxItem(quiet, 1);
  EXPECT_EQ(SendMessage(quiet, LB_GETCURSEL, 0, 0), 1);  // selected, but not reported
  EXPECT_TRUE(notifications().empty()) << describe(notifications());
}

TEST_F(ListBoxTest, DoubleClickSendsSelChangeThenDblClk) {
  HWND list = createList(LBS_NOTIFY);
  for (const char16_t* text : {u"a", u"b"}) add(list, text);
  focusAndClear(list);
  // The list view's double-click helper clicks any item view the same way.
  platform::testing::doubleClickListViewItem(list, 1);
  EXPECT_EQ(spy().compare({command(list, LBN_SELCHANGE), command(list, LBN_DBLCLK)}, parent()), "");
  EXPECT_EQ(selection(list), 1);
}

// The file browser relists its directory list while it handles LBN_SELCHANGE.
TEST_F(ListBoxTest, ParentMayRefillTheListWhileItHandlesTheSelection) {
  HWND list = createList(LBS_NOTIFY | LBS_SORT);
  for (const char16_t* text : {u"..", u"docs", u"music"}) add(list, text);
  int relists = 0;
  answer = [list, &relists](const Notification& note) -> LRESULT {
    if (note.code != LBN_SELCHANGE) return 0;
    ++relists;
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u".."));
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"inner"));
    return 0;
  };
  chooseListBoxItem(list, 1);
  platform::testing::pumpMessages();
  EXPECT_EQ(relists, 1);
  EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(selection(list), LB_ERR);
  chooseListBoxItem(list, 1);
  EXPECT_EQ(relists, 2);
}

TEST_F(ListBoxTest, TopIndexScrollsAsFarAsTheListAllows) {
  HWND list = createList(WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 60);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
  for (int i = 0; i < 40; ++i) {
    const std::string name = "entry " + std::to_string(i);
    add(list, std::u16string(name.begin(), name.end()).c_str());
  }
  platform::testing::pumpMessages();
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
  EXPECT_EQ(SendMessage(list, LB_SETTOPINDEX, 10, 0), LB_OKAY);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 10);
  EXPECT_EQ(SendMessage(list, LB_SETTOPINDEX, 40, 0), LB_ERR);
  // The last entry at the top would leave the list mostly empty: it stops at the last page.
  EXPECT_EQ(SendMessage(list, LB_SETTOPINDEX, 39, 0), LB_OKAY);
  const LRESULT top = SendMessage(list, LB_GETTOPINDEX, 0, 0);
  EXPECT_GT(top, 10);
  EXPECT_LT(top, 39);
  // Selecting an entry scrolls it into view.
  SendMessage(list, LB_SETCURSEL, 0, 0);
  EXPECT_EQ(SendMessage(list, LB_GETTOPINDEX, 0, 0), 0);
}

}  // namespace
}  // namespace controls_test
