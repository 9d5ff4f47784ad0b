#include "screen/backend/backend.h"

namespace {
// The Null back end shows nothing: drawing happens in memory only.
void nothing() {}
void noPalette(int, int, int, int) {}

const Backend nullRecord{
    .name = "Null", .lock = nothing, .unlock = nothing, .setPaletteEntry = noPalette};
}  // namespace

const Backend& nullBackend() { return nullRecord; }
