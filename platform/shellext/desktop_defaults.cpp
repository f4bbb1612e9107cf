#include "platform/shellext/desktop_defaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QByteArray>
#include <QList>
#include <optional>

#include "platform/system/files/device_paths.h"
#include "platform/system/qt_units.h"

namespace {

// The files are handled as bytes, line by line: a line this program does not change is written
// back byte for byte, whatever its encoding.
using Lines = QList<QByteArray>;

const QByteArray kDefaultsGroup = "[Default Applications]";
const QByteArray kEarlierGroup = "[Earlier Defaults]";
// The first line of the desktop entry this program writes: only such an entry is removed again.
const QByteArray kWrittenMark = "# Written by Quillscope for the file associations chosen in it.";
constexpr char16_t kEarlierDefaultsDevicePath[] = u"\\Program Files\\Quillscope\\desktop-defaults.list";

// An XDG base folder: the variable when it holds an absolute path, else the fallback under HOME.
QString baseFolder(const char* variable, const QString& fallbackUnderHome) {
  const QString value = qEnvironmentVariable(variable);
  if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
  return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + fallbackUnderHome);
}

QString mimeAppsPath() { return baseFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/mimeapps.list"); }
QString desktopEntryPath() {
  return baseFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/applications/") +
         QString::fromLatin1(kDesktopEntryId);
}
QString earlierDefaultsPath() {
  return QFile::decodeName(QByteArray::fromStdString(platform::files::hostPathFor(kEarlierDefaultsDevicePath)));
}

// A file's lines, or nothing when it exists but cannot be read (then it must not be rewritten).
std::optional<Lines> readLines(const QString& path) {
  QFile file(path);
  if (!file.exists()) return Lines{};
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray text = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  if (text.endsWith('\n')) text.chop(1);
  return text.isEmpty() ? Lines{} : text.split('\n');
}

// Writes the file whole through a temporary file in its folder; a link is followed, so the
// file it leads to is replaced and the link stays.
bool writeLines(const QString& path, const Lines& lines) {
  const QFileInfo info(path);
  const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
  if (!QDir().mkpath(QFileInfo(target).absolutePath())) return false;
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(lines.join('\n') + '\n');
  return file.commit();
}

// Where a group's lines are: [first, end) after its header; first < 0 when there is no group.
struct GroupSpan {
  int header = -1;  // the header line, or -1
  int end = -1;     // the line after the group's last line
};

GroupSpan findGroup(const Lines& lines, const QByteArray& header) {
  GroupSpan span;
  for (int i = 0; i < lines.size(); ++i) {
    const QByteArray trimmed = lines[i].trimmed();
    if (span.header < 0) {
      if (trimmed == header) span.header = i;
      continue;
    }
    if (trimmed.startsWith('[')) {
      span.end = i;
      return span;
    }
  }
  if (span.header >= 0) span.end = static_cast<int>(lines.size());
  return span;
}

// The line of `key` in the group, or -1.
int findKey(const Lines& lines, const GroupSpan& group, const QByteArray& key) {
  if (group.header < 0) return -1;
  for (int i = group.header + 1; i < group.end; ++i) {
    const qsizetype equals = lines[i].indexOf('=');
    if (equals > 0 && lines[i].left(equals).trimmed() == key) return i;
  }
  return -1;
}

QByteArray valueAt(const QByteArray& line) { return line.mid(line.indexOf('=') + 1).trimmed(); }

std::optional<QByteArray> valueOf(const Lines& lines, const QByteArray& header, const QByteArray& key) {
  const int at = findKey(lines, findGroup(lines, header), key);
  if (at < 0) return std::nullopt;
  return valueAt(lines[at]);
}

// Sets `key=value` in the group, in place when the key is there, else after the group's last
// line that is not blank; the group is added at the end when missing.
void setValue(Lines& lines, const QByteArray& header, const QByteArray& key, const QByteArray& value) {
  const QByteArray line = key + '=' + value;
  const GroupSpan group = findGroup(lines, header);
  if (group.header < 0) {
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QByteArray());
    lines.append(header);
    lines.append(line);
    return;
  }
  const int at = findKey(lines, group, key);
  if (at >= 0) {
    lines[at] = line;
    return;
  }
  int insertAt = group.end;
  while (insertAt > group.header + 1 && lines[insertAt - 1].trimmed().isEmpty()) --insertAt;
  lines.insert(insertAt, line);
}

void removeValue(Lines& lines, const QByteArray& header, const QByteArray& key) {
  const int at = findKey(lines, findGroup(lines, header), key);
  if (at >= 0) lines.removeAt(at);
}

// Whether a default names the viewer first (the list's first entry is the one used).
bool namesViewer(const QByteArray& value) {
  for (const QByteArray& entry : value.split(';')) {
    if (!entry.trimmed().isEmpty()) return entry.trimmed() == kDesktopEntryId;
  }
  return false;
}

