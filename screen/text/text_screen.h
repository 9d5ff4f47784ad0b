// The graphics versions of the text-screen operations: cursor, colours, printing, scrolling
// and the text view. The operation table points at these while a graphics screen exists.
#pragma once
#include <cstddef>
#include <cstdint>

#include "screen/screen.h"

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
