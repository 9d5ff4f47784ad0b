#include <algorithm>
#include <climits>
#include <cstring>

#include "screen/assets/builtin_assets.h"
#include "screen/backend/cp437.h"
#include "screen/last_error.h"
#include "screen/screen.h"
#include "screen/screen_state.h"
#include "screen/text/text_screen.h"

namespace {
// Pixel rows changed by one text operation, marked for copying at its end.
struct DirtyBand {
  int first = INT_MAX;
  int last = -1;
  void add(int a, int b) {
    first = std::min(first, a);
    last = std::max(last, b);
  }
  void mark(ScreenState& s) const {
    if (last >= first) s.markRows(first, last);
  }
};

// For each font byte, the 8 pixel lanes (bit 0 leftmost) as two 64-bit masks of 16-bit lanes.
struct GlyphMasks {
  uint64_t lanes[256][2];
  GlyphMasks() {
    for (int b = 0; b < 256; ++b) {
      for (int half = 0; half < 2; ++half) {
        uint64_t m = 0;
        for (int i = 0; i < 4; ++i)
          if (b & (1 << (half * 4 + i))) m |= uint64_t{0xFFFF} << (16 * i);
        lanes[b][half] = m;
      }
    }
  }
};
const GlyphMasks glyphMasks;

void paintGlyph(ScreenState& s, int x, int y, uint8_t code) {
  const int h = s.cellHeight;
  const uint8_t* glyph =
      s.font ? s.font + static_cast<size_t>(code) * static_cast<size_t>(h) : nullptr;
  const uint32_t fg = s.foregroundPixel, bg = s.backgroundPixel;
  const int px = x * 8, py = y * h;
  if (s.bytesPerPixel == 2) {
    const uint64_t fg64 = (fg & 0xFFFFu) * 0x0001000100010001ull;
    const uint64_t bg64 = (bg & 0xFFFFu) * 0x0001000100010001ull;
    for (int j = 0; j < h; ++j) {
      const uint8_t bits = glyph ? glyph[j] : 0;
      const uint64_t m0 = glyphMasks.lanes[bits][0], m1 = glyphMasks.lanes[bits][1];
      const uint64_t out[2] = {(m0 & fg64) | (~m0 & bg64), (m1 & fg64) | (~m1 & bg64)};
      std::memcpy(s.workRow(py + j) + static_cast<size_t>(px) * 2, out, sizeof out);
    }
  } else {
    for (int j = 0; j < h; ++j) {
      const uint8_t bits = glyph ? glyph[j] : 0;
      for (int i = 0; i < 8; ++i) setPixel(s, px + i, py + j, (bits >> i) & 1 ? fg : bg);
    }
  }
  s.cell(y, x) = CellRecord{code, fg, bg};
}

// The 16 bytes of one glyph pixel row for each font byte, in one pair of colours; rebuilt
// when the colours change, so a run of cells is painted by plain 16-byte copies.
struct BlendedRows {
  uint32_t fg = 0, bg = 0;
  bool built = false;
  uint64_t rows[256][2];
  const uint64_t (*forColours(uint32_t foreground, uint32_t background))[2] {
    if (!built || foreground != fg || background != bg) {
      const uint64_t fg64 = (foreground & 0xFFFFu) * 0x0001000100010001ull;
      const uint64_t bg64 = (background & 0xFFFFu) * 0x0001000100010001ull;
      for (int b = 0; b < 256; ++b)
        for (int half = 0; half < 2; ++half) {
          const uint64_t m = glyphMasks.lanes[b][half];
          rows[b][half] = (m & fg64) | (~m & bg64);
        }
      fg = foreground;
      bg = background;
      built = true;
    }
    return rows;
  }
};
BlendedRows blendedRows;

// Paints `count` glyphs on cell row y from column x. At 16 bits the run is painted one pixel
// row at a time: a row of the run is contiguous, while one cell's rows lie a power-of-two
// pitch apart and compete for the same cache sets.
void paintGlyphRun(ScreenState& s, int x, int y, const uint8_t* codes, int count) {
  if (s.bytesPerPixel != 2 || !s.font) {
    for (int k = 0; k < count; ++k) paintGlyph(s, x + k, y, codes[k]);
    return;
  }
  const int h = s.cellHeight;
  const uint32_t fg = s.foregroundPixel, bg = s.backgroundPixel;
  const uint64_t(*rows)[2] = blendedRows.forColours(fg, bg);
  for (int j = 0; j < h; ++j) {
    uint8_t* out = s.workRow(y * h + j) + static_cast<size_t>(x) * 16;
    const uint8_t* fontRow = s.font + j;
    for (int k = 0; k < count; ++k, out += 16)
      std::memcpy(out, rows[fontRow[static_cast<size_t>(codes[k]) * static_cast<size_t>(h)]], 16);
  }
  for (int k = 0; k < count; ++k) s.cell(y, x + k) = CellRecord{codes[k], fg, bg};
}

void fillPixelRows(ScreenState& s, int firstRow, int lastRow, uint32_t pixel) {
  fillRows(s, firstRow, lastRow, pixel);
}

void clearCellRows(ScreenState& s, int firstRow, int lastRow) {
  if (lastRow < firstRow) return;
  // The rows' records are contiguous.
  const size_t count =
      static_cast<size_t>(lastRow - firstRow + 1) * static_cast<size_t>(s.textColumns);
  std::fill_n(&s.cell(firstRow, 0), count, CellRecord{32, s.foregroundPixel, s.backgroundPixel});
}

// Scrolls the text view up by k rows; the freed rows take the current background.
void scrollView(ScreenState& s, int k, DirtyBand& band) {
  const int h = s.cellHeight;
  const int top = s.textViewTop, bottom = s.textViewBottom;
  const int bandTop = h * top, bandBottom = h * (bottom + 1) - 1;
  const int bandHeight = bandBottom - bandTop + 1;
  if (static_cast<long long>(h) * k >= bandHeight) {
    fillPixelRows(s, bandTop, bandBottom, s.backgroundPixel);
    clearCellRows(s, top, bottom);
  } else {
    const int shift = h * k;
    // The work page's rows are contiguous, so the band moves in one copy.
    std::memmove(s.workRow(bandTop), s.workRow(bandTop + shift),
                 static_cast<size_t>(bandHeight - shift) * static_cast<size_t>(s.pitch));
    fillPixelRows(s, bandBottom - shift + 1, bandBottom, s.backgroundPixel);
    auto& cells = s.cellRecord[static_cast<size_t>(s.workPage)];
    const size_t cols = static_cast<size_t>(s.textColumns);
    std::memmove(&cells[static_cast<size_t>(top) * cols],
                 &cells[static_cast<size_t>(top + k) * cols],
                 static_cast<size_t>(bottom - top + 1 - k) * cols * sizeof(CellRecord));
    clearCellRows(s, bottom - k + 1, bottom);
  }
  band.add(bandTop, bandBottom);
}

// The writer's working state for one call.
struct Writer {
  ScreenState& s;
  int left, right, top, bottom;
  int x, y;
  DirtyBand band;
  uint8_t pending[256];
  int pendingCount = 0;
  bool movedSincePaint = false;

