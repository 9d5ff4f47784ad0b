// The 24 operation slots through which the text and key operations are routed: the mode
// set fills them with the graphics versions; an empty slot sends the call to the console.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/screen.h"

struct OperationTable {
  std::string (*readKey)();
  std::string (*waitKey)();
  bool (*keyWaiting)();
  void (*clearScreen)(uint32_t mode);
  uint32_t (*setColour)(int32_t foreground, int32_t background);
  int32_t (*locate)(int32_t row, int32_t column, int32_t cursorVisibility);
  int32_t (*changeTextGrid)(int32_t rows);
  int32_t (*cursorColumn)();
  int32_t (*cursorRow)();
  TextPosition (*cursorPosition)();
  TextSize (*textSize)();
  void (*writeText)(const uint8_t* bytes, size_t length, uint32_t flags);
  void (*writeWideText)(const char16_t* text, size_t length, uint32_t flags);
  std::string (*readLineRaw)();
  int32_t (*keyState)(int32_t scanCode);
  int32_t (*getMouse)(int32_t* x, int32_t* y, int32_t* wheel, int32_t* buttons);
  void (*setMouse)(int32_t x, int32_t y, int32_t cursorVisible);
  int32_t (*readPort)(int32_t port);
  void (*writePort)(int32_t port, int32_t value);
  void (*textViewChanged)();
  int32_t (*lineInput)(std::string_view prompt, int32_t addQuestionMark, int32_t addLineEnd);
  int32_t (*lineInputWide)(std::u16string_view prompt, int32_t addQuestionMark, int32_t addLineEnd);
  CellContents (*readCell)(int32_t row, int32_t column);
  void (*pause)(int32_t ms);
};

extern OperationTable operationTable;
// Fills every slot with the graphics screen's version.
void installGraphicsOperations();
// Empties every slot, so that calls go to the console versions.
void clearOperations();
