// The libFuzzer entry of the line_editor target; the body is shared with the regression test.
#include "fuzz/line_editor_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return lineEditorFuzzOne(data, size);
}