  explicit Writer(ScreenState& state)
      : s(state),
        left(0),
        right(state.textColumns - 1),
        top(state.textViewTop),
        bottom(state.textViewBottom),
        x(state.cursorColumn),
        y(state.cursorRow) {}

  void scrollIfBelow() {
    if (y > bottom) {
      scrollView(s, y - bottom, band);
      y = bottom;
    }
  }

  void paintPending() {
    int i = 0;
    while (i < pendingCount) {
      if (x > right) {
        x = left;
        ++y;
      }
      const int chunk = std::min(pendingCount - i, right - x + 1);
      scrollIfBelow();
      paintGlyphRun(s, x, y, pending + i, chunk);
      band.add(y * s.cellHeight, y * s.cellHeight + s.cellHeight - 1);
      x += chunk;
      if (x == right + 1) {
        x = left;
        ++y;
      }
      i += chunk;
    }
    pendingCount = 0;
    movedSincePaint = false;
  }

  void addGlyph(uint8_t code) {
    pending[pendingCount++] = code;
    if (pendingCount == 256) paintPending();
  }

  void tab() {
    const int width = right - left + 1;
    const int column = (x - left + pendingCount) % width;
    const int spaces = ((column + 8) / 8) * 8 - column;
    for (int i = 0; i < spaces; ++i) addGlyph(32);
  }

