// Faces that have the glyphs of a character set: the font a document asks for may name no
// face, or one this desktop lacks, and Japanese, Korean and Chinese text each want their own
// form of the shared ideographs.
#pragma once

#include <QFont>
#include <QString>

#include "platform/system/windows.h"

namespace platform::textview {

// The first installed face of those known to cover `charSet` (128 Shift-JIS, 129 Hangul, 134
// GB2312, 136 Big5, 222 Thai, 163 Vietnamese), or an empty text.
QString fallbackFaceFor(BYTE charSet);

// `font` as given for a logical font of `charSet` named `faceName`: when the face is empty or
// not installed, the character set's fallback face takes its place; when it is installed,
// the fallback follows it for the glyphs it lacks.
QFont withCharacterSetFallback(QFont font, const QString& faceName, BYTE charSet);

}  // namespace platform::textview
