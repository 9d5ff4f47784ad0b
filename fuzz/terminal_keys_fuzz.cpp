// The libFuzzer entry of the terminal_keys target; the body is shared with the regression test.
#include "fuzz/terminal_keys_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return terminalKeysFuzzOne(data, size);
}
