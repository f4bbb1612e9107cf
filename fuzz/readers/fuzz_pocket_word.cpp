// Fuzzes the Pocket Word binary reader with whole files.
#include "fuzz/readers/reader_fuzz_check.h"
#include "platform/textview/readers/pocket_word_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzing::readAndCheck(platform::textview::pocketWordReader(), data, size, 1);
  return 0;
}
