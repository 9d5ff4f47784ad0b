// The LZW decoder on any block: a corrupted block is rejected without reading or writing
// out of bounds, and any data encoded and decoded again comes back unchanged.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "screen/assets/lzw.h"
#include "screen/testing/lzw_encode.h"

inline int lzwFuzzOne(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const uint8_t mode = input.take<uint8_t>();
  const size_t capacity = input.take<uint16_t>();
  const std::string_view rest = input.rest();
  const auto* bytes = reinterpret_cast<const uint8_t*>(rest.data());
  if (mode & 1) {
    // Round trip: the encoder's block must decode to the data exactly.
    const std::vector<uint8_t> packed = lzwEncode(bytes, rest.size());
    std::vector<uint8_t> out(rest.size() + 1);
    size_t written = 0;
    if (!lzwDecode(packed.data(), packed.size(), out.data(), out.size(), &written)) FUZZ_FAIL();
    if (written != rest.size() || (written > 0 && std::memcmp(out.data(), bytes, written) != 0))
      FUZZ_FAIL();
    return 0;
  }
  // Exact-size heap buffers, so any read or write past them is caught.
  auto packed = std::make_unique<uint8_t[]>(rest.size());
  if (!rest.empty()) std::memcpy(packed.get(), rest.data(), rest.size());
  auto out = std::make_unique<uint8_t[]>(capacity);
  size_t written = 0;
  const bool accepted = lzwDecode(packed.get(), rest.size(), out.get(), capacity, &written);
  if (written > capacity) FUZZ_FAIL();
  if (accepted) {
    // An accepted block is a valid block: encoding its output gives a block of the same data.
    const std::vector<uint8_t> again = lzwEncode(out.get(), written);
    std::vector<uint8_t> check(written + 1);
    size_t checkWritten = 0;
    if (!lzwDecode(again.data(), again.size(), check.data(), check.size(), &checkWritten) ||
        checkWritten != written ||
        (written > 0 && std::memcmp(check.data(), out.get(), written) != 0))
      FUZZ_FAIL();
  }
  return 0;
}