bool anyDefaultNamesViewer(const Lines& lines) {
  const GroupSpan group = findGroup(lines, kDefaultsGroup);
  for (int i = group.header + 1; group.header >= 0 && i < group.end; ++i) {
    if (lines[i].contains('=') && namesViewer(valueAt(lines[i]))) return true;
  }
  return false;
}

// One argument of an Exec line: quoted when it holds anything but plain characters, with the
// desktop entry's own escaping of backslashes on top, and "%" doubled.
QString execArgument(const QString& path) {
  static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  bool plain = true;
  for (const QChar c : path) plain = plain && !kReserved.contains(c);
  QString argument = path;
  argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
  if (plain) return argument;
  QString quoted;
  for (const QChar c : argument) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')) {
      quoted += QLatin1Char('\\');
    }
    quoted += c;
  }
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));  // the desktop entry's string escape
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeDesktopEntry() {
  const Lines entry = {
      kWrittenMark,
      "[Desktop Entry]",
      "Type=Application",
      "Name=Quillscope",
      "GenericName=Document Viewer",
      "Comment=Read text in many encodings, Palm DOC e-books and Word documents",
      "Exec=" + execArgument(QCoreApplication::applicationFilePath()).toUtf8() + " %f",
      "Icon=quillscope",
      "Terminal=false",
      "MimeType=text/plain;application/vnd.palm;application/x-aportisdoc;"
      "application/x-mobipocket-ebook;application/msword;application/x-pocket-word;",
  };
  return writeLines(desktopEntryPath(), entry);
}

void removeDesktopEntryIfOurs() {
  const std::optional<Lines> entry = readLines(desktopEntryPath());
  if (entry && !entry->isEmpty() && entry->first() == kWrittenMark) QFile::remove(desktopEntryPath());
}

bool desktopMode() { return platform::files::deviceRoot().empty(); }

// A MIME type as a key: ASCII without blanks, "=", "[" or line ends; anything else is no key.
QByteArray mimeTypeOf(LPCWSTR mimeType) {
  if (mimeType == nullptr) return {};
  const QString text = platform::zeroTerminatedToQString(mimeType);
  for (const QChar c : text) {
    if (c.unicode() <= 0x20 || c.unicode() >= 0x7F || c == QLatin1Char('=') || c == QLatin1Char('[')) return {};
  }
  return text.toLatin1();
}

}  // namespace

BOOL SHSetDesktopDefault(LPCWSTR mimeTypeText) {
  const QByteArray mimeType = mimeTypeOf(mimeTypeText);
  if (!desktopMode() || mimeType.isEmpty()) return FALSE;
  std::optional<Lines> mimeApps = readLines(mimeAppsPath());
  std::optional<Lines> earlier = readLines(earlierDefaultsPath());
  if (!mimeApps || !earlier) return FALSE;
  const std::optional<QByteArray> current = valueOf(*mimeApps, kDefaultsGroup, mimeType);
  if (!current || !namesViewer(*current)) {
    // The default to give back later is kept before anything changes; an empty value stands
    // for none.
    setValue(*earlier, kEarlierGroup, mimeType, current.value_or(QByteArray()));
    if (!writeLines(earlierDefaultsPath(), *earlier)) return FALSE;
  }
  if (!writeDesktopEntry()) return FALSE;
  if (current && namesViewer(*current)) return TRUE;
  setValue(*mimeApps, kDefaultsGroup, mimeType, QByteArray(kDesktopEntryId) + ';');
  return writeLines(mimeAppsPath(), *mimeApps) ? TRUE : FALSE;
}

BOOL SHRestoreDesktopDefault(LPCWSTR mimeTypeText) {
  const QByteArray mimeType = mimeTypeOf(mimeTypeText);
  if (!desktopMode() || mimeType.isEmpty()) return FALSE;
  std::optional<Lines> mimeApps = readLines(mimeAppsPath());
  std::optional<Lines> earlier = readLines(earlierDefaultsPath());
  if (!mimeApps || !earlier) return FALSE;
  const std::optional<QByteArray> current = valueOf(*mimeApps, kDefaultsGroup, mimeType);
  bool changed = false;
  if (current && namesViewer(*current)) {
    const QByteArray previous = valueOf(*earlier, kEarlierGroup, mimeType).value_or(QByteArray());
    if (previous.isEmpty()) {
      removeValue(*mimeApps, kDefaultsGroup, mimeType);
    } else {
      setValue(*mimeApps, kDefaultsGroup, mimeType, previous);
    }
    if (!writeLines(mimeAppsPath(), *mimeApps)) return FALSE;
    changed = true;
  }
  // Given back, or taken by another program since: the kept default has served either way.
  if (valueOf(*earlier, kEarlierGroup, mimeType)) {
    removeValue(*earlier, kEarlierGroup, mimeType);
    writeLines(earlierDefaultsPath(), *earlier);
  }
  if (!anyDefaultNamesViewer(*mimeApps)) removeDesktopEntryIfOurs();
  return changed ? TRUE : FALSE;
}
