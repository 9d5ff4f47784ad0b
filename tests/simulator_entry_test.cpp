// The entry form end to end: which sets of values it accepts, the sweeps' colours, and
// keys typed ahead of the form.
#include <string>

#include "tests/support/simulator_run.h"

namespace {

struct EntryCase {
  const char* name;
  const char* from;
  const char* to;
  const char* percent;
  bool accepted;
};

// Accepted ranges are kept one step wide, so an accepted set prints a single table row.
const EntryCase kEntryCases[] = {
    {"FromOneRefused", "1", "1.005", "50", false},
    {"FromJustAboveOneAccepted", "1.01", "1.015", "50", true},
    {"FromZeroRefused", "0", "2", "50", false},
    {"FromNegativeRefused", "-3", "2", "50", false},
    {"FromTextRefused", "abc", "2", "50", false},
    {"FromMinusZeroRefused", "-0", "2", "50", false},
    {"FromHexPrefixReadAsZero", "0x10", "20", "50", false},
    {"EmptyLinesRefused", "", "", "", false},
    {"EqualValuesRefused", "2", "2", "50", false},
    {"ToBelowFromRefused", "5", "4", "50", false},
    {"ToSixtyRefused", "59.995", "60", "50", false},
    {"ToJustBelowSixtyAccepted", "59.895", "59.9", "50", true},
    {"ToHugeRefused", "2", "1e39", "50", false},
    {"OutsideWholeRangesAccepted", "58.5", "59.5", "50", true},
    {"PercentZeroRefused", "2", "2.005", "0", false},
    {"PercentHundredRefused", "2", "2.005", "100", false},
    {"PercentHalfAccepted", "2", "2.005", "0.5", true},
    {"PercentNinetyNineAndAHalfAccepted", "2", "2.005", "99.5", true},
    {"PercentNotANumberRefused", "2", "2.005", "nan", false},
    {"PercentInfinityRefused", "2", "2.005", "inf", false},
    {"VeryLongEntryRefused", "555555555555555555555555555555555555555555555555555555555555", "2",
     "50", false},
};

class EntryAcceptance : public SimulatorRun, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryAcceptance, AcceptsExactlyTheValidSets) {
  const EntryCase& c = GetParam();
  const ScriptedRunResult result = runScripted({entries(c.from, c.to, c.percent)});
  ASSERT_EQ(result.outcome, ScriptedRunResult::Outcome::OutOfActions) << result.message;
  if (c.accepted) {
    EXPECT_EQ(result.stoppedIn, ScriptedRunResult::Wait::EndOfRun);
    EXPECT_GE(result.rows, 1);
  } else {
    // A refusal asks again from the first value, with no table in between.
    EXPECT_EQ(result.stoppedIn, ScriptedRunResult::Wait::Line);
    EXPECT_EQ(result.rows, 0);
    EXPECT_EQ(rowText(29, 4, 76),
              "SIMULACION PARA EMISIONES GLOBAL DE CO2 (en MILES MILL.Tm) DESDE (2-58): ");
  }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, EntryAcceptance, ::testing::ValuesIn(kEntryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorRun, DecimalCommaEndsTheNumber) {
  ASSERT_EQ(runScripted({entries("2,5", "2.005", "50")}).stoppedIn,
            ScriptedRunResult::Wait::EndOfRun);
  EXPECT_EQ(emissionFrom, 2.0f);
  ASSERT_EQ(runScripted({entries("2.5", "2.505", "50")}).stoppedIn,
            ScriptedRunResult::Wait::EndOfRun);
  EXPECT_EQ(emissionFrom, 2.5f);
  EXPECT_EQ(emissionTo, 2.505f);
  EXPECT_EQ(fireCutPercent, 50.0f);
}

TEST_F(SimulatorRun, KeysTypedDuringTheIntroductionFeedTheFirstEntries) {
  // The keys are handed over at the first pause, the introduction's 200 ms.
  const ScriptedRunResult result = runScripted({entries("3", "3.005", "20")});
  EXPECT_EQ(result.stoppedIn, ScriptedRunResult::Wait::EndOfRun);
  EXPECT_EQ(result.rows, 1);
  EXPECT_EQ(emissionFrom, 3.0f);
  EXPECT_EQ(fireCutPercent, 20.0f);
}

TEST_F(SimulatorRun, FormShowsPromptsFieldsAndHeadingOnTheFirstPass) {
  bool checked = false;
  runScripted(
      {waitLineAction(), callAction([&] {
         checked = true;
         expectText(25, 3, " ENTRADA DE VARIABLES PARA SIMULACION: ", 0x000000, 0x88FF88);
         expectText(
             29, 4,
             "SIMULACION PARA EMISIONES GLOBAL DE CO2 (en MILES MILL.Tm) DESDE (2-58): ", 0xFFFFFF);
         expectText(29, 77, "     ", 0x000000, 0x88FF88);
         // The box outline from (16, 400) to (1007, 590) in light green.
         EXPECT_EQ(pixel(16, 500), rgb(0x88FF88));
         EXPECT_EQ(pixel(1007, 500), rgb(0x88FF88));
         EXPECT_EQ(pixel(500, 590), rgb(0x88FF88));
       })});
  EXPECT_TRUE(checked);
}

TEST_F(SimulatorRun, TypedEntryEchoesInTheFieldAndPromptsFollow) {
  bool checked = false;
  runScripted(
      {typeAction("12\r"), waitLineAction(), typeAction("34\r"), waitLineAction(), callAction([&] {
         checked = true;
         expectText(29, 77, "12   ", 0x000000, 0x88FF88);
         expectText(31, 61, "  HASTA (3-59): ", 0xFFFFFF);
         expectText(31, 77, "34   ", 0x000000, 0x88FF88);
         expectText(
             33, 5,
             "         Entre reduccion porcentual de incendios para calculo (0-100%): ", 0xFFFFFF);
       })});
  EXPECT_TRUE(checked);
}

// The sweep's underscore on row 29, seen while it moves; row 25 tells the passes apart
// (the heading is there only until the first pass clears the screen).
bool row29SweepUnderway(bool firstPass) {
  const bool headingShown = readCell(25, 4).character == 'E';
  return headingShown == firstPass && readCell(29, 5).character == '_';
}

TEST_F(SimulatorRun, FirstSweepIsLightGreenThenWhiteAfterARefusal) {
  uint32_t firstPassColour = 0;
  uint32_t laterPassColour = 0;
  runScripted({untilAction([] { return row29SweepUnderway(true); }),
               callAction([&] { firstPassColour = foregroundAt(29, 5); }), entries("1", "2", "50"),
               untilAction([] { return row29SweepUnderway(false); }),
               callAction([&] { laterPassColour = foregroundAt(29, 5); })});
  EXPECT_EQ(firstPassColour, rgb(0x88FF88));
  EXPECT_EQ(laterPassColour, rgb(0xFFFFFF));
}

TEST_F(SimulatorRun, EachSweepOfTheFormWaitsTwoMillisecondsFiftySevenTimes) {
  const ScriptedRunResult result = runScripted({entries("1", "2", "50"), waitLineAction()});
  // Two passes: three sweeps each on the first, one on the second before its line wait.
  long long twoMs = 0;
  for (const int ms : result.sleeps) twoMs += ms == 2;
  EXPECT_EQ(twoMs, 4 * 57);
}

TEST_F(SimulatorRun, LaterPassesShowOnlyTheirOwnRows) {
  bool checked = false;
  runScripted({entries("0", "0", "0"), waitLineAction(), callAction([&] {
                 checked = true;
                 EXPECT_EQ(rowText(2, 1, 128), std::string(128, ' '));
                 EXPECT_EQ(rowText(25, 1, 128), std::string(128, ' '));
                 EXPECT_EQ(pixel(0, 0), 0u);  // the introduction's frame is gone
               })});
  EXPECT_TRUE(checked);
}

}  // namespace
