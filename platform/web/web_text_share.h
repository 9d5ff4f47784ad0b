// The text grid shared with the page for assistive technology: where the visible page's cells
// are, the cursor, and a change count; the page reads them from memory when it refreshes.
#pragma once
#include <cstdint>

// The layout the page reads (web_text.js); keep the two in step.
struct WebTextShare {
  uint32_t changes = 0;  // bumped whenever the program has drawn
  uint32_t cells = 0;    // address of the CellRecord array of the visible page, or 0
  int32_t rows = 0;
  int32_t columns = 0;
  int32_t cellBytes = 0;  // sizeof(CellRecord); its character is the first 16 bits
  int32_t cursorRow = 0;  // 0-based
  int32_t cursorColumn = 0;
  uint32_t unicode[256] = {};  // the Unicode of each code page 437 code
};

// Hands the page the shared record (once the canvas is open).
void shareTextWithPage();
// Refreshes the record after the program has drawn (cheap: no copy of the cells).
void publishText();
