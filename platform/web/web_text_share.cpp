#include "platform/web/web_text_share.h"

#include <emscripten.h>

#include "screen/backend/backend_port.h"
#include "screen/backend/cp437.h"

// The page's script (web_text.js) defines Module.co2simText.
EM_JS(void, jsShareText, (int address), { Module.co2simText.open(address); });

namespace {
WebTextShare share;
}  // namespace

void shareTextWithPage() {
  for (int code = 0; code < 256; ++code)
    share.unicode[code] = static_cast<uint32_t>(cp437ToUnicode(static_cast<uint8_t>(code)));
  share.cellBytes = static_cast<int32_t>(sizeof(CellRecord));
  publishText();
  jsShareText(static_cast<int>(reinterpret_cast<uintptr_t>(&share)));
}

void publishText() {
  VisibleFrame frame;
  ++share.changes;
  if (!visibleFrame(frame) || frame.cells == nullptr) {
    share.cells = 0;
    return;
  }
  share.cells = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(frame.cells));
  share.rows = frame.textRows;
  share.columns = frame.textColumns;
  textCursor(share.cursorRow, share.cursorColumn);
}
