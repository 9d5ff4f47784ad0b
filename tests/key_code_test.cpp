// Key codes and key texts: the extended-key form, the named keys, and the text of a code
// and back for every kind of code.
#include "screen/backend/key_code.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST(KeyCode, ExtendedKeysCarryTheScanCodeOverFF) {
  EXPECT_EQ(extendedKey(0x48), 0x48FF);
  EXPECT_EQ(kKeyCloseRequest, 0x6BFF);
  for (int scan = 0; scan < 256; ++scan) {
    EXPECT_TRUE(isExtendedKey(extendedKey(scan)) || scan == 0) << scan;
    EXPECT_EQ(scanCodeOf(extendedKey(scan)), scan);
  }
  for (int32_t code : {0, 1, int{'a'}, 255, 0x4800, 0x48FE, 0x10000, 0x1FF00FF, -1})
    EXPECT_FALSE(isExtendedKey(code)) << std::hex << code;
  // 0x00FF is the character 255, not an extended key.
  EXPECT_FALSE(isExtendedKey(extendedKey(0)));
}

TEST(KeyCode, NamedKeysAreTheirScanCodes) {
  struct Case {
    int32_t code;
    int scan;
  };
  const Case cases[] = {{kKeyHome, 0x47}, {kKeyUp, 0x48},   {kKeyLeft, 0x4B},  {kKeyRight, 0x4D},
                        {kKeyEnd, 0x4F},  {kKeyDown, 0x50}, {kKeyDelete, 0x53}};
  for (const Case& c : cases) EXPECT_EQ(c.code, (c.scan << 8) | 0xFF) << std::hex << c.scan;
}

TEST(KeyCode, KeyTextsRoundTripAndNoKeyIsTheEmptyText) {
  struct Case {
    int32_t code;
    std::string text;
  };
  const Case cases[] = {
      {0, ""},           {1, "\x01"},       {'a', "a"},           {255, "\xff"},
      {0x48FF, "\xffH"}, {0x6BFF, "\xffk"}, {0x86FF, "\xff\x86"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(keyTextOfCode(c.code), c.text) << std::hex << c.code;
    EXPECT_EQ(keyCodeOfText(c.text), c.code) << std::hex << c.code;
  }
  // Every extended key survives the trip through its text.
  for (int scan = 1; scan < 256; ++scan)
    EXPECT_EQ(keyCodeOfText(keyTextOfCode(extendedKey(scan))), extendedKey(scan)) << scan;
}
}  // namespace
