// LZW decoding of the built-in block and the matching encoder, in the 12-bit format
// described in lzw.h.
#include "screen/assets/lzw.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr unsigned kFirstEntry = 256;
constexpr unsigned kLastEntry = 4094;
constexpr unsigned kEndCode = 4095;

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
  std::vector<Entry> entries(kEndCode);
  unsigned nextEntry = kFirstEntry;
  bool havePrevious = false;
  Entry previous{0, 0};
  size_t pos = 0;
  bool ok = false;

  for (size_t index = 0;; ++index) {
    unsigned code = 0;
    if (!readCode(packed, size, index, &code)) break;
    if (code == kEndCode) {
      ok = endsBlock(packed, size, index);
      break;
    }
    const size_t start = pos;
    if (code < kFirstEntry) {
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
    if (havePrevious && nextEntry <= kLastEntry) {
      entries[nextEntry++] = Entry{previous.offset, previous.length + 1};
    }
    previous = Entry{start, pos - start};
    havePrevious = true;
  }
  if (written != nullptr) *written = pos;
  return ok;
}

std::vector<uint8_t> lzwEncode(const uint8_t* data, size_t size) {
  std::vector<unsigned> codes;
  if (size > 0) {
    std::unordered_map<uint32_t, unsigned> table;  // (prefix code << 8 | byte) -> code
    unsigned nextEntry = kFirstEntry;
    unsigned current = data[0];
    for (size_t i = 1; i < size; ++i) {
      const uint32_t key = current << 8 | data[i];
      if (const auto found = table.find(key); found != table.end()) {
        current = found->second;
        continue;
      }
      codes.push_back(current);
      if (nextEntry <= kLastEntry) table.emplace(key, nextEntry++);
      current = data[i];
    }
    codes.push_back(current);
  }
  codes.push_back(kEndCode);

  std::vector<uint8_t> packed;
  packed.reserve(codes.size() * 3 / 2 + 2);
  for (size_t i = 0; i < codes.size(); i += 2) {
    const unsigned first = codes[i];
    const unsigned second = i + 1 < codes.size() ? codes[i + 1] : 0;
    packed.push_back(static_cast<uint8_t>(first & 0xFF));
    packed.push_back(static_cast<uint8_t>(first >> 8 | (second & 0x0F) << 4));
    if (i + 1 < codes.size()) packed.push_back(static_cast<uint8_t>(second >> 4));
  }
  return packed;
}
