// Reading the key queue without waiting, in the graphics-screen versions: the next key's
// text, whether one is waiting, and the key-state array.
#pragma once
#include <cstdint>
#include <string>

std::string graphicsReadKey();
bool graphicsKeyWaiting();
int32_t graphicsKeyState(int32_t scanCode);
