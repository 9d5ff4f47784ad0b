// Tests of the 12-bit LZW format: the committed block, round trips past the dictionary
// freeze, hand-packed code sequences and corrupted blocks.
#include "screen/assets/lzw.h"
#include "screen/testing/lzw_encode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "screen/assets/builtin_assets.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr unsigned kEnd = 4095;
constexpr unsigned kEntrySlots = 4094 - 256 + 1;

// Packs codes two per three bytes (first code in the low 12 bits), an odd last code in two.
Bytes packCodes(const std::vector<unsigned>& codes) {
  Bytes out;
  for (size_t i = 0; i < codes.size(); i += 2) {
    const unsigned a = codes[i];
    out.push_back(static_cast<uint8_t>(a & 0xFF));
    if (i + 1 == codes.size()) {
      out.push_back(static_cast<uint8_t>(a >> 8));
    } else {
      const unsigned b = codes[i + 1];
      out.push_back(static_cast<uint8_t>(a >> 8 | (b & 0x0F) << 4));
      out.push_back(static_cast<uint8_t>(b >> 4));
    }
  }
  return out;
}

std::vector<unsigned> unpackCodes(const Bytes& packed) {
  std::vector<unsigned> codes;
  for (size_t i = 0; i + 1 < packed.size(); i += 3) {
    codes.push_back(packed[i] | (packed[i + 1] & 0x0Fu) << 8);
    if (i + 2 < packed.size()) codes.push_back(packed[i + 1] >> 4 | packed[i + 2] << 4);
  }
  return codes;
}

struct Decoded {
  bool ok;
  Bytes data;
};

Decoded decode(const Bytes& packed, size_t capacity = 1 << 20) {
  Bytes out(capacity);
  size_t written = 0;
  const bool ok = lzwDecode(packed.data(), packed.size(), out.data(), capacity, &written);
  EXPECT_LE(written, capacity);
  out.resize(written);
  return {ok, out};
}

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes committedBlock() { return Bytes(kBuiltinBlock, kBuiltinBlock + kBuiltinBlockSize); }

TEST(LzwTest, CommittedBlockUnpacksToTheFullAssetsAndRepacksIdentically) {
  const Decoded decoded = decode(committedBlock());
  ASSERT_TRUE(decoded.ok);
  ASSERT_EQ(decoded.data.size(), kBuiltinUnpackedSize);
  // The generator and lzwEncode are the same packer.
  EXPECT_EQ(lzwEncode(decoded.data.data(), decoded.data.size()), committedBlock());
}

TEST(LzwTest, CodesSitLowNibbleFirstInTheirGroups) {
  // "ABABABA" is A, B, AB, then ABA as the entry not yet defined (258), then the end code.
  const Bytes packed = {0x41, 0x20, 0x04, 0x00, 0x21, 0x10, 0xFF, 0x0F};
  EXPECT_EQ(unpackCodes(packed), (std::vector<unsigned>{65, 66, 256, 258, kEnd}));
  const Decoded decoded = decode(packed);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.data, bytesOf("ABABABA"));
  EXPECT_EQ(lzwEncode(decoded.data.data(), decoded.data.size()), packed);
}

TEST(LzwTest, CodeNotYetDefinedRepeatsThePreviousStringPlusItsFirstByte) {
  // x, then 256 = "xx" before it exists, then 257 = "xxx" before it exists.
  const Decoded decoded = decode(packCodes({'x', 256, 257, kEnd}));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.data, bytesOf("xxxxxx"));
}

Bytes randomBytes(size_t size, unsigned alphabet, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<unsigned> pick(0, alphabet - 1);
  Bytes out(size);
  for (auto& b : out) b = static_cast<uint8_t>(pick(random));
  return out;
}

struct RoundTrip {
  const char* name;
  Bytes data;
  bool passesFreeze;  // enough codes that entries 256..4094 are all used up
};

std::vector<RoundTrip> roundTrips() {
  Bytes allBytes(256);
  for (unsigned i = 0; i < 256; ++i) allBytes[i] = static_cast<uint8_t>(i);
  Bytes frozenThenNew = randomBytes(12000, 256, 7);
  const Bytes tail = randomBytes(6000, 3, 8);  // strings the frozen table never saw
  frozenThenNew.insert(frozenThenNew.end(), tail.begin(), tail.end());
  return {
      {"empty", {}, false},
      {"one byte", {0xFF}, false},
      {"two bytes", {0, 0}, false},
      {"every byte value", allBytes, false},
      {"one long run", Bytes(100000, 0xAA), false},
      {"random bytes", randomBytes(20000, 256, 1), true},
      {"small alphabet", randomBytes(60000, 4, 2), true},
      {"new strings after the freeze", frozenThenNew, true},
  };
}

