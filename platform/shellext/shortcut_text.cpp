// Reading the text of a shortcut file.
#include "platform/shellext/shortcut_text.h"

#include <QString>
#include <QStringDecoder>

namespace platform::shellext {

std::optional<std::u16string> shortcutCommandLine(std::string_view bytes) {
  if (bytes.size() > kMaxShortcutFileBytes) return std::nullopt;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a byte-order mark from a desktop editor

  std::size_t digits = 0;
  std::size_t count = 0;
  while (digits < bytes.size() && digits < 10 && bytes[digits] >= '0' && bytes[digits] <= '9') {
    count = count * 10 + static_cast<std::size_t>(bytes[digits] - '0');
    ++digits;
  }
  if (digits == 0 || digits > 9 || digits >= bytes.size() || bytes[digits] != '#') return std::nullopt;

  const std::string_view rest = bytes.substr(digits + 1);
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(QByteArrayView(rest.data(), static_cast<qsizetype>(rest.size())));
  if (utf8.hasError()) {
    QStringDecoder western(QStringDecoder::Latin1);
    text = western.decode(QByteArrayView(rest.data(), static_cast<qsizetype>(rest.size())));
  }
  if (static_cast<std::size_t>(text.size()) > count) text.truncate(static_cast<qsizetype>(count));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0)) {
      text.truncate(i);
      break;
    }
  }
  if (text.isEmpty()) return std::nullopt;
  return text.toStdU16String();
}

}  // namespace platform::shellext
