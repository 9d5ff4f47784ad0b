#include "platform/terminal/terminal_frame.h"

#include <algorithm>
#include <charconv>

#include "platform/terminal/terminal_cell_match.h"
#include "platform/terminal/terminal_colours.h"
#include "screen/backend/rgb565.h"
#include "screen/backend/utf8.h"

namespace {
uint32_t pixelToRgb(const VisibleFrame& s, uint32_t pixel) {
  if (s.depth == 16) return rgb565ToRgb(pixel);
  if (s.depth == 32) return pixel & 0xFFFFFFu;
  return (*s.palette)[pixel & 0xFFu] & 0xFFFFFFu;
}

void appendNumber(std::string& out, unsigned value) {
  char digits[12];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}
}  // namespace

TerminalCell screenCell(const VisibleFrame& s, int row, int column, CellCharacters characters) {
  uint32_t rgb[kCellPixels];
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x)
      rgb[y * 8 + x] = pixelToRgb(s, s.pixel(column * 8 + x, row * 16 + y));
  const CellRecord& record = s.cell(row, column);
  CellGlyph glyph;
  glyph.character = static_cast<uint8_t>(record.character & 0xFF);
  glyph.foreground = pixelToRgb(s, record.foreground);
  glyph.background = pixelToRgb(s, record.background);
  glyph.fontRows = s.font && s.cellHeight == 16 ? s.font + 16 * glyph.character : nullptr;
  return matchCell(rgb, glyph, characters);
}

FrameEncoder::FrameEncoder(int columns, int rows, ColourDepth depth, CellCharacters characters)
    : columns_(columns),
      rows_(rows),
      depth_(depth),
      characters_(characters),
      shown_(static_cast<size_t>(columns * rows)),
      known_(static_cast<size_t>(columns * rows), false) {}

void FrameEncoder::invalidate() {
  known_.assign(known_.size(), false);
  cursorRow_ = cursorColumn_ = -1;
  foregroundKnown_ = backgroundKnown_ = false;
}

void FrameEncoder::encodeDirtyRows(const VisibleFrame& s, std::string& out) {
  const int rowRepeat = s.rowRepeat > 0 ? s.rowRepeat : 1;
  const int rows = std::min(rows_, s.textRows);
  const int columns = std::min(columns_, s.textColumns);
  for (int row = 0; row < rows; ++row) {
    const size_t first = static_cast<size_t>(row) * 16 * static_cast<size_t>(rowRepeat);
    const size_t last = std::min(first + 16 * static_cast<size_t>(rowRepeat), s.dirtyRows.size());
    bool dirty = false;
    for (size_t y = first; y < last && !dirty; ++y) dirty = s.dirtyRows[y] != 0;
    if (!dirty) continue;
    for (int column = 0; column < columns; ++column)
      put(row, column, screenCell(s, row, column, characters_), out);
  }
  takeDirtyRows(s.dirtyRows);
}

void FrameEncoder::put(int row, int column, TerminalCell cell, std::string& out) {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return;
  // A blank shows only its background.
  if (cell.character == U' ') cell.foreground = cell.background;
  const size_t index =
      static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column);
  if (known_[index] && shown_[index] == cell) return;
  moveTo(row, column, out);
  setColours(cell, out);
  appendUtf8(out, cell.character);
  shown_[index] = cell;
  known_[index] = true;
  // Line wrap is off, but a cursor left on the last column is not to be trusted.
  cursorColumn_ = column + 1 < columns_ ? column + 1 : -1;
}

void FrameEncoder::moveTo(int row, int column, std::string& out) {
  if (row == cursorRow_ && column == cursorColumn_) return;
  if (row == cursorRow_ && cursorColumn_ >= 0 && column > cursorColumn_) {
    out += "\x1b[";
    if (column - cursorColumn_ > 1)
      appendNumber(out, static_cast<unsigned>(column - cursorColumn_));
    out += 'C';
  } else {
    out += "\x1b[";
    appendNumber(out, static_cast<unsigned>(row + 1));
    out += ';';
    appendNumber(out, static_cast<unsigned>(column + 1));
    out += 'H';
  }
  cursorRow_ = row;
  cursorColumn_ = column;
}

uint32_t FrameEncoder::shownColour(uint32_t rgb) const {
  switch (depth_) {
    case ColourDepth::Palette256: return paletteColour(nearestOf256(rgb));
    case ColourDepth::Palette16: return paletteColour(nearestOf16(rgb));
    case ColourDepth::Direct: break;
  }
  return rgb;
}

void FrameEncoder::setColours(const TerminalCell& cell, std::string& out) {
  // Colours are compared as the terminal shows them: two that fall on one palette entry
  // need no new escape.
  const uint32_t wantForeground = shownColour(cell.foreground);
  const uint32_t wantBackground = shownColour(cell.background);
  const bool foreground =
      cell.character != U' ' && (!foregroundKnown_ || wantForeground != foreground_);
  const bool background = !backgroundKnown_ || wantBackground != background_;
  if (!foreground && !background) return;
  out += "\x1b[";
  if (foreground) {
    appendColourParameters(out, depth_, false, cell.foreground);
    foreground_ = wantForeground;
    foregroundKnown_ = true;
  }
  if (background) {
    if (foreground) out += ';';
    appendColourParameters(out, depth_, true, cell.background);
    background_ = wantBackground;
    backgroundKnown_ = true;
  }
  out += 'm';
}
