// Line entry: the editor's keys, its echo on the screen, wrapping and scrolling at the
// bottom, the line end, the field reader behind inputSingle, and floods of untrusted keys.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "screen/backend/key_queue.h"
#include "screen/keys/line_entry.h"
#include "screen/last_error.h"
#include "tests/support/screen_fixture.h"

namespace {
std::atomic<bool> failAllocations{false};
}  // namespace

// Allocation can be made to fail so that the out-of-memory path of line entry runs.
void* operator new(std::size_t size) {
  if (failAllocations.load()) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {
constexpr int32_t kBackspace = 8, kTab = 9, kEnter = 13, kCtrlEnter = 10, kEscape = 27;
constexpr int32_t kHome = 0x47FF, kEnd = 0x4FFF, kLeft = 0x4BFF, kRight = 0x4DFF, kUp = 0x48FF,
                  kDown = 0x50FF, kDelete = 0x53FF, kInsert = 0x52FF, kF1 = 0x3BFF;

// One step of a typing script: a text typed character by character, or one key code.
struct Keys {
  std::vector<int32_t> codes;
  Keys(const char* text) {  // NOLINT: a script reads best with bare texts
    for (const char* c = text; *c != 0; ++c) codes.push_back(static_cast<unsigned char>(*c));
  }
  Keys(const std::string& text) {  // NOLINT
    for (unsigned char c : text) codes.push_back(c);
  }
  Keys(int32_t code) : codes{code} {}  // NOLINT
};

std::vector<int32_t> script(std::initializer_list<Keys> steps) {
  std::vector<int32_t> codes;
  for (const Keys& step : steps) codes.insert(codes.end(), step.codes.begin(), step.codes.end());
  return codes;
}

class LineEntry : public ScreenTest {
 protected:
  // Feeds `codes` one at a time whenever the editor waits, then runs inputLine.
  int32_t enter(std::vector<int32_t> codes, std::string_view prompt = "", int32_t question = 0,
                int32_t lineEnd = 0) {
    feed_ = std::move(codes);
    next_ = 0;
    virtualClock.onAwaitKey = [this] {
      if (next_ < feed_.size()) queueKey(feed_[next_++]);
    };
    return inputLine(prompt, question, lineEnd);
  }
  float single() {
    float value = -999.0f;
    inputSingle(value);
    return value;
  }
  bool cursorAt(int row, int column) {
    const TextPosition p = cursorPosition();
    return p.row == row && p.column == column;
  }

  std::vector<int32_t> feed_;
  size_t next_ = 0;
};

TEST_F(LineEntry, EditingSequences) {
  struct Case {
    std::vector<int32_t> keys;
    std::string line;
  };
  const Case cases[] = {
      {script({"12", kLeft, "3", kEnter}), "132"},
      {script({"12", kHome, kDelete, kEnter}), "2"},
      {script({"12", kEscape, "5", kEnter}), "5"},
      {script({"12345", kEscape, kEscape, kEnter}), ""},
      {script({kBackspace, kEnter}), ""},
      {script({"ab", kBackspace, kEnter}), "a"},
      {script({"abc", kLeft, kBackspace, kEnter}), "ac"},
      {script({"abc", kHome, kBackspace, kEnter}), "abc"},
      {script({kLeft, "x", kEnter}), "x"},
      {script({"ab", kRight, "c", kEnter}), "abc"},
      {script({"abc", kHome, kRight, "X", kEnd, "Y", kEnter}), "aXbcY"},
      {script({"abc", kLeft, kLeft, kDelete, kDelete, kDelete, kEnter}), "a"},
      {script({"abc", kTab, "d", kEnter}), "abc     d"},
      {script({kTab, "x", kEnter}), "        x"},
      {script({"12345678", kTab, kEnter}), "12345678        "},
      {script({"abcdefg", kHome, kRight, kTab, kEnter}), "a       bcdefg"},
      {script({"ab", kUp, "c", kEnter}), "abc"},
      {script({"ab", kHome, kDown, "c", kEnter}), "cab"},
      {script({"a", 1, 7, 31, 0, kInsert, kF1, kKeyCloseRequest, "b", kEnter}), "ab"},
      {script({"\x82\xA4\xFF", kEnter}), "\x82\xA4\xFF"},
      {script({"12", kCtrlEnter}), "12"},
      {script({"1", kLeft, "2", kLeft, "3", kEnter}), "321"},
  };
  for (const Case& c : cases) {
    clearScreen();
    locate(5, 1, -1);
    EXPECT_EQ(enter(c.keys), kErrorNone);
    EXPECT_EQ(enteredLine.text, c.line);
    // The screen shows the line and the cells it gave up are blank again.
    std::string shown = c.line;
    shown.resize(20, ' ');
    EXPECT_EQ(rowText(5, 1, 20), shown) << c.line;
    // Without a line end the cursor stays just after the text.
    EXPECT_TRUE(cursorAt(5, static_cast<int>(c.line.size()) + 1)) << c.line;
  }
}

TEST_F(LineEntry, DeleteAtTheEndSoundsTheTone) {
  locate(3, 1, -1);
  enter(script({"ab", kDelete, kEnter}));
  EXPECT_EQ(enteredLine.text, "ab");
  EXPECT_EQ(virtualClock.tones, 1);
  enter(script({"ab", kHome, kDelete, kEnd, kDelete, kDelete, kEnter}));
  EXPECT_EQ(enteredLine.text, "b");
  EXPECT_EQ(virtualClock.tones, 3);
}

TEST_F(LineEntry, BoundaryKeysOnAnEmptyLineDoNothing) {
  locate(3, 10, -1);
  enter(script({kBackspace, kLeft, kRight, kUp, kDown, kHome, kEnd, kEscape, kEnter}));
  EXPECT_EQ(enteredLine.text, "");
  EXPECT_TRUE(cursorAt(3, 10));
  EXPECT_EQ(virtualClock.tones, 0);
}

TEST_F(LineEntry, PromptAndQuestionMark) {
  locate(2, 1, -1);
  enter(script({"12", kEnter}), "Valor", 1);
  EXPECT_EQ(rowText(2, 1, 10), "Valor? 12 ");
  enter(script({"7", kEnter}), "", 0);
  EXPECT_EQ(rowText(2, 1, 11), "Valor? 127 ");
  locate(4, 1, -1);
  enter(script({"3", kEnter}), "", 1);
  EXPECT_EQ(rowText(4, 1, 4), "? 3 ");
}

TEST_F(LineEntry, LineEnd) {
  locate(5, 1, -1);
  enter(script({"abc", kEnter}), "", 0, 0);
  EXPECT_TRUE(cursorAt(5, 4));
  enter(script({"abc", kHome, kEnter}), "", 0, 1);
  EXPECT_TRUE(cursorAt(6, 1));
  // At the bottom the line end scrolls.
  locate(48, 1, -1);
  enter(script({"xyz", kEnter}), "", 0, 1);
  EXPECT_TRUE(cursorAt(48, 1));
  EXPECT_EQ(rowText(47, 1, 4), "xyz ");
  EXPECT_EQ(rowText(48, 1, 4), "    ");
}

TEST_F(LineEntry, LongLineWrapsAndUpDownMoveOneRow) {
  locate(5, 1, -1);
  const std::string x130(130, 'x');
  enter(script({x130, kUp, "Y", kDown, "Z", kEnter}));
  // Up from 130 goes to 2, Down from 3 to 131, the end of the text.
  EXPECT_EQ(enteredLine.text, "xxY" + std::string(128, 'x') + "Z");
  EXPECT_EQ(rowText(5, 1, 4), "xxYx");
  EXPECT_EQ(rowText(6, 1, 5), "xxxZ ");
  EXPECT_TRUE(cursorAt(6, 5));

  clearScreen();
  locate(5, 1, -1);
  enter(script({std::string(300, 'w'), kEnter}));
  EXPECT_EQ(rowText(5), std::string(128, 'w'));
  EXPECT_EQ(rowText(6), std::string(128, 'w'));
  EXPECT_EQ(rowText(7, 1, 45), std::string(44, 'w') + " ");
  EXPECT_TRUE(cursorAt(7, 45));
}

TEST_F(LineEntry, MovingPastTheBottomRowScrolls) {
  locate(47, 1, -1);
  printText("above", false);
  locate(48, 1, -1);
  const std::string a128(128, 'a');
  enter(script({a128, "Z", kEnter}));
  EXPECT_EQ(enteredLine.text, a128 + "Z");
  // Filling the last cell moved the cursor below the last row, which scrolled one row.
  EXPECT_EQ(rowText(46, 1, 5), "above");
  EXPECT_EQ(rowText(47), a128);
  EXPECT_EQ(rowText(48, 1, 2), "Z ");
  EXPECT_TRUE(cursorAt(48, 2));
}

TEST_F(LineEntry, LeftFromColumnOneGoesToTheRowAbove) {
  locate(48, 1, -1);
  const std::string a128(128, 'a');
  enter(script({a128, "Z", kLeft, kLeft, "Q", kEnter}));
  EXPECT_EQ(enteredLine.text, std::string(127, 'a') + "QaZ");
  EXPECT_EQ(rowText(47), std::string(127, 'a') + "Q");
  EXPECT_EQ(rowText(48, 1, 3), "aZ ");
  EXPECT_TRUE(cursorAt(48, 3));
}

TEST_F(LineEntry, InsertThatScrollsPlacesTheCursorAfterTheInsertedText) {
  locate(48, 1, -1);
  const std::string a127(127, 'a');
  // "Q" fills the row exactly (no scroll); "R" pushes the tail past the last cell.
  enter(script({a127, kHome, "Q", "R", "S", kEnter}));
  EXPECT_EQ(enteredLine.text, "QRS" + a127);
  EXPECT_EQ(rowText(46, 1, 3), "   ");
  EXPECT_EQ(rowText(47), "QRS" + std::string(125, 'a'));
  EXPECT_EQ(rowText(48, 1, 3), "aa ");
  EXPECT_TRUE(cursorAt(48, 3));
}

TEST_F(LineEntry, OwedScrollIsSettledFirst) {
  locate(48, 1, -1);
  printText(std::string(128, 'p'), false);  // ends on the last cell with its scroll owed
  enter(script({"ab", kEnter}));
  EXPECT_EQ(rowText(47), std::string(128, 'p'));
  EXPECT_EQ(rowText(48, 1, 3), "ab ");
}

TEST_F(LineEntry, PromptEndingOnTheLastCell) {
  locate(48, 1, -1);
  enter(script({"ab", kLeft, "X", kEnter}), std::string(126, 'p'), 1);
  EXPECT_EQ(enteredLine.text, "aXb");
  EXPECT_EQ(rowText(47), std::string(126, 'p') + "? ");
  EXPECT_EQ(rowText(48, 1, 4), "aXb ");
  EXPECT_TRUE(cursorAt(48, 4));
}

TEST_F(LineEntry, EachSingleReadTakesTheNextCommaOrSpaceSeparatedField) {
  struct Case {
    std::string line;
    std::vector<float> values;  // successive inputSingle results
  };
  const Case cases[] = {
      {"12.5", {12.5f}},
      {"  7", {7.0f}},
      {"1e1", {10.0f}},
      {"-3", {-3.0f}},
      {"3,5", {3.0f, 5.0f, 0.0f}},
      {"12 34", {12.0f, 34.0f, 0.0f}},
      {"7abc", {7.0f}},
      {"abc", {0.0f}},
      {"", {0.0f, 0.0f}},
      {"&h10", {0.0f}},
      {"1234567890123456789", {123456789012345.0f, 6789.0f}},
      {"123456789012345,7", {123456789012345.0f, 0.0f, 7.0f}},
      {"1,,2", {1.0f, 0.0f, 2.0f}},
      {"\"1,5\"", {1.0f}},
      {"\"  2\"5 9", {25.0f, 9.0f}},
      {"\"3", {3.0f, 0.0f}},
      {"4\"5", {4.0f}},
      {"0.1", {0.1f}},
      {"16777217", {16777216.0f}},
      {"1e39", {std::numeric_limits<float>::infinity()}},
  };
  for (const Case& c : cases) {
    clearScreen();
    enter(script({c.line, kEnter}));
    ASSERT_EQ(enteredLine.text, c.line);
    for (size_t i = 0; i < c.values.size(); ++i)
      EXPECT_EQ(single(), c.values[i]) << '"' << c.line << "\" field " << i;
  }
}

TEST_F(LineEntry, LineBreaksAndTabsSeparateFields) {
  struct Case {
    std::string line;
    std::vector<float> values;
  };
  const Case cases[] = {
      {"1\r\n2", {1.0f, 2.0f, 0.0f}}, {"1\n\n2", {1.0f, 2.0f}}, {"\r\n\r 5", {5.0f}},
      {"1\r,2", {1.0f, 0.0f, 2.0f}},  {"12\t8", {12.0f, 8.0f}}, {"\t\t3", {3.0f}},
  };
  for (const Case& c : cases) {
    enteredLine.text = c.line;
    enteredLine.readPosition = 0;
    for (size_t i = 0; i < c.values.size(); ++i) EXPECT_EQ(single(), c.values[i]) << i;
  }
}

TEST_F(LineEntry, TabEndsTheField) {
  enter(script({"123", kTab, "4", kEnter}));
  EXPECT_EQ(single(), 123.0f);
  EXPECT_EQ(single(), 4.0f);
}

TEST_F(LineEntry, AHundredThousandCharacterLine) {
  std::vector<int32_t> keys(100000, 'x');
  keys.push_back(kEnter);
  locate(1, 1, -1);
  EXPECT_EQ(enter(keys, "", 0, 1), kErrorNone);
  EXPECT_EQ(enteredLine.text.size(), 100000u);
  // 100,000 = 781 rows of 128 and 32 more: the last text row holds the 32.
  EXPECT_EQ(rowText(47, 1, 33), std::string(32, 'x') + " ");
  EXPECT_TRUE(cursorAt(48, 1));
  EXPECT_EQ(single(), 0.0f);
}

TEST_F(LineEntry, FloodDuringTheWaitKeepsTheNewest15) {
  int calls = 0;
  virtualClock.onAwaitKey = [&calls] {
    if (calls++ == 0) {
      for (int k = 0; k < 10000; ++k) queueKey('0' + k % 10);
    } else {
      queueKey(kEnter);
    }
  };
  inputLine("", 0, 0);
  EXPECT_EQ(enteredLine.text, "567890123456789");
}

TEST_F(LineEntry, RandomKeysKeepTheEditorConsistent) {
  // A fixed-seed mix of editing keys, characters, control codes and stray extended keys;
  // a plain string model says what the line must be, and the screen must show it.
  uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  const int32_t editing[] = {kBackspace, kTab, kHome, kEnd, kLeft, kRight, kUp, kDown, kDelete};
  std::vector<int32_t> keys;
  std::string model;
  size_t pos = 0;
  for (int k = 0; k < 10000; ++k) {
    const uint32_t pick = next() % 100;
    int32_t code;
    if (pick < 2) {
      code = kEscape;
    } else if (pick < 40) {
      code = editing[next() % 9];
    } else if (pick < 45) {
      code = static_cast<int32_t>(next() % 32);  // control codes, Enter excluded below
      if (code == kEnter || code == kCtrlEnter) code = 0;
    } else if (pick < 50) {
      code = extendedKey(static_cast<int>(next() % 256));
    } else {
      code = 32 + static_cast<int32_t>(next() % 224);
    }
    keys.push_back(code);
    switch (code) {
      case kBackspace:
        if (pos > 0) model.erase(--pos, 1);
        break;
      case kTab: {
        const size_t t = ((pos + 8) & ~size_t{7}) - pos;
        model.insert(pos, t, ' ');
        pos += t;
        break;
      }
      case kEscape:
        model.clear();
        pos = 0;
        break;
      case kHome: pos = 0; break;
      case kEnd: pos = model.size(); break;
      case kLeft: pos -= pos > 0 ? 1 : 0; break;
      case kRight: pos += pos < model.size() ? 1 : 0; break;
      case kUp: pos -= pos >= 128 ? 128 : 0; break;
      case kDown: pos += pos + 128 <= model.size() ? 128 : 0; break;
      case kDelete:
        if (pos < model.size()) model.erase(pos, 1);
        break;
      default:
        if (code >= 32 && code <= 255) model.insert(pos++, 1, static_cast<char>(code));
        break;
    }
    ASSERT_LT(model.size(), 4000u) << "the script should stay on one screen";
  }
  keys.push_back(kEnter);
  locate(1, 1, -1);
  enter(keys);
  ASSERT_EQ(enteredLine.text, model);
  std::string shown;
  for (int row = 1; row <= 48; ++row) shown += rowText(row);
  EXPECT_EQ(shown.substr(0, model.size()), model);
  EXPECT_EQ(shown.find_first_not_of(' ', model.size()), std::string::npos);
}

TEST_F(LineEntry, OutOfMemoryReportsCode4AndStillEndsTheLine) {
  // Fifteen characters fit the string's own buffer; the sixteenth needs memory.
  int calls = 0;
  virtualClock.onAwaitKey = [&calls] {
    if (calls++ == 0) {
      for (int k = 0; k < 15; ++k) queueKey('1');
    } else if (calls == 2) {
      queueKey('2');
      failAllocations = true;
    } else {
      failAllocations = false;
      queueKey(kEnter);
    }
  };
  locate(10, 1, -1);
  const int32_t result = inputLine("", 0, 1);
  failAllocations = false;
  EXPECT_EQ(result, kErrorNoMemory);
  EXPECT_EQ(lastError(), kErrorNoMemory);
  EXPECT_TRUE(cursorAt(11, 1));
  EXPECT_EQ(single(), 0.0f);
}

TEST_F(LineEntry, RawLineReadsTypedCharacters) {
  virtualClock.onAwaitKey = [] {
    for (int32_t code : {int32_t{'4'}, kLeft, int32_t{'2'}, int32_t{7}, kEnter}) queueKey(code);
  };
  EXPECT_EQ(graphicsReadLineRaw(), std::string("42\x07"));
}

TEST_F(LineEntry, WidePromptIsConvertedToTheScreenCharacters) {
  locate(3, 1, -1);
  feed_ = script({"1", kEnter});
  next_ = 0;
  virtualClock.onAwaitKey = [this] {
    if (next_ < feed_.size()) queueKey(feed_[next_++]);
  };
  graphicsLineInputWide(u"A\u00F1o\U0001F600:", 0, 0);
  EXPECT_EQ(rowText(3, 1, 6), "A\xA4o?:1");
}
}  // namespace
