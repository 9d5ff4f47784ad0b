// UTF-8 in one place: encoding a Unicode character and decoding one character of a text,
// with the rules for broken, overlong and out-of-range sequences.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Appends the UTF-8 form of a character (U+FFFD for values that are not characters).
void appendUtf8(std::string& out, char32_t character);

// One character read from a UTF-8 text.
struct Utf8Character {
  char32_t character = 0;
  size_t length = 1;  // bytes consumed: the whole character, or the broken part of it
  bool valid = false;
};
// How many bytes a well-formed character that starts with `lead` has: 1 for ASCII, 2 to 4 for
// a lead byte, 0 for a byte no well-formed character starts with (a continuation byte, 0xC0,
// 0xC1 and 0xF5 to 0xFF). A reader of a byte stream refuses those at once, so that they do not
// hold back the bytes after them.
size_t utf8LeadLength(unsigned char lead);

// Decodes the character that starts at `position` (which must be inside the text). A broken
// sequence consumes its lead byte and the continuation bytes that follow it, so a truncated
// character counts once; overlong forms, surrogates and values past U+10FFFF are not valid.
Utf8Character decodeUtf8(std::string_view text, size_t position);
