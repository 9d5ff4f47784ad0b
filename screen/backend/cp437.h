// Conversions between code page 437 and Unicode: typed text to the screen's character set
// ("?" for a character with no equivalent) and screen cells back to Unicode.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

char32_t cp437ToUnicode(uint8_t code);
// The code page 437 byte of a Unicode character, or '?' when it has none.
uint8_t unicodeToCp437(char32_t character);
// Converts UTF-8 text; invalid sequences become '?'. Characters above 255 in code page 437
// terms are never produced: every result byte is a valid code page 437 code.
std::string utf8ToCp437(std::string_view utf8);
// Converts text in the Windows ANSI code page 1252 to code page 437.
std::string ansi1252ToCp437(std::string_view ansi);
std::string cp437ToUtf8(std::string_view cp437);
