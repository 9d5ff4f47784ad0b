// The graphics-screen versions of the routed operations, one per module; the operation
// table points at these while a graphics screen exists.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/screen.h"

// Text screen (text_screen.cpp).
void graphicsClearScreen(uint32_t mode);
uint32_t graphicsSetColour(int32_t foreground, int32_t background);
int32_t graphicsLocate(int32_t row, int32_t column, int32_t cursorVisibility);
int32_t graphicsChangeTextGrid(int32_t rows);
int32_t graphicsCursorColumn();
int32_t graphicsCursorRow();
TextPosition graphicsCursorPosition();
TextSize graphicsTextSize();
void graphicsWriteText(const uint8_t* bytes, size_t length, uint32_t flags);
void graphicsWriteWideText(const char16_t* text, size_t length, uint32_t flags);
void graphicsTextViewChanged();
CellContents graphicsReadCell(int32_t row, int32_t column);
int32_t graphicsReadPort(int32_t port);
void graphicsWritePort(int32_t port, int32_t value);

// Keys and waits (waits.cpp).
std::string graphicsReadKey();
std::string graphicsWaitKey();
bool graphicsKeyWaiting();
int32_t graphicsKeyState(int32_t scanCode);
void graphicsPause(int32_t ms);
int32_t graphicsGetMouse(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons);
void graphicsSetMouse(int32_t x, int32_t y, int32_t cursorVisible);

// Line entry (line_entry.cpp).
int32_t graphicsLineInput(std::string_view prompt, int32_t addQuestionMark, int32_t addLineEnd);
int32_t graphicsLineInputWide(std::u16string_view prompt, int32_t addQuestionMark,
                              int32_t addLineEnd);
std::string graphicsReadLineRaw();

// The line entered by the last line input, read field by field by inputSingle.
struct EnteredLine {
  std::string text;
  size_t readPosition = 0;
};
extern EnteredLine enteredLine;

// Converts a key text back to its code: one byte gives the byte, 255 + scan code the
// extended code, "" gives 0.
int32_t keyCodeOfText(const std::string& keyText);
// The key text of a code: "" for 0, one byte below 256, else 255 and the scan code.
std::string keyTextOfCode(int32_t code);
