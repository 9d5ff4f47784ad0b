// Turns the frame buffer into terminal output: the text rows with dirty pixel rows are
// matched cell by cell, and only the cells that differ from what the terminal already shows
// are written, with colour escapes of the terminal's depth, into one buffer per frame.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/terminal/terminal_cell.h"
#include "platform/terminal/terminal_colours.h"
#include "screen/backend/backend_port.h"

// What the terminal shows for cell (row, column) (0-based) of the screen's visible page.
TerminalCell screenCell(const VisibleFrame& frame, int row, int column,
                        CellCharacters characters = CellCharacters::Unicode);

class FrameEncoder {
 public:
  FrameEncoder(int columns, int rows, ColourDepth depth = ColourDepth::Direct,
               CellCharacters characters = CellCharacters::Unicode);
  // Forgets what the terminal shows (after it was cleared): the next frame sends every cell.
  void invalidate();
  // Appends the changes of every text row with a dirty pixel row and clears all dirty flags.
  // Called under the screen lock.
  void encodeDirtyRows(const VisibleFrame& frame, std::string& out);
  // Appends what it takes to show `cell` at (row, column), nothing when it is shown already.
  void put(int row, int column, TerminalCell cell, std::string& out);

 private:
  void moveTo(int row, int column, std::string& out);
  void setColours(const TerminalCell& cell, std::string& out);
  uint32_t shownColour(uint32_t rgb) const;

  int columns_, rows_;
  ColourDepth depth_;
  CellCharacters characters_;
  std::vector<TerminalCell> shown_;
  std::vector<bool> known_;
  int cursorRow_ = -1, cursorColumn_ = -1;  // -1: unknown
  bool foregroundKnown_ = false, backgroundKnown_ = false;
  uint32_t foreground_ = 0, background_ = 0;
};
