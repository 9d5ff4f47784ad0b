// The libFuzzer entry of the decimal target; the body is shared with the regression test.
#include "fuzz/decimal_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return decimalFuzzOne(data, size);
}
