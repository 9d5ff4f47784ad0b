#include "screen/backend/key_translation.h"

#include <cctype>

#include "screen/backend/key_code.h"

namespace {
constexpr int32_t X(int scan) { return extendedKey(scan); }

struct Row {
  int32_t column[4];  // none, Shift, Ctrl, Alt; 0 where the key gives nothing
};

// The BIOS keyboard table, scan codes 0x00-0x58.
constexpr Row kBios[89] = {
    {{0, 0, 0, 0}},                          // 00
    {{27, 27, 27, X(0x01)}},                 // 01 Escape
    {{'1', '!', 0, X(0x78)}},                // 02
    {{'2', '@', X(0x03), X(0x79)}},          // 03
    {{'3', '#', 0, X(0x7A)}},                // 04
    {{'4', '$', 0, X(0x7B)}},                // 05
    {{'5', '%', 0, X(0x7C)}},                // 06
    {{'6', '^', 30, X(0x7D)}},               // 07
    {{'7', '&', 0, X(0x7E)}},                // 08
    {{'8', '*', 0, X(0x7F)}},                // 09
    {{'9', '(', 0, X(0x80)}},                // 0A
    {{'0', ')', 0, X(0x81)}},                // 0B
    {{'-', '_', 31, X(0x82)}},               // 0C
    {{'=', '+', 0, X(0x83)}},                // 0D
    {{8, 8, 127, X(0x0E)}},                  // 0E Backspace
    {{9, X(0x0F), X(0x94), X(0xA5)}},        // 0F Tab
    {{'q', 'Q', 17, X(0x10)}},               // 10
    {{'w', 'W', 23, X(0x11)}},               // 11
    {{'e', 'E', 5, X(0x12)}},                // 12
    {{'r', 'R', 18, X(0x13)}},               // 13
    {{'t', 'T', 20, X(0x14)}},               // 14
    {{'y', 'Y', 25, X(0x15)}},               // 15
    {{'u', 'U', 21, X(0x16)}},               // 16
    {{'i', 'I', 9, X(0x17)}},                // 17
    {{'o', 'O', 15, X(0x18)}},               // 18
    {{'p', 'P', 16, X(0x19)}},               // 19
    {{'[', '{', 27, X(0x1A)}},               // 1A
    {{']', '}', 29, X(0x1B)}},               // 1B
    {{13, 13, 10, X(0x1C)}},                 // 1C Enter
    {{0, 0, 0, 0}},                          // 1D Ctrl
    {{'a', 'A', 1, X(0x1E)}},                // 1E
    {{'s', 'S', 19, X(0x1F)}},               // 1F
    {{'d', 'D', 4, X(0x20)}},                // 20
    {{'f', 'F', 6, X(0x21)}},                // 21
    {{'g', 'G', 7, X(0x22)}},                // 22
    {{'h', 'H', 8, X(0x23)}},                // 23
    {{'j', 'J', 10, X(0x24)}},               // 24
    {{'k', 'K', 11, X(0x25)}},               // 25
    {{'l', 'L', 12, X(0x26)}},               // 26
    {{';', ':', 0, X(0x27)}},                // 27
    {{'\'', '"', 0, X(0x28)}},               // 28
    {{'`', '~', 0, X(0x29)}},                // 29
    {{0, 0, 0, 0}},                          // 2A left Shift
    {{'\\', '|', 28, X(0x2B)}},              // 2B
    {{'z', 'Z', 26, X(0x2C)}},               // 2C
    {{'x', 'X', 24, X(0x2D)}},               // 2D
    {{'c', 'C', 3, X(0x2E)}},                // 2E
    {{'v', 'V', 22, X(0x2F)}},               // 2F
    {{'b', 'B', 2, X(0x30)}},                // 30
    {{'n', 'N', 14, X(0x31)}},               // 31
    {{'m', 'M', 13, X(0x32)}},               // 32
    {{',', '<', 0, X(0x33)}},                // 33
    {{'.', '>', 0, X(0x34)}},                // 34
    {{'/', '?', 0, X(0x35)}},                // 35
    {{0, 0, 0, 0}},                          // 36 right Shift
    {{'*', '*', X(0x96), X(0x37)}},          // 37 keypad *
    {{0, 0, 0, 0}},                          // 38 Alt
    {{' ', ' ', ' ', ' '}},                  // 39 Space
    {{0, 0, 0, 0}},                          // 3A Caps Lock
    {{X(0x3B), X(0x54), X(0x5E), X(0x68)}},  // 3B F1
    {{X(0x3C), X(0x55), X(0x5F), X(0x69)}},  // 3C F2
    {{X(0x3D), X(0x56), X(0x60), X(0x6A)}},  // 3D F3
    {{X(0x3E), X(0x57), X(0x61), X(0x6B)}},  // 3E F4
    {{X(0x3F), X(0x58), X(0x62), X(0x6C)}},  // 3F F5
    {{X(0x40), X(0x59), X(0x63), X(0x6D)}},  // 40 F6
    {{X(0x41), X(0x5A), X(0x64), X(0x6E)}},  // 41 F7
    {{X(0x42), X(0x5B), X(0x65), X(0x6F)}},  // 42 F8
    {{X(0x43), X(0x5C), X(0x66), X(0x70)}},  // 43 F9
    {{X(0x44), X(0x5D), X(0x67), X(0x71)}},  // 44 F10
    {{0, 0, 0, 0}},                          // 45 Num Lock
    {{0, 0, 0, 0}},                          // 46 Scroll Lock
    {{X(0x47), '7', X(0x77), 0}},            // 47 keypad 7 / Home
    {{X(0x48), '8', X(0x8D), 0}},            // 48 keypad 8 / Up
    {{X(0x49), '9', X(0x84), 0}},            // 49 keypad 9 / Page Up
    {{'-', '-', X(0x8E), X(0x4A)}},          // 4A keypad -
    {{X(0x4B), '4', X(0x73), 0}},            // 4B keypad 4 / Left
    {{0, '5', X(0x8F), 0}},                  // 4C keypad 5: nothing without NumLock
    {{X(0x4D), '6', X(0x74), 0}},            // 4D keypad 6 / Right
    {{'+', '+', X(0x90), X(0x4E)}},          // 4E keypad +
    {{X(0x4F), '1', X(0x75), 0}},            // 4F keypad 1 / End
    {{X(0x50), '2', X(0x91), 0}},            // 50 keypad 2 / Down
    {{X(0x51), '3', X(0x76), 0}},            // 51 keypad 3 / Page Down
    {{X(0x52), '0', X(0x92), 0}},            // 52 keypad 0 / Insert
    {{X(0x53), '.', X(0x93), 0}},            // 53 keypad . / Delete
    {{0, 0, 0, 0}},                          // 54 SysRq
    {{0, 0, 0, 0}},                          // 55
    {{'\\', '|', 0, 0}},                     // 56 the extra key beside left Shift
    {{X(0x85), X(0x87), X(0x89), X(0x8B)}},  // 57 F11
    {{X(0x86), X(0x88), X(0x8A), X(0x8C)}},  // 58 F12
};

struct ExtendedRow {
  int scan;
  Row row;
};

// The grey keys and the keypad's Enter and slash.
constexpr ExtendedRow kExtended[12] = {
    {0x1C, {{13, 13, 10, X(0xA6)}}},
    {0x35, {{'/', '?', X(0x95), X(0xA4)}}},
    {0x47, {{X(0x47), X(0x47), X(0x77), X(0x97)}}},
    {0x48, {{X(0x48), X(0x48), X(0x8D), X(0x98)}}},
    {0x49, {{X(0x49), X(0x49), X(0x84), X(0x99)}}},
    {0x4B, {{X(0x4B), X(0x4B), X(0x73), X(0x9B)}}},
    {0x4D, {{X(0x4D), X(0x4D), X(0x74), X(0x9D)}}},
    {0x4F, {{X(0x4F), X(0x4F), X(0x75), X(0x9F)}}},
    {0x50, {{X(0x50), X(0x50), X(0x91), X(0xA0)}}},
    {0x51, {{X(0x51), X(0x51), X(0x76), X(0xA1)}}},
    {0x52, {{X(0x52), X(0x52), X(0x92), X(0xA2)}}},
    {0x53, {{X(0x53), X(0x53), X(0x93), X(0xA3)}}},
};

int modifierColumn(KeyModifiers m) { return m.alt ? 3 : m.ctrl ? 2 : m.shift ? 1 : 0; }

bool isCharacter(int32_t entry) { return entry > 0 && entry < 256; }
}  // namespace

