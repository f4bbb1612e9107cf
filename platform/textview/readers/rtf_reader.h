// The RTF reader: RTF 1.x (`{\rtf`, `{\urtf`) and the Pocket Word RTF dialect (`{\pwd1`,
// `{\pwd2`), which is RTF under another opening word.
//
// Groups are kept on an explicit stack (no recursion), so no nesting can exhaust the thread's
// stack; beyond kMaxRtfDepth further groups share the deepest state. Numeric parameters are
// clamped to 32 bits, `\binN` to the bytes left. Destinations that are not the document's body
// (font and colour tables, style sheet, info, pictures, field instructions, notes, headers and
// footers, anything behind `\*` this reader does not know) are left out; a field shows its
// result. Hidden text (`\v`) is left out.
#pragma once

#include "platform/textview/readers/reader.h"

namespace platform::textview {

// Group nesting kept with states of their own.
inline constexpr int kMaxRtfDepth = 1024;

class RtfReader final : public DocumentReader {
 public:
  const char* name() const override { return "RTF"; }
  bool recognises(ByteView bytes) const override;
  TextDocument read(ByteView bytes) const override;
};

const RtfReader& rtfReader();

}  // namespace platform::textview
