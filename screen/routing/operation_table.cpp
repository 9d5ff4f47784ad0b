#include "screen/routing/operation_table.h"

#include "screen/keys/key_reads.h"
#include "screen/keys/line_entry.h"
#include "screen/keys/waits.h"
#include "screen/mouse.h"
#include "screen/palette/display_ports.h"
#include "screen/text/text_screen.h"

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
