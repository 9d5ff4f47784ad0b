// Line entry: the line editor behind inputLine, and the field reader behind inputSingle.
#include <new>
#include <string>

#include "screen/backend/cp437.h"
#include "screen/backend/key_code.h"
#include "screen/keys/line_entry.h"
#include "screen/keys/waits.h"
#include "screen/last_error.h"
#include "screen/numbers/decimal_text.h"
#include "screen/screen.h"
#include "screen/screen_state.h"

EnteredLine enteredLine;

namespace {
void write(const std::string& text) { writeText(text.data(), text.size(), 0); }

// The editor addresses cells in reading order: index = row * width + column (0-based).
class LineEditor {
 public:
  LineEditor() : size_(textSize()) {}

  std::string run() {
    if (size_.columns <= 0 || size_.rows <= 0) return text_;
    for (;;) {
      const int32_t code = nextKey();
      switch (code) {
        case 8:
          if (pos_ > 0) {
            moveBy(-1);
            --pos_;
            erase(1);
          }
          break;
        case 9: insert(std::string(((pos_ + 8) & ~size_t{7}) - pos_, ' ')); break;
        case 27:
          moveBy(-static_cast<long long>(pos_));
          pos_ = 0;
          erase(text_.size());
          break;
        case kKeyHome:
          moveBy(-static_cast<long long>(pos_));
          pos_ = 0;
          break;
        case kKeyEnd:
          moveBy(static_cast<long long>(text_.size() - pos_));
          pos_ = text_.size();
          break;
        case kKeyLeft:
          if (pos_ > 0) {
            moveBy(-1);
            --pos_;
          }
          break;
        case kKeyRight:
          if (pos_ < text_.size()) {
            moveBy(1);
            ++pos_;
          }
          break;
        case kKeyUp:
          if (pos_ >= width()) {
            moveBy(-static_cast<long long>(width()));
            pos_ -= width();
          }
          break;
        case kKeyDown:
          if (pos_ + width() <= text_.size()) {
            moveBy(static_cast<long long>(width()));
            pos_ += width();
          }
          break;
        case kKeyDelete:
          if (pos_ < text_.size()) {
            erase(1);
          } else {
            beep();
          }
          break;
        case 13:
        case 10: moveBy(static_cast<long long>(text_.size() - pos_)); return text_;
        default:
          if (code >= 32 && code <= 255) insert(std::string(1, static_cast<char>(code)));
          break;
      }
    }
  }

 private:
  size_t width() const { return static_cast<size_t>(size_.columns); }
  long long cells() const { return static_cast<long long>(size_.columns) * size_.rows; }

  static int32_t nextKey() {
    // Without a screen no key can come: end the line rather than wait forever.
    if (!screenState) return 13;
    awaitKeyQueued(KeyWaitKind::Line);
    return keyCodeOfText(readKey());
  }

  // A prompt that filled the last cell leaves the cursor parked there with its scroll
  // owed; the text then really starts one cell further, at column 1 below the last row.
  long long cursorIndex() const {
    const TextPosition p = cursorPosition();
    const long long parked = screenState && screenState->scrollOwed ? 1 : 0;
    return static_cast<long long>(p.row - 1) * size_.columns + (p.column - 1) + parked;
  }

  void placeAt(long long index) {
    if (index < 0) index = 0;
    // Past the last cell the screen scrolls a row at a time to make room.
    while (index >= cells()) {
      locate(size_.rows, size_.columns, -1);
      write("\r\n");
      index -= size_.columns;
    }
    locate(static_cast<int32_t>(index / size_.columns) + 1,
           static_cast<int32_t>(index % size_.columns) + 1, -1);
  }

  void moveBy(long long n) {
    if (n != 0) placeAt(cursorIndex() + n);
  }

  void erase(size_t count) {
    const long long start = cursorIndex();
    text_.erase(pos_, count);
    write(text_.substr(pos_) + std::string(count, ' '));
    placeAt(start);
  }

  void insert(const std::string& characters) {
    const long long start = cursorIndex();
    const size_t tail = text_.size() - pos_;
    text_.insert(pos_, characters);
    write(text_.substr(pos_));
    const long long end = start + static_cast<long long>(characters.size() + tail);
    if (end > cells()) {
      // The print scrolled the screen: count back from where it ended.
      const long long scrolled = (end - cells() + size_.columns - 1) / size_.columns;
      placeAt(end - scrolled * size_.columns - static_cast<long long>(tail));
    } else {
      placeAt(start + static_cast<long long>(characters.size()));
    }
    pos_ += characters.size();
  }

  TextSize size_;
  std::string text_;
  size_t pos_ = 0;
};
}  // namespace

int32_t graphicsLineInput(std::string_view prompt, int32_t addQuestionMark, int32_t addLineEnd) {
  writeText(nullptr, 0, kWriteSettle);
  printText(prompt, false);
  if (addQuestionMark) write("? ");
  int32_t result = kErrorNone;
  try {
    LineEditor editor;
    std::string line = editor.run();
    enteredLine.text = std::move(line);
  } catch (const std::bad_alloc&) {
    enteredLine.text.clear();
    result = kErrorNoMemory;
  }
  enteredLine.readPosition = 0;
  if (addLineEnd) write("\r\n");
  return setLastError(result);
}

int32_t graphicsLineInputWide(std::u16string_view prompt, int32_t addQuestionMark,
                              int32_t addLineEnd) {
  std::string narrow;
  for (size_t i = 0; i < prompt.size(); ++i) {
    char32_t c = prompt[i];
    // A surrogate pair is one character (never one that code page 437 has).
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < prompt.size() && prompt[i + 1] >= 0xDC00 &&
        prompt[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (prompt[i + 1] - 0xDC00);
      ++i;
    }
    narrow += static_cast<char>(unicodeToCp437(c));
  }
  return graphicsLineInput(narrow, addQuestionMark, addLineEnd);
}

std::string graphicsReadLineRaw() {
  std::string line;
  for (;;) {
    awaitKeyQueued(KeyWaitKind::Line);
    const int32_t code = keyCodeOfText(readKey());
    if (code == 13 || code == 10) return line;
    if (code >= 1 && code <= 255) line += static_cast<char>(code);
  }
}

namespace {
// Reads the next field of the entered line by the input statement's rules.
std::string nextField(EnteredLine& line) {
  const std::string& s = line.text;
  size_t& i = line.readPosition;
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < s.size() && isSpace(s[i])) ++i;
  std::string field;
  bool quoted = false;
  if (i < s.size() && s[i] == '"') {
    quoted = true;
    ++i;
  }
  while (i < s.size() && field.size() < 15) {
    const char c = s[i];
    if (quoted) {
      ++i;
      if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == ',' || c == '\n') {
      ++i;
      break;
    }
    if (c == '\r') {
      ++i;
      if (i < s.size() && s[i] == '\n') ++i;
      break;
    }
    field += c;
    ++i;
  }
  return field;
}
}  // namespace

void inputSingle(float& out) {
  out = static_cast<float>(decimalPrefixValue(nextField(enteredLine)));
}
