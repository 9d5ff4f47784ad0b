// Key codes and key texts. Codes 1 to 255 are code page 437 characters; an extended key is
// its scan code in the high byte with 0xFF in the low one. A key text is a code as a string.
#pragma once
#include <cstdint>
#include <string>

inline constexpr int32_t extendedKey(int scanCode) { return (scanCode << 8) | 0xFF; }
// True for the code of an extended key (a scan code rather than a character).
inline constexpr bool isExtendedKey(int32_t code) {
  return code >= 0x100 && code <= 0xFFFF && (code & 0xFF) == 0xFF;
}
inline constexpr int scanCodeOf(int32_t code) { return (code >> 8) & 0xFF; }

// The window's close request arrives as this key; it does not end the program.
inline constexpr int32_t kKeyCloseRequest = extendedKey(0x6B);
// The extended keys the line editor acts on.
inline constexpr int32_t kKeyHome = extendedKey(0x47), kKeyUp = extendedKey(0x48),
                         kKeyLeft = extendedKey(0x4B), kKeyRight = extendedKey(0x4D),
                         kKeyEnd = extendedKey(0x4F), kKeyDown = extendedKey(0x50),
                         kKeyDelete = extendedKey(0x53);

// The key text of a code: "" for 0, one byte below 256, else 255 and the scan code.
std::string keyTextOfCode(int32_t code);
// Converts a key text back to its code: one byte gives the byte, 255 + scan code the
// extended code, "" gives 0.
int32_t keyCodeOfText(const std::string& keyText);
