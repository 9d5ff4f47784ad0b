// The bytes a terminal sends for keys, turned into the screen's key codes: sequences with
// their modifiers give the codes the PC tables give, Escape is told apart by its silence,
// and no input whatever leaves the parser stuck or yields a code outside the key range.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/terminal/terminal_keys.h"
#include "screen/backend/key_code.h"

namespace {
std::vector<int32_t> parse(std::string_view bytes, long long settleAfterMs = kEscapeTimeoutMs) {
  TerminalKeyParser parser;
  std::vector<int32_t> codes;
  parser.feed(bytes, 1000, codes);
  parser.tick(1000 + settleAfterMs, codes);
  return codes;
}

struct KeyCase {
  const char* name;
  std::string bytes;
  std::vector<int32_t> codes;
};

const KeyCase kKeys[] = {
    {"Text", "2.5", {'2', '.', '5'}},
    {"Enter", "\r", {13}},
    {"CtrlEnter", "\n", {10}},
    {"BackspaceSendsDelete", "\x7f", {8}},
    {"Tab", "\t", {9}},
    {"CtrlSpace", std::string(1, '\0'), {0x03FF}},
    {"Up", "\x1b[A", {0x48FF}},
    {"DownApplicationMode", "\x1bOB", {0x50FF}},
    {"ShiftLeftIsLeft", "\x1b[1;2D", {0x4BFF}},
    {"AltUp", "\x1b[1;3A", {0x98FF}},
    {"CtrlRight", "\x1b[1;5C", {0x74FF}},
    {"CtrlAltTakesAlt", "\x1b[1;7C", {0x9DFF}},
    {"HomeEnd", "\x1b[H\x1b[F", {0x47FF, 0x4FFF}},
    {"HomeEndByNumber", "\x1b[1~\x1b[4~\x1b[7~\x1b[8~", {0x47FF, 0x4FFF, 0x47FF, 0x4FFF}},
    {"InsertDelete", "\x1b[2~\x1b[3~", {0x52FF, 0x53FF}},
    {"CtrlDelete", "\x1b[3;5~", {0x93FF}},
    {"PageUpDown", "\x1b[5~\x1b[6~", {0x49FF, 0x51FF}},
    {"F1ToF4", "\x1bOP\x1bOQ\x1bOR\x1bOS", {0x3BFF, 0x3CFF, 0x3DFF, 0x3EFF}},
    {"F5ToF12",
     "\x1b[15~\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~\x1b[23~\x1b[24~",
     {0x3FFF, 0x40FF, 0x41FF, 0x42FF, 0x43FF, 0x44FF, 0x85FF, 0x86FF}},
    {"ShiftF1", "\x1b[1;2P", {0x54FF}},
    {"AltF4IsTheCloseRequest", "\x1b[1;3S", {0x6BFF}},
    {"CtrlF12", "\x1b[24;5~", {0x8AFF}},
    {"ShiftF5", "\x1b[15;2~", {0x58FF}},
    {"LinuxConsoleF1", "\x1b[[A", {0x3BFF}},
    {"ShiftTab", "\x1b[Z", {0x0FFF}},
    {"AltLetter", "\x1bx", {0x2DFF}},
    {"AltShiftLetter", "\x1bX", {0x2DFF}},
    {"AltDigit",
     "\x1b"
     "5",
     {0x7CFF}},
    {"AltEnter", "\x1b\r", {0x1CFF}},
    {"AltSpaceIsABlank", "\x1b ", {' '}},
    {"EscapePrefixedSequenceIsAlt", "\x1b\x1b[A", {0x98FF}},
    {"LoneEscape", "\x1b", {27}},
    {"TwoEscapes", "\x1b\x1b", {27, 27}},
    {"EscapeThenControlCharacter", "\x1b\x01", {27, 1}},
    {"AltBracketWhenNothingFollows", "\x1b[", {0x1AFF}},
    {"Utf8ToCodePage437", "\xc3\xa9\xc3\xb1", {0x82, 0xA4}},
    {"Utf8WithoutEquivalent", "\xe2\x82\xac", {'?'}},
    {"InvalidLeadByte",
     "\xff"
     "a",
     {'?', 'a'}},
    {"OverlongEncoding", "\xc0\xaf", {'?', '?'}},
    {"TruncatedCharacterThenText",
     "\xe2\x82"
     "a",
     {'?', 'a'}},
    {"SurrogateIsRefused", "\xed\xa0\x80", {'?'}},
    {"MouseReportIgnored", "\x1b[<0;10;5M", {}},
    {"DeviceReplyIgnored", "\x1b[?1;2c", {}},
    {"UnknownFinalIgnored",
     "\x1b[5z"
     "a",
     {'a'}},
    {"PasteMarkersIgnored", "\x1b[200~12\x1b[201~", {'1', '2'}},
    {"OverlongParametersDropped",
     "\x1b[111111111111111111111111111111111111111111A"
     "b",
     {'b'}},
    {"ControlByteBreaksASequence", "\x1b[1\r", {13}},
    {"KeypadEnterInApplicationMode", "\x1bOM", {13}},
};

class Keys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(Keys, GiveTheTableCodes) { EXPECT_EQ(parse(GetParam().bytes), GetParam().codes); }

INSTANTIATE_TEST_SUITE_P(Sequences, Keys, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EscapeTimeout, AnEscapeWaitsForItsSilence) {
  TerminalKeyParser parser;
  std::vector<int32_t> codes;
  parser.feed("\x1b", 1000, codes);
  parser.tick(1000 + kEscapeTimeoutMs - 1, codes);
  EXPECT_TRUE(codes.empty());
  parser.tick(1000 + kEscapeTimeoutMs, codes);
  EXPECT_EQ(codes, std::vector<int32_t>{27});
  EXPECT_TRUE(parser.idle());
}

TEST(EscapeTimeout, ASequenceSplitAcrossReadsIsOneKey) {
  TerminalKeyParser parser;
  std::vector<int32_t> codes;
  parser.feed("\x1b", 1000, codes);
  parser.tick(1010, codes);
  parser.feed("[1;5", 1020, codes);
  parser.tick(1030, codes);
  parser.feed("A", 1040, codes);
  EXPECT_EQ(codes, std::vector<int32_t>{0x8DFF});
}

TEST(EscapeTimeout, AUtf8CharacterSplitAcrossReadsIsOneCharacter) {
  TerminalKeyParser parser;
  std::vector<int32_t> codes;
  parser.feed("\xc3", 1000, codes);
  parser.feed("\xa9", 1001, codes);
  EXPECT_EQ(codes, std::vector<int32_t>{0x82});
}

// Random bytes, floods and cut sequences: every code is a character or an extended key and
// the parser always returns to its ground state after the timeout.
TEST(Garbage, NeverGivesACodeOutsideTheKeyRangeNorStaysInASequence) {
  std::mt19937 random(20240601);
  const std::string alphabet = "\x1b[O;0123456789~ABCDPQRSHFZ\r\x7f\xc3\xa9\xe2\x82\xff";
  for (int round = 0; round < 2000; ++round) {
    TerminalKeyParser parser;
    std::vector<int32_t> codes;
    std::string bytes;
    const int length = static_cast<int>(random() % 64);
    for (int i = 0; i < length; ++i)
      bytes += (random() % 3 == 0) ? static_cast<char>(random() % 256)
                                   : alphabet[random() % alphabet.size()];
    long long now = 0;
    for (size_t start = 0; start < bytes.size(); start += 7, now += 5)
      parser.feed(std::string_view(bytes).substr(start, 7), now, codes);
    parser.tick(now + kEscapeTimeoutMs, codes);
    EXPECT_TRUE(parser.idle()) << round;
    for (const int32_t code : codes) {
      const bool character = code >= 1 && code <= 255;
      const bool extended = isExtendedKey(code);
      ASSERT_TRUE(character || extended) << "code " << code << " in round " << round;
    }
  }
}

TEST(Garbage, APasteOfThousandsOfCharactersGivesThemAllInOrder) {
  std::string paste;
  for (int i = 0; i < 5000; ++i) paste += static_cast<char>('a' + i % 26);
  const std::vector<int32_t> codes = parse(paste);
  ASSERT_EQ(codes.size(), paste.size());
  for (size_t i = 0; i < paste.size(); ++i) ASSERT_EQ(codes[i], paste[i]);
}
}  // namespace
