// Text at the boundary between the program's UTF-16 and Qt's QString.
#include <QString>

#include "platform/system/qt_units.h"
#include "platform/system/text_utils.h"
#include "platform/system/window_host.h"

namespace platform::widgets {

QString toQString(LPCWSTR text) {
  if (text == nullptr) return {};
  return platform::zeroTerminatedToQString(text);
}

QString toQString(LPCWSTR text, int length) {
  if (text == nullptr || length <= 0) return {};
  return platform::unitsToQString(text, length);
}

std::u16string toU16(const QString& text) { return text.toStdU16String(); }

int copyToBuffer(const QString& text, LPWSTR buffer, int maxCount) {
  return text::copyTruncated(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                 static_cast<size_t>(text.size())),
                             buffer, maxCount);
}

}  // namespace platform::widgets
