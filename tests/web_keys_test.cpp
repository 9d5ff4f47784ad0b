// The browser back end's keys: physical key names to scan codes, one key press to the codes
// it queues, and the ring the page writes presses into.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/web/web_key_events.h"
#include "platform/web/web_key_names.h"
#include "platform/web/web_key_ring.h"

namespace {
WebKeyEvent press(const char* keyName, int32_t character, uint32_t flags = 0) {
  WebKeyEvent e{};
  e.character = character;
  e.flags = flags;
  std::strncpy(e.keyName, keyName, sizeof e.keyName - 1);
  return e;
}

std::vector<int32_t> codesOf(const WebKeyEvent& e) {
  std::vector<int32_t> codes;
  translateWebKey(e, [&](int32_t code) { codes.push_back(code); });
  return codes;
}

TEST(WebKeyNames, PhysicalKeysHaveTheirPcScanCodes) {
  struct Case {
    const char* name;
    int code;
    bool extended;
  };
  const Case cases[] = {
      {"KeyA", 0x1E, false},
      {"Digit1", 0x02, false},
      {"Enter", 0x1C, false},
      {"NumpadEnter", 0x1C, true},
      {"Slash", 0x35, false},
      {"NumpadDivide", 0x35, true},
      {"ArrowLeft", 0x4B, true},
      {"Numpad4", 0x4B, false},
      {"Delete", 0x53, true},
      {"NumpadDecimal", 0x53, false},
      {"F10", 0x44, false},
      {"F11", 0x57, false},
      {"F12", 0x58, false},
      {"AltRight", 0x38, true},
      {"IntlBackslash", 0x56, false},
      {"Lang1", 0, false},
      {"", 0, false},
      {"keya", 0, false},
  };
  for (const Case& c : cases) {
    const WebScanCode pc = scanCodeOfKeyName(c.name);
    EXPECT_EQ(pc.code, c.code) << c.name;
    EXPECT_EQ(pc.extended, c.extended) << c.name;
  }
}

TEST(WebKeyEvents, PressesGiveTheCodesOfThePcKeyboard) {
  constexpr uint32_t S = kWebShift, C = kWebCtrl, A = kWebAlt, G = kWebAltGraph;
  struct Case {
    const char* what;
    WebKeyEvent event;
    std::vector<int32_t> codes;
  };
  const Case cases[] = {
      {"a letter", press("KeyA", 'a'), {'a'}},
      {"Shift and a letter", press("KeyA", 'A', S), {'A'}},
      {"a digit on the keypad with NumLock", press("Numpad1", '1'), {'1'}},
      {"the keypad without NumLock", press("Numpad1", 0), {0x4FFF}},
      {"Space", press("Space", ' '), {' '}},
      {"Shift and Space", press("Space", ' ', S), {' '}},
      {"Enter", press("Enter", 0), {13}},
      {"keypad Enter", press("NumpadEnter", 0), {13}},
      {"Ctrl and Enter", press("Enter", 0, C), {10}},
      {"Backspace", press("Backspace", 0), {8}},
      {"Tab", press("Tab", 0), {9}},
      {"Shift and Tab", press("Tab", 0, S), {0x0FFF, 9}},
      {"Escape", press("Escape", 0), {27}},
      {"Left", press("ArrowLeft", 0), {0x4BFF}},
      {"Ctrl and Left", press("ArrowLeft", 0, C), {0x73FF}},
      {"Home", press("Home", 0), {0x47FF}},
      {"End", press("End", 0), {0x4FFF}},
      {"Insert", press("Insert", 0), {0x52FF}},
      {"Delete", press("Delete", 0), {0x53FF}},
      {"Alt and Delete", press("Delete", 0, A), {0xA3FF}},
      {"F1", press("F1", 0), {0x3BFF}},
      {"F11", press("F11", 0), {0x85FF}},
      {"F12", press("F12", 0), {0x86FF}},
      {"Shift and F1", press("F1", 0, S), {0x54FF}},
      {"Alt and F4, the close request", press("F4", 0, A), {0x6BFF}},
      {"Alt and a letter", press("KeyX", 'x', A), {0x2DFF}},
      {"Ctrl and a letter", press("KeyC", 'c', C), {3}},
      {"AltGr on a layout that reports it", press("Digit2", '@', A | C | G), {'@'}},
      {"Ctrl and Alt as AltGr", press("KeyQ", '@', A | C), {'@'}},
      {"a letter with an accent", press("Semicolon", 0xF1), {0xA4}},  // n with tilde
      {"a character with no code page 437 form", press("KeyE", 0x20AC), {'?'}},
      {"a character beyond the basic plane", press("KeyE", 0x1F600), {'?'}},
      {"a key of no PC keyboard with a character", press("Lang3", 0x304B), {'?'}},
      {"a modifier alone", press("ShiftLeft", 0, S), {}},
      {"a dead key", press("BracketLeft", 0), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(codesOf(c.event), c.codes) << c.what;
}

TEST(WebKeyRing, HandsOverPressesOldestFirstAndOnlyOnce) {
  WebKeyRing ring;
  const char* names[] = {"Digit1", "Digit2", "ArrowLeft", "Digit3"};
  const int32_t characters[] = {'1', '2', 0, '3'};
  for (int i = 0; i < 4; ++i)
    ring.slots[ring.written++ % WebKeyRing::kSlots] = press(names[i], characters[i]);
  std::vector<int32_t> codes;
  EXPECT_EQ(drainKeyRing(ring, [&](int32_t c) { codes.push_back(c); }), 4);
  EXPECT_EQ(codes, (std::vector<int32_t>{'1', '2', 0x4BFF, '3'}));
  EXPECT_EQ(drainKeyRing(ring, [&](int32_t c) { codes.push_back(c); }), 0);
  EXPECT_EQ(codes.size(), 4u);
}

TEST(WebKeyRing, AnOverRunRingGivesItsNewestPressesAcrossTheWrap) {
  WebKeyRing ring;
  ring.written = ring.read = 0xFFFFFFF0u;  // the counters wrap during the test
  const int total = WebKeyRing::kSlots + 10;
  for (int i = 0; i < total; ++i)
    ring.slots[ring.written++ % WebKeyRing::kSlots] = press("KeyA", 'a' + i % 26);
  std::vector<int32_t> codes;
  EXPECT_EQ(drainKeyRing(ring, [&](int32_t c) { codes.push_back(c); }),
            static_cast<int>(WebKeyRing::kSlots));
  ASSERT_EQ(codes.size(), WebKeyRing::kSlots);
  EXPECT_EQ(codes.front(), 'a' + 10 % 26);
  EXPECT_EQ(codes.back(), 'a' + (total - 1) % 26);
  EXPECT_EQ(ring.read, ring.written);
}
}  // namespace
