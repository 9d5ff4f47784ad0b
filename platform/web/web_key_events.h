// One browser key press, as the page hands it over through memory, and its translation into
// the screen's key codes: key-downs through the shared BIOS tables, characters through code
// page 437, and the control characters a PC keyboard driver delivers.
#pragma once
#include <cstdint>
#include <functional>

// The layout the page writes (32 bytes); keep it in step with the page's script.
struct WebKeyEvent {
  int32_t character;  // the press's character (KeyboardEvent.key when it is one), else 0
  uint32_t flags;     // kWebShift | kWebCtrl | kWebAlt | kWebAltGraph
  char keyName[24];   // KeyboardEvent.code, NUL-terminated
};
static_assert(sizeof(WebKeyEvent) == 32);

inline constexpr uint32_t kWebShift = 1;
inline constexpr uint32_t kWebCtrl = 2;
inline constexpr uint32_t kWebAlt = 4;
inline constexpr uint32_t kWebAltGraph = 8;

using WebKeySink = std::function<void(int32_t code)>;

// Queues, in order, the codes one key press gives: its extended code, if any, then its
// character or control character.
void translateWebKey(const WebKeyEvent& event, const WebKeySink& sink);
