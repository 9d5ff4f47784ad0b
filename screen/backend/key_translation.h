// Translation of key presses into key codes, shared by every back end: the 12-row table of
// the grey extended keys and the 89-row BIOS table (scan codes 0x00-0x58).
#pragma once
#include <cstdint>

struct KeyModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;  // Alt takes precedence over Ctrl, which takes precedence over Shift
};

inline constexpr int kNoCharacter = -1;

// The code a key-down event queues, or 0 when it queues nothing (its character event does).
// scanCode: PC set-1 scan code; extended: the system's extended flag (grey keys, keypad
// Enter and slash); reportedCharacter: the character the system reports for the press, in
// code page 437 (0..255), or kNoCharacter.
int32_t translateKeyDown(int scanCode, bool extended, KeyModifiers modifiers,
                         int reportedCharacter);

// Whether a key-down is kept from the platform's default handling: F10, Alt itself, and a
// key-down whose code is the close request (Alt+F4).
bool keyDownKeptFromSystem(int scanCode, bool extended, KeyModifiers modifiers);

// The raw table entries, for tests and back ends: the column is 0 none, 1 Shift, 2 Ctrl,
// 3 Alt. Returns -1 when there is no row for the scan code.
int32_t biosTableEntry(int scanCode, int column);
int32_t extendedTableEntry(int scanCode, int column);
