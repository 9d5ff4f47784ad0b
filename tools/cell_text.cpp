// The text grid as a file, one line of characters per cell row; shared by both PNG writers.
#include <cstdio>
#include <string>

#include "screen/backend/backend_port.h"
#include "screen/screen.h"
#include "tools/frame_files.h"

bool writeCellText(const std::string& path) {
  VisibleFrame frame;
  if (!visibleFrame(frame)) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  for (int r = 1; r <= frame.textRows; ++r) {
    for (int c = 1; c <= frame.textColumns; ++c) std::fputc(readCell(r, c).character & 0xFF, file);
    std::fputc('\n', file);
  }
  return std::fclose(file) == 0;
}
