// UTF-16 helpers shared by the layer's files.
#include "platform/system/text_utils.h"

#include <QChar>
#include <algorithm>

namespace platform::text {

std::u16string fromPointer(LPCWSTR text) {
  if (text == nullptr) return {};
  return std::u16string(text);
}

char16_t foldUnit(char16_t unit) {
  if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + 32) : unit;
  if (QChar::isSurrogate(unit)) return unit;
  return static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(unit)));
}

std::u16string folded(std::u16string_view text) {
  std::u16string out(text);
  for (auto& unit : out) unit = foldUnit(unit);
  return out;
}

int compareFolded(std::u16string_view a, std::u16string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t left = foldUnit(a[i]);
    const char16_t right = foldUnit(b[i]);
    if (left != right) return left < right ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int copyTruncated(std::u16string_view text, LPWSTR buffer, int maxCount) {
  if (buffer == nullptr || maxCount <= 0) return 0;
  const size_t count = std::min(text.size(), static_cast<size_t>(maxCount - 1));
  std::copy_n(text.data(), count, buffer);
  buffer[count] = 0;
  return static_cast<int>(count);
}

}  // namespace platform::text
