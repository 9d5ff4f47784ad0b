#include "screen/routing/console_ops.h"

#include <cstdio>

#include "screen/backend/platform_seam.h"
#include "screen/keys/line_entry.h"
#include "screen/last_error.h"

namespace {
// What the console side knows of its own output: colours as given and the column reached.
struct ConsoleState {
  int32_t foreground = 0xFFFFFF, background = 0;
  int32_t column = 1, row = 1;
};
ConsoleState console;

constexpr TextSize kConsoleSize{80, 25};
}  // namespace

std::string consoleReadKey() { return std::string(); }

std::string consoleWaitKey() {
  const int c = std::getchar();
  return c == EOF ? std::string() : std::string(1, static_cast<char>(c));
}

bool consoleKeyWaiting() { return false; }

void consoleClearScreen(uint32_t) {
  console.column = 1;
  console.row = 1;
}

uint32_t consoleSetColour(int32_t foreground, int32_t background) {
  const uint32_t previous = (static_cast<uint32_t>(console.foreground) & 0xFFFFu) |
                            (static_cast<uint32_t>(console.background) & 0xFFFFu) << 16;
  if (foreground >= 0) console.foreground = foreground;
  if (background >= 0) console.background = background;
  return previous;
}

int32_t consoleLocate(int32_t row, int32_t column, int32_t) {
  if ((row != 0 && (row < 1 || row > kConsoleSize.rows)) ||
      (column != 0 && (column < 1 || column > kConsoleSize.columns)))
    return setLastError(kErrorInvalid);
  if (row != 0) console.row = row;
  if (column != 0) console.column = column;
  return setLastError(kErrorNone);
}

TextPosition consoleCursorPosition() { return {console.column, console.row}; }
TextSize consoleTextSize() { return kConsoleSize; }

void consoleWriteText(const uint8_t* bytes, size_t length, uint32_t) {
  if (length == 0) return;
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] == 10) {
      console.column = 1;
      if (console.row < kConsoleSize.rows) ++console.row;
    } else if (bytes[i] == 13) {
      console.column = 1;
    } else if (console.column < kConsoleSize.columns) {
      ++console.column;
    }
  }
  platformSeam().consoleWrite(reinterpret_cast<const char*>(bytes), length);
}

int32_t consoleLineInput(std::string_view prompt, int32_t addQuestionMark, int32_t addLineEnd) {
  consoleWriteText(reinterpret_cast<const uint8_t*>(prompt.data()), prompt.size(), 0);
  if (addQuestionMark) consoleWriteText(reinterpret_cast<const uint8_t*>("? "), 2, 0);
  std::string line;
  for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
    if (c != '\r') line += static_cast<char>(c);
  enteredLine.text = line;
  enteredLine.readPosition = 0;
  if (addLineEnd) consoleWriteText(reinterpret_cast<const uint8_t*>("\r\n"), 2, 0);
  return setLastError(kErrorNone);
}

void consolePause(int32_t ms) {
  if (ms > 0) platformSeam().sleep(ms);
}
