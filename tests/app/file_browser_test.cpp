// The program's own file browser: its pure steps as tables, then the dialog driven through its
// controls as a user drives it, with the mouse and with the desktop's keys.
#include <unistd.h>
#include <QApplication>
#include <QWidget>

#include <array>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/apply_settings.h"
#include "app/file_browser.h"
#include "platform/system/commctrl.h"
#include "platform/system/gdi_objects.h"
#include "platform/system/window_host.h"
#include "resources/resource_ids.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::ScopedHook;

namespace {

// A shortcut file: the handheld's "<count>#<command line>".
std::string shortcut(const std::string& commandLine) { return std::to_string(commandLine.size()) + "#" + commandLine; }

std::vector<std::u16string> directoryItems(HWND dialog) {
  std::vector<std::u16string> items;
  const auto count = SendDlgItemMessage(dialog, res::kOpenDirectoryList, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    WCHAR text[kBrowserPathUnits]{};
    SendDlgItemMessage(dialog, res::kOpenDirectoryList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

std::u16string cellText(HWND dialog, int row, int column) {
  WCHAR text[kBrowserPathUnits]{};
  LVITEM item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = kBrowserPathUnits;
  SendDlgItemMessage(dialog, res::kOpenFileList, LVM_GETITEMTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

std::vector<std::u16string> fileNames(HWND dialog) {
  std::vector<std::u16string> names;
  const auto count = SendDlgItemMessage(dialog, res::kOpenFileList, LVM_GETITEMCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) names.push_back(cellText(dialog, i, 0));
  return names;
}

int rowOf(HWND dialog, const std::u16string& name) {
  const auto names = fileNames(dialog);
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

int directoryIndexOf(HWND dialog, const std::u16string& name) {
  const auto items = directoryItems(dialog);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == name) return static_cast<int>(i);
  }
  return -1;
}

std::u16string shownDirectory(HWND dialog) {
  WCHAR text[kBrowserPathUnits]{};
  GetDlgItemText(dialog, res::kOpenDirectoryName, text, kBrowserPathUnits);
  return text;
}

void chooseDirectory(HWND dialog, const std::u16string& name) {
  const int index = directoryIndexOf(dialog, name);
  ASSERT_GE(index, 0) << "no directory item " << std::string(name.begin(), name.end());
  platform::testing::chooseListBoxItem(GetDlgItem(dialog, res::kOpenDirectoryList), index);
}

void cancel(HWND dialog) { platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL)); }

std::u16string u16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// What the dialog's modal loop does with the messages that keys post: dialog keys first.
void pumpDialog(HWND dialog) {
  MSG msg{};
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (IsDialogMessage(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

// The user's keys go to the active window, and the desktop moves the focus only within it; on
// the offscreen desktop, earlier tests in the same process may have left no window active.
void activate(HWND dialog) {
  if (QWidget* shown = platform::widgets::widgetOf(dialog)) QApplication::setActiveWindow(shown->window());
}

void chooseFilter(HWND dialog, int index) { platform::testing::chooseComboItem(GetDlgItem(dialog, res::kOpenFilterList), index); }

class FileBrowserTest : public ViewerTest {
 protected:
  // Runs `subject` once with `drive` acting on its dialog; returns run's result.
  uint8_t runBrowser(FileBrowserDialog& subject, std::function<void(HWND)> drive) {
    ScopedHook<platform::testing::DialogResponder> responder(
        platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
          ++shown;
          EXPECT_EQ(templateId, res::kDialogOpenFile);
          drive(dialog);  // which ends the dialog
        });
    return subject.run(nullptr, output);
  }
  std::unique_ptr<FileBrowserDialog> browser = std::make_unique<FileBrowserDialog>(
      platform::testing::testInstance(), u"", 12, 0, kBrowserFilterList);
  WCHAR output[kBrowserPathUnits]{};
  int shown = 0;  // dialogs the responder saw
};

// ---------------------------------------------------------------------------------------------
// The steps on their own
// ---------------------------------------------------------------------------------------------

TEST_F(FileBrowserTest, FiltersTakeTheExtensionAfterTheLastDot) {
  const std::u16string longExtension = u"a." + std::u16string(127, u't');  // 128 units with its dot
  const struct {
    std::u16string name;
    std::array<bool, 4> passes;  // Document, Text, Palm Doc, All
  } kCases[] = {
      {u"notes", {false, false, false, false}},   // no dot: never listed
      {u"a.tx", {true, true, false, true}},       // a leading part of ".txt"
      {u"a.TXT", {true, true, false, true}},      // compared in lower case
      {u"a.c", {false, false, false, true}},
      {u"x.", {true, true, true, true}},          // a bare dot is in every pattern
      {u"book.PDB", {true, false, true, true}},
      {u"\\a.b\\noext", {false, false, false, true}},  // the dot of a directory name counts
      {longExtension, {false, false, false, true}},     // too long to compare: fails, uncopied
      {u"a." + std::u16string(126, u't'), {false, false, false, true}},
  };
  for (const auto& c : kCases) {
    for (int32_t filter = 0; filter < 4; ++filter) {
      browser->filterIndex = filter;
      EXPECT_EQ(browser->passesFilter(c.name.c_str()), c.passes[static_cast<size_t>(filter)])
          << std::string(c.name.begin(), c.name.begin() + std::min<size_t>(c.name.size(), 20)) << " filter " << filter;
    }
  }
  browser->filterIndex = -1;  // no selection takes the first file type
  EXPECT_TRUE(browser->passesFilter(u"a.psw"));
}

TEST_F(FileBrowserTest, SizesAreDecimalKilobytesFrom1000BytesAndSixtyFourBitsWide) {
  const struct {
    uint64_t bytes;
    const char16_t* text;
  } kCases[] = {{0, u"0 B"},          {999, u"999 B"},         {1000, u"1.0 K"},
                {1250, u"1.2 K"},     {1536, u"1.5 K"},        {1048576, u"1048.6 K"},
                {2147483648u, u"2147483.6 K"}, {3221225472u, u"3221225.5 K"}};
  for (const auto& c : kCases) {
    WCHAR text[kBrowserSizeTextUnits];
    formatFileSize(c.bytes, text, kBrowserSizeTextUnits);
    EXPECT_EQ(std::u16string(text), c.text) << c.bytes;
  }
}

FILETIME fileTimeAt(int64_t unixSeconds) {
  const uint64_t ticks = static_cast<uint64_t>(unixSeconds + 11644473600LL) * 10000000ULL;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

TEST_F(FileBrowserTest, DatesAreTheUsersLocalDate) {
  const char* previous = std::getenv("TZ");
  const std::string saved = previous != nullptr ? previous : "";
  setenv("TZ", "UTC-14", 1);  // 14 hours ahead of UTC (POSIX signs are reversed)
  tzset();
  constexpr int64_t k20260101At2300Utc = 1767308400;
  constexpr int64_t k20250615At0100Utc = 1749949200;
  const FILETIME none{0, 0};
  const struct {
    FILETIME created, modified;
    WORD year, month, day;
  } kCases[] = {
      {fileTimeAt(k20260101At2300Utc), none, 2026, 1, 2},                       // next day locally
      {none, fileTimeAt(k20250615At0100Utc), 2025, 6, 15},                      // no creation time
      {fileTimeAt(k20250615At0100Utc), fileTimeAt(k20260101At2300Utc), 2025, 6, 15},
  };
  for (const auto& c : kCases) {
    SYSTEMTIME date{};
    ASSERT_TRUE(localFileDate(c.created, c.modified, date));
    EXPECT_EQ(date.wYear, c.year);
    EXPECT_EQ(date.wMonth, c.month);
    EXPECT_EQ(date.wDay, c.day);
  }
  if (previous != nullptr) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST_F(FileBrowserTest, ShortcutTargetsAreTheQuotedPathAlone) {
  const struct {
    std::u16string name;
    std::string contents;  // empty: no such file
    const char16_t* target;  // nullptr: no shortcut
  } kCases[] = {
      {u"Card.lnk", shortcut("\"\\My Documents\\sub\""), u"\\My Documents\\sub"},
      {u"Args.LNK", shortcut("\"\\a.txt\" \"-x\""), u"\\a.txt"},         // the first quoted path
      {u"Plain.lnk", shortcut("\\Windows\\app.exe \"-x\""), u"\\Windows\\app.exe"},
      {u"Empty.lnk", shortcut("\"\""), nullptr},                          // names nothing
      {u"Open.lnk", shortcut("\"\\a.txt"), nullptr},                      // never closed
      {u"NoQuote.lnk", shortcut("\\a.txt"), nullptr},
      {u"Mixed.Lnk", shortcut("\"\\a.txt\""), nullptr},                   // not a shortcut name
      {u"nodot", shortcut("\"\\a.txt\""), u"\\a.txt"},                    // no dot: tried
      {u"Missing.lnk", "", nullptr},
      {u"Junk.lnk", "not a shortcut", nullptr},
  };
  for (const auto& c : kCases) {
    if (!c.contents.empty()) device->writeFile(u"\\My Documents\\" + c.name, c.contents);
    WCHAR target[kBrowserPathUnits]{};
    const bool resolved = FileBrowserDialog::resolveShortcut(u"\\My Documents\\", c.name.c_str(), target);
    EXPECT_EQ(resolved, c.target != nullptr) << std::string(c.name.begin(), c.name.end());
    if (resolved && c.target != nullptr) {
      EXPECT_EQ(std::u16string(target), c.target);
    }
  }
}

TEST_F(FileBrowserTest, ChangingDirectoryNeverCutsAPath) {
  const std::u16string nearlyFull = u"\\" + std::u16string(1000, u'd') + u"\\";  // 1002 units
  const struct {
    std::u16string from, item, to;
  } kCases[] = {
      {u"\\My Documents\\", u"books", u"\\My Documents\\books\\"},
      {u"\\My Documents\\books\\", u"..", u"\\My Documents\\"},
      {u"\\My Documents\\", u"..", u"\\"},
      {u"\\", u"..", u"\\"},  // the root stays the root
      {nearlyFull, std::u16string(17, u'e'), nearlyFull + std::u16string(17, u'e') + u"\\"},  // 1020 units: fits
      {nearlyFull, std::u16string(18, u'e'), nearlyFull},                                      // 1021: refused
  };
  for (const auto& c : kCases) {
    lstrcpyn(browser->currentDirectory, c.from.c_str(), kBrowserPathUnits);
    browser->changeDirectory(c.item.c_str());
    EXPECT_EQ(std::u16string(browser->currentDirectory), c.to) << c.to.size();
  }
}

// ---------------------------------------------------------------------------------------------
// The dialog
// ---------------------------------------------------------------------------------------------

class FileBrowserDialogTest : public FileBrowserTest {
 protected:
  void SetUp() override {
    FileBrowserTest::SetUp();
    const std::u16string docs = u"\\My Documents\\";
    device->writeFile(docs + u"notes", "no extension");
    device->writeFile(docs + u"a.tx", "t");
    device->writeFile(docs + u"a.TXT", "T");
    device->writeFile(docs + u"a.c", "c");
    device->writeFile(docs + u"x.", "x");
    device->writeFile(docs + u".hidden.txt", "hidden file");
    device->writeFile(docs + u".secret\\in.txt", "in a hidden folder");
    device->writeFile(docs + u"sub\\m.txt", "memo");
    device->writeFile(docs + u"empty\\.keep", "");
    device->writeFile(docs + u"Card.lnk", shortcut("\"\\My Documents\\sub\""));
    device->writeFile(docs + u"Memo.lnk", shortcut("\"\\My Documents\\sub\\m.txt\""));
    device->writeFile(docs + u"Gone.lnk", shortcut("\"\\nowhere\""));
    device->writeFile(docs + u"s999.txt", std::string(999, 's'));
    device->writeFile(docs + u"s1000.txt", std::string(1000, 's'));
    device->writeFile(docs + u"s1250.txt", std::string(1250, 's'));
    device->writeFile(docs + u"mib.txt", std::string(1048576, 'm'));
    device->writeFile(docs + u"big.txt", "");
    ASSERT_EQ(::truncate(device->hostPath(docs + u"big.txt").c_str(), 3221225472LL), 0);  // sparse 3 GiB
  }
};

TEST_F(FileBrowserDialogTest, FirstRunListsMyDocumentsAsEachFileTypeSelects) {
  const std::vector<std::u16string> kDocumentFiles = {u"a.tx",      u"a.TXT",     u"big.txt",  u"Memo.lnk", u"mib.txt",
                                                      u"s1000.txt", u"s1250.txt", u"s999.txt", u"x."};
  const struct {
    int filter;
    std::vector<std::u16string> files;
  } kCases[] = {
      {1, kDocumentFiles},
      {2, {u"x."}},
      {3, {u"a.c", u"a.tx", u"a.TXT", u"big.txt", u"Memo.lnk", u"mib.txt", u"s1000.txt", u"s1250.txt", u"s999.txt", u"x."}},
      {0, kDocumentFiles},
  };
  runBrowser(*browser, [&](HWND dialog) {
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\");
    EXPECT_EQ(SendDlgItemMessage(dialog, res::kOpenFilterList, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessage(dialog, res::kOpenFilterList, CB_GETCOUNT, 0, 0), 4);
    // Hidden folders are listed, a shortcut to a folder or to nothing is listed with them.
    EXPECT_EQ(directoryItems(dialog),
              (std::vector<std::u16string>{u"..", u".secret", u"Card.lnk", u"empty", u"Gone.lnk", u"sub"}));
    EXPECT_EQ(fileNames(dialog), kDocumentFiles);
    const struct {
      const char16_t* name;
      const char16_t* size;
    } kSizes[] = {{u"s999.txt", u"999 B"}, {u"s1000.txt", u"1.0 K"}, {u"s1250.txt", u"1.2 K"},
                  {u"mib.txt", u"1048.6 K"}, {u"big.txt", u"3221225.5 K"}};
    for (const auto& s : kSizes) EXPECT_EQ(cellText(dialog, rowOf(dialog, s.name), 2), s.size);
    // A shortcut shows its own size, and a date.
    const std::string memo = device->readFile(u"\\My Documents\\Memo.lnk");
    EXPECT_EQ(cellText(dialog, rowOf(dialog, u"Memo.lnk"), 2), u16(std::to_string(memo.size()) + " B"));
    EXPECT_FALSE(cellText(dialog, rowOf(dialog, u"Memo.lnk"), 1).empty());
    for (const auto& c : kCases) {
      chooseFilter(dialog, c.filter);
      EXPECT_EQ(fileNames(dialog), c.files) << "filter " << c.filter;
      EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\");
    }
    cancel(dialog);
  });
  EXPECT_EQ(shown, 1);
}

TEST_F(FileBrowserDialogTest, ParentItemOnlyBelowTheRootAndEmptyOrMissingFoldersShowOnlyIt) {
  runBrowser(*browser, [&](HWND dialog) {
    chooseDirectory(dialog, u"empty");
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\empty\\");
    EXPECT_EQ(directoryItems(dialog), std::vector<std::u16string>{u".."});
    EXPECT_TRUE(fileNames(dialog).empty());
    chooseDirectory(dialog, u"..");
    chooseDirectory(dialog, u"..");
    EXPECT_EQ(shownDirectory(dialog), u"\\");
    EXPECT_EQ(directoryIndexOf(dialog, u".."), -1);
    EXPECT_GE(directoryIndexOf(dialog, u"My Documents"), 0);
    chooseDirectory(dialog, u"My Documents");
    chooseDirectory(dialog, u"Gone.lnk");  // a shortcut to nothing enters nothing
    EXPECT_EQ(shownDirectory(dialog), u"\\nowhere\\");
    EXPECT_EQ(directoryItems(dialog), std::vector<std::u16string>{u".."});
    cancel(dialog);
  });
}

TEST_F(FileBrowserDialogTest, ShortcutsEnterTheirFolderAndYieldTheirTarget) {
  const uint8_t chosen = runBrowser(*browser, [&](HWND dialog) {
    chooseDirectory(dialog, u"Card.lnk");
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\sub\\");
    EXPECT_EQ(fileNames(dialog), std::vector<std::u16string>{u"m.txt"});
    chooseDirectory(dialog, u"..");
    platform::testing::chooseListViewItem(GetDlgItem(dialog, res::kOpenFileList), rowOf(dialog, u"Memo.lnk"));
    platform::testing::clickButton(GetDlgItem(dialog, IDOK));
  });
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(std::u16string(output), u"\\My Documents\\sub\\m.txt");
}

TEST_F(FileBrowserDialogTest, AFolderShortcutWhoseTargetIsNoFolderSaysSo) {
  std::vector<std::u16string> messages;
  ScopedHook<platform::testing::MessageBoxResponder> boxes(
      platform::testing::setMessageBoxResponder, [&](const platform::testing::MessageBoxCall& call) {
        messages.push_back(call.text + u"|" + call.caption);
        EXPECT_EQ(call.type, MB_ICONHAND | MB_OK);
        EXPECT_EQ(call.owner, nullptr);
        return IDOK;
      });
  runBrowser(*browser, [&](HWND dialog) {
    // The target becomes a file after the listing showed the shortcut with the folders.
    ASSERT_GT(std::filesystem::remove_all(device->hostPath(u"\\My Documents\\sub")), 0u);
    device->writeFile(u"\\My Documents\\sub", "now a file");
    chooseDirectory(dialog, u"Card.lnk");
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\");
    cancel(dialog);
  });
  EXPECT_EQ(messages, std::vector<std::u16string>{u"There is no Dir : Card.lnk|Error"});
}

TEST_F(FileBrowserDialogTest, ASecondRunReopensWhereTheFirstEndedAndOkWithoutARowChoosesNothing) {
  const uint8_t first = runBrowser(*browser, [&](HWND dialog) {
    chooseDirectory(dialog, u"sub");
    chooseFilter(dialog, 3);
    platform::testing::chooseListViewItem(GetDlgItem(dialog, res::kOpenFileList), 0);
    platform::testing::clickButton(GetDlgItem(dialog, IDOK));
  });
  ASSERT_EQ(first, 1);
  EXPECT_EQ(std::u16string(output), u"\\My Documents\\sub\\m.txt");
  const uint8_t second = runBrowser(*browser, [&](HWND dialog) {
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\sub\\");
    EXPECT_EQ(SendDlgItemMessage(dialog, res::kOpenFilterList, CB_GETCURSEL, 0, 0), 3);
    platform::testing::clickButton(GetDlgItem(dialog, IDOK));  // no row selected
  });
  EXPECT_EQ(second, 0);
  EXPECT_EQ(browser->result, 0);
}

TEST_F(FileBrowserDialogTest, FoldersBeyondThePathBoundAreNotEnteredAndOkRefusesALongerPath) {
  // Four folders of 250 units below "\My Documents\" make a path of 1018 units: with "*.*" it
  // still fits 1024 units. Its subfolder "ef" would not, nor would "abcdef.txt" as a chosen file.
  std::u16string deep = u"\\My Documents\\";
  for (char16_t letter : {u'a', u'b', u'c', u'd'}) deep += std::u16string(250, letter) + u"\\";
  ASSERT_EQ(deep.size(), 1018u);
  device->writeFile(deep + u"ef\\in.txt", "x");
  device->writeFile(deep + u"abcdef.txt", "x");
  const uint8_t chosen = runBrowser(*browser, [&](HWND dialog) {
    for (char16_t letter : {u'a', u'b', u'c', u'd'}) chooseDirectory(dialog, std::u16string(250, letter));
    EXPECT_EQ(shownDirectory(dialog), deep);
    chooseDirectory(dialog, u"ef");
    EXPECT_EQ(shownDirectory(dialog), deep);  // refused whole, never cut
    platform::testing::chooseListViewItem(GetDlgItem(dialog, res::kOpenFileList), rowOf(dialog, u"abcdef.txt"));
    platform::testing::clickButton(GetDlgItem(dialog, IDOK));
  });
  EXPECT_EQ(chosen, 0);
}

TEST_F(FileBrowserDialogTest, ASymbolicLinkLoopEnteredAgainAndAgainEnds) {
  ASSERT_EQ(::symlink(".", device->hostPath(u"\\My Documents\\loop").c_str()), 0);
  runBrowser(*browser, [&](HWND dialog) {
    int entered = 0;
    for (; entered < 300 && directoryIndexOf(dialog, u"loop") >= 0; ++entered) {
      const std::u16string before = shownDirectory(dialog);
      chooseDirectory(dialog, u"loop");
      if (shownDirectory(dialog) == before) break;
    }
    EXPECT_LT(entered, 300);
    EXPECT_LE(lstrlen(browser->currentDirectory) + 3, kBrowserPathUnits - 1);
    cancel(dialog);
  });
}

TEST_F(FileBrowserDialogTest, DesktopKeysMoveWithoutEnteringAndEnterOrDoubleClickActs) {
  const uint8_t chosen = runBrowser(*browser, [&](HWND dialog) {
    const HWND directories = GetDlgItem(dialog, res::kOpenDirectoryList);
    activate(dialog);
    SetFocus(directories);
    for (WORD key : {VK_DOWN, VK_DOWN, VK_END, VK_HOME, VK_NEXT, VK_UP, VK_PRIOR}) {
      platform::testing::pressKey(key);
      pumpDialog(dialog);
    }
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\");  // moving entered nothing
    EXPECT_EQ(SendMessage(directories, LB_GETCURSEL, 0, 0), 0);
    platform::testing::pressKey(VK_END);  // "sub"
    platform::testing::pressKey(VK_RETURN);
    pumpDialog(dialog);
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\sub\\");
    platform::testing::pressKey(VK_BACK);
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\");
    activate(dialog);
    SetFocus(directories);
    platform::testing::pressKey(VK_TAB);  // on to the file list
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, res::kOpenFileList));
    // A double click in the directory list enters the folder once.
    platform::testing::doubleClickListViewItem(directories, directoryIndexOf(dialog, u"sub"));
    EXPECT_EQ(shownDirectory(dialog), u"\\My Documents\\sub\\");
    EXPECT_EQ(SendMessage(directories, LB_GETCURSEL, 0, 0), LB_ERR);
    // A double click on a file row acts as OK.
    platform::testing::doubleClickListViewItem(GetDlgItem(dialog, res::kOpenFileList), 0);
  });
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(std::u16string(output), u"\\My Documents\\sub\\m.txt");

  const uint8_t byEnter = runBrowser(*browser, [&](HWND dialog) {
    const HWND files = GetDlgItem(dialog, res::kOpenFileList);
    platform::testing::chooseListViewItem(files, 0);
    SetFocus(files);
    platform::testing::pressKey(VK_RETURN);  // the dialog's loop takes it as OK
  });
  EXPECT_EQ(byEnter, 1);
}

// ---------------------------------------------------------------------------------------------
// The browser in the viewer
// ---------------------------------------------------------------------------------------------

TEST_F(FileBrowserDialogTest, EveryApplyBuildsAFreshBrowserAndReleasesTheOldFont) {
  startViewer(u"\\My Documents\\a.c", settingsBytes(125, 1, 0, 1, 0, u"Face"));
  ASSERT_TRUE(state->fileBrowser);
  EXPECT_EQ(state->fileBrowser->fontHeight, 15);
  EXPECT_EQ(state->fileBrowser->charset, 128u);
  EXPECT_EQ(std::u16string(state->fileBrowser->faceName), u"Face");
  runBrowser(*state->fileBrowser, cancel);
  ASSERT_NE(state->fileBrowser->fontHandle, nullptr);
  const size_t fontsWithBrowserFont = platform::gdi::liveFontCount();
  applySettings(*state, state->mainWindow);
  EXPECT_EQ(platform::gdi::liveFontCount(), fontsWithBrowserFont - 1);
  EXPECT_EQ(state->fileBrowser->fontHandle, nullptr);
  state->teardown();
  EXPECT_FALSE(state->fileBrowser);
}

TEST_F(FileBrowserDialogTest, ARunningBrowserIsNeitherRunAgainNorReplaced) {
  startViewer(u"\\My Documents\\a.c", settingsBytes(100, 1, 0, 1, 0));
  FileBrowserDialog* running = state->fileBrowser.get();
  runBrowser(*running, [&](HWND dialog) {
    WCHAR second[kBrowserPathUnits]{};
    EXPECT_EQ(running->run(nullptr, second), 0);  // a second open command queued behind the first
    applySettings(*state, state->mainWindow);     // the settings applied from inside the dialog
    EXPECT_EQ(state->fileBrowser.get(), running);
    cancel(dialog);
  });
  EXPECT_EQ(shown, 1);
}

TEST(FileBrowserFontHeight, HostileZoomsCannotOverflow) {
  EXPECT_EQ(fileBrowserFontHeight(INT32_MAX), static_cast<int32_t>(static_cast<int64_t>(INT32_MAX) * 12 / 100));
  EXPECT_EQ(fileBrowserFontHeight(INT32_MIN), static_cast<int32_t>(static_cast<int64_t>(INT32_MIN) * 12 / 100));
}

}  // namespace
