#include "screen/operation_table.h"

#include "screen/display_ports.h"
#include "screen/key_reads.h"
#include "screen/line_entry.h"
#include "screen/mouse.h"
#include "screen/text_screen.h"
#include "screen/waits.h"

OperationTable operationTable{};

void installGraphicsOperations() {
  operationTable = OperationTable{
      graphicsReadKey,        graphicsWaitKey,         graphicsKeyWaiting,
      graphicsClearScreen,    graphicsSetColour,       graphicsLocate,
      graphicsChangeTextGrid, graphicsCursorColumn,    graphicsCursorRow,
      graphicsCursorPosition, graphicsTextSize,        graphicsWriteText,
      graphicsWriteWideText,  graphicsReadLineRaw,     graphicsKeyState,
      graphicsGetMouse,       graphicsSetMouse,        graphicsReadPort,
      graphicsWritePort,      graphicsTextViewChanged, graphicsLineInput,
      graphicsLineInputWide,  graphicsReadCell,        graphicsPause,
  };
}

void clearOperations() { operationTable = OperationTable{}; }
