// Line entry on the graphics screen: the line editor behind inputLine, the raw line read,
// and the entered line that inputSingle reads field by field.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
