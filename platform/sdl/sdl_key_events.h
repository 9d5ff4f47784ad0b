// Turns SDL keyboard events into the screen's key codes: key-downs through the shared BIOS
// tables, typed text through code page 437, and the control characters SDL sends no text for.
#pragma once
#include <SDL_events.h>

#include <array>
#include <cstdint>
#include <functional>

using KeySink = std::function<void(int32_t code)>;

// Queues what one key-down gives (repeats are separate events, each queued). Returns true
// for Alt+Enter, which queues nothing and asks for the window/full-screen switch instead.
// modState: SDL's modifier bits at the moment of the event.
bool translateSdlKeyDown(const SDL_KeyboardEvent& key, uint16_t modState, const KeySink& sink);

// Queues each code page 437 byte of typed UTF-8 text; Alt combinations are keys, not text.
void translateSdlText(const char* utf8, uint16_t modState, const KeySink& sink);

// Fills the key-state array (one entry per PC scan code) from SDL's keyboard state.
void fillKeyState(const uint8_t* sdlState, int count, std::array<uint8_t, 128>& keyState);
