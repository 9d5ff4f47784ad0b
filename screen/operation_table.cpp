#include "screen/operation_table.h"

#include "screen/graphics_ops.h"

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
