#include "app/file_browser.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/shellext/aygshell.h"
#include "platform/system/commctrl.h"
#include "resources/resource_ids.h"

const WCHAR kBrowserFilterList[] =
    u"Document File\0.txt;.prc;.pdb;.doc;.psw\0"
    u"Text File(*.txt)\0.txt\0"
    u"Palm Doc(*.pdb,*.prc)\0.prc;.pdb\0"
    u"All File(*.*)\0.*\0";

namespace {

constexpr WCHAR kSearchAll[] = u"*.*";
constexpr int kSearchAllUnits = 3;
constexpr WCHAR kStartDirectory[] = u"\\My Documents\\";
constexpr WCHAR kParentItem[] = u"..";
constexpr int kNameColumnWidth = 100;
constexpr int kDateColumnWidth = 70;
constexpr int kSizeColumnWidth = 50;
constexpr int kPagedRowsAtLeast = 1;

// Joins up to three texts into `out` (1024 units). A path that would not fit is refused whole,
// leaving `out` untouched: a cut path names another file.
bool joinPath(WCHAR* out, const WCHAR* a, const WCHAR* b, const WCHAR* c = u"") {
  const int total = lstrlen(a) + lstrlen(b) + lstrlen(c);
  if (total >= kBrowserPathUnits) return false;
  WCHAR joined[kBrowserPathUnits];
  wsprintf(joined, u"%s%s%s", a, b, c);
  std::memcpy(out, joined, static_cast<size_t>(total + 1) * sizeof(WCHAR));
  return true;
}

// A directory is only ever entered when its search pattern (directory + "*.*") fits too, so
// that every directory shown can be listed.
bool directoryFits(int units) { return units + kSearchAllUnits < kBrowserPathUnits; }

const WCHAR* lastUnit(const WCHAR* text, WCHAR unit) {
  const WCHAR* found = nullptr;
  for (; *text != 0; ++text) {
    if (*text == unit) found = text;
  }
  return found;
}

bool isDirectoryAttribute(DWORD attributes) {
  // The failure value of a missing target has every bit set, so it counts as a directory.
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FileBrowserDialog* dialogObject(HWND dialog) {
  return reinterpret_cast<FileBrowserDialog*>(GetWindowLongPtr(dialog, DWLP_USER));
}

// The pattern string of file-type pair `index` (pair 0 for an index of 0 or below, or past the
// end of the list).
const WCHAR* patternOf(const WCHAR* filters, int32_t index) {
  if (filters == nullptr || filters[0] == 0) return u"";
  const WCHAR* pair = filters;
  for (int32_t i = 0; i < index; ++i) {
    const WCHAR* next = pair + lstrlen(pair) + 1;  // the pattern
    next += lstrlen(next) + 1;                    // the next pair's name
    if (*next == 0) return filters + lstrlen(filters) + 1;
    pair = next;
  }
  return pair + lstrlen(pair) + 1;
}

bool containsText(const WCHAR* haystack, const WCHAR* needle, int needleUnits) {
  for (; *haystack != 0; ++haystack) {
    int i = 0;
    while (i < needleUnits && haystack[i] == needle[i]) ++i;
    if (i == needleUnits) return true;
  }
  return false;
}

// The short date of a file time in the user's local time. Rows of one listing often share a
// date, so the last formatted date is kept.
struct DateText {
  WORD year = 0, month = 0, day = 0;         // the date last formatted
  WCHAR text[kBrowserDateTextUnits]{};       // its text
};

void formatLocalDate(const WIN32_FIND_DATA& entry, DateText& cache, WCHAR* out) {
  SYSTEMTIME date{};
  if (!localFileDate(entry.ftCreationTime, entry.ftLastWriteTime, date)) {
    out[0] = 0;
    return;
  }
  if (date.wYear != cache.year || date.wMonth != cache.month || date.wDay != cache.day) {
    if (GetDateFormat(LOCALE_USER_DEFAULT, 0, &date, nullptr, cache.text, kBrowserDateTextUnits) == 0) cache.text[0] = 0;
    cache.year = date.wYear;
    cache.month = date.wMonth;
    cache.day = date.wDay;
  }
  lstrcpyn(out, cache.text, kBrowserDateTextUnits);
}

void setSubItem(HWND list, int row, int subItem, WCHAR* text) {
  LVITEM item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = subItem;
  item.pszText = text;
  SendMessage(list, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

bool localFileDate(const FILETIME& created, const FILETIME& modified, SYSTEMTIME& date) {
  // Where the file system keeps no creation time, the modification time stands in. File times
  // are UTC; the user reads the date of their own time zone.
  const bool noCreationTime = created.dwLowDateTime == 0 && created.dwHighDateTime == 0;
  const FILETIME& shown = noCreationTime ? modified : created;
  FILETIME local{};
  return FileTimeToLocalFileTime(&shown, &local) && FileTimeToSystemTime(&local, &date);
}

void formatFileSize(uint64_t bytes, WCHAR* text, int textUnits) {
  char narrow[kBrowserSizeTextUnits];
  if (bytes < 1000) {
    std::snprintf(narrow, sizeof narrow, "%d B", static_cast<int>(bytes));
  } else {
    // Decimal kilobytes: the size times 0.001, so 1250 bytes show "1.2 K".
    std::snprintf(narrow, sizeof narrow, "%.1f K", static_cast<double>(bytes) * 0.001);
  }
  int i = 0;
  for (; i < textUnits - 1 && narrow[i] != 0; ++i) text[i] = static_cast<WCHAR>(narrow[i]);
  if (textUnits > 0) text[i] = 0;
}

FileBrowserDialog::FileBrowserDialog(HINSTANCE programInstance, const WCHAR* face, int32_t height,
                                     uint32_t characterSet, const WCHAR* filterList)
    : instance(programInstance), fontHeight(height), charset(characterSet), filters(filterList) {
  lstrcpyn(faceName, face != nullptr ? face : u"", kBrowserFaceNameUnits);
  lstrcpyn(currentDirectory, kStartDirectory, kBrowserPathUnits);
}

FileBrowserDialog::~FileBrowserDialog() {
  if (fontHandle != nullptr) DeleteObject(fontHandle);
}

uint8_t FileBrowserDialog::run(HWND owner, WCHAR* outputBuffer) {
  // A second open command queued behind the first must not run this object again inside its
  // own dialog: it would overwrite the first run's output and state.
  if (running) return 0;
  running = true;
  output = outputBuffer;
  result = 0;  // a dialog that cannot be shown chooses nothing
  DialogBoxParam(instance, MAKEINTRESOURCE(res::kDialogOpenFile), owner, dialogProc, reinterpret_cast<LPARAM>(this));
  running = false;
  return result;
}

BOOL CALLBACK FileBrowserDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtr(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<FileBrowserDialog*>(lParam);
    self->initialise(dialog);
    self->listDirectory(dialog);
    return TRUE;
  }
  FileBrowserDialog* self = dialogObject(dialog);
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == res::kOpenDirectoryList && code == LBN_SELCHANGE) {
        self->enterSelectedDirectory(dialog);
        return TRUE;
      }
      if (id == res::kOpenDirectoryList && code == LBN_DBLCLK) {
        // The first click of the double click has entered the folder already; the second one
        // only selected a row of the new listing, which is not a choice of its own.
        SendDlgItemMessage(dialog, res::kOpenDirectoryList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return TRUE;
      }
      if (id == res::kOpenFilterList && code == CBN_SELCHANGE) {
        self->filterIndex = static_cast<int32_t>(SendDlgItemMessage(dialog, res::kOpenFilterList, CB_GETCURSEL, 0, 0));
        self->listDirectory(dialog);
        return TRUE;
      }
      if (id == IDOK) {
        // Enter in the directory list enters the selected folder rather than closing the dialog
        // (the Done button, lParam 0, and a click on OK, which takes the focus, still close it).
        if (lParam != 0 && GetFocus() == GetDlgItem(dialog, res::kOpenDirectoryList)) {
          self->enterSelectedDirectory(dialog);
          return TRUE;
        }
        self->acceptSelection(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (id == IDCANCEL) {
        self->result = 0;
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    case WM_VKEYTOITEM:
      if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, res::kOpenDirectoryList)) return FALSE;
      return self->onDirectoryListKey(dialog, LOWORD(wParam));
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header == nullptr || header->idFrom != static_cast<UINT_PTR>(res::kOpenFileList)) return FALSE;
      if (header->code == LVN_DELETEALLITEMS) {
        // Emptying the list needs no notification per row: a big folder has many.
        SetWindowLongPtr(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      if (header->code != NM_DBLCLK) return FALSE;
      // A double click on a row acts as OK.
      if (reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem < 0) return TRUE;
      self->acceptSelection(dialog);
      EndDialog(dialog, IDOK);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void FileBrowserDialog::enterSelectedDirectory(HWND dialog) {
  const LRESULT selected = SendDlgItemMessage(dialog, res::kOpenDirectoryList, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  const LRESULT units = SendDlgItemMessage(dialog, res::kOpenDirectoryList, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
  if (units < 0 || units >= kBrowserPathUnits) return;
  WCHAR item[kBrowserPathUnits]{};
  SendDlgItemMessage(dialog, res::kOpenDirectoryList, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(item));
  changeDirectory(item);
  listDirectory(dialog);
}

// The desktop's keys in the directory list: moving never enters a folder (Enter does, through
// IDOK), Backspace goes up. Every other key is used up too, so typing enters nothing.
BOOL FileBrowserDialog::onDirectoryListKey(HWND dialog, WORD virtualKey) {
  const HWND list = GetDlgItem(dialog, res::kOpenDirectoryList);
  const int count = static_cast<int>(SendMessage(list, LB_GETCOUNT, 0, 0));
  const LRESULT current = SendMessage(list, LB_GETCURSEL, 0, 0);
  RECT client{};
  GetClientRect(list, &client);
  const int rowHeight = static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
  const int page = rowHeight > 0 ? std::max(kPagedRowsAtLeast, static_cast<int>(client.bottom / rowHeight)) : kPagedRowsAtLeast;
  int target = -1;
  const int from = current == LB_ERR ? -1 : static_cast<int>(current);
  switch (virtualKey) {
    case VK_UP: target = from < 0 ? 0 : from - 1; break;
    case VK_DOWN: target = from + 1; break;
    case VK_PRIOR: target = from < 0 ? 0 : from - page; break;
    case VK_NEXT: target = from < 0 ? page - 1 : from + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_BACK:
      if (lstrcmp(currentDirectory, u"\\") != 0) {
        changeDirectory(kParentItem);
        listDirectory(dialog);
      }
      return -2;
    case VK_TAB:
      return -1;  // moves to the next list
    default:
      return -2;
  }
  if (count > 0) SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(std::clamp(target, 0, count - 1)), 0);
  return -2;
}

void FileBrowserDialog::initialise(HWND dialog) {
  SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&init);

  std::memset(&fontRecord, 0, sizeof fontRecord);
  lstrcpyn(fontRecord.lfFaceName, faceName, LF_FACESIZE);
  fontRecord.lfCharSet = static_cast<BYTE>(charset & 0xFF);
  fontRecord.lfHeight = fontHeight;
  if (fontHandle != nullptr) DeleteObject(fontHandle);  // the font of an earlier run
  fontHandle = CreateFontIndirect(&fontRecord);
  fileList = GetDlgItem(dialog, res::kOpenFileList);
  SendMessage(fileList, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle), FALSE);
  SendDlgItemMessage(dialog, res::kOpenDirectoryName, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle), FALSE);
  SendDlgItemMessage(dialog, res::kOpenDirectoryList, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle), FALSE);

  // The file-type names: the 1st, 3rd, 5th ... strings of the list.
  SendDlgItemMessage(dialog, res::kOpenFilterList, CB_RESETCONTENT, 0, 0);
  int position = 0;
  for (const WCHAR* name = filters; name != nullptr && *name != 0; ++position) {
    SendDlgItemMessage(dialog, res::kOpenFilterList, CB_INSERTSTRING, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(name));
    const WCHAR* pattern = name + lstrlen(name) + 1;
    name = pattern + lstrlen(pattern) + 1;
  }
  SendDlgItemMessage(dialog, res::kOpenFilterList, CB_SETCURSEL, static_cast<WPARAM>(static_cast<intptr_t>(filterIndex)), 0);

  struct ColumnSpec {
    const WCHAR* title;
    int width;
  };
  static constexpr ColumnSpec kColumns[] = {{u"File Name", kNameColumnWidth}, {u"Date", kDateColumnWidth}, {u"Size", kSizeColumnWidth}};
  for (int i = 0; i < 3; ++i) {
    WCHAR title[16];
    lstrcpyn(title, kColumns[i].title, 16);
    LVCOLUMN column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumns[i].width;
    column.pszText = title;
    column.iSubItem = i;
    SendMessage(fileList, LVM_INSERTCOLUMN, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
}

void FileBrowserDialog::listDirectory(HWND dialog) {
  const HWND directoryList = GetDlgItem(dialog, res::kOpenDirectoryList);
  fileList = GetDlgItem(dialog, res::kOpenFileList);
  WCHAR pattern[kBrowserPathUnits];
  WIN32_FIND_DATA entry{};
  HANDLE search = joinPath(pattern, currentDirectory, kSearchAll) ? FindFirstFile(pattern, &entry) : INVALID_HANDLE_VALUE;

  SendMessage(directoryList, LB_RESETCONTENT, 0, 0);
  SendMessage(fileList, LVM_DELETEALLITEMS, 0, 0);
  if (search == INVALID_HANDLE_VALUE) {
    // Empty, missing or unreadable: only "..", and no message.
    SendMessage(directoryList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kParentItem));
    SetDlgItemText(dialog, res::kOpenDirectoryName, currentDirectory);
    return;
  }
  if (lstrcmp(currentDirectory, u"\\") != 0) SendMessage(directoryList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kParentItem));

  const HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  int counter = 0;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      SendMessage(directoryList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.cFileName));  // hidden ones too
    } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) == 0) {
      counter = addFileRow(dialog, entry, counter);
    }
  } while (FindNextFile(search, &entry));
  FindClose(search);
  SetDlgItemText(dialog, res::kOpenDirectoryName, currentDirectory);
  SetCursor(previous != nullptr ? previous : LoadCursor(nullptr, IDC_ARROW));
}

