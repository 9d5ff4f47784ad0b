// The LZW packer of the built-in block's format, for the tests and the fuzz targets: the
// program itself only decodes.
#include "screen/testing/lzw_encode.h"

#include <unordered_map>

#include "screen/assets/lzw.h"

std::vector<uint8_t> lzwEncode(const uint8_t* data, size_t size) {
  std::vector<unsigned> codes;
  if (size > 0) {
    std::unordered_map<uint32_t, unsigned> table;  // (prefix code << 8 | byte) -> code
    unsigned nextEntry = kLzwFirstEntry;
    unsigned current = data[0];
    for (size_t i = 1; i < size; ++i) {
      const uint32_t key = current << 8 | data[i];
      if (const auto found = table.find(key); found != table.end()) {
        current = found->second;
        continue;
      }
      codes.push_back(current);
      if (nextEntry <= kLzwLastEntry) table.emplace(key, nextEntry++);
      current = data[i];
    }
    codes.push_back(current);
  }
  codes.push_back(kLzwEndCode);

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