int32_t biosTableEntry(int scanCode, int column) {
  if (scanCode < 0 || scanCode >= 89 || column < 0 || column > 3) return -1;
  return kBios[scanCode].column[column];
}

int32_t extendedTableEntry(int scanCode, int column) {
  if (column < 0 || column > 3) return -1;
  for (const ExtendedRow& r : kExtended)
    if (r.scan == scanCode) return r.row.column[column];
  return -1;
}

int32_t translateKeyDown(int scanCode, bool extended, KeyModifiers modifiers,
                         int reportedCharacter) {
  const int column = modifierColumn(modifiers);
  if (extended && reportedCharacter == kNoCharacter) {
    const int32_t entry = extendedTableEntry(scanCode, column);
    return entry >= 256 ? entry : 0;
  }
  const int32_t entry = biosTableEntry(scanCode, column);
  if (entry < 256) return 0;
  // Only when the system saw the key's own character (or no character for keys without
  // one): a layout that gives another character leaves it to the character event.
  const int32_t own = kBios[scanCode].column[0];
  bool same = false;
  if (!isCharacter(own)) {
    same = reportedCharacter == kNoCharacter;
  } else if (reportedCharacter != kNoCharacter) {
    same = std::tolower(reportedCharacter & 0xFF) == std::tolower(own);
  }
  return same ? entry : 0;
}

bool keyDownKeptFromSystem(int scanCode, bool extended, KeyModifiers modifiers) {
  if (scanCode == 0x38) return true;               // Alt, left or right
  if (scanCode == 0x44 && !extended) return true;  // F10
  return translateKeyDown(scanCode, extended, modifiers, kNoCharacter) == kKeyCloseRequest;
}