int FileBrowserDialog::addFileRow(HWND dialog, const WIN32_FIND_DATA& entry, int counter) {
  static DateText dateCache;
  WCHAR target[kBrowserPathUnits];
  const bool isShortcut = resolveShortcut(currentDirectory, entry.cFileName, target);
  if (isShortcut && isDirectoryAttribute(GetFileAttributes(target))) {
    // A shortcut to a directory, or to nothing at all, is listed with the directories.
    SendDlgItemMessage(dialog, res::kOpenDirectoryList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.cFileName));
    return counter;
  }
  if (!passesFilter(isShortcut ? target : entry.cFileName)) return counter;

  WCHAR name[MAX_PATH];
  lstrcpyn(name, entry.cFileName, MAX_PATH);
  LVITEM item{};
  item.mask = LVIF_TEXT;
  item.iItem = counter;
  item.pszText = name;
  const int row = static_cast<int>(SendMessage(fileList, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));

  // A shortcut shows its own size and date, not its target's.
  WCHAR sizeText[kBrowserSizeTextUnits];
  formatFileSize((static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow, sizeText, kBrowserSizeTextUnits);
  WCHAR dateText[kBrowserDateTextUnits];
  formatLocalDate(entry, dateCache, dateText);
  setSubItem(fileList, row, 1, dateText);
  setSubItem(fileList, row, 2, sizeText);
  return counter + 1;
}

