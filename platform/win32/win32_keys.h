// Keyboard messages of the Windows back ends turned into the screen's key codes through the
// shared translation tables: key-downs by scan code, characters from the ANSI code page.
#pragma once
#include <windows.h>

#include <cstdint>

struct KeyDownOutcome {
  bool keptFromSystem = false;   // do not pass the message to DefWindowProc
  bool switchRequested = false;  // Alt+Enter: switch between window and full screen
};

// WM_KEYDOWN / WM_SYSKEYDOWN: queues the extended code once per reported repeat. Modifiers and
// the reported character come from the thread's keyboard state at this message.
KeyDownOutcome handleKeyDownMessage(WPARAM virtualKey, LPARAM lParam);
// WM_CHAR: queues the character, converted from the ANSI code page to code page 437, once
// per reported repeat.
void handleCharMessage(WPARAM character, LPARAM lParam);

// The code page 437 byte for a byte of the ANSI code page ('?' when it has none).
uint8_t ansiToCp437(uint8_t ansi);
// The repeat count, scan code and extended flag packed in a key message's lParam.
inline int repeatCountOf(LPARAM lParam) {
  const int count = static_cast<int>(lParam & 0xFFFF);
  return count > 0 ? count : 1;
}
inline int scanCodeOf(LPARAM lParam) { return static_cast<int>((lParam >> 16) & 0xFF); }
inline bool extendedOf(LPARAM lParam) { return (lParam & (1L << 24)) != 0; }
