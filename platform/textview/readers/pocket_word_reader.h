// The Pocket Word binary reader (`{\pwi`). After a 14-byte header the file is a list of zones,
// each a 16-bit type, a 16-bit id and a 16-bit count of 32-bit words that follow: the font
// table (type 0x00), the paragraph order (0x40), the paragraphs (0x41) with their text and
// inline codes, their line metrics (0x42, not needed here) and the end (0x82). Every zone's
// length is checked against the file; a cut zone gives what it holds and ends the walk.
//
// The text is in the handheld's ANSI code page, which the file does not name: it is read as
// Windows-1252, the page of the Western handhelds.
#pragma once

#include "platform/textview/readers/reader.h"

namespace platform::textview {

class PocketWordReader final : public DocumentReader {
 public:
  const char* name() const override { return "Pocket Word"; }
  bool recognises(ByteView bytes) const override;
  TextDocument read(ByteView bytes) const override;
};

const PocketWordReader& pocketWordReader();

}  // namespace platform::textview
