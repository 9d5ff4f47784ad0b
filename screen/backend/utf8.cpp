#include "screen/backend/utf8.h"

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

size_t utf8LeadLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

Utf8Character decodeUtf8(std::string_view text, size_t position) {
  const auto b = static_cast<unsigned char>(text[position]);
  const int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  Utf8Character result;
  result.character = length == 1 ? b : b & (0x7F >> length);
  result.valid = length != 0;
  for (int k = 1; k < length; ++k, ++result.length) {
    if (position + result.length >= text.size()) {
      result.valid = false;
      break;
    }
    const auto next = static_cast<unsigned char>(text[position + result.length]);
    if ((next & 0xC0) != 0x80) {
      result.valid = false;
      break;
    }
    result.character = (result.character << 6) | (next & 0x3F);
  }
  constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  const char32_t c = result.character;
  if (result.valid && (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))
    result.valid = false;
  return result;
}
