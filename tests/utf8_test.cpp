// UTF-8: encoding every range of characters, and decoding one character with the rules for
// broken, truncated, overlong and out-of-range sequences.
#include "screen/backend/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST(Utf8, EncodesEachLengthAndReplacesNonCharacters) {
  struct Case {
    char32_t character;
    std::string utf8;
  };
  const Case cases[] = {
      {U'a', "a"},
      {0x00F1, "\xC3\xB1"},           // ñ
      {0x07FF, "\xDF\xBF"},           // the last two-byte character
      {0x2588, "\xE2\x96\x88"},       // full block
      {0xFFFF, "\xEF\xBF\xBF"},       // the last three-byte character
      {0x1F600, "\xF0\x9F\x98\x80"},  // an emoji
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0xD800, "\xEF\xBF\xBD"},    // a surrogate becomes U+FFFD
      {0x110000, "\xEF\xBF\xBD"},  // beyond Unicode becomes U+FFFD
  };
  for (const Case& c : cases) {
    std::string out = "x";
    appendUtf8(out, c.character);
    EXPECT_EQ(out, "x" + c.utf8) << std::hex << static_cast<uint32_t>(c.character);
  }
}

TEST(Utf8, DecodesOneCharacterAndConsumesABrokenSequenceOnce) {
  struct Case {
    std::string text;
    size_t position;
    bool valid;
    char32_t character;  // when valid
    size_t length;
  };
  const Case cases[] = {
      {"abc", 1, true, U'b', 1},
      {"a\xC3\xB1o", 1, true, 0x00F1, 2},
      {"\xE2\x96\x88", 0, true, 0x2588, 3},
      {"\xF0\x9F\x98\x80x", 0, true, 0x1F600, 4},
      {"\xC3", 0, false, 0, 1},              // truncated at the end
      {"\xE2\x96", 0, false, 0, 2},          // truncated three-byte sequence
      {"\xE2\x96z", 0, false, 0, 2},         // interrupted: the 'z' is not consumed
      {"\x80", 0, false, 0, 1},              // a stray continuation byte
      {"\xC0\xAF", 0, false, 0, 2},          // overlong slash
      {"\xE0\x80\xAF", 0, false, 0, 3},      // overlong slash, three bytes
      {"\xED\xA0\x80", 0, false, 0, 3},      // a surrogate
      {"\xF4\x90\x80\x80", 0, false, 0, 4},  // beyond U+10FFFF
      {"\xFF", 0, false, 0, 1},              // never starts a character
      {std::string("\0", 1), 0, true, 0, 1},
  };
  for (const Case& c : cases) {
    const Utf8Character got = decodeUtf8(c.text, c.position);
    EXPECT_EQ(got.valid, c.valid) << c.text;
    EXPECT_EQ(got.length, c.length) << c.text;
    if (c.valid) {
      EXPECT_EQ(got.character, c.character) << c.text;
    }
  }
}

TEST(Utf8, LeadLengthCountsOnlyWellFormedStarts) {
  struct Case {
    unsigned char first, last;
    size_t length;
  };
  const Case cases[] = {
      {0x00, 0x7F, 1},  // ASCII
      {0x80, 0xBF, 0},  // continuation bytes
      {0xC0, 0xC1, 0},  // could only start overlong forms
      {0xC2, 0xDF, 2}, {0xE0, 0xEF, 3},
      {0xF0, 0xF4, 4}, {0xF5, 0xFF, 0},  // would pass U+10FFFF or are no lead byte at all
  };
  for (const Case& c : cases)
    for (unsigned lead = c.first; lead <= c.last; ++lead)
      EXPECT_EQ(utf8LeadLength(static_cast<unsigned char>(lead)), c.length) << std::hex << lead;
}

TEST(Utf8, EveryCharacterSurvivesEncodingAndDecoding) {
  for (char32_t c = 0; c <= 0x10FFFF; c += (c < 0x3000 ? 1 : 0x101)) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string text;
    appendUtf8(text, c);
    const Utf8Character got = decodeUtf8(text, 0);
    ASSERT_TRUE(got.valid) << std::hex << static_cast<uint32_t>(c);
    ASSERT_EQ(got.character, c);
    ASSERT_EQ(got.length, text.size());
    ASSERT_EQ(utf8LeadLength(static_cast<unsigned char>(text[0])), text.size());
  }
}
}  // namespace
