// The built-in fonts and palettes: unpacks the committed LZW block once, on first use,
// into a static buffer that lives for the whole process.
#include "screen/assets/builtin_assets.h"

#include <algorithm>
#include <iterator>

#include "screen/assets/lzw.h"

namespace {

constexpr size_t kFont8x8Size = 256 * 8;
constexpr size_t kFont8x14Size = 256 * 14;
constexpr size_t kFont8x16Size = 256 * 16;
constexpr size_t kPalette2Size = 2 * 3;
constexpr size_t kPalette16Size = 16 * 3;
constexpr size_t kPalette64Size = 64 * 3;
constexpr size_t kPalette256Size = 256 * 3;
static_assert(kFont8x8Size + kFont8x14Size + kFont8x16Size + kPalette2Size + kPalette16Size +
                  kPalette64Size + kPalette256Size ==
              kBuiltinUnpackedSize);

uint8_t unpacked[kBuiltinUnpackedSize];

BuiltinAssets unpack() {
  size_t written = 0;
  const bool ok = lzwDecode(kBuiltinBlock, kBuiltinBlockSize, unpacked, sizeof unpacked, &written);
  // A damaged block leaves blank glyphs and black palettes rather than half-decoded data.
  if (!ok || written != kBuiltinUnpackedSize)
    std::fill(std::begin(unpacked), std::end(unpacked), 0);

  const uint8_t* next = unpacked;
  auto take = [&next](size_t size) {
    const uint8_t* part = next;
    next += size;
    return part;
  };
  BuiltinAssets assets{};
  assets.font8x8 = take(kFont8x8Size);
  assets.font8x14 = take(kFont8x14Size);
  assets.font8x16 = take(kFont8x16Size);
  assets.palette2 = take(kPalette2Size);
  assets.palette16 = take(kPalette16Size);
  assets.palette64 = take(kPalette64Size);
  assets.palette256 = take(kPalette256Size);
  return assets;
}

}  // namespace

const BuiltinAssets& builtinAssets() {
  static const BuiltinAssets assets = unpack();  // thread-safe one-time initialisation
  return assets;
}
