// The drop-down list: where entries go, what the selection messages answer, the text it
// gives, and the notifications a user's choice sends (and a program's does not).
#include <string>

#include "tests/platform_controls/control_test_support.h"

namespace controls_test {
namespace {

using platform::testing::chooseComboItem;

constexpr int kComboId = 3001;

class ComboBoxTest : public ControlTest {
 protected:
  HWND createCombo(DWORD style = 0) { return create(WC_COMBOBOX, CBS_DROPDOWNLIST | WS_VSCROLL | style, kComboId, 120, 24); }

  static LRESULT add(HWND combo, const char16_t* text) {
    return SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  static LRESULT insert(HWND combo, int index, const char16_t* text) {
    return SendMessage(combo, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  }
  static std::u16string entry(HWND combo, int index) {
    const LRESULT length = SendMessage(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return u"<CB_ERR>";
    std::u16string text(static_cast<size_t>(length) + 1, u'#');
    const LRESULT copied = SendMessage(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    EXPECT_EQ(copied, length);
    EXPECT_EQ(text[static_cast<size_t>(length)], u'\0');
    text.resize(static_cast<size_t>(length));
    return text;
  }
  static std::u16string shownText(HWND combo, int capacity, LRESULT* result = nullptr) {
    std::u16string buffer(64, u'#');
    const LRESULT copied = SendMessage(combo, WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(buffer.data()));
    if (result != nullptr) *result = copied;
    return buffer.substr(0, buffer.find(u'\0'));
  }
  static LRESULT selection(HWND combo) { return SendMessage(combo, CB_GETCURSEL, 0, 0); }
};

TEST_F(ComboBoxTest, SortedListPlacesEntriesWithoutRegardToCaseAndAnswersTheirPositions) {
  HWND combo = createCombo(CBS_SORT);
  EXPECT_EQ(add(combo, u"delta"), 0);
  EXPECT_EQ(add(combo, u"Alpha"), 0);
  EXPECT_EQ(add(combo, u"charlie"), 1);
  EXPECT_EQ(add(combo, u"BRAVO"), 1);
  EXPECT_EQ(add(combo, u"echo"), 4);
  EXPECT_EQ(add(combo, u"alpha2"), 1);
  const char16_t* expected[] = {u"Alpha", u"alpha2", u"BRAVO", u"charlie", u"delta", u"echo"};
  ASSERT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(entry(combo, i), expected[i]) << "entry " << i;

  // CB_INSERTSTRING never sorts, even in a sorted list.
  EXPECT_EQ(insert(combo, 0, u"zulu"), 0);
  EXPECT_EQ(entry(combo, 0), u"zulu");
}

TEST_F(ComboBoxTest, UnsortedListKeepsInsertionOrderAndInsertStringChecksItsIndex) {
  HWND combo = createCombo();
  EXPECT_EQ(add(combo, u"90"), 0);
  EXPECT_EQ(add(combo, u"200"), 1);
  EXPECT_EQ(add(combo, u"100"), 2);
  EXPECT_EQ(insert(combo, -1, u"end"), 3);        // -1: at the end
  EXPECT_EQ(insert(combo, 4, u"at count"), 4);    // the index just past the last entry is the end
  EXPECT_EQ(insert(combo, 6, u"too far"), CB_ERR);  // past the end
  EXPECT_EQ(insert(combo, -2, u"negative"), CB_ERR);
  EXPECT_EQ(insert(combo, 1, u"second"), 1);
  const char16_t* expected[] = {u"90", u"second", u"200", u"100", u"end", u"at count"};
  ASSERT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(entry(combo, i), expected[i]) << "entry " << i;
}

TEST_F(ComboBoxTest, SelectionStartsEmptyAndAnOutOfRangeIndexClearsIt) {
  HWND combo = createCombo();
  // The first entry of an empty list is not selected by itself.
  add(combo, u"None");
  add(combo, u"Line");
  add(combo, u"Dot ");
  EXPECT_EQ(selection(combo), CB_ERR);
  EXPECT_EQ(shownText(combo, 32), u"");
  EXPECT_EQ(SendMessage(combo, WM_GETTEXTLENGTH, 0, 0), 0);

  EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(selection(combo), 2);
  EXPECT_EQ(shownText(combo, 32), u"Dot ");

  EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, 3, 0), CB_ERR);  // one past the last entry
  EXPECT_EQ(selection(combo), CB_ERR);
  EXPECT_EQ(shownText(combo, 32), u"");

  SendMessage(combo, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);  // -1 clears too
  EXPECT_EQ(selection(combo), CB_ERR);

  // An insertion before the selected entry moves the selection with it.
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  insert(combo, 0, u"first");
  EXPECT_EQ(selection(combo), 2);
  EXPECT_EQ(shownText(combo, 32), u"Line");
}

TEST_F(ComboBoxTest, DeletingEntriesAnswersTheCountAndKeepsTheSelectionOnItsEntry) {
  HWND combo = createCombo();
  for (const char16_t* text : {u"a", u"b", u"c", u"d"}) add(combo, text);
  SendMessage(combo, CB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessage(combo, CB_DELETESTRING, 0, 0), 3);
  EXPECT_EQ(selection(combo), 1);
  EXPECT_EQ(shownText(combo, 8), u"c");
  EXPECT_EQ(SendMessage(combo, CB_DELETESTRING, 1, 0), 2);  // the selected entry
  EXPECT_EQ(selection(combo), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_DELETESTRING, 2, 0), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_DELETESTRING, static_cast<WPARAM>(-1), 0), CB_ERR);

