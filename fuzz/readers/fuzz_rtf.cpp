// Fuzzes the RTF reader (RTF and the Pocket Word RTF dialect) with whole files.
#include "fuzz/readers/reader_fuzz_check.h"
#include "platform/textview/readers/rtf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A byte gives at most one unit (two where a code page maps to a surrogate pair).
  fuzzing::readAndCheck(platform::textview::rtfReader(), data, size, 2);
  return 0;
}