  void control(uint8_t code) {
    paintPending();
    if (code == 8) {
      if (x > left) --x;
    } else if (code == 10) {
      x = left;
      ++y;
    } else {
      x = left;
    }
    movedSincePaint = true;
  }
};
}  // namespace

uint32_t graphicsSetColour(int32_t foreground, int32_t background) {
  ScreenState* s = screenState;
  if (!s) return 0;
  const uint32_t previous = (s->foregroundPixel & 0xFFFFu) | (s->backgroundPixel & 0xFFFFu) << 16;
  if (foreground >= 0) s->foregroundPixel = colourToPixel(*s, foreground);
  if (background >= 0) s->backgroundPixel = colourToPixel(*s, background);
  return previous;
}

namespace {
void placeCursor(ScreenState& s, int row0, int column0) {
  s.scrollOwed = false;
  s.cursorRow = row0;
  s.cursorColumn = column0;
}
}  // namespace

int32_t graphicsLocate(int32_t row, int32_t column, int32_t cursorVisibility) {
  ScreenState* s = screenState;
  if (!s) return setLastError(kErrorInvalid);
  if ((row != 0 && (row < s->textViewTop + 1 || row > s->textViewBottom + 1)) ||
      (column != 0 && (column < 1 || column > s->textColumns)))
    return setLastError(kErrorInvalid);
  s->scrollOwed = false;
  if (row != 0) s->cursorRow = row - 1;
  if (column != 0) s->cursorColumn = column - 1;
  // The graphics screen draws no cursor mark; the visibility is only remembered.
  if (cursorVisibility >= 0) s->cursorVisible = cursorVisibility != 0;
  return setLastError(kErrorNone);
}

void graphicsWriteText(const uint8_t* bytes, size_t length, uint32_t flags) {
  ScreenState* s = screenState;
  if (!s || (length == 0 && !(flags & kWriteSettle))) return;
  OperationLock lock;
  Writer w(*s);
  if (s->scrollOwed) {
    s->scrollOwed = false;
    ++w.y;
    w.x = w.left;
    w.scrollIfBelow();
  }
  for (size_t i = 0; i < length; ++i) {
    const uint8_t b = bytes[i];
    switch (b) {
      case 7: beep(); break;
      case 8:
      case 10:
      case 13: w.control(b); break;
      case 9: w.tab(); break;
      default: w.addGlyph(b); break;
    }
  }
  if (w.pendingCount > 0) {
    w.paintPending();
  } else if (w.movedSincePaint) {
    w.scrollIfBelow();
  }
  if (w.x == w.left && w.y == w.bottom + 1) {
    // Ended exactly past the last cell: the scroll waits for the next print.
    s->scrollOwed = true;
    w.x = w.right;
    w.y = w.bottom;
  } else {
    w.scrollIfBelow();
  }
  s->cursorColumn = w.x;
  s->cursorRow = w.y;
  w.band.mark(*s);
}

