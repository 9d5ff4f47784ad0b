// The mouse operations of the graphics screen: they ask the back end, which may not have
// a mouse (then the position reads as 0 and the result as -1).
#pragma once
#include <cstdint>

int32_t graphicsGetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons);
void graphicsSetMouse(int32_t x, int32_t y, int32_t cursorVisible);
