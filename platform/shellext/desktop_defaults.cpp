#include "platform/shellext/desktop_defaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <optional>

#include "platform/system/files/device_paths.h"

namespace {

const QString kDefaultsGroup = QStringLiteral("[Default Applications]");
const QString kEarlierGroup = QStringLiteral("[Earlier Defaults]");
// The first line of the desktop entry this program writes: only such an entry is removed again.
const QString kWrittenMark = QStringLiteral("# Written by Quillscope for the file associations chosen in it.");
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
std::optional<QStringList> readLines(const QString& path) {
  QFile file(path);
  if (!file.exists()) return QStringList{};
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QString text = QString::fromUtf8(file.readAll());
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  return text.isEmpty() ? QStringList{} : text.split(QLatin1Char('\n'));
}

// Writes the file whole through a temporary file in its folder; a link is followed, so the
// file it leads to is replaced and the link stays.
bool writeLines(const QString& path, const QStringList& lines) {
  const QFileInfo info(path);
  const QString target = info.isSymLink() ? info.symLinkTarget() : path;
  if (!QDir().mkpath(QFileInfo(target).absolutePath())) return false;
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
  return file.commit();
}

// Where a group's lines are: [first, end) after its header; first < 0 when there is no group.
struct GroupSpan {
  int header = -1;  // the header line, or -1
  int end = -1;     // the line after the group's last line
};

GroupSpan findGroup(const QStringList& lines, const QString& header) {
  GroupSpan span;
  for (int i = 0; i < lines.size(); ++i) {
    const QString trimmed = lines[i].trimmed();
    if (span.header < 0) {
      if (trimmed == header) span.header = i;
      continue;
    }
    if (trimmed.startsWith(QLatin1Char('['))) {
      span.end = i;
      return span;
    }
  }
  if (span.header >= 0) span.end = static_cast<int>(lines.size());
  return span;
}

// The line of `key` in the group, or -1.
int findKey(const QStringList& lines, const GroupSpan& group, const QString& key) {
  if (group.header < 0) return -1;
  for (int i = group.header + 1; i < group.end; ++i) {
    const qsizetype equals = lines[i].indexOf(QLatin1Char('='));
    if (equals > 0 && lines[i].left(equals).trimmed() == key) return i;
  }
  return -1;
}

QString valueAt(const QString& line) { return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed(); }

std::optional<QString> valueOf(const QStringList& lines, const QString& header, const QString& key) {
  const int at = findKey(lines, findGroup(lines, header), key);
  if (at < 0) return std::nullopt;
  return valueAt(lines[at]);
}

// Sets `key=value` in the group, in place when the key is there, else after the group's last
// line that is not blank; the group is added at the end when missing.
void setValue(QStringList& lines, const QString& header, const QString& key, const QString& value) {
  const QString line = key + QLatin1Char('=') + value;
  GroupSpan group = findGroup(lines, header);
  if (group.header < 0) {
    if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QString());
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

void removeValue(QStringList& lines, const QString& header, const QString& key) {
  const int at = findKey(lines, findGroup(lines, header), key);
  if (at >= 0) lines.removeAt(at);
}

// Whether a default names the viewer first (the list's first entry is the one used).
bool namesViewer(const QString& value) {
  return value.split(QLatin1Char(';'), Qt::SkipEmptyParts).value(0).trimmed() == QLatin1String(kDesktopEntryId);
}

bool anyDefaultNamesViewer(const QStringList& lines) {
  const GroupSpan group = findGroup(lines, kDefaultsGroup);
  for (int i = group.header + 1; group.header >= 0 && i < group.end; ++i) {
    if (lines[i].contains(QLatin1Char('=')) && namesViewer(valueAt(lines[i]))) return true;
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
  const QStringList entry = {
      kWrittenMark,
      QStringLiteral("[Desktop Entry]"),
      QStringLiteral("Type=Application"),
      QStringLiteral("Name=Quillscope"),
      QStringLiteral("GenericName=Document Viewer"),
      QStringLiteral("Comment=Read text in many encodings, Palm DOC e-books and Word documents"),
      QStringLiteral("Exec=") + execArgument(QCoreApplication::applicationFilePath()) + QStringLiteral(" %f"),
      QStringLiteral("Icon=quillscope"),
      QStringLiteral("Terminal=false"),
      QStringLiteral("MimeType=text/plain;application/vnd.palm;application/x-aportisdoc;"
                     "application/x-mobipocket-ebook;application/msword;application/x-pocket-word;"),
  };
  return writeLines(desktopEntryPath(), entry);
}

void removeDesktopEntryIfOurs() {
  const std::optional<QStringList> entry = readLines(desktopEntryPath());
  if (entry && !entry->isEmpty() && entry->first() == kWrittenMark) QFile::remove(desktopEntryPath());
}

bool desktopMode() { return platform::files::deviceRoot().empty(); }

QString mimeTypeOf(LPCWSTR mimeType) {
  return mimeType == nullptr ? QString() : QString::fromUtf16(mimeType).trimmed();
}

}  // namespace

BOOL SHSetDesktopDefault(LPCWSTR mimeTypeText) {
  const QString mimeType = mimeTypeOf(mimeTypeText);
  if (!desktopMode() || mimeType.isEmpty() || mimeType.contains(QLatin1Char('='))) return FALSE;
  std::optional<QStringList> mimeApps = readLines(mimeAppsPath());
  std::optional<QStringList> earlier = readLines(earlierDefaultsPath());
  if (!mimeApps || !earlier) return FALSE;
  const std::optional<QString> current = valueOf(*mimeApps, kDefaultsGroup, mimeType);
  if (!current || !namesViewer(*current)) {
    // The default to give back later is kept before anything changes; an empty value stands
    // for none.
    setValue(*earlier, kEarlierGroup, mimeType, current.value_or(QString()));
    if (!writeLines(earlierDefaultsPath(), *earlier)) return FALSE;
  }
  if (!writeDesktopEntry()) return FALSE;
  if (current && namesViewer(*current)) return TRUE;
  setValue(*mimeApps, kDefaultsGroup, mimeType, QLatin1String(kDesktopEntryId) + QLatin1Char(';'));
  return writeLines(mimeAppsPath(), *mimeApps) ? TRUE : FALSE;
}

BOOL SHRestoreDesktopDefault(LPCWSTR mimeTypeText) {
  const QString mimeType = mimeTypeOf(mimeTypeText);
  if (!desktopMode() || mimeType.isEmpty()) return FALSE;
  std::optional<QStringList> mimeApps = readLines(mimeAppsPath());
  std::optional<QStringList> earlier = readLines(earlierDefaultsPath());
  if (!mimeApps || !earlier) return FALSE;
  const std::optional<QString> current = valueOf(*mimeApps, kDefaultsGroup, mimeType);
  bool changed = false;
  if (current && namesViewer(*current)) {
    const QString previous = valueOf(*earlier, kEarlierGroup, mimeType).value_or(QString());
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
