// Code page 437 conversions: the table both ways, UTF-8 decoding of broken input, and the
// Windows-1252 code page.
#include <gtest/gtest.h>

#include <string>

#include "screen/backend/cp437.h"

namespace {
TEST(Cp437, SampleOfTheTable) {
  struct Case {
    uint8_t code;
    char32_t unicode;
  };
  const Case cases[] = {
      {0x01, 0x263A}, {0x07, 0x2022}, {0x0D, 0x266A}, {0x1F, 0x25BC}, {0x20, 0x20},
      {0x41, 0x41},   {0x7E, 0x7E},   {0x7F, 0x2302}, {0x80, 0x00C7}, {0x81, 0x00FC},
      {0x9E, 0x20A7}, {0xA4, 0x00F1}, {0xA5, 0x00D1}, {0xA8, 0x00BF}, {0xAD, 0x00A1},
      {0xB0, 0x2591}, {0xC4, 0x2500}, {0xDB, 0x2588}, {0xE1, 0x00DF}, {0xE3, 0x03C0},
      {0xF8, 0x00B0}, {0xFD, 0x00B2}, {0xFE, 0x25A0}, {0xFF, 0x00A0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cp437ToUnicode(c.code), c.unicode) << int{c.code};
    EXPECT_EQ(unicodeToCp437(c.unicode), c.code) << int{c.code};
  }
}

TEST(Cp437, EveryCodeRoundTrips) {
  for (int code = 1; code < 256; ++code)
    EXPECT_EQ(unicodeToCp437(cp437ToUnicode(static_cast<uint8_t>(code))), code) << code;
}

TEST(Cp437, CharactersWithoutAnEquivalentBecomeQuestionMarks) {
  const char32_t missing[] = {0x20AC, 0x0152, 0x00C0, 0x4E2D, 0x1F600, 0x00FE, 0xFFFD};
  for (char32_t c : missing)
    EXPECT_EQ(unicodeToCp437(c), '?') << std::hex << static_cast<uint32_t>(c);
  // Typed control characters stay what they are.
  EXPECT_EQ(unicodeToCp437(13), 13);
  EXPECT_EQ(unicodeToCp437(8), 8);
}

TEST(Cp437, Utf8Text) {
  struct Case {
    std::string utf8;
    std::string cp437;
  };
  const Case cases[] = {
      {"abc 12.5", "abc 12.5"},
      {"a\xC3\xB1o", "a\xA4o"},               // año
      {"\xC2\xBF\xC3\x91?", "\xA8\xA5?"},     // ¿Ñ?
      {"\xE2\x96\x88\xE2\x82\xAC", "\xDB?"},  // full block, euro sign
      {"\xF0\x9F\x98\x80x", "?x"},            // an emoji is one character
      {"\xC3", "?"},                          // truncated at the end
      {"\xE2\x96", "?"},                      // truncated three-byte sequence
      {"\xE2\x96z", "?z"},                    // interrupted sequence
      {"\x80\xBF", "??"},                     // stray continuation bytes
      {"\xC0\xAF", "?"},                      // overlong slash
      {"\xE0\x80\xAF", "?"},                  // overlong slash, three bytes
      {"\xED\xA0\x80", "?"},                  // a surrogate
      {"\xF4\x90\x80\x80", "?"},              // beyond U+10FFFF
      {"\xFF\xFEz", "??z"},                   // bytes that never start a character
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8ToCp437(c.utf8), c.cp437) << c.utf8;
}

TEST(Cp437, Windows1252Text) {
  EXPECT_EQ(ansi1252ToCp437("Caf\xE9 12"), "Caf\x82 12");
  EXPECT_EQ(ansi1252ToCp437("\xF1\xD1\xBF\xA1\xB0"), "\xA4\xA5\xA8\xAD\xF8");
  // 0x83 is the florin sign, which both code pages have; 0x80 (euro) and the holes do not.
  EXPECT_EQ(ansi1252ToCp437("\x83\x80\x81\x8D"), "\x9F???");
  EXPECT_EQ(ansi1252ToCp437("\xC0\xFE"), "??");
}

TEST(Cp437, BackToUtf8) {
  EXPECT_EQ(cp437ToUtf8("a\xA4o"), "a\xC3\xB1o");
  EXPECT_EQ(cp437ToUtf8("\xDB\x01"), "\xE2\x96\x88\xE2\x98\xBA");
  for (int code = 1; code < 256; ++code) {
    const std::string one(1, static_cast<char>(code));
    EXPECT_EQ(utf8ToCp437(cp437ToUtf8(one)), one) << code;
  }
}
}  // namespace