void graphicsClearScreen(uint32_t mode) {
  ScreenState* s = screenState;
  if (!s) return;
  OperationLock lock;
  uint32_t effective = mode;
  if (mode == kNoClearMode) {
    const bool wholeGrid = s->textViewTop == 0 && s->textViewBottom == s->textRows - 1;
    effective = s->graphicsViewSet ? 1 : wholeGrid ? 0 : 2;
  } else if (mode != 0 && mode != 2) {
    effective = 1;
  }
  const ClipRegion& clip = s->clipRegion;
  if (effective == 0) {
    fillPixelRows(*s, 0, s->height - 1, s->backgroundPixel);
    s->markRows(0, s->height - 1);
    s->lastPointX = static_cast<float>(clip.x + clip.width / 2);
    s->lastPointY = static_cast<float>(clip.y + clip.height / 2);
    clearCellRows(*s, 0, s->textRows - 1);
    placeCursor(*s, s->textViewTop, 0);
  } else if (effective == 2) {
    const int first = s->textViewTop * s->cellHeight;
    const int last = (s->textViewBottom + 1) * s->cellHeight - 1;
    fillPixelRows(*s, first, last, s->backgroundPixel);
    s->markRows(first, last);
    clearCellRows(*s, s->textViewTop, s->textViewBottom);
    placeCursor(*s, s->textViewTop, 0);
  } else {
    const int x0 = std::max(clip.x, 0), x1 = std::min(clip.x + clip.width, s->width) - 1;
    const int y0 = std::max(clip.y, 0), y1 = std::min(clip.y + clip.height, s->height) - 1;
    for (int y = y0; y <= y1 && x0 <= x1; ++y) fillSpan(*s, y, x0, x1, s->backgroundPixel);
    s->markRows(y0, y1);
    s->lastPointX = static_cast<float>(clip.x + clip.width / 2);
    s->lastPointY = static_cast<float>(clip.y + clip.height / 2);
  }
}

int32_t graphicsCursorColumn() { return screenState ? screenState->cursorColumn + 1 : 1; }
int32_t graphicsCursorRow() { return screenState ? screenState->cursorRow + 1 : 1; }
TextPosition graphicsCursorPosition() { return {graphicsCursorColumn(), graphicsCursorRow()}; }
TextSize graphicsTextSize() {
  return screenState ? TextSize{screenState->textColumns, screenState->textRows} : TextSize{0, 0};
}

void setTextView(int32_t top, int32_t bottom) {
  ScreenState* s = screenState;
  if (!s) return;
  if (top < 0 && bottom < 0) return;
  int newTop = top < 0 ? s->textViewTop + 1 : top == 0 ? 1 : top;
  int newBottom = bottom < 0 ? s->textViewBottom + 1 : bottom == 0 ? s->textRows : bottom;
  if (newBottom < newTop || newTop < 1 || newBottom < 1 || newTop > s->textRows ||
      newBottom > s->textRows)
    return;
  s->textViewTop = newTop - 1;
  s->textViewBottom = newBottom - 1;
  // Only the view and the cursor change: a scroll owed by the last print is still owed.
  s->cursorRow = s->textViewTop;
  s->cursorColumn = 0;
  graphicsTextViewChanged();
}

void graphicsTextViewChanged() {}

int32_t graphicsChangeTextGrid(int32_t rows) {
  ScreenState* s = screenState;
  if (!s) return setLastError(kErrorInvalid);
  int height = 0;
  for (int candidate : {16, 14, 8})
    if (rows == s->height / candidate) height = candidate;
  if (height == 0) return setLastError(kErrorInvalid);
  OperationLock lock;
  const BuiltinAssets& assets = builtinAssets();
  s->cellHeight = height;
  s->font = height == 8 ? assets.font8x8 : height == 14 ? assets.font8x14 : assets.font8x16;
  s->textRows = rows;
  for (auto& page : s->cellRecord)
    page.assign(static_cast<size_t>(s->textColumns) * static_cast<size_t>(rows),
                CellRecord{32, s->foregroundPixel, s->backgroundPixel});
  s->textViewTop = 0;
  s->textViewBottom = rows - 1;
  placeCursor(*s, 0, 0);
  return setLastError(kErrorNone);
}

void graphicsWriteWideText(const char16_t* text, size_t length, uint32_t flags) {
  std::string bytes;
  bytes.reserve(length);
  for (size_t i = 0; i < length; ++i) bytes += static_cast<char>(unicodeToCp437(text[i]));
  graphicsWriteText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), flags);
}

CellContents graphicsReadCell(int32_t row, int32_t column) {
  ScreenState* s = screenState;
  if (!s || row < 1 || row > s->textRows || column < 1 || column > s->textColumns)
    return CellContents{0, 0, 0};
  const CellRecord& c = s->cell(row - 1, column - 1);
  return CellContents{c.character, c.foreground, c.background};
}
