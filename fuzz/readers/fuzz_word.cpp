// Fuzzes the Word 97-2003 reader and its Compound File reader with whole files.
#include "fuzz/readers/reader_fuzz_check.h"
#include "platform/textview/readers/word_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Characters are bounded by the WordDocument stream's bytes; an endnote's citation (a Roman
  // number) gives up to nine for its one byte.
  fuzzing::readAndCheck(platform::textview::wordReader(), data, size, 10);
  return 0;
}
