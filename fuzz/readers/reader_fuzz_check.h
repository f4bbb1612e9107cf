// The check shared by the document readers' fuzz targets: read the bytes, then walk the
// document the way the view and COPY do. The sanitizers catch any read outside the input; the
// checks catch a document whose runs, paragraphs or segments do not describe its text, and a
// reader whose text grows beyond what its input can hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/textview/readers/reader.h"

namespace fuzzing {

inline void readAndCheck(const platform::textview::DocumentReader& reader, const uint8_t* data, size_t size,
                         size_t maxUnitsPerByte) {
  using namespace platform::textview;
  const TextDocument document = reader.read(ByteView(data, size));
  const qsizetype length = document.length();
  if (static_cast<size_t>(length) > size * maxUnitsPerByte + 64) std::abort();
  if (document.runs().empty() || document.runs().front().start != 0) std::abort();
  for (size_t i = 1; i < document.runs().size(); ++i) {
    if (document.runs()[i].start <= document.runs()[i - 1].start) std::abort();
    if (document.runs()[i].start > static_cast<uint32_t>(length)) std::abort();
  }
  for (const FormatRun& run : document.runs()) {
    if (run.formatIndex >= document.formats().size()) std::abort();
  }
  qsizetype covered = 0;
  for (qsizetype segment = 0; segment < document.segmentCount(); ++segment) {
    if (document.segmentStart(segment) != covered) std::abort();
    covered = document.segmentEnd(segment);
    (void)document.paragraphFormatAt(document.segmentStart(segment));
  }
  if (covered != length) std::abort();
  if (document.textOf(0, length, u"\n").size() > length) std::abort();
}

}  // namespace fuzzing
