#include "platform/web/web_key_events.h"

#include <string_view>

#include "platform/web/web_key_names.h"
#include "screen/backend/cp437.h"
#include "screen/backend/key_translation.h"

namespace {
KeyModifiers modifiersOf(uint32_t flags) {
  KeyModifiers m;
  m.shift = (flags & kWebShift) != 0;
  m.ctrl = (flags & kWebCtrl) != 0;
  m.alt = (flags & kWebAlt) != 0;
  return m;
}

std::string_view keyNameOf(const WebKeyEvent& event) {
  size_t n = 0;
  while (n < sizeof event.keyName && event.keyName[n] != '\0') ++n;
  return std::string_view(event.keyName, n);
}

bool isLetter(int32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The control character a PC keyboard driver delivers for the press, or 0.
int controlCharacter(std::string_view name, int32_t character, const KeyModifiers& mods) {
  if (mods.alt) return 0;
  if (name == "Enter" || name == "NumpadEnter") return mods.ctrl ? 10 : 13;
  if (name == "Backspace") return mods.ctrl ? 127 : 8;
  if (name == "Tab") return mods.ctrl ? 0 : 9;
  if (name == "Escape") return 27;
  if (mods.ctrl && isLetter(character)) return character & 0x1F;
  return 0;
}

// The character the system reports with the key-down, in code page 437.
int reportedCharacter(std::string_view name, int32_t character, const KeyModifiers& mods) {
  if (name == "Enter" || name == "NumpadEnter") return 13;
  if (name == "Backspace") return 8;
  if (name == "Tab") return 9;
  if (name == "Escape") return 27;
  if (character < 32 || character == 127) return kNoCharacter;
  if (mods.ctrl && !mods.alt && isLetter(character)) return character & 0x1F;
  if (character < 128) return character;
  return unicodeToCp437(static_cast<char32_t>(character));
}

// Whether the press types its character: Alt without AltGr makes it a key combination, and
// Ctrl alone gives a control character instead.
bool typesCharacter(int32_t character, uint32_t flags) {
  if (character < 32 || character == 127 || character > 0x10FFFF) return false;
  const bool altGraph = (flags & kWebAltGraph) != 0;
  const bool ctrl = (flags & kWebCtrl) != 0;
  const bool alt = (flags & kWebAlt) != 0;
  if (altGraph || (ctrl && alt)) return true;
  return !ctrl && !alt;
}
}  // namespace

void translateWebKey(const WebKeyEvent& event, const WebKeySink& sink) {
  const std::string_view name = keyNameOf(event);
  const KeyModifiers mods = modifiersOf(event.flags);
  const WebScanCode pc = scanCodeOfKeyName(name);
  if (pc.code != 0) {
    const int32_t code = translateKeyDown(pc.code, pc.extended, mods,
                                          reportedCharacter(name, event.character, mods));
    if (code >= 256) sink(code);
  }
  if (typesCharacter(event.character, event.flags)) {
    sink(unicodeToCp437(static_cast<char32_t>(event.character)));
    return;
  }
  if (const int c = controlCharacter(name, event.character, mods)) sink(c);
}
