// The list view in report mode: columns, sorted insertion, sub-items, item states and the
// notifications of state changes and clicks.
#include <string>

#include "tests/platform_controls/control_test_support.h"

namespace controls_test {
namespace {

constexpr int kListViewId = 1010;
constexpr UINT kSelectedFocused = LVIS_SELECTED | LVIS_FOCUSED;

class ListViewTest : public ControlTest {
 protected:
  HWND createListView(DWORD style = LVS_REPORT | LVS_SORTASCENDING | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER) {
    HWND view = create(WC_LISTVIEW, style, kListViewId, 270, 124);
    const struct {
      const char16_t* text;
      int width;
    } columns[] = {{u"File Name", 100}, {u"Date", 70}, {u"Size", 50}};
    for (int i = 0; i < 3; ++i) {
      LVCOLUMN column{};
      column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
      column.fmt = LVCFMT_LEFT;
      column.cx = columns[i].width;
      column.pszText = const_cast<LPWSTR>(columns[i].text);
      column.iSubItem = i;
      EXPECT_EQ(SendMessage(view, LVM_INSERTCOLUMN, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)), i);
    }
    return view;
  }

  static LRESULT insert(HWND view, int index, const char16_t* text, LPARAM param = 0) {
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text);
    item.lParam = param;
    return SendMessage(view, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
  static BOOL setSubItem(HWND view, int index, int subItem, const char16_t* text) {
    LVITEM item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(SendMessage(view, LVM_SETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  }
  static std::u16string text(HWND view, int index, int subItem, int capacity = 64, LRESULT* result = nullptr) {
    std::u16string buffer(128, u'#');
    LVITEM item{};
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = capacity;
    const LRESULT copied = SendMessage(view, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (result != nullptr) *result = copied;
    return buffer.substr(0, buffer.find(u'\0'));
  }
  static BOOL setState(HWND view, int index, UINT state, UINT mask) {
    LVITEM item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(SendMessage(view, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  }
  static UINT state(HWND view, int index) {
    return static_cast<UINT>(SendMessage(view, LVM_GETITEMSTATE, static_cast<WPARAM>(index), kSelectedFocused));
  }
  static LRESULT nextSelected(HWND view, int start = -1) {
    return SendMessage(view, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(LVNI_SELECTED, 0));
  }

  // The state changes among the notifications, as "item:old>new".
  std::vector<std::string> stateChanges(UINT code = LVN_ITEMCHANGED) const {
    std::vector<std::string> changes;
    for (const Notification& note : notifications()) {
      if (note.code != code) continue;
      changes.push_back(std::to_string(note.listView.iItem) + ":" + std::to_string(note.listView.uOldState) + ">" +
                        std::to_string(note.listView.uNewState));
    }
    return changes;
  }
};

TEST_F(ListViewTest, SortedInsertionIgnoresCaseAndAnswersThePosition) {
  HWND view = createListView();
  EXPECT_EQ(insert(view, 0, u"notes.txt", 1), 0);
  EXPECT_EQ(insert(view, 1, u"Memo.lnk", 2), 0);     // the asked-for index does not matter
  EXPECT_EQ(insert(view, 0, u"zeta.PDB", 3), 2);
  EXPECT_EQ(insert(view, 99, u"book.prc", 4), 0);
  EXPECT_EQ(insert(view, 2, u"MUSIC.txt", 5), 2);
  const char16_t* expected[] = {u"book.prc", u"Memo.lnk", u"MUSIC.txt", u"notes.txt", u"zeta.PDB"};
  ASSERT_EQ(SendMessage(view, LVM_GETITEMCOUNT, 0, 0), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(text(view, i, 0), expected[i]) << "item " << i;

  HWND descending = create(WC_LISTVIEW, LVS_REPORT | LVS_SORTDESCENDING, 7, 200, 100);
  EXPECT_EQ(insert(descending, 0, u"b"), 0);
  EXPECT_EQ(insert(descending, 0, u"C"), 0);
  EXPECT_EQ(insert(descending, 0, u"a"), 2);
}

TEST_F(ListViewTest, UnsortedInsertionTakesTheIndexOrTheEnd) {
  HWND view = createListView(LVS_REPORT);
  EXPECT_EQ(insert(view, 0, u"first"), 0);
  EXPECT_EQ(insert(view, 5, u"appended"), 1);
  EXPECT_EQ(insert(view, 0, u"new first"), 0);
  EXPECT_EQ(insert(view, -1, u"negative"), -1);
  LVITEM subItem{};
  subItem.mask = LVIF_TEXT;
  subItem.iSubItem = 1;
  subItem.pszText = const_cast<LPWSTR>(u"sub");
  EXPECT_EQ(SendMessage(view, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&subItem)), -1);  // only items, not sub-items
  EXPECT_EQ(SendMessage(view, LVM_INSERTITEM, 0, 0), -1);
  EXPECT_EQ(SendMessage(view, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(text(view, 2, 0), u"appended");
}

TEST_F(ListViewTest, SubItemsAreSetAndReadPerColumnAndTextIsCutToTheBuffer) {
  HWND view = createListView();
  const LRESULT row = insert(view, 0, u"a very long file name.txt", 77);
  ASSERT_EQ(row, 0);
  EXPECT_TRUE(setSubItem(view, 0, 1, u"2026/05/01"));
  EXPECT_TRUE(setSubItem(view, 0, 2, u"1.0 K"));
  EXPECT_FALSE(setSubItem(view, 0, 3, u"no such column"));
  EXPECT_FALSE(setSubItem(view, 1, 1, u"no such item"));
  EXPECT_EQ(text(view, 0, 1), u"2026/05/01");
  EXPECT_EQ(text(view, 0, 2), u"1.0 K");
  LRESULT copied = 0;
  EXPECT_EQ(text(view, 0, 0, 7, &copied), u"a very");
  EXPECT_EQ(copied, 6);
  EXPECT_EQ(text(view, 0, 0, 64, &copied), u"a very long file name.txt");
  EXPECT_EQ(copied, 25);

  std::u16string buffer(32, u'#');
  LVITEM item{};
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  item.iItem = 0;
  item.pszText = buffer.data();
  item.cchTextMax = 32;
  item.stateMask = kSelectedFocused;
  EXPECT_EQ(SendMessage(view, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_EQ(buffer.substr(0, buffer.find(u'\0')), u"a very long file name.txt");
  EXPECT_EQ(item.lParam, 77);
  EXPECT_EQ(item.state, 0u);
  item.iItem = 1;
  EXPECT_EQ(SendMessage(view, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)), FALSE);
  EXPECT_EQ(text(view, 1, 0, 64, &copied).substr(0, 4), u"####");  // nothing written for a missing item
  EXPECT_EQ(copied, 0);

  // A later column inserted in the middle moves the sub-items after it.
  LVCOLUMN column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<LPWSTR>(u"Kind");
  column.cx = 40;
  EXPECT_EQ(SendMessage(view, LVM_INSERTCOLUMN, 1, reinterpret_cast<LPARAM>(&column)), 1);
  EXPECT_EQ(text(view, 0, 1), u"");
  EXPECT_EQ(text(view, 0, 2), u"2026/05/01");
  EXPECT_EQ(text(view, 0, 3), u"1.0 K");
}

TEST_F(ListViewTest, ColumnWidthsAreDevicePixels) {
  HWND view = createListView();
  EXPECT_EQ(SendMessage(view, LVM_GETCOLUMNWIDTH, 0, 0), 100);
  EXPECT_EQ(SendMessage(view, LVM_GETCOLUMNWIDTH, 1, 0), 70);
  EXPECT_EQ(SendMessage(view, LVM_GETCOLUMNWIDTH, 2, 0), 50);
  EXPECT_EQ(SendMessage(view, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(90, 0)), TRUE);
  EXPECT_EQ(SendMessage(view, LVM_GETCOLUMNWIDTH, 1, 0), 90);
  EXPECT_EQ(SendMessage(view, LVM_SETCOLUMNWIDTH, 3, MAKELPARAM(90, 0)), FALSE);
  EXPECT_EQ(SendMessage(view, LVM_GETCOLUMNWIDTH, 3, 0), 0);
  // A column past the end is appended.
  LVCOLUMN column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<LPWSTR>(u"Extra");
  column.cx = 30;
  EXPECT_EQ(SendMessage(view, LVM_INSERTCOLUMN, 10, reinterpret_cast<LPARAM>(&column)), 3);
  std::u16string header(16, u'#');
  LVCOLUMN read{};
  read.mask = LVCF_TEXT | LVCF_WIDTH;
  read.pszText = header.data();
  read.cchTextMax = 16;
  EXPECT_EQ(SendMessage(view, LVM_GETCOLUMN, 3, reinterpret_cast<LPARAM>(&read)), TRUE);
  EXPECT_EQ(header.substr(0, header.find(u'\0')), u"Extra");
  EXPECT_EQ(read.cx, 30);
}

TEST_F(ListViewTest, ProgramStateChangesAreReportedLosersFirst) {
  HWND view = createListView();
  for (const char16_t* name : {u"a.txt", u"b.txt", u"c.txt"}) insert(view, 0, name);
  EXPECT_EQ(nextSelected(view), -1);
  clearNotifications();

  EXPECT_TRUE(setState(view, 0, kSelectedFocused, kSelectedFocused));
  EXPECT_EQ(stateChanges(), (std::vector<std::string>{"0:0>3"}));
  EXPECT_EQ(stateChanges(LVN_ITEMCHANGING), (std::vector<std::string>{"0:0>3"}));

  // In a single-selection list the new selection takes both states from item 0, which hears
  // of it first.
  clearNotifications();
  EXPECT_TRUE(setState(view, 2, kSelectedFocused, kSelectedFocused));
  EXPECT_EQ(stateChanges(), (std::vector<std::string>{"0:3>0", "2:0>3"}));
  EXPECT_EQ(codes(), (std::vector<UINT>{LVN_ITEMCHANGING, LVN_ITEMCHANGED, LVN_ITEMCHANGING, LVN_ITEMCHANGED}))
      << describe(notifications());
  for (const Notification& note : notifications()) EXPECT_EQ(note.listView.uChanged, static_cast<UINT>(LVIF_STATE));
  EXPECT_EQ(state(view, 0), 0u);
  EXPECT_EQ(state(view, 2), kSelectedFocused);
  EXPECT_EQ(nextSelected(view), 2);
  EXPECT_EQ(nextSelected(view, 2), -1);
  EXPECT_EQ(SendMessage(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)), 2);
  EXPECT_EQ(SendMessage(view, LVM_GETSELECTEDCOUNT, 0, 0), 1);

  // Setting a state an item already has reports nothing.
  clearNotifications();
  EXPECT_TRUE(setState(view, 2, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_TRUE(notifications().empty()) << describe(notifications());

  // Index -1: every item; "select all" is refused in a single-selection list.
  EXPECT_FALSE(setState(view, -1, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_FALSE(setState(view, -1, LVIS_FOCUSED, LVIS_FOCUSED));
  EXPECT_TRUE(setState(view, -1, 0, LVIS_SELECTED));
  EXPECT_EQ(SendMessage(view, LVM_GETSELECTEDCOUNT, 0, 0), 0);
  EXPECT_EQ(state(view, 2), static_cast<UINT>(LVIS_FOCUSED));
  EXPECT_FALSE(setState(view, 3, LVIS_SELECTED, LVIS_SELECTED));
}

TEST_F(ListViewTest, ParentMayRefuseAStateChange) {
  HWND view = createListView();
  insert(view, 0, u"locked.txt");
  answer = [](const Notification& note) -> LRESULT { return note.code == LVN_ITEMCHANGING ? TRUE : 0; };
  clearNotifications();
  EXPECT_TRUE(setState(view, 0, LVIS_SELECTED, LVIS_SELECTED));
  EXPECT_EQ(codes(), (std::vector<UINT>{LVN_ITEMCHANGING})) << describe(notifications());
  EXPECT_EQ(state(view, 0), 0u);
  // The user is refused the same way.
  platform::testing::chooseListViewItem(view, 0);
  EXPECT_EQ(state(view, 0), 0u);
  EXPECT_EQ(nextSelected(view), -1);
}

TEST_F(ListViewTest, UserClickSelectsThenReportsTheClick) {
  HWND view = createListView();
  for (const char16_t* name : {u"a.txt", u"b.txt", u"c.txt"}) insert(view, 0, name, 100);
  setState(view, 0, kSelectedFocused, kSelectedFocused);
  focusAndClear(view);

  platform::testing::chooseListViewItem(view, 1);

  EXPECT_EQ(stateChanges(), (std::vector<std::string>{"0:3>0", "1:0>3"}));
  ASSERT_FALSE(notifications().empty());
  const Notification& click = notifications().back();
  EXPECT_EQ(click.code, static_cast<UINT>(NM_CLICK)) << describe(notifications());
  EXPECT_EQ(click.listView.iItem, 1);
  EXPECT_EQ(click.id, kListViewId);
  EXPECT_EQ(click.control, view);
  EXPECT_EQ(codes(), (std::vector<UINT>{LVN_ITEMCHANGING, LVN_ITEMCHANGED, LVN_ITEMCHANGING, LVN_ITEMCHANGED, NM_CLICK}))
      << describe(notifications());
  for (const Notification& note : notifications()) {
    if (note.code == LVN_ITEMCHANGED) {
      EXPECT_EQ(note.listView.lParam, 100);
    }
  }
  EXPECT_EQ(nextSelected(view), 1);

  // A cursor key moves selection and focus together.
  clearNotifications();
  platform::testing::pressKey(VK_DOWN);
  EXPECT_EQ(stateChanges(), (std::vector<std::string>{"1:3>0", "2:0>3"}));
  EXPECT_EQ(nextSelected(view), 2);
}

TEST_F(ListViewTest, DoubleClickReportsClickThenDoubleClickOnTheItem) {
  HWND view = createListView();
  for (const char16_t* name : {u"a.txt", u"b.txt"}) insert(view, 0, name);
  focusAndClear(view);
  // Gaining the focus focused no item by itself.
  EXPECT_EQ(SendMessage(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)), -1);
  platform::testing::doubleClickListViewItem(view, 0);
  EXPECT_EQ(stateChanges(), (std::vector<std::string>{"0:0>3"}));
  EXPECT_EQ(codes(), (std::vector<UINT>{LVN_ITEMCHANGING, LVN_ITEMCHANGED, NM_CLICK, NM_DBLCLK})) << describe(notifications());
  EXPECT_EQ(notifications().back().listView.iItem, 0);
}

TEST_F(ListViewTest, DeletingItemsReportsThemAndKeepsStatesWithTheirItems) {
  HWND view = createListView();
  for (const char16_t* name : {u"a", u"b", u"c", u"d"}) insert(view, 0, name);
  setState(view, 2, kSelectedFocused, kSelectedFocused);
  clearNotifications();
  EXPECT_EQ(SendMessage(view, LVM_DELETEITEM, 0, 0), TRUE);
  EXPECT_EQ(SendMessage(view, LVM_DELETEITEM, 3, 0), FALSE);
  EXPECT_EQ(codes(), (std::vector<UINT>{LVN_DELETEITEM})) << describe(notifications());
  EXPECT_EQ(nextSelected(view), 1);  // "c" moved up with its state
  EXPECT_EQ(text(view, 1, 0), u"c");

  clearNotifications();
  EXPECT_EQ(SendMessage(view, LVM_DELETEALLITEMS, 0, 0), TRUE);
  EXPECT_EQ(codes(), (std::vector<UINT>{LVN_DELETEALLITEMS, LVN_DELETEITEM, LVN_DELETEITEM, LVN_DELETEITEM}))
      << describe(notifications());
  EXPECT_EQ(notifications()[1].listView.iItem, 2);  // the last item first
  EXPECT_EQ(SendMessage(view, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(nextSelected(view), -1);

  // A parent that answers TRUE to LVN_DELETEALLITEMS hears nothing per item.
  for (const char16_t* name : {u"a", u"b"}) insert(view, 0, name);
  answer = [](const Notification& note) -> LRESULT { return note.code == LVN_DELETEALLITEMS ? TRUE : 0; };
  clearNotifications();
  SendMessage(view, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(codes(), (std::vector<UINT>{LVN_DELETEALLITEMS})) << describe(notifications());
}

TEST_F(ListViewTest, FindItemSearchesAfterTheStartAndWrapsOnlyWhenAsked) {
  HWND view = createListView();
  for (const char16_t* name : {u"Alpha.txt", u"beta.txt", u"alphabet.doc"}) insert(view, 0, name, 5);
  LVFINDINFO find{};
  find.flags = LVFI_STRING;
  find.psz = u"BETA.TXT";
  EXPECT_EQ(SendMessage(view, LVM_FINDITEM, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 2);
  find.flags = LVFI_PARTIAL | LVFI_STRING;
  find.psz = u"alpha";
  EXPECT_EQ(SendMessage(view, LVM_FINDITEM, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)), 0);
  EXPECT_EQ(SendMessage(view, LVM_FINDITEM, 0, reinterpret_cast<LPARAM>(&find)), 1);
  EXPECT_EQ(SendMessage(view, LVM_FINDITEM, 1, reinterpret_cast<LPARAM>(&find)), -1);
  find.flags |= LVFI_WRAP;
  EXPECT_EQ(SendMessage(view, LVM_FINDITEM, 1, reinterpret_cast<LPARAM>(&find)), 0);

}

TEST_F(ListViewTest, ListModeHoldsItemsTooAndCommonControlsInitialise) {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&init));
  INITCOMMONCONTROLSEX wrongSize{4, ICC_LISTVIEW_CLASSES};
  EXPECT_FALSE(InitCommonControlsEx(&wrongSize));
  InitCommonControls();
  HWND view = create(WC_LISTVIEW, LVS_LIST | LVS_SORTASCENDING, 8, 200, 100);
  EXPECT_EQ(insert(view, 0, u"b"), 0);
  EXPECT_EQ(insert(view, 0, u"a"), 0);
  EXPECT_EQ(SendMessage(view, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(80, 0)), TRUE);
  clearNotifications();
  platform::testing::chooseListViewItem(view, 1);
  EXPECT_EQ(nextSelected(view), 1);
  EXPECT_EQ(text(view, 1, 0), u"b");
  EXPECT_EQ(codes().back(), static_cast<UINT>(NM_CLICK)) << describe(notifications());
}

}  // namespace
}  // namespace controls_test
