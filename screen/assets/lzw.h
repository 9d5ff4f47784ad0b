// The LZW format of the built-in block: 12-bit codes, two per three bytes, entries
// 256..4094 added in turn and frozen after 4094, no reset code, 4095 ends the data.
//
// Packing: bytes b0 b1 b2 hold codes c0 = b0 | (b1 & 0x0F) << 8 and c1 = b1 >> 4 | b2 << 4,
// that is the 24-bit little-endian group with c0 in bits 0-11 and c1 in bits 12-23. When
// the end code falls first in a group, the group is cut to its two bytes b0 b1 and the high
// four bits of b1 are zero. Nothing follows the group that holds the end code.
// Codes 0..255 are single bytes; each code after the first adds the entry "previous string
// plus the first byte of this one"; a code equal to the next entry number (not defined yet)
// stands for the previous string plus its own first byte. A block holding only the end code
// is empty data.
#pragma once
#include <cstddef>
#include <cstdint>

// The first added entry, the last one, and the end code.
inline constexpr unsigned kLzwFirstEntry = 256;
inline constexpr unsigned kLzwLastEntry = 4094;
inline constexpr unsigned kLzwEndCode = 4095;

// Decodes `packed` into `out` (at most `capacity` bytes). Returns false for a corrupted
// block: a first code above 255, a code beyond the next entry, output past capacity,
// data that ends without the end code, bytes after the end code or a non-zero padding.
// Never reads or writes out of bounds; `*written` is the number of bytes produced.
bool lzwDecode(const uint8_t* packed, size_t size, uint8_t* out, size_t capacity, size_t* written);

