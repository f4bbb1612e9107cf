// The system's string functions on UTF-16 text: lengths, comparisons, bounded copies and
// wsprintf, which never writes more than its 1024-unit buffer.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <string>

#include "platform/system/text_utils.h"
#include "platform/system/windows.h"

namespace {

constexpr size_t kFormatBufferUnits = 1024;  // wsprintf's buffer, terminator included

int sign(int value) { return (value > 0) - (value < 0); }

// Appends one formatted field with its width, padding and precision.
struct FieldFormat {
  bool leftAlign = false;  // '-' flag
  bool zeroPad = false;    // '0' flag
  int width = 0;           // minimum width
  int precision = -1;      // for %s: most units taken; for numbers: least digits
};

class Output {
 public:
  explicit Output(LPWSTR buffer) : buffer_(buffer) {}
  void put(char16_t unit) {
    if (count_ + 1 < kFormatBufferUnits) buffer_[count_++] = unit;
  }
  void field(const std::u16string& body, const FieldFormat& format, bool numeric) {
    const size_t width = format.width > 0 ? static_cast<size_t>(format.width) : 0;
    const size_t padding = body.size() < width ? width - body.size() : 0;
    const bool zeros = format.zeroPad && !format.leftAlign && numeric;
    if (!format.leftAlign) {
      // Zero padding goes after a sign.
      size_t start = 0;
      if (zeros && !body.empty() && body[0] == u'-') {
        put(u'-');
        start = 1;
      }
      for (size_t i = 0; i < padding; ++i) put(zeros ? u'0' : u' ');
      for (size_t i = start; i < body.size(); ++i) put(body[i]);
      return;
    }
    for (char16_t unit : body) put(unit);
    for (size_t i = 0; i < padding; ++i) put(u' ');
  }
  int finish() {
    buffer_[count_] = 0;
    return static_cast<int>(count_);
  }

 private:
  LPWSTR buffer_;     // the caller's buffer of kFormatBufferUnits units
  size_t count_ = 0;  // units written so far
};

std::u16string digits(uint64_t value, unsigned base, bool upper, int precision) {
  std::u16string out;
  const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  do {
    out.insert(out.begin(), static_cast<char16_t>(symbols[value % base]));
    value /= base;
  } while (value != 0);
  while (precision > 0 && out.size() < static_cast<size_t>(precision)) out.insert(out.begin(), u'0');
  return out;
}

}  // namespace

int lstrlen(LPCWSTR text) {
  if (text == nullptr) return 0;
  int length = 0;
  while (text[length] != 0) ++length;
  return length;
}

int lstrcmp(LPCWSTR a, LPCWSTR b) {
  const std::u16string_view left = a != nullptr ? std::u16string_view(a) : std::u16string_view();
  const std::u16string_view right = b != nullptr ? std::u16string_view(b) : std::u16string_view();
  return sign(left.compare(right));
}

int lstrcmpi(LPCWSTR a, LPCWSTR b) {
  const std::u16string_view left = a != nullptr ? std::u16string_view(a) : std::u16string_view();
  const std::u16string_view right = b != nullptr ? std::u16string_view(b) : std::u16string_view();
  return platform::text::compareFolded(left, right);
}

LPWSTR lstrcpyn(LPWSTR dest, LPCWSTR source, int maxCount) {
  if (dest == nullptr || maxCount <= 0) return dest;
  int i = 0;
  if (source != nullptr) {
    for (; i < maxCount - 1 && source[i] != 0; ++i) dest[i] = source[i];
  }
  dest[i] = 0;
  return dest;
}

int wsprintf(LPWSTR buffer, LPCWSTR format, ...) {
  if (buffer == nullptr) return 0;
  Output out(buffer);
  if (format == nullptr) return out.finish();
  va_list args;
  va_start(args, format);
  for (const WCHAR* p = format; *p != 0; ++p) {
    if (*p != u'%') {
      out.put(*p);
      continue;
    }
    const WCHAR* start = p;
    ++p;
    FieldFormat field;
    for (;; ++p) {
      if (*p == u'-') {
        field.leftAlign = true;
      } else if (*p == u'0') {
        field.zeroPad = true;
      } else {
        break;
      }
    }
    while (*p >= u'0' && *p <= u'9') field.width = std::min(field.width * 10 + (*p++ - u'0'), 1024);
    if (*p == u'.') {
      ++p;
      field.precision = 0;
      while (*p >= u'0' && *p <= u'9') field.precision = std::min(field.precision * 10 + (*p++ - u'0'), 1024);
    }
    // Length prefixes: 'l' and 'h' mean the 32-bit and 16-bit values of the platform; the
    // values themselves arrive promoted to int.
    while (*p == u'l' || *p == u'h') ++p;
    switch (*p) {
      case u'%':
        out.put(u'%');
        break;
      case u's': {
        const WCHAR* text = va_arg(args, const WCHAR*);
        std::u16string body = text == nullptr ? std::u16string(u"(null)") : std::u16string(text);
        if (field.precision >= 0 && body.size() > static_cast<size_t>(field.precision)) body.resize(static_cast<size_t>(field.precision));
        out.field(body, field, false);
        break;
      }
      case u'c': {
        const auto unit = static_cast<char16_t>(va_arg(args, int));
        out.field(std::u16string(1, unit), field, false);
        break;
      }
      case u'd':
      case u'i': {
        const int value = va_arg(args, int);
        const uint64_t magnitude = value < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(value)) : static_cast<uint64_t>(value);
        std::u16string body = digits(magnitude, 10, false, field.precision);
        if (value < 0) body.insert(body.begin(), u'-');
        out.field(body, field, true);
        break;
      }
      case u'u':
        out.field(digits(va_arg(args, unsigned int), 10, false, field.precision), field, true);
        break;
      case u'x':
      case u'X':
        out.field(digits(va_arg(args, unsigned int), 16, *p == u'X', field.precision), field, true);
        break;
      default:
        // Not a conversion this function knows: written as it stands, nothing consumed.
        for (const WCHAR* q = start; q <= p && *q != 0; ++q) out.put(*q);
        if (*p == 0) --p;
        break;
    }
  }
  va_end(args);
  return out.finish();
}
