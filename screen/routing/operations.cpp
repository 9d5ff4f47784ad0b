// The public text and key operations: each goes to the operation table's slot when a
// graphics screen filled it, else to the console version.
#include <cstring>

#include "screen/routing/console_ops.h"
#include "screen/routing/operation_table.h"
#include "screen/screen.h"

#define ROUTE(slot, console, ...) \
  (operationTable.slot ? operationTable.slot(__VA_ARGS__) : console(__VA_ARGS__))

uint32_t setColour(int32_t foreground, int32_t background) {
  return ROUTE(setColour, consoleSetColour, foreground, background);
}
void clearScreen(uint32_t mode) { ROUTE(clearScreen, consoleClearScreen, mode); }
int32_t locate(int32_t row, int32_t column, int32_t cursorVisibility) {
  return ROUTE(locate, consoleLocate, row, column, cursorVisibility);
}
void writeText(const void* bytes, size_t length, uint32_t flags) {
  if (!bytes) length = 0;
  ROUTE(writeText, consoleWriteText, static_cast<const uint8_t*>(bytes), length, flags);
}
TextPosition cursorPosition() {
  return operationTable.cursorPosition ? operationTable.cursorPosition() : consoleCursorPosition();
}
TextSize textSize() {
  return operationTable.textSize ? operationTable.textSize() : consoleTextSize();
}
CellContents readCell(int32_t row, int32_t column) {
  return operationTable.readCell ? operationTable.readCell(row, column) : CellContents{0, 0, 0};
}
std::string readKey() {
  return operationTable.readKey ? operationTable.readKey() : consoleReadKey();
}
std::string waitKey() {
  return operationTable.waitKey ? operationTable.waitKey() : consoleWaitKey();
}
bool keyWaiting() {
  return operationTable.keyWaiting ? operationTable.keyWaiting() : consoleKeyWaiting();
}
void sleepMs(int32_t ms) { ROUTE(pause, consolePause, ms); }
int32_t inputLine(std::string_view prompt, int32_t addQuestionMark, int32_t addLineEnd) {
  return ROUTE(lineInput, consoleLineInput, prompt, addQuestionMark, addLineEnd);
}

void printText(std::string_view text, bool lineEnd) {
  writeText(text.data(), text.size(), 0);
  if (lineEnd) printLineEnd();
}

void printLineEnd() { writeText("\r\n", 2, 0); }

void tabToColumn(int32_t column) {
  writeText(nullptr, 0, kWriteSettle);
  const int32_t current = cursorPosition().column;
  const int32_t width = textSize().columns;
  if (width > 0 && column > width) column %= width;
  if (current > column) printLineEnd();
  locate(0, column, -1);
}
