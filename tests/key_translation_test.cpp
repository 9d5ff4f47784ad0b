// Key translation: the extended and BIOS tables per modifier column, which key-downs
// queue a code and which leave it to their character event, and the keys kept from the
// system's default handling.
#include <gtest/gtest.h>

#include "screen/key_queue.h"
#include "screen/key_translation.h"

namespace {
constexpr KeyModifiers kNone{};
constexpr KeyModifiers kShift{true, false, false};
constexpr KeyModifiers kCtrl{false, true, false};
constexpr KeyModifiers kAlt{false, false, true};

struct Row {
  int scanCode;
  int32_t none, shift, ctrl, alt;
};

TEST(KeyTables, BiosRowsPerModifierColumn) {
  const Row rows[] = {
      {0x01, 27, 27, 27, 0x01FF},               // Escape
      {0x02, '1', '!', 0, 0x78FF},              // 1
      {0x03, '2', '@', 0x03FF, 0x79FF},         // 2: Ctrl gives the NUL key
      {0x07, '6', '^', 0x1E, 0x7DFF},           // 6
      {0x0B, '0', ')', 0, 0x81FF},              // 0
      {0x0C, '-', '_', 0x1F, 0x82FF},           // -
      {0x0D, '=', '+', 0, 0x83FF},              // =
      {0x0E, 8, 8, 127, 0x0EFF},                // Backspace
      {0x0F, 9, 0x0FFF, 0x94FF, 0xA5FF},        // Tab: Shift is back-tab
      {0x10, 'q', 'Q', 17, 0x10FF},             // q
      {0x1C, 13, 13, 10, 0x1CFF},               // Enter
      {0x1E, 'a', 'A', 1, 0x1EFF},              // a
      {0x25, 'k', 'K', 11, 0x25FF},             // k
      {0x27, ';', ':', 0, 0x27FF},              // ;
      {0x2B, '\\', '|', 28, 0x2BFF},            // backslash
      {0x32, 'm', 'M', 13, 0x32FF},             // m
      {0x35, '/', '?', 0, 0x35FF},              // /
      {0x37, '*', '*', 0x96FF, 0x37FF},         // keypad *
      {0x39, ' ', ' ', ' ', ' '},               // space
      {0x3B, 0x3BFF, 0x54FF, 0x5EFF, 0x68FF},   // F1
      {0x3E, 0x3EFF, 0x57FF, 0x61FF, 0x6BFF},   // F4
      {0x44, 0x44FF, 0x5DFF, 0x67FF, 0x71FF},   // F10
      {0x47, 0x47FF, '7', 0x77FF, 0},           // keypad 7 / Home
      {0x48, 0x48FF, '8', 0x8DFF, 0},           // keypad 8 / Up
      {0x4A, '-', '-', 0x8EFF, 0x4AFF},         // keypad -
      {0x4C, 0, '5', 0x8FFF, 0},                // keypad 5
      {0x4E, '+', '+', 0x90FF, 0x4EFF},         // keypad +
      {0x53, 0x53FF, '.', 0x93FF, 0},           // keypad . / Delete
      {0x57, 0x85FF, 0x87FF, 0x89FF, 0x8BFF},   // F11
      {0x58, 0x86FF, 0x88FF, 0x8AFF, 0x8CFF},   // F12
      {0x00, 0, 0, 0, 0},                       // no key
      {0x1D, 0, 0, 0, 0},                       // Ctrl
      {0x38, 0, 0, 0, 0},                       // Alt
  };
  for (const Row& r : rows) {
    EXPECT_EQ(biosTableEntry(r.scanCode, 0), r.none) << std::hex << r.scanCode;
    EXPECT_EQ(biosTableEntry(r.scanCode, 1), r.shift) << std::hex << r.scanCode;
    EXPECT_EQ(biosTableEntry(r.scanCode, 2), r.ctrl) << std::hex << r.scanCode;
    EXPECT_EQ(biosTableEntry(r.scanCode, 3), r.alt) << std::hex << r.scanCode;
  }
  EXPECT_EQ(biosTableEntry(0x59, 0), -1);
  EXPECT_EQ(biosTableEntry(-1, 0), -1);
  EXPECT_EQ(biosTableEntry(0x3B, 4), -1);
}

TEST(KeyTables, EveryBiosLetterRowIsConsistent) {
  // The three letter rows of the keyboard, in scan-code order.
  const char* letterRows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
  const int firstScan[] = {0x10, 0x1E, 0x2C};
  for (int r = 0; r < 3; ++r)
    for (int i = 0; letterRows[r][i] != 0; ++i) {
      const int scan = firstScan[r] + i;
      const char letter = letterRows[r][i];
      EXPECT_EQ(biosTableEntry(scan, 0), letter);
      EXPECT_EQ(biosTableEntry(scan, 1), letter - 'a' + 'A');
      EXPECT_EQ(biosTableEntry(scan, 2), letter - 'a' + 1);
      EXPECT_EQ(biosTableEntry(scan, 3), extendedKey(scan));
    }
}

TEST(KeyTables, ExtendedRowsPerModifierColumn) {
  const Row rows[] = {
      {0x1C, 13, 13, 10, 0xA6FF},           {0x35, '/', '?', 0x95FF, 0xA4FF},
      {0x47, 0x47FF, 0x47FF, 0x77FF, 0x97FF}, {0x48, 0x48FF, 0x48FF, 0x8DFF, 0x98FF},
      {0x49, 0x49FF, 0x49FF, 0x84FF, 0x99FF}, {0x4B, 0x4BFF, 0x4BFF, 0x73FF, 0x9BFF},
      {0x4D, 0x4DFF, 0x4DFF, 0x74FF, 0x9DFF}, {0x4F, 0x4FFF, 0x4FFF, 0x75FF, 0x9FFF},
      {0x50, 0x50FF, 0x50FF, 0x91FF, 0xA0FF}, {0x51, 0x51FF, 0x51FF, 0x76FF, 0xA1FF},
      {0x52, 0x52FF, 0x52FF, 0x92FF, 0xA2FF}, {0x53, 0x53FF, 0x53FF, 0x93FF, 0xA3FF},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(extendedTableEntry(r.scanCode, 0), r.none) << std::hex << r.scanCode;
    EXPECT_EQ(extendedTableEntry(r.scanCode, 1), r.shift) << std::hex << r.scanCode;
    EXPECT_EQ(extendedTableEntry(r.scanCode, 2), r.ctrl) << std::hex << r.scanCode;
    EXPECT_EQ(extendedTableEntry(r.scanCode, 3), r.alt) << std::hex << r.scanCode;
  }
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
    EXPECT_EQ(translateKeyDown(c.scanCode, c.extended, c.modifiers, c.reported), c.code)
        << c.what;
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
      {"F10", 0x44, false, kNone, true},        {"Shift+F10", 0x44, false, kShift, true},
      {"left Alt", 0x38, false, kAlt, true},    {"right Alt", 0x38, true, kAlt, true},
      {"Alt+F4", 0x3E, false, kAlt, true},      {"F4", 0x3E, false, kNone, false},
      {"Ctrl+F4", 0x3E, false, kCtrl, false},   {"F9", 0x43, false, kNone, false},
      {"Alt+a", 0x1E, false, kAlt, false},      {"a", 0x1E, false, kNone, false},
      {"grey Home", 0x47, true, kNone, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(keyDownKeptFromSystem(c.scanCode, c.extended, c.modifiers), c.kept) << c.what;
}
}  // namespace