TEST(LzwTest, RoundTripsAndFreezesTheDictionaryAfter4094) {
  for (const RoundTrip& c : roundTrips()) {
    SCOPED_TRACE(c.name);
    const Bytes packed = lzwEncode(c.data.data(), c.data.size());
    const std::vector<unsigned> codes = unpackCodes(packed);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), kEnd);
    for (size_t i = 0; i + 1 < codes.size(); ++i) ASSERT_LT(codes[i], kEnd) << "code " << i;
    if (c.passesFreeze) {
      EXPECT_GT(codes.size(), kEntrySlots + 2);
    }
    const Decoded decoded = decode(packed, c.data.size());
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.data, c.data);
  }
}

TEST(LzwTest, LastEntryIs4094AndNothingIsAddedAfterIt) {
  // Codes 1, 2, 3, ... define entry 256 + k as the bytes k+1, k+2 (mod 256) until the
  // table is full; then 4094 and 256 must still mean what they meant.
  std::vector<unsigned> codes;
  Bytes expected;
  for (unsigned k = 0; k < kEntrySlots; ++k) {
    codes.push_back((k + 1) % 256);
    expected.push_back(static_cast<uint8_t>((k + 1) % 256));
  }
  // The previous code is a single byte, so the entry not yet defined (4094) is that byte
  // twice; it is the last entry, and defining it fills the table.
  const uint8_t last = expected.back();
  codes.push_back(4094);
  expected.insert(expected.end(), {last, last});
  codes.push_back(4094);  // frozen: still the same two bytes
  expected.insert(expected.end(), {last, last});
  codes.push_back(256);
  expected.insert(expected.end(), {1, 2});
  codes.push_back(kEnd);

  const Decoded decoded = decode(packCodes(codes));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.data, expected);
}

Bytes withoutLast(Bytes b, size_t n) {
  b.resize(b.size() - n);
  return b;
}

Bytes withExtraByte(Bytes b) {
  b.push_back(0);
  return b;
}

Bytes withPaddingBitSet(Bytes b) {
  b.back() |= 0x10;
  return b;
}

struct Corrupted {
  const char* name;
  Bytes packed;
};

TEST(LzwTest, RejectsCorruptedBlocks) {
  const Bytes block = committedBlock();
  const Corrupted cases[] = {
      {"no bytes", {}},
      {"one byte", {0x41}},
      {"truncated by one byte", withoutLast(block, 1)},
      {"truncated by two bytes", withoutLast(block, 2)},
      {"truncated to half", withoutLast(block, block.size() / 2)},
      {"first code is an entry", packCodes({256, kEnd})},
      {"first code far beyond the table", packCodes({1000, 'a', kEnd})},
      {"code beyond the next entry", packCodes({'a', 'b', 258, kEnd})},
      {"missing end code, even count", packCodes({'a', 'b'})},
      {"missing end code, odd count", packCodes({'a', 'b', 'c'})},
      {"byte after the end code", withExtraByte(packCodes({'a', 'b', kEnd}))},
      {"code after the end code", packCodes({'a', kEnd, 'b'})},
      {"padding bits set after the end code", withPaddingBitSet(packCodes({'a', 'b', kEnd}))},
  };
  for (const Corrupted& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(decode(c.packed).ok);
  }
}

TEST(LzwTest, RejectsOutputBeyondCapacity) {
  EXPECT_FALSE(decode(committedBlock(), kBuiltinUnpackedSize - 1).ok);
  EXPECT_FALSE(decode(packCodes({'x', 256, kEnd}), 2).ok);  // the entry needs a third byte
  EXPECT_TRUE(decode(packCodes({'x', 256, kEnd}), 3).ok);
}

TEST(LzwTest, DamagedBytesNeverReachOutsideTheBuffers) {
  // Under the sanitizers every damaged block is checked for stray reads and writes, and
  // decode() checks the reported size; none may come back as the original data.
  const Bytes block = committedBlock();
  const Decoded original = decode(block, kBuiltinUnpackedSize);
  std::mt19937 random(3);
  for (size_t pos = 0; pos < block.size(); pos += 7) {
    Bytes damaged = block;
    damaged[pos] ^= static_cast<uint8_t>(1 + random() % 255);
    const Decoded decoded = decode(damaged, kBuiltinUnpackedSize);
    EXPECT_FALSE(decoded.ok && decoded.data == original.data) << "byte " << pos;
  }
}

}  // namespace
