// Key translation: the codes key-downs queue per modifier (function keys, grey keys, Alt
// with letters and digits), which leave it to their character event, and the keys kept from
// the system's default handling.
#include <gtest/gtest.h>

#include "screen/backend/key_code.h"
#include "screen/backend/key_translation.h"

namespace {
constexpr KeyModifiers kNone{};
constexpr KeyModifiers kShift{true, false, false};
constexpr KeyModifiers kCtrl{false, true, false};
constexpr KeyModifiers kAlt{false, false, true};

const KeyModifiers kEachModifier[4] = {kNone, kShift, kCtrl, kAlt};

// Calls f(scan code, letter) for each letter key, row by row in scan-code order.
template <typename F>
void forEachLetterKey(F f) {
  const struct {
    const char* letters;
    int firstScan;
  } rows[] = {{"qwertyuiop", 0x10}, {"asdfghjkl", 0x1E}, {"zxcvbnm", 0x2C}};
  for (const auto& row : rows)
    for (int i = 0; row.letters[i] != 0; ++i) f(row.firstScan + i, row.letters[i]);
}

// What a key-down queues when the system reports no character for it.
int32_t keyDown(int scanCode, bool extended, KeyModifiers modifiers) {
  return translateKeyDown(scanCode, extended, modifiers, kNoCharacter);
}

TEST(KeyTranslation, KeyDownsQueueOnlyExtendedCodes) {
  // Characters come from the character events: a key-down queues nothing or an extended key.
  for (int scan = 0; scan < 0x60; ++scan)
    for (bool extended : {false, true})
      for (KeyModifiers m : kEachModifier) {
        const int32_t code = keyDown(scan, extended, m);
        EXPECT_TRUE(code == 0 || isExtendedKey(code)) << std::hex << scan << " " << code;
      }
}

TEST(KeyTranslation, FunctionKeysGiveOneRunOfCodesPerModifier) {
  // F1-F10 are scan codes 0x3B-0x44, F11 and F12 0x57 and 0x58.
  const int firstOfRun[4] = {0x3B, 0x54, 0x5E, 0x68};
  for (int column = 0; column < 4; ++column) {
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(keyDown(0x3B + i, false, kEachModifier[column]),
                extendedKey(firstOfRun[column] + i))
          << "F" << i + 1 << " column " << column;
    EXPECT_EQ(keyDown(0x57, false, kEachModifier[column]), extendedKey(0x85 + 2 * column))
        << column;
    EXPECT_EQ(keyDown(0x58, false, kEachModifier[column]), extendedKey(0x86 + 2 * column))
        << column;
  }
  EXPECT_EQ(keyDown(0x3E, false, kAlt), kKeyCloseRequest);  // Alt+F4
}

TEST(KeyTranslation, GreyKeysIgnoreShiftAndAltAddsEighty) {
  for (int scan : {0x47, 0x48, 0x49, 0x4B, 0x4D, 0x4F, 0x50, 0x51, 0x52, 0x53}) {
    EXPECT_EQ(keyDown(scan, true, kNone), extendedKey(scan)) << std::hex << scan;
    EXPECT_EQ(keyDown(scan, true, kShift), extendedKey(scan)) << std::hex << scan;
    EXPECT_EQ(keyDown(scan, true, kAlt), extendedKey(scan + 0x50)) << std::hex << scan;
    const int32_t ctrl = keyDown(scan, true, kCtrl);
    EXPECT_TRUE(isExtendedKey(ctrl) && ctrl != extendedKey(scan)) << std::hex << scan;
  }
}

TEST(KeyTranslation, AltWithALetterOrDigitQueuesItsOwnCode) {
  forEachLetterKey([](int scan, char letter) {
    EXPECT_EQ(translateKeyDown(scan, false, kAlt, letter), extendedKey(scan)) << letter;
    EXPECT_EQ(translateKeyDown(scan, false, kAlt, letter - 'a' + 'A'), extendedKey(scan)) << letter;
    EXPECT_EQ(translateKeyDown(scan, false, kNone, letter), 0) << letter;
    EXPECT_EQ(translateKeyDown(scan, false, kCtrl, letter - 'a' + 1), 0) << letter;
  });
  // The digit row 1-9, 0, then - and =: scan codes 0x02-0x0D, Alt codes 0x78-0x83.
  const char digitRow[] = "1234567890-=";
  for (int i = 0; digitRow[i] != 0; ++i)
    EXPECT_EQ(translateKeyDown(0x02 + i, false, kAlt, digitRow[i]), extendedKey(0x78 + i))
        << digitRow[i];
}

TEST(KeyTables, BiosLetterRowsFollowTheAlphabetAndEndAt0x58) {
  forEachLetterKey([](int scan, char letter) {
    EXPECT_EQ(biosTableEntry(scan, 0), letter);
    EXPECT_EQ(biosTableEntry(scan, 1), letter - 'a' + 'A');
    EXPECT_EQ(biosTableEntry(scan, 2), letter - 'a' + 1);
    EXPECT_EQ(biosTableEntry(scan, 3), extendedKey(scan));
  });
  EXPECT_EQ(biosTableEntry(0x58, 0), extendedKey(0x86));  // F12, the last row
  EXPECT_EQ(biosTableEntry(0x59, 0), -1);
  EXPECT_EQ(biosTableEntry(-1, 0), -1);
  EXPECT_EQ(biosTableEntry(0x3B, 4), -1);
  EXPECT_EQ(extendedTableEntry(0x1D, 0), -1);  // right Ctrl has no row
}

TEST(KeyTranslation, WhichKeyDownsQueueACode) {
  struct Case {
    const char* what;
    int scanCode;
    bool extended;
    KeyModifiers modifiers;
    int reported;
    int32_t code;
  };
  const Case cases[] = {
      {"grey Up", 0x48, true, kNone, kNoCharacter, 0x48FF},
      {"Shift+grey Home", 0x47, true, kShift, kNoCharacter, 0x47FF},
      {"Ctrl+grey Left", 0x4B, true, kCtrl, kNoCharacter, 0x73FF},
      {"Alt+grey Delete", 0x53, true, kAlt, kNoCharacter, 0xA3FF},
      {"Alt over Ctrl over Shift", 0x53, true, {true, true, true}, kNoCharacter, 0xA3FF},
      {"Ctrl over Shift", 0x53, true, {true, true, false}, kNoCharacter, 0x93FF},
      {"keypad Enter", 0x1C, true, kNone, kNoCharacter, 0},
      {"Ctrl+keypad Enter", 0x1C, true, kCtrl, kNoCharacter, 0},
      {"Alt+keypad Enter", 0x1C, true, kAlt, kNoCharacter, 0xA6FF},
      {"keypad slash", 0x35, true, kNone, kNoCharacter, 0},
      {"Ctrl+keypad slash", 0x35, true, kCtrl, kNoCharacter, 0x95FF},
      {"Alt+keypad slash", 0x35, true, kAlt, kNoCharacter, 0xA4FF},
      {"keypad slash with its character", 0x35, true, kNone, '/', 0},
      {"right Ctrl", 0x1D, true, kCtrl, kNoCharacter, 0},
      {"print screen", 0x37, true, kNone, kNoCharacter, 0},
      {"F1", 0x3B, false, kNone, kNoCharacter, 0x3BFF},
      {"Shift+F1", 0x3B, false, kShift, kNoCharacter, 0x54FF},
      {"Ctrl+F1", 0x3B, false, kCtrl, kNoCharacter, 0x5EFF},
      {"Alt+F1", 0x3B, false, kAlt, kNoCharacter, 0x68FF},
      {"F12", 0x58, false, kNone, kNoCharacter, 0x86FF},
      {"F-key reporting a character", 0x3B, false, kNone, 'x', 0},
      {"Alt+F4", 0x3E, false, kAlt, kNoCharacter, kKeyCloseRequest},
      {"Alt+a", 0x1E, false, kAlt, 'a', 0x1EFF},
      {"Alt+A with Caps Lock", 0x1E, false, kAlt, 'A', 0x1EFF},
      {"Alt+a on a layout giving q", 0x1E, false, kAlt, 'q', 0},
      {"Alt+1", 0x02, false, kAlt, '1', 0x78FF},
      {"Alt+1 on a layout giving &", 0x02, false, kAlt, '&', 0},
      {"a", 0x1E, false, kNone, 'a', 0},
      {"Shift+a", 0x1E, false, kShift, 'A', 0},
      {"Ctrl+a", 0x1E, false, kCtrl, 1, 0},
      {"Ctrl+2", 0x03, false, kCtrl, '2', 0x03FF},
      {"space", 0x39, false, kNone, ' ', 0},
      {"Shift+space", 0x39, false, kShift, ' ', 0},
      {"Enter", 0x1C, false, kNone, 13, 0},
      {"Shift+Tab", 0x0F, false, kShift, 9, 0x0FFF},
      {"keypad 8, NumLock off", 0x48, false, kNone, kNoCharacter, 0x48FF},
      {"keypad 8, NumLock on", 0x48, false, kNone, '8', 0},
      {"Ctrl+keypad 9", 0x49, false, kCtrl, kNoCharacter, 0x84FF},
      {"Alt+keypad 7", 0x47, false, kAlt, kNoCharacter, 0},
      {"Alt+keypad minus", 0x4A, false, kAlt, '-', 0x4AFF},
      {"Alt key", 0x38, false, kAlt, kNoCharacter, 0},
      {"scan code 89", 0x59, false, kNone, kNoCharacter, 0},
      {"Windows key", 0x5B, true, kNone, kNoCharacter, 0},
      {"negative scan code", -1, false, kNone, kNoCharacter, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(translateKeyDown(c.scanCode, c.extended, c.modifiers, c.reported), c.code) << c.what;
}

TEST(KeyTranslation, KeysKeptFromTheSystem) {
  struct Case {
    const char* what;
    int scanCode;
    bool extended;
    KeyModifiers modifiers;
    bool kept;
  };
  const Case cases[] = {
      {"F10", 0x44, false, kNone, true},       {"Shift+F10", 0x44, false, kShift, true},
      {"left Alt", 0x38, false, kAlt, true},   {"right Alt", 0x38, true, kAlt, true},
      {"Alt+F4", 0x3E, false, kAlt, true},     {"F4", 0x3E, false, kNone, false},
      {"Ctrl+F4", 0x3E, false, kCtrl, false},  {"F9", 0x43, false, kNone, false},
      {"Alt+a", 0x1E, false, kAlt, false},     {"a", 0x1E, false, kNone, false},
      {"grey Home", 0x47, true, kNone, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(keyDownKeptFromSystem(c.scanCode, c.extended, c.modifiers), c.kept) << c.what;
}
}  // namespace
