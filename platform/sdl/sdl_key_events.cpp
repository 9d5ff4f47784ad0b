#include "platform/sdl/sdl_key_events.h"

#include "platform/sdl/sdl_scancodes.h"
#include "screen/backend/cp437.h"
#include "screen/backend/key_translation.h"

namespace {
KeyModifiers modifiersOf(uint16_t modState) {
  KeyModifiers m;
  m.shift = (modState & KMOD_SHIFT) != 0;
  m.ctrl = (modState & KMOD_CTRL) != 0;
  m.alt = (modState & KMOD_ALT) != 0;
  return m;
}

int keypadCharacter(SDL_Scancode scancode, uint16_t modState) {
  const bool numLock = (modState & KMOD_NUM) != 0;
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return numLock ? '1' + (scancode - SDL_SCANCODE_KP_1) : kNoCharacter;
  switch (scancode) {
    case SDL_SCANCODE_KP_0: return numLock ? '0' : kNoCharacter;
    case SDL_SCANCODE_KP_PERIOD: return numLock ? '.' : kNoCharacter;
    case SDL_SCANCODE_KP_DIVIDE: return '/';
    case SDL_SCANCODE_KP_MULTIPLY: return '*';
    case SDL_SCANCODE_KP_MINUS: return '-';
    case SDL_SCANCODE_KP_PLUS: return '+';
    case SDL_SCANCODE_KP_ENTER: return 13;
    default: return -2;  // not a keypad key
  }
}

// The character the press stands for, as a PC keyboard driver reports it: the layout's
// character, a control code with Ctrl, nothing for keys without a character.
int reportedCharacter(const SDL_Keysym& keysym, const KeyModifiers& mods, uint16_t modState) {
  const int keypad = keypadCharacter(keysym.scancode, modState);
  if (keypad != -2) return keypad;
  const SDL_Keycode sym = keysym.sym;
  // SDL names Delete by the character 127; a PC keyboard driver reports none for it.
  if (sym <= 0 || sym == SDLK_DELETE || (sym & SDLK_SCANCODE_MASK) != 0) return kNoCharacter;
  if (mods.ctrl && !mods.alt && sym >= 'a' && sym <= 'z') return sym & 0x1F;
  if (sym < 128) return sym;
  return unicodeToCp437(static_cast<char32_t>(sym));
}

// What a PC keyboard driver delivers as a character for keys SDL gives no text for.
int controlCharacter(const SDL_Keysym& keysym, const KeyModifiers& mods) {
  if (mods.alt) return 0;
  switch (keysym.scancode) {
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return mods.ctrl ? 10 : 13;
    case SDL_SCANCODE_BACKSPACE: return mods.ctrl ? 127 : 8;
    case SDL_SCANCODE_TAB: return mods.ctrl ? 0 : 9;
    case SDL_SCANCODE_ESCAPE: return 27;
    default: break;
  }
  const SDL_Keycode sym = keysym.sym;
  if (mods.ctrl && sym >= 'a' && sym <= 'z') return sym & 0x1F;
  return 0;
}
}  // namespace

bool translateSdlKeyDown(const SDL_KeyboardEvent& key, uint16_t modState, const KeySink& sink) {
  const KeyModifiers mods = modifiersOf(modState);
  if (mods.alt && key.keysym.scancode == SDL_SCANCODE_RETURN) return true;
  const PcScanCode pc = pcScanCode(key.keysym.scancode);
  if (pc.code != 0) {
    const int32_t code =
        translateKeyDown(pc.code, pc.extended, mods, reportedCharacter(key.keysym, mods, modState));
    if (code >= 256) sink(code);
  }
  if (const int c = controlCharacter(key.keysym, mods)) sink(c);
  return false;
}

void translateSdlText(const char* utf8, uint16_t modState, const KeySink& sink) {
  if ((modState & KMOD_LALT) && !(modState & KMOD_CTRL)) return;
  for (const char byte : utf8ToCp437(utf8)) {
    const auto code = static_cast<unsigned char>(byte);
    if (code != 0) sink(code);
  }
}

void fillKeyState(const uint8_t* sdlState, int count, std::array<uint8_t, 128>& keyState) {
  keyState.fill(0);
  for (int sc = 0; sc < count; ++sc) {
    if (!sdlState[sc]) continue;
    const PcScanCode pc = pcScanCode(sc);
    if (pc.code > 0 && pc.code < 128) keyState[static_cast<size_t>(pc.code)] = 1;
  }
}
