// Chinese rows: Big5 (as code page 950) and GB2312.
#include "bench/bench_support.h"

namespace {

[[maybe_unused]] const bool registered = [] {
  registerDecodeEntry({"Big5", 14, "chinese-big5.txt", "CP950", "windows-950"});
  registerDecodeEntry({"GB2312", 15, "chinese-gb2312.txt", "GB2312", "GB2312"});
  return true;
}();

}  // namespace
