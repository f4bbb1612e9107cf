// Inside the layer: the one way UTF-16 units of the program become a QString. The units are
// taken exactly as they are. Qt's QString::fromUtf16 (and fromStdU16String, which calls it)
// reads a leading U+FEFF or U+FFFE as a byte-order mark: it drops the one and byte-swaps the
// whole text after the other. The program's texts carry no byte-order marks (the decoders have
// already read any), so a leading U+FEFF is a character to show, and a path or a window text
// must never change its units on the way to the desktop: a device name starting with U+FFFE
// would otherwise turn into other names (".." among them) after the path was checked.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace platform {

inline QString unitsToQString(const char16_t* units, qsizetype count) {
  if (units == nullptr || count <= 0) return {};
  return QString(reinterpret_cast<const QChar*>(units), count);
}

inline QString unitsToQString(std::u16string_view units) {
  return unitsToQString(units.data(), static_cast<qsizetype>(units.size()));
}

// The units up to the terminating zero; nullptr gives an empty text.
inline QString zeroTerminatedToQString(const char16_t* units) {
  if (units == nullptr) return {};
  return unitsToQString(std::u16string_view(units));
}

}  // namespace platform
