// Packs bytes in the built-in block's LZW format (see screen/assets/lzw.h); the tests and
// the fuzz targets check the decoder against it. Not part of the program.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<uint8_t> lzwEncode(const uint8_t* data, size_t size);
