// The public interface of the screen services: everything the simulator may call.
// Text and key operations route through the operation table (graphics or console versions).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The simulator evaluates its expressions in this extended precision.
#include "screen/extended/extended.h"

// A colour value 0xRRGGBB for drawLine meaning "the current foreground colour".
inline constexpr uint32_t kCurrentForeground = 0xFEFF00FFu;
// clearScreen's argument when no mode is given.
inline constexpr uint32_t kNoClearMode = 0xFFFF0000u;
// writeText flag: do an owed scroll even when the text is empty.
inline constexpr uint32_t kWriteSettle = 8;

struct TextPosition {
  int32_t column;  // 1-based
  int32_t row;     // 1-based
};
struct TextSize {
  int32_t columns;
  int32_t rows;
};
struct CellContents {
  uint16_t character;
  uint32_t foreground;  // pixel values
  uint32_t background;
};

// Services, mode set and program end.
void startServices(int argc, char** argv);
void setScreenMode(int32_t mode, int32_t depth, int32_t pages, int32_t flags, int32_t refreshRate);
void* frameBuffer();
[[noreturn]] void endProgram(int32_t status);
void lockScreen();
// Marks rows firstRow..lastRow (0-based pixel rows; -1 = from the top / to the last row) dirty.
void unlockScreen(int32_t firstRow = -1, int32_t lastRow = -1);
int32_t lastError();

// Text screen.
uint32_t setColour(int32_t foreground, int32_t background);
void clearScreen(uint32_t mode = kNoClearMode);
int32_t locate(int32_t row, int32_t column, int32_t cursorVisibility);
void writeText(const void* bytes, size_t length, uint32_t flags);
void printText(std::string_view text, bool lineEnd);
void printLineEnd();
void tabToColumn(int32_t column);
TextPosition cursorPosition();
TextSize textSize();
void setTextView(int32_t top, int32_t bottom);
CellContents readCell(int32_t row, int32_t column);  // 1-based; zeros outside the grid

// Keyboard, waits and line entry.
std::string readKey();  // never waits; "" when no key is queued
std::string waitKey();  // blocks until a key is queued, then takes it
bool keyWaiting();
void sleepMs(int32_t ms);
void beep();
int32_t inputLine(std::string_view prompt, int32_t addQuestionMark, int32_t addLineEnd);
void inputSingle(float& out);

// Line and box drawing. shape: 0 line, 1 box outline, 2 filled box.
void drawLine(void* target, float x1, float y1, float x2, float y2, uint32_t colour, int32_t shape,
              int32_t style, int32_t relative);

// Number texts and masks.
void printSingle(float value);
void maskBegin(std::string_view mask);
void maskValue(double value, int32_t last);
void maskEnd();
std::string hexText(int64_t value);
double valueOfText(std::string_view text);