  SendMessage(combo, CB_SETCURSEL, 0, 0);
  EXPECT_EQ(SendMessage(combo, CB_RESETCONTENT, 0, 0), CB_OKAY);
  EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(selection(combo), CB_ERR);
  // The list refills with no selection, as at the start.
  add(combo, u"again");
  EXPECT_EQ(selection(combo), CB_ERR);
}

TEST_F(ComboBoxTest, EntryTextGoesIntoTheBufferAndBadIndexesAnswerCbErr) {
  HWND combo = createCombo();
  add(combo, u"Japanese (Auto)");
  EXPECT_EQ(entry(combo, 0), u"Japanese (Auto)");
  EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 0, 0), 15);
  char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(SendMessage(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
  EXPECT_EQ(buffer[0], u'x');  // nothing written for a bad index
  EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, 1, 0), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(-1), 0), CB_ERR);

  // A null text is stored as the empty text.
  EXPECT_EQ(SendMessage(combo, CB_ADDSTRING, 0, 0), 1);
  EXPECT_EQ(entry(combo, 1), u"");
}

TEST_F(ComboBoxTest, WindowTextIsTheSelectedEntryCutToTheBuffer) {
  HWND combo = createCombo();
  add(combo, u"Japanese (Auto)");
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  LRESULT copied = 0;
  EXPECT_EQ(shownText(combo, 5, &copied), u"Japa");
  EXPECT_EQ(copied, 4);
  EXPECT_EQ(shownText(combo, 33, &copied), u"Japanese (Auto)");
  EXPECT_EQ(copied, 15);
  EXPECT_EQ(shownText(combo, 16, &copied), u"Japanese (Auto)");  // exactly room for text and zero
  EXPECT_EQ(SendMessage(combo, WM_GETTEXTLENGTH, 0, 0), 15);

  char16_t untouched[2] = {u'x', u'x'};
  EXPECT_EQ(SendMessage(combo, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(untouched)), 0);
  EXPECT_EQ(untouched[0], u'x');
  EXPECT_EQ(shownText(combo, 1, &copied), u"");
  EXPECT_EQ(copied, 0);

  // A drop-down list has no text of its own to set.
  EXPECT_EQ(SendMessage(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"other")), CB_ERR);
  EXPECT_EQ(shownText(combo, 33), u"Japanese (Auto)");
}

