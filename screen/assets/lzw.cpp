// LZW decoding of the built-in block, in the 12-bit format described in lzw.h.
#include "screen/assets/lzw.h"

#include <algorithm>
#include <vector>

namespace {


// Each dictionary string is a run of bytes already written: the previous string followed
// by the first byte of the string after it, so an offset and a length describe it.
struct Entry {
  size_t offset;
  size_t length;
};

// Code `index` of the block, or false when the block has no bytes left for it.
bool readCode(const uint8_t* packed, size_t size, size_t index, unsigned* code) {
  const size_t group = (index / 2) * 3;
  if (index % 2 == 0) {
    if (size < 2 || group > size - 2) return false;
    *code = packed[group] | (packed[group + 1] & 0x0Fu) << 8;
  } else {
    if (size < 3 || group > size - 3) return false;
    *code = packed[group + 1] >> 4 | static_cast<unsigned>(packed[group + 2]) << 4;
  }
  return true;
}

// The end code must close the block: a two-byte group with zero padding, or the last
// three bytes.
bool endsBlock(const uint8_t* packed, size_t size, size_t index) {
  const size_t group = (index / 2) * 3;
  if (index % 2 == 0) return size == group + 2 && (packed[group + 1] >> 4) == 0;
  return size == group + 3;
}

}  // namespace

bool lzwDecode(const uint8_t* packed, size_t size, uint8_t* out, size_t capacity, size_t* written) {
  std::vector<Entry> entries(kLzwEndCode);
  unsigned nextEntry = kLzwFirstEntry;
  bool havePrevious = false;
  Entry previous{0, 0};
  size_t pos = 0;
  bool ok = false;

  for (size_t index = 0;; ++index) {
    unsigned code = 0;
    if (!readCode(packed, size, index, &code)) break;
    if (code == kLzwEndCode) {
      ok = endsBlock(packed, size, index);
      break;
    }
    const size_t start = pos;
    if (code < kLzwFirstEntry) {
      if (pos == capacity) break;
      out[pos++] = static_cast<uint8_t>(code);
    } else if (!havePrevious || code > nextEntry) {
      break;
    } else {
      // A code equal to nextEntry is not defined yet: it is the previous string plus
      // that string's own first byte.
      const Entry source = code < nextEntry ? entries[code] : previous;
      const size_t length = source.length + (code == nextEntry ? 1 : 0);
      if (length > capacity - pos) break;
      // The source lies wholly before `pos`, so the copy never overlaps.
      std::copy_n(out + source.offset, source.length, out + pos);
      pos += source.length;
      if (code == nextEntry) out[pos++] = out[source.offset];
    }
    if (havePrevious && nextEntry <= kLzwLastEntry) {
      entries[nextEntry++] = Entry{previous.offset, previous.length + 1};
    }
    previous = Entry{start, pos - start};
    havePrevious = true;
  }
  if (written != nullptr) *written = pos;
  return ok;
}
