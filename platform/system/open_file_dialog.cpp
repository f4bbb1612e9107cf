// GetOpenFileName: the system's open-file dialog, shown as the desktop's file dialog.
//
// The request's filter pairs become the dialog's name filters ("Text File(*.txt)" with
// "*.txt;*.prc" shows as "Text File(*.txt) (*.txt *.prc)"), matched without regard to case as
// the handheld matches names. The dialog starts in "\My Documents" unless the request names a
// folder, accepts only an existing file, and the choice goes back as a device path. A path that
// does not fit the caller's buffer is refused whole: a cut path would name another file.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/system/commdlg.h"
#include "platform/system/files/device_paths.h"
#include "platform/system/message_loop.h"
#include "platform/system/qt_units.h"
#include "platform/system/responders.h"
#include "platform/system/window_host.h"

namespace {

constexpr std::size_t kMaxFilterPairs = 64;  // far beyond any real list; guards a list without its end

// One name and pattern pair of lpstrFilter.
struct FilterPair {
  QString name;      // shown to the user
  QString patterns;  // "*.txt;*.prc"
};

std::vector<FilterPair> readFilterPairs(LPCWSTR list) {
  std::vector<FilterPair> pairs;
  if (list == nullptr) return pairs;
  while (*list != 0 && pairs.size() < kMaxFilterPairs) {
    FilterPair pair;
    pair.name = platform::zeroTerminatedToQString(list);
    list += pair.name.size() + 1;
    pair.patterns = platform::zeroTerminatedToQString(list);
    list += pair.patterns.size() + 1;
    pairs.push_back(pair);
    if (pair.patterns.isEmpty()) break;  // the list ended early
  }
  return pairs;
}

QString nameFilterFor(const FilterPair& pair) {
  QStringList patterns = pair.patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (QString& pattern : patterns) pattern = pattern.trimmed();
  return pair.name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QString hostFolderFor(const std::u16string& devicePath) {
  return QFile::decodeName(QByteArray::fromStdString(platform::files::hostPathFor(devicePath)));
}

// Asks the person (or the test) for a file; returns its device path, or an empty text.
// `filterIndex` comes in as the pair to start with and goes out as the pair last shown.
std::u16string askForFile(const OPENFILENAME& request, const std::vector<FilterPair>& pairs, std::size_t& filterIndex) {
  if (auto responder = platform::responders::currentOpenFileResponder()) return responder(request);
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return {};

  const std::u16string startFolder = request.lpstrInitialDir != nullptr && request.lpstrInitialDir[0] != 0
                                         ? std::u16string(request.lpstrInitialDir)
                                         : std::u16string(u"\\My Documents");
  QFileDialog dialog(platform::widgets::deviceScreen(),
                     request.lpstrTitle != nullptr ? platform::zeroTerminatedToQString(request.lpstrTitle) : QStringLiteral("Open"),
                     hostFolderFor(startFolder));
  dialog.setOption(QFileDialog::DontUseNativeDialog);  // the same dialog on every desktop, headless included
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!pairs.empty()) {
    QStringList filters;
    for (const FilterPair& pair : pairs) filters << nameFilterFor(pair);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters[static_cast<qsizetype>(filterIndex)]);
  }
  // The program's posted messages keep flowing while the dialog is up; a quit request closes it.
  if (!platform::messages::runDesktopDialog(dialog)) return {};
  if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const qsizetype shown = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  if (shown >= 0) filterIndex = static_cast<std::size_t>(shown);
  return platform::files::devicePathFor(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* request) {
  if (request == nullptr || request->lStructSize != kOpenFileNameSize || request->lpstrFile == nullptr ||
      request->nMaxFile == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::vector<FilterPair> pairs = readFilterPairs(request->lpstrFilter);
  // nFilterIndex counts from 1; 0, or a number past the list, starts with the first pair.
  std::size_t filterIndex = 0;
  if (request->nFilterIndex >= 1 && request->nFilterIndex <= pairs.size()) filterIndex = request->nFilterIndex - 1;

  const std::u16string chosen = askForFile(*request, pairs, filterIndex);
  if (chosen.empty()) return FALSE;
  if (chosen.size() + 1 > request->nMaxFile) {
    request->lpstrFile[0] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::copy(chosen.begin(), chosen.end(), request->lpstrFile);
  request->lpstrFile[chosen.size()] = 0;

  const std::size_t nameStart = chosen.find_last_of(u'\\') == std::u16string::npos ? 0 : chosen.find_last_of(u'\\') + 1;
  const std::size_t dot = chosen.find_last_of(u'.');
  request->nFileOffset = static_cast<WORD>(std::min<std::size_t>(nameStart, 0xFFFF));
  request->nFileExtension =
      static_cast<WORD>(std::min<std::size_t>(dot != std::u16string::npos && dot >= nameStart ? dot + 1 : chosen.size(), 0xFFFF));
  if (request->lpstrFileTitle != nullptr && request->nMaxFileTitle > 0) {
    const std::u16string title = chosen.substr(nameStart);
    if (title.size() < request->nMaxFileTitle) {
      std::copy(title.begin(), title.end(), request->lpstrFileTitle);
      request->lpstrFileTitle[title.size()] = 0;
    } else {
      request->lpstrFileTitle[0] = 0;
    }
  }
  if (!pairs.empty()) request->nFilterIndex = static_cast<DWORD>(filterIndex + 1);
  return TRUE;
}
