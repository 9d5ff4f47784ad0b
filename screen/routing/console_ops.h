// The console versions of the routed operations, used while no graphics screen exists:
// text goes to standard output through the platform seam, keys come from standard input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/screen.h"

std::string consoleReadKey();
std::string consoleWaitKey();
bool consoleKeyWaiting();
void consoleClearScreen(uint32_t mode);
uint32_t consoleSetColour(int32_t foreground, int32_t background);
int32_t consoleLocate(int32_t row, int32_t column, int32_t cursorVisibility);
TextPosition consoleCursorPosition();
TextSize consoleTextSize();
void consoleWriteText(const uint8_t* bytes, size_t length, uint32_t flags);
int32_t consoleLineInput(std::string_view prompt, int32_t addQuestionMark, int32_t addLineEnd);
void consolePause(int32_t ms);