TEST_F(ComboBoxTest, SearchesIgnoreCaseWrapAroundAndSelectStringSelects) {
  HWND combo = createCombo();
  for (const char16_t* text : {u"UTF-8", u"utf-16", u"Big5", u"UTF-8 (no BOM)"}) add(combo, text);
  const auto find = [&](UINT message, int start, const char16_t* text) {
    return SendMessage(combo, message, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
  };
  EXPECT_EQ(find(CB_FINDSTRING, -1, u"utf"), 0);
  EXPECT_EQ(find(CB_FINDSTRING, 0, u"utf"), 1);             // after the start index
  EXPECT_EQ(find(CB_FINDSTRING, 1, u"UTF-8"), 3);
  EXPECT_EQ(find(CB_FINDSTRING, 3, u"utf-8"), 0);           // wraps to the top
  EXPECT_EQ(find(CB_FINDSTRING, 100, u"big"), 2);           // an index past the end searches everything
  EXPECT_EQ(find(CB_FINDSTRING, -1, u"Shift"), CB_ERR);
  EXPECT_EQ(find(CB_FINDSTRINGEXACT, -1, u"UTF-16"), 1);
  EXPECT_EQ(find(CB_FINDSTRINGEXACT, 0, u"utf-8"), 0);      // wraps and finds the start entry itself
  EXPECT_EQ(find(CB_FINDSTRINGEXACT, -1, u"UTF"), CB_ERR);  // a prefix is not an exact match

  EXPECT_EQ(find(CB_SELECTSTRING, -1, u"bi"), 2);
  EXPECT_EQ(selection(combo), 2);
  EXPECT_EQ(find(CB_SELECTSTRING, -1, u"nothing"), CB_ERR);
  EXPECT_EQ(selection(combo), 2);  // unchanged by a failed search

  EXPECT_EQ(SendMessage(combo, CB_SETITEMDATA, 1, 0x12345678), CB_OKAY);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 1, 0), 0x12345678);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 0, 0), 0);
  EXPECT_EQ(SendMessage(combo, CB_SETITEMDATA, 4, 1), CB_ERR);
  EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 4, 0), CB_ERR);
  // The data moves with its entry.
  SendMessage(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"first"));
  EXPECT_EQ(SendMessage(combo, CB_GETITEMDATA, 2, 0), 0x12345678);
}

TEST_F(ComboBoxTest, UsersChoiceSendsDropDownSelEndOkCloseUpAndSelChange) {
  HWND combo = createCombo();
  for (const char16_t* text : {u"90", u"95", u"100", u"105"}) add(combo, text);
  selectionQuery = [](HWND control) { return SendMessage(control, CB_GETCURSEL, 0, 0); };
  focusAndClear(combo);

  chooseComboItem(combo, 2);

  EXPECT_EQ(spy().compare({command(combo, CBN_DROPDOWN), command(combo, CBN_SELENDOK), command(combo, CBN_CLOSEUP),
                           command(combo, CBN_SELCHANGE)},
                          parent()),
            "");
  ASSERT_EQ(notifications().size(), 4u) << describe(notifications());
  EXPECT_EQ(notifications()[0].selectionAtArrival, CB_ERR);  // nothing chosen while it drops down
  EXPECT_EQ(notifications()[3].selectionAtArrival, 2);      // the choice is in place for CBN_SELCHANGE
  EXPECT_EQ(selection(combo), 2);
  EXPECT_EQ(shownText(combo, 8), u"100");
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);

  // Choosing the entry that is already selected is still a choice.
  clearNotifications();
  chooseComboItem(combo, 2);
  EXPECT_EQ(codes(), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE})) << describe(notifications());

  // A cursor key on the closed list moves the selection and reports only the change.
  clearNotifications();
  platform::testing::pressKey(VK_DOWN);
  EXPECT_EQ(spy().compare({command(combo, CBN_SELCHANGE)}, parent()), "");
  EXPECT_EQ(selection(combo), 3);
  ASSERT_EQ(notifications().size(), 1u);
  EXPECT_EQ(notifications()[0].selectionAtArrival, 3);
}

