#include "platform/win32/win32_keys.h"

#include <cctype>

#include "screen/backend/backend_port.h"
#include "screen/backend/cp437.h"
#include "screen/backend/key_translation.h"

namespace {
bool down(const BYTE* state, int vk) { return (state[vk] & 0x80) != 0; }

KeyModifiers modifiersOf(const BYTE* state) {
  KeyModifiers m;
  m.shift = down(state, VK_SHIFT);
  m.ctrl = down(state, VK_CONTROL);
  m.alt = down(state, VK_MENU);
  return m;
}

// The character the layout gives for the press, in code page 437, or kNoCharacter. Alt alone
// never changes a key's character, so it is taken out (Ctrl+Alt stays: it may be AltGr).
int reportedCharacter(WPARAM virtualKey, int scanCode, const BYTE* state) {
  BYTE copy[256];
  for (int i = 0; i < 256; ++i) copy[i] = state[i];
  if (!down(copy, VK_CONTROL)) copy[VK_MENU] = copy[VK_LMENU] = copy[VK_RMENU] = 0;
  WORD out[2] = {0, 0};
  const int n = ToAscii(static_cast<UINT>(virtualKey), static_cast<UINT>(scanCode), copy, out, 0);
  if (n != 1) return kNoCharacter;
  return ansiToCp437(static_cast<uint8_t>(out[0] & 0xFF));
}
}  // namespace

uint8_t ansiToCp437(uint8_t ansi) {
  if (ansi < 128) return ansi;
  const char byte = static_cast<char>(ansi);
  wchar_t wide = 0;
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) != 1) return '?';
  return unicodeToCp437(static_cast<char32_t>(wide));
}

KeyDownOutcome handleKeyDownMessage(WPARAM virtualKey, LPARAM lParam) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  const KeyModifiers mods = modifiersOf(state);
  const int scan = scanCodeOf(lParam);
  const bool extended = extendedOf(lParam);
  KeyDownOutcome outcome;
  if (mods.alt && scan == 0x1C && !extended) {
    outcome.keptFromSystem = true;
    outcome.switchRequested = true;
    return outcome;
  }
  outcome.keptFromSystem = keyDownKeptFromSystem(scan, extended, mods);
  const int32_t code =
      translateKeyDown(scan, extended, mods, reportedCharacter(virtualKey, scan, state));
  if (code >= 256)
    for (int i = repeatCountOf(lParam); i > 0; --i) queueKey(code);
  return outcome;
}

void handleCharMessage(WPARAM character, LPARAM lParam) {
  if (character == 0 || character > 255) return;
  const uint8_t code = ansiToCp437(static_cast<uint8_t>(character));
  for (int i = repeatCountOf(lParam); i > 0; --i) queueKey(code);
}
