// Korean rows: EUC-KR with the Unified Hangul extension (code page 949) and ISO-2022-KR.
#include "bench/bench_support.h"

namespace {

[[maybe_unused]] const bool registered = [] {
  registerDecodeEntry({"EUCKR", 12, "korean-euc_kr.txt", "CP949", "windows-949"});
  registerDecodeEntry({"ISO2022KR", 13, "korean-iso2022kr.txt", "ISO-2022-KR", "ISO_2022,locale=ko,version=0"});
  return true;
}();

}  // namespace