TEST_F(ComboBoxTest, ProgramSelectionAndListMessagesSendNothing) {
  HWND combo = createCombo(CBS_SORT);
  clearNotifications();
  add(combo, u"b");
  add(combo, u"a");
  SendMessage(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"c"));
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  SendMessage(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"c"));
  SendMessage(combo, CB_SETCURSEL, 5, 0);
  SendMessage(combo, CB_DELETESTRING, 0, 0);
  SendMessage(combo, CB_RESETCONTENT, 0, 0);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy().compare({}, parent()), "");
  EXPECT_TRUE(notifications().empty()) << describe(notifications());
}

TEST_F(ComboBoxTest, ProgramDropDownAndCloseReportACancelledSelection) {
  HWND combo = createCombo();
  add(combo, u"one");
  add(combo, u"two");
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  focusAndClear(combo);
  EXPECT_EQ(SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  EXPECT_EQ(SendMessage(combo, CB_SHOWDROPDOWN, FALSE, 0), TRUE);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy().compare({command(combo, CBN_DROPDOWN), command(combo, CBN_SELENDCANCEL), command(combo, CBN_CLOSEUP)},
                          parent()),
            "");
  EXPECT_EQ(selection(combo), 1);
}

TEST_F(ComboBoxTest, ListClosedByTheUserWithoutAChoiceReportsACancelledSelection) {
  HWND combo = createCombo();
  add(combo, u"one");
  add(combo, u"two");
  SendMessage(combo, CB_SETCURSEL, 0, 0);
  focusAndClear(combo);
  SendMessage(combo, CB_SHOWDROPDOWN, TRUE, 0);
  platform::testing::pressKey(VK_DOWN);    // moves the highlight in the dropped list only
  platform::testing::pressKey(VK_ESCAPE);  // and closes it
  platform::testing::pumpMessages();
  EXPECT_EQ(codes(), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP})) << describe(notifications());
  EXPECT_EQ(selection(combo), 0);
  EXPECT_EQ(SendMessage(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST_F(ComboBoxTest, ParentMayRefillTheListWhileItHandlesTheChoice) {
  HWND combo = createCombo();
  for (const char16_t* text : {u"a", u"b", u"c"}) add(combo, text);
  answer = [combo](const Notification& note) -> LRESULT {
    if (note.code == CBN_SELCHANGE) {
      SendMessage(combo, CB_RESETCONTENT, 0, 0);
      SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"fresh"));
    }
    return 0;
  };
  chooseComboItem(combo, 1);
  platform::testing::pumpMessages();
  EXPECT_EQ(SendMessage(combo, CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(selection(combo), CB_ERR);
}

TEST_F(ComboBoxTest, ParentMayDestroyTheListWhileItHandlesTheChoice) {
  HWND combo = createCombo();
  add(combo, u"a");
  add(combo, u"b");
  answer = [](const Notification& note) -> LRESULT {
    if (note.code == CBN_SELENDOK) DestroyWindow(note.control);
    return 0;
  };
  focusAndClear(combo);
  chooseComboItem(combo, 1);
  platform::testing::pumpMessages();
  EXPECT_FALSE(IsWindow(combo));
  // The focused list loses the focus as it goes; nothing comes after that.
  EXPECT_EQ(codes(), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_KILLFOCUS})) << describe(notifications());
}

// A program (or a dialog template) gives a drop-down list the height of the box with its list
// dropped; the window itself keeps the height of its selection field.
TEST_F(ComboBoxTest, WindowKeepsTheHeightOfItsSelectionField) {
  HWND combo = create(WC_COMBOBOX, CBS_DROPDOWNLIST, kComboId, 120, 140);
  const auto height = [combo] {
    RECT rect{};
    GetWindowRect(combo, &rect);
    return rect.bottom - rect.top;
  };
  const LONG field = height();
  EXPECT_GT(field, 8);
  EXPECT_LT(field, 60);
  MoveWindow(combo, 10, 40, 150, 300, TRUE);
  EXPECT_EQ(height(), field);
  RECT rect{};
  GetWindowRect(combo, &rect);
  EXPECT_EQ(rect.right - rect.left, 150);
}

}  // namespace
}  // namespace controls_test
