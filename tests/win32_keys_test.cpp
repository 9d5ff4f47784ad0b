// Windows keyboard messages through the shared tables: scan code and extended bit from
// lParam, modifiers from the thread's keyboard state, the repeat count, the keys kept from
// the default handling, Alt+Enter, and characters from the ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_keys.h"
#include "screen/screen.h"
#include "tests/support/screen_fixture.h"

namespace {
enum Held : unsigned { kNoMods = 0, kShiftHeld = 1, kCtrlHeld = 2, kAltHeld = 4, kNumLockOn = 8 };

struct KeyCase {
  const char* name;
  WPARAM virtualKey;
  int scanCode;
  bool extended;
  unsigned held;
  int repeat;
  std::vector<int32_t> queued;
  bool kept;
  bool switches;
};

LPARAM keyLParam(int scanCode, bool extended, int repeat) {
  return static_cast<LPARAM>(repeat) | (static_cast<LPARAM>(scanCode) << 16) |
         (extended ? (1L << 24) : 0);
}

void holdKeys(unsigned held) {
  BYTE state[256] = {};
  auto press = [&](int vk) { state[vk] = 0x80; };
  if (held & kShiftHeld) press(VK_SHIFT), press(VK_LSHIFT);
  if (held & kCtrlHeld) press(VK_CONTROL), press(VK_LCONTROL);
  if (held & kAltHeld) press(VK_MENU), press(VK_LMENU);
  if (held & kNumLockOn) state[VK_NUMLOCK] = 1;  // toggled
  SetKeyboardState(state);
}

class WindowsKeyDown : public ScreenTest, public ::testing::WithParamInterface<KeyCase> {
 protected:
  void TearDown() override {
    holdKeys(kNoMods);
    ScreenTest::TearDown();
  }
};

std::vector<int32_t> drainQueue() {
  std::vector<int32_t> codes;
  for (std::string key = readKey(); !key.empty(); key = readKey()) {
    const auto first = static_cast<unsigned char>(key[0]);
    codes.push_back(key.size() == 1 ? first : (static_cast<unsigned char>(key[1]) << 8) | 0xFF);
  }
  return codes;
}

TEST_P(WindowsKeyDown, QueuesTheTableCodeAndKeepsWhatItMust) {
  const KeyCase& c = GetParam();
  holdKeys(c.held);
  const KeyDownOutcome outcome =
      handleKeyDownMessage(c.virtualKey, keyLParam(c.scanCode, c.extended, c.repeat));
  EXPECT_EQ(drainQueue(), c.queued);
  EXPECT_EQ(outcome.keptFromSystem, c.kept);
  EXPECT_EQ(outcome.switchRequested, c.switches);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WindowsKeyDown,
    ::testing::Values(
        KeyCase{"Left", VK_LEFT, 0x4B, true, kNoMods, 1, {0x4BFF}, false, false},
        KeyCase{"CtrlHome", VK_HOME, 0x47, true, kCtrlHeld, 1, {0x77FF}, false, false},
        KeyCase{"AltDelete", VK_DELETE, 0x53, true, kAltHeld, 1, {0xA3FF}, false, false},
        KeyCase{"DownRepeated",
                VK_DOWN,
                0x50,
                true,
                kNoMods,
                3,
                {0x50FF, 0x50FF, 0x50FF},
                false,
                false},
        KeyCase{"F1", VK_F1, 0x3B, false, kNoMods, 1, {0x3BFF}, false, false},
        KeyCase{"ShiftF1", VK_F1, 0x3B, false, kShiftHeld, 1, {0x54FF}, false, false},
        KeyCase{"F10", VK_F10, 0x44, false, kNoMods, 1, {0x44FF}, true, false},
        KeyCase{"F12", VK_F12, 0x58, false, kNoMods, 1, {0x86FF}, false, false},
        KeyCase{"AltItself", VK_MENU, 0x38, false, kAltHeld, 1, {}, true, false},
        KeyCase{"AltF4", VK_F4, 0x3E, false, kAltHeld, 1, {0x6BFF}, true, false},
        KeyCase{"AltEnter", VK_RETURN, 0x1C, false, kAltHeld, 1, {}, true, true},
        // The keypad's Enter reports its character, so the BIOS row of Enter applies, and it
        // is not the Alt+Enter switch.
        KeyCase{"AltKeypadEnter", VK_RETURN, 0x1C, true, kAltHeld, 1, {0x1CFF}, false, false},
        KeyCase{"AltLetter", 'A', 0x1E, false, kAltHeld, 1, {0x1EFF}, false, false},
        KeyCase{"AltDigit", '1', 0x02, false, kAltHeld, 1, {0x78FF}, false, false},
        // Characters come from their character messages, not from the key-down.
        KeyCase{"Letter", 'A', 0x1E, false, kNoMods, 1, {}, false, false},
        KeyCase{"Enter", VK_RETURN, 0x1C, false, kNoMods, 1, {}, false, false},
        KeyCase{"CtrlLetter", 'A', 0x1E, false, kCtrlHeld, 1, {}, false, false},
        KeyCase{"KeypadSevenNumLockOff", VK_HOME, 0x47, false, kNoMods, 1, {0x47FF}, false, false},
        KeyCase{"KeypadSevenNumLockOn", VK_NUMPAD7, 0x47, false, kNumLockOn, 1, {}, false, false}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(ScreenTest, CharacterMessagesQueueCodePage437OncePerRepeat) {
  handleCharMessage('x', 2);     // repeat count 2
  handleCharMessage(13, 1);      // Enter
  handleCharMessage(0xE9, 1);    // e acute in code page 1252
  handleCharMessage(0x80, 1);    // the euro sign: none in code page 437
  handleCharMessage(0x263A, 1);  // above 255: ignored
  handleCharMessage(0, 1);       // no character
  EXPECT_EQ(drainQueue(), (std::vector<int32_t>{'x', 'x', 13, 0x82, '?'}));
}

TEST(AnsiToCp437, KeepsAsciiAndMapsTheUpperHalf) {
  if (GetACP() != 1252) GTEST_SKIP() << "the cases are those of code page 1252";
  const struct {
    uint8_t ansi, cp437;
  } cases[] = {{'A', 'A'},   {0x7F, 0x7F}, {0xE9, 0x82}, {0xF1, 0xA4}, {0xD1, 0xA5},
               {0xBF, 0xA8}, {0xA3, 0x9C}, {0x80, '?'},  {0x81, '?'}};
  for (const auto& c : cases) EXPECT_EQ(ansiToCp437(c.ansi), c.cp437) << int{c.ansi};
}
}  // namespace
