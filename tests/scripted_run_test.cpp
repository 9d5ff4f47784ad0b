// The snapshot driver's actions: how their command-line forms are read, and how a scripted
// run reports the ways it can stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/simulator_run.h"

namespace {

struct ParseCase {
  const char* text;
  bool valid;
};

const ParseCase kParseCases[] = {
    {"type:2\\r58\\r", true}, {"type:", true},     {"type:a\\\\b", true}, {"type:a\\nb", false},
    {"type:a\\", false},      {"key:Enter", true}, {"key:f12", true},     {"key:Close", true},
    {"key:F13", false},       {"key:", false},     {"wait:line", true},   {"wait:end", true},
    {"wait:pause", true},     {"wait:250", true},  {"wait:0", true},      {"wait:-5", false},
    {"wait:12ms", false},     {"wait:", false},    {"shot:a.png", true},  {"shot:", false},
    {"cells:a.txt", true},    {"cells:", false},   {"snap:a.png", false}, {"", false},
};

TEST(ScriptedRunParse, AcceptsOnlyWellFormedActions) {
  for (const ParseCase& c : kParseCases) {
    std::string error;
    const auto action = parseAction(c.text, error);
    EXPECT_EQ(action.has_value(), c.valid) << c.text;
    EXPECT_EQ(error.empty(), c.valid) << c.text << ": " << error;
  }
}

TEST(ScriptedRunParse, TypedTextBecomesKeyCodes) {
  std::string error;
  const auto action = parseAction("type:2,5\\r\\\\", error);
  ASSERT_TRUE(action);
  EXPECT_EQ(action->keys, (std::vector<int32_t>{'2', ',', '5', 13, '\\'}));
  EXPECT_EQ(parseAction("key:Close", error)->keys, std::vector<int32_t>{0x6BFF});
  EXPECT_EQ(parseAction("key:F11", error)->keys, std::vector<int32_t>{0x85FF});
  EXPECT_EQ(parseAction("key:Left", error)->keys, std::vector<int32_t>{0x4BFF});
  EXPECT_EQ(parseAction("wait:1500", error)->ms, 1500);
}

TEST(ScriptedRunParse, TypedTextIsConvertedFromUtf8ToCodePage437) {
  struct Case {
    const char* text;
    std::vector<int32_t> keys;
  };
  const Case cases[] = {
      {"type:\xC3\xB1\xC3\xA1", {0xA4, 0xA0}},  // ñá
      {"type:\xC3\x91o\\r", {0xA5, 'o', 13}},   // Ño, Enter
      {"type:\xC2\xBF"
       "2\xE2\x82\xAC?",
       {0xA8, '2', '?', '?'}},                      // ¿2€? (no euro sign)
      {"type:\xE2\x96\x91\xCE\xB1", {0xB0, 0xE0}},  // shade, alpha
      {"type:a\\\\\xC3\xA9", {'a', '\\', 0x82}},    // a, backslash, é
      {"type:\xC3", {'?'}},                         // a cut sequence
      {"type:\xF0\x9F\x98\x80", {'?'}},             // outside the code page
  };
  for (const Case& c : cases) {
    std::string error;
    const auto action = parseAction(c.text, error);
    ASSERT_TRUE(action) << c.text << ": " << error;
    EXPECT_EQ(action->keys, c.keys) << c.text;
  }
}

TEST(ScriptedRunParse, FirstMalformedArgumentIsNamed) {
  std::vector<ScriptAction> actions;
  std::string error;
  EXPECT_FALSE(parseActions({"wait:line", "wait:soon", "key:Nope"}, actions, error));
  EXPECT_NE(error.find("wait:soon"), std::string::npos);
}

TEST_F(SimulatorRun, SummaryCountsVirtualTimeRowsAndTones) {
  const ScriptedRunResult result =
      runScripted({entries("2", "2.345", "50"), waitEndAction(), keyAction(' ')});
  EXPECT_EQ(result.outcome, ScriptedRunResult::Outcome::Ended);
  EXPECT_EQ(result.rows, 35);
  EXPECT_EQ(result.beeps, 1);
  long long slept = 0;
  for (const int ms : result.sleeps) slept += ms;
  EXPECT_EQ(result.virtualMs, slept + 250);
  EXPECT_EQ(summaryLine(result),
            "virtual_ms=" + std::to_string(result.virtualMs) + " rows=35 beeps=1");
}

TEST_F(SimulatorRun, RunningOutOfActionsInAKeyWaitStopsWithStatusThree) {
  const ScriptedRunResult atForm = runScripted({});
  EXPECT_EQ(atForm.outcome, ScriptedRunResult::Outcome::OutOfActions);
  EXPECT_EQ(atForm.exitStatus, 3);
  EXPECT_EQ(atForm.stoppedIn, ScriptedRunResult::Wait::Line);
  // A wait that the program cannot reach from its line wait stops the run too.
  const ScriptedRunResult unreachable = runScripted({waitEndAction()});
  EXPECT_EQ(unreachable.exitStatus, 3);
  EXPECT_EQ(unreachable.stoppedIn, ScriptedRunResult::Wait::Line);
}

TEST_F(SimulatorRun, WaitForMillisecondsCountsTheProgramsPauses) {
  // From the end of the 200 ms pause the introduction pauses 1 ms at a time.
  const ScriptedRunResult during = runScripted({waitMsAction(500), stopAction()});
  EXPECT_EQ(during.outcome, ScriptedRunResult::Outcome::Stopped);
  EXPECT_EQ(during.virtualMs, 500);
  // A program blocked on a key lets the wait pass at once.
  const ScriptedRunResult blocked =
      runScripted({waitLineAction(), waitMsAction(100000), stopAction()});
  EXPECT_EQ(blocked.outcome, ScriptedRunResult::Outcome::Stopped);
  EXPECT_LT(blocked.virtualMs, 2000);
}

TEST_F(SimulatorRun, WaitForAPauseLetsTheFollowingWaitCountFromIt) {
  // From the entry form's last line wait, a plain wait passes at once; after wait:pause it
  // counts the program's pauses from its first one, the table's first 2 ms step.
  auto fromLastLine = [](std::vector<ScriptAction> tail) {
    std::vector<ScriptAction> actions = {waitLineAction(), typeAction("20\r"),
                                         waitLineAction(), typeAction("45\r"),
                                         waitLineAction(), typeAction("25\r")};
    for (auto& action : tail) actions.push_back(std::move(action));
    actions.push_back(stopAction());
    return runScripted(std::move(actions));
  };
  const ScriptedRunResult atOnce = fromLastLine({waitMsAction(1000)});
  const ScriptedRunResult counted = fromLastLine({waitPauseAction(), waitMsAction(1000)});
  ASSERT_EQ(counted.outcome, ScriptedRunResult::Outcome::Stopped);
  EXPECT_EQ(counted.rows, 4);  // 4 rows of 217 ms and the fifth one's first steps
  EXPECT_EQ(counted.virtualMs - atOnce.virtualMs, 2 + 1000);
}

}  // namespace
