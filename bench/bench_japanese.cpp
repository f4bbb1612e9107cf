// Japanese rows: Shift-JIS (rows 0 and 1 run the same decoder), ISO-2022-JP and EUC-JP.
#include "bench/bench_support.h"

namespace {

[[maybe_unused]] const bool registered = [] {
  registerDecodeEntry({"JapaneseAuto", 0, "japanese-shift_jis.txt", "CP932", "ibm-943_P15A-2003"});
  registerDecodeEntry({"ShiftJIS", 1, "japanese-shift_jis.txt", "CP932", "ibm-943_P15A-2003"});
  registerDecodeEntry({"ISO2022JP", 2, "japanese-iso2022jp.txt", "ISO-2022-JP", "ISO_2022,locale=ja,version=0"});
  registerDecodeEntry({"EUCJP", 3, "japanese-euc_jp.txt", "EUC-JP", "EUC-JP"});
  return true;
}();

}  // namespace
