// The text grid as a file, one line of characters per cell row; shared by both PNG writers.
#include <cstdio>
#include <string>

#include "screen/screen.h"
#include "screen/screen_state.h"
#include "tools/frame_files.h"

bool writeCellText(const std::string& path) {
  if (!screenState) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  for (int r = 1; r <= screenState->textRows; ++r) {
    for (int c = 1; c <= screenState->textColumns; ++c)
      std::fputc(readCell(r, c).character & 0xFF, file);
    std::fputc('\n', file);
  }
  return std::fclose(file) == 0;
}