bool FileBrowserDialog::resolveShortcut(const WCHAR* directory, const WCHAR* name, WCHAR* target) {
  // Only ".lnk" or ".LNK" is a shortcut (not ".Lnk"); a name without a dot is tried too.
  const WCHAR* dot = lastUnit(name, u'.');
  if (dot != nullptr && lstrcmp(dot, u".lnk") != 0 && lstrcmp(dot, u".LNK") != 0) return false;
  WCHAR path[kBrowserPathUnits];
  if (!joinPath(path, directory, name)) return false;
  WCHAR text[kBrowserPathUnits];
  if (!SHGetShortcutTarget(path, text, kBrowserPathUnits)) return false;

  // The target is the quoted path at the front, or the text before the first quote; what
  // follows it are arguments. A text without any quote is no shortcut.
  const WCHAR* quote = lastUnit(text, u'"');
  if (quote == nullptr) return false;
  const WCHAR* begin = text;
  const WCHAR* end = nullptr;
  if (text[0] == u'"') {
    begin = text + 1;
    for (const WCHAR* p = begin; *p != 0; ++p) {
      if (*p == u'"') {
        end = p;
        break;
      }
    }
    if (end == nullptr) return false;  // an opening quote that never closes
  } else {
    end = begin;
    while (*end != u'"') ++end;
    while (end > begin && end[-1] == u' ') --end;
  }
  if (end == begin) return false;  // an empty target names nothing
  const auto units = static_cast<size_t>(end - begin);
  std::memcpy(target, begin, units * sizeof(WCHAR));
  target[units] = 0;
  return true;
}

