#include "screen/cp437.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {
// Unicode of code page 437 codes 0x00-0x1F (the graphic characters), 0x7F and 0x80-0xFF.
constexpr char32_t kLow[32] = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
constexpr char32_t kHigh[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562,
    0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393,
    0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6,
    0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0,
    0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};
// Windows-1252 0x80-0x9F (0 where the code page leaves a hole).
constexpr char32_t k1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Unicode -> code page 437, sorted for lookup; control characters map to themselves.
const std::array<std::pair<char32_t, uint8_t>, 160>& reverseTable() {
  static const auto table = [] {
    std::array<std::pair<char32_t, uint8_t>, 160> t{};
    size_t n = 0;
    for (int c = 1; c < 32; ++c) t[n++] = {kLow[c], static_cast<uint8_t>(c)};
    t[n++] = {0x2302, 0x7F};
    for (int c = 0; c < 128; ++c) t[n++] = {kHigh[c], static_cast<uint8_t>(0x80 + c)};
    std::sort(t.begin(), t.begin() + static_cast<long>(n));
    return t;
  }();
  return table;
}
}  // namespace

char32_t cp437ToUnicode(uint8_t code) {
  if (code < 32) return kLow[code];
  if (code == 0x7F) return 0x2302;
  if (code >= 0x80) return kHigh[code - 0x80];
  return code;
}

uint8_t unicodeToCp437(char32_t character) {
  if (character < 0x80) return static_cast<uint8_t>(character);
  const auto& table = reverseTable();
  const auto end = table.end();
  const auto it = std::lower_bound(table.begin(), end, std::make_pair(character, uint8_t{0}));
  return it != end && it->first == character ? it->second : static_cast<uint8_t>('?');
}

std::string utf8ToCp437(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    // A broken sequence gives one '?' for its lead byte and the continuation bytes that
    // follow it, so a truncated character does not turn into several marks.
    char32_t c = length == 1 ? b : b & (0x7F >> length);
    size_t taken = 1;
    bool valid = length != 0;
    for (int k = 1; k < length; ++k, ++taken) {
      if (i + taken >= utf8.size()) {
        valid = false;
        break;
      }
      const auto next = static_cast<unsigned char>(utf8[i + taken]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (!valid || c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += '?';
      i += length == 0 ? 1 : taken;
      continue;
    }
    out += static_cast<char>(unicodeToCp437(c));
    i += taken;
  }
  return out;
}

std::string ansi1252ToCp437(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t c = b;
    if (b >= 0x80 && b < 0xA0) c = k1252[b - 0x80] ? k1252[b - 0x80] : U'?';
    out += static_cast<char>(unicodeToCp437(c));
  }
  return out;
}

std::string cp437ToUtf8(std::string_view cp437) {
  std::string out;
  for (char ch : cp437) {
    const char32_t c = cp437ToUnicode(static_cast<uint8_t>(ch));
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
