#include "screen/backend.h"

namespace {
// The Null back end shows nothing: drawing happens in memory only.
void nothing() {}
void noPalette(int, int, int, int) {}

const Backend nullRecord{
    "Null",  nullptr, nullptr, nothing, nothing, noPalette,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};
}  // namespace

const Backend& nullBackend() { return nullRecord; }