bool FileBrowserDialog::passesFilter(const WCHAR* text) const {
  const WCHAR* dot = lastUnit(text, u'.');
  if (dot == nullptr) return false;  // under every file type, "All File(*.*)" included
  const WCHAR* pattern = patternOf(filters, filterIndex);
  if (lstrcmp(pattern, u".*") == 0) return true;
  const int units = lstrlen(dot);
  if (units >= kBrowserExtensionUnits) return false;  // longer than any extension compared
  WCHAR extension[kBrowserExtensionUnits];
  for (int i = 0; i < units; ++i) {
    const WCHAR unit = dot[i];
    extension[i] = (unit >= u'A' && unit <= u'Z') ? static_cast<WCHAR>(unit + (u'a' - u'A')) : unit;
  }
  // A substring test: ".tx" passes ".txt", and a bare "." passes every pattern.
  return containsText(pattern, extension, units);
}

void FileBrowserDialog::changeDirectory(const WCHAR* item) {
  WCHAR target[kBrowserPathUnits];
  if (resolveShortcut(currentDirectory, item, target)) {
    if (!isDirectoryAttribute(GetFileAttributes(target))) {
      WCHAR text[kBrowserPathUnits + 32];
      wsprintf(text, u"There is no Dir : %s", item);
      MessageBox(nullptr, text, u"Error", MB_ICONHAND | MB_OK);
      return;
    }
    const int units = lstrlen(target);
    const bool endsWithSeparator = units > 0 && target[units - 1] == u'\\';
    if (directoryFits(units + (endsWithSeparator ? 0 : 1))) joinPath(currentDirectory, target, endsWithSeparator ? u"" : u"\\");
    return;
  }
  if (lstrcmp(item, kParentItem) == 0) {
    // Cut at the last "\", then just after the new last one: "\My Documents\a\" -> "\My Documents\".
    // The root stays the root: an empty directory would make every later path relative.
    WCHAR* last = const_cast<WCHAR*>(lastUnit(currentDirectory, u'\\'));
    if (last == nullptr) return;
    const WCHAR saved = *last;
    *last = 0;
    WCHAR* parent = const_cast<WCHAR*>(lastUnit(currentDirectory, u'\\'));
    if (parent == nullptr) {
      *last = saved;
      lstrcpyn(currentDirectory, u"\\", kBrowserPathUnits);
      return;
    }
    parent[1] = 0;
    return;
  }
  // A folder whose path would not fit is not entered (a symbolic link to its own folder,
  // entered again and again, ends here too).
  if (directoryFits(lstrlen(currentDirectory) + lstrlen(item) + 1)) joinPath(currentDirectory, currentDirectory, item, u"\\");
}

void FileBrowserDialog::acceptSelection(HWND dialog) {
  const HWND list = GetDlgItem(dialog, res::kOpenFileList);
  const LRESULT row = SendMessage(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (row < 0) {
    result = 0;
    return;
  }
  WCHAR name[kBrowserPathUnits]{};
  LVITEM item{};
  item.iSubItem = 0;
  item.pszText = name;
  item.cchTextMax = kBrowserPathUnits;
  SendMessage(list, LVM_GETITEMTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  WCHAR target[kBrowserPathUnits];
  if (resolveShortcut(currentDirectory, name, target)) {
    lstrcpyn(output, target, kBrowserPathUnits);
  } else if (!joinPath(output, currentDirectory, name)) {
    result = 0;  // a path that does not fit is refused, never cut
    return;
  }
  result = 1;
}
