#include "simulator/table_layout.h"

#include "screen/screen.h"

void drawColumnLines() {
  for (const float x : kColumnLineX)
    drawLine(nullptr, x, kColumnLineTop, x, kColumnLineBottom, kCurrentForeground, 0, 0xFFFF, 0);
}
