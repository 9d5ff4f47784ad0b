// The scenario table end to end: how many rows a range gives, the row layout and colours,
// the band wrap with its tone, the space bar, the spill of long cut blocks, and the
// end-of-run wait.
#include <map>
#include <string>

#include "tests/support/simulator_run.h"

namespace {

const std::string kEndPrompt =
    padded(" > Pulse una tecla para nueva simulacion. ESPACIO para salir", 125);

// The level of every row as the table reaches it: during row n's sweep `tableRowsPrinted`
// counts n - 1 rows; at the end-of-run wait it records the first level past the bound.
class LevelLog {
 public:
  void operator()() { levels[tableRowsPrinted - start + 1] = currentEmission; }
  long long start = tableRowsPrinted;
  std::map<long long, float> levels;
};

struct RangeCase {
  const char* name;
  const char* from;
  const char* to;
  long long rows;
  double lastLevel;  // 0: not checked
  double nextLevel;  // the level that fails the test; 0: not checked
  const char* lastPrinted;
};

const RangeCase kRanges[] = {
    {"TwoToThree", "2", "3", 101, 2.9999990, 0, " 3.00"},
    {"TwentySevenToTwentyEight", "27", "28", 100, 27.990023, 28.00002, "27.99"},
    {"TenToTwenty", "10", "20", 1000, 0, 0, "19.99"},
    {"NarrowerThanTheStep", "2", "2.005", 1, 2, 0, " 2.00"},
    {"TwoToFiftyEight", "2", "58", 5601, 57.996273, 58.006271, "57.99"},
};

class TableRange : public SimulatorRun, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(TableRange, LevelAccumulatesInSinglePrecision) {
  const RangeCase& c = GetParam();
  LevelLog log;
  const ScriptedRunResult result = runScripted({entries(c.from, c.to, "50")}, [&log] { log(); });
  ASSERT_EQ(result.stoppedIn, ScriptedRunResult::Wait::EndOfRun) << result.message;
  EXPECT_EQ(result.rows, c.rows);
  EXPECT_EQ(result.beeps, c.rows / 34);
  ASSERT_TRUE(log.levels.count(c.rows));
  if (c.lastLevel != 0) {
    EXPECT_NEAR(log.levels[c.rows], c.lastLevel, 5e-7 * c.lastLevel);
  }
  if (c.nextLevel != 0) {
    EXPECT_NEAR(log.levels[c.rows + 1], c.nextLevel, 5e-7 * c.nextLevel);
  }
  // The last row stands on band row 6 + (rows - 1) mod 34, the prompt on the row below.
  const int lastRow = 6 + static_cast<int>((c.rows - 1) % 34);
  EXPECT_EQ(rowText(lastRow, 2, 6), c.lastPrinted);
  expectText(lastRow + 1, 1, kEndPrompt, 0xFFFFFF);
  // Every row's sweep: 104 pauses of 2 ms, then 9 ms; and a 250 ms tone per full band.
  long long tableMs = 0;
  for (size_t i = result.sleeps.size() - static_cast<size_t>(c.rows) * 105;
       i < result.sleeps.size(); ++i)
    tableMs += result.sleeps[i];
  EXPECT_EQ(tableMs, c.rows * (104 * 2 + 9));
}

INSTANTIATE_TEST_SUITE_P(Ranges, TableRange, ::testing::ValuesIn(kRanges),
                         [](const auto& info) { return std::string(info.param.name); });

struct Segment {
  int column;
  const char* text;
  uint32_t colour;
};

TEST_F(SimulatorRun, WorkedRowForLevelTenAtHalfTheFires) {
  runScripted({entries("10", "10.005", "50")});
  const Segment segments[] = {
      {1, " 10.00 Mil millones", 0xAA0000},
      {22, " 2.00", 0x00EE00},
      {28, "- 50% ( 1.00) ->", 0x00EE00},
      {46, " 9.00", 0x2222FF},
      {55, " 3.00", 0x00EE00},
      {61, "- 50% ( 1.50) ->", 0x00EE00},
      {79, " 8.50", 0x7777FF},
      {88, " 4.00", 0x00EE00},
      {94, "- 50% ( 2.00) ->", 0x00EE00},
      {112, " 8.00", 0xAAAAFF},
  };
  std::string covered(117, 'n');
  for (const Segment& segment : segments) {
    expectText(6, segment.column, segment.text, segment.colour);
    for (size_t i = 0; segment.text[i] != '\0'; ++i) covered[segment.column + i] = 'y';
  }
  // The cells between the fields keep the sweep's blanks, in its light green; beyond the
  // sweep's last column only the cleared screen's blanks remain.
  for (int column = 2; column <= 116; ++column) {
    if (covered[static_cast<size_t>(column)] == 'y') continue;
    if (column <= 106) {
      expectText(6, column, " ", 0xAAEEAA);
    } else {
      EXPECT_EQ(readCell(6, column).character, ' ') << column;
    }
  }
  // The sweep redrew the column lines across its cells; the row text covers column 1's.
  EXPECT_EQ(pixel(158, 85), rgb(0xAAEEAA));
  EXPECT_EQ(pixel(423, 85), rgb(0xAAEEAA));
  EXPECT_EQ(pixel(954, 85), rgb(0xAAEEAA));
  EXPECT_EQ(pixel(0, 85), 0u);
  EXPECT_EQ(rowText(6, 117, 120), "    ");
}

TEST_F(SimulatorRun, RowsAlternateEvenAndOddColours) {
  runScripted({entries("10", "10.025", "50")});
  for (const int row : {6, 7, 8}) {
    const bool even = row % 2 == 0;
    EXPECT_EQ(foregroundAt(row, 2), rgb(even ? 0xAA0000 : 0xFF0000)) << row;
    for (const int column : {23, 28, 56, 61, 89, 94})
      EXPECT_EQ(foregroundAt(row, column), rgb(even ? 0x00EE00 : 0xAAEEAA)) << row;
    EXPECT_EQ(foregroundAt(row, 47), rgb(0x2222FF)) << row;
    EXPECT_EQ(foregroundAt(row, 80), rgb(0x7777FF)) << row;
    EXPECT_EQ(foregroundAt(row, 113), rgb(0xAAAAFF)) << row;
  }
  EXPECT_EQ(rowText(8, 2, 6), "10.02");
}

TEST_F(SimulatorRun, BandWrapsToRowSixAfterRowThirtyNine) {
  std::string row6At35;
  const ScriptedRunResult result = runScripted(
      {entries("2", "3", "50"),
       // Row 35's sweep, past its fourth step: the old row 6 is blanked to column 5.
       untilAction([] { return tableRow == 6 && sweepColumn == 6 && currentEmission > 2.3f; }),
       callAction([&] { row6At35 = rowText(6, 1, 12); }), waitEndAction()});
  EXPECT_EQ(row6At35, "     # Mil m");
  EXPECT_EQ(result.beeps, 2);
  // Rows 69 to 101 fill rows 6 to 38 in the third band.
  EXPECT_EQ(rowText(6, 2, 6), " 2.68");
  EXPECT_EQ(rowText(38, 2, 6), " 3.00");
}

struct StopCase {
  const char* name;
  float pressDuringRow;  // text row whose sweep the keys arrive in
  const char* keys;
  int noticeRow;
  long long rows;
  int beeps;
};

const StopCase kStops[] = {
    {"MidBand", 10, " ", 11, 5, 0},
    {"LastBandRowAfterTheTone", 39, " ", 40, 34, 1},
    {"OtherKeyTakenByOneRowFirst", 10, "x ", 12, 6, 0},
};

class SpaceBarStop : public SimulatorRun, public ::testing::WithParamInterface<StopCase> {};

TEST_P(SpaceBarStop, NoticeGoesBelowTheLastRowAndTheProgramEnds) {
  const StopCase& c = GetParam();
  const ScriptedRunResult result =
      runScripted({entries("10", "20", "50"),
                   untilAction([&c] { return tableRow == c.pressDuringRow; }), typeAction(c.keys)});
  EXPECT_EQ(result.outcome, ScriptedRunResult::Outcome::Ended);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.rows, c.rows);
  EXPECT_EQ(result.beeps, c.beeps);
  expectText(c.noticeRow, 1, padded(" > Proceso interrupido por el usuario. FIN DE IMPRESION", 91),
             0xAAAAFF);
}

INSTANTIATE_TEST_SUITE_P(Stops, SpaceBarStop, ::testing::ValuesIn(kStops),
                         [](const auto& info) { return std::string(info.param.name); });

struct SpillCase {
  const char* name;
  const char* from;
  const char* to;
  const char* percent;
  Segment segments[4];
  int rows[4];  // text row of each segment
  int promptRow;
};

const SpillCase kSpills[] = {
    {"SmallCutsAtOnePercent",
     "2",
     "2.005",
     "1",
     {{28, "- 1% (40.00%e-4) ->", 0x00EE00},
      {46, " 1.99", 0x2222FF},
      {79, " 1.99", 0x7777FF},
      {112, " 1.99", 0xAAAAFF}},
     {6, 7, 8, 9},
     10},
    {"OnlyTheWeakCutIsSmallAtLevelFour",
     "4",
     "4.005",
     "1",
     {{28, "- 1% (80.00%e-4) ->", 0x00EE00},
      {46, " 3.99", 0x2222FF},
      {61, "- 1% ( 0.01) ->", 0x00EE00},
      {112, " 3.98", 0xAAAAFF}},
     {6, 7, 7, 7},
     8},
    {"LongPercentageText",
     "10",
     "10.005",
     "12.75",
     {{28, "- 12.75% ( 0.25) ->", 0x00EE00},
      {46, " 9.74", 0x2222FF},
      {79, " 9.61", 0x7777FF},
      {112, " 9.49", 0xAAAAFF}},
     {6, 7, 8, 9},
     10},
};

class RowSpill : public SimulatorRun, public ::testing::WithParamInterface<SpillCase> {};

TEST_P(RowSpill, FinalEmissionsMoveDownWhenCutBlocksRunPastThem) {
  const SpillCase& c = GetParam();
  runScripted({entries(c.from, c.to, c.percent)});
  for (int i = 0; i < 4; ++i)
    expectText(c.rows[i], c.segments[i].column, c.segments[i].text, c.segments[i].colour);
  expectText(c.promptRow, 1, kEndPrompt, 0xFFFFFF);
}

INSTANTIATE_TEST_SUITE_P(Spills, RowSpill, ::testing::ValuesIn(kSpills),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorRun, AnyKeyButSpaceAtTheEndStartsTheNextRun) {
  for (const int key : {int{'x'}, 0x6BFF, 0x3BFF}) {
    const ScriptedRunResult result = runScripted(
        {entries("2", "2.005", "50"), waitEndAction(), keyAction(key), waitLineAction()});
    EXPECT_EQ(result.stoppedIn, ScriptedRunResult::Wait::Line) << key;
    // A new run: the introduction again, and the form reset its two emissions.
    expectText(2, 69, " Simulador de reducciones globales de CO2 - Velmora v1.1b ", 0x000000,
               0x99EE99);
    EXPECT_EQ(emissionFrom, 0.0f);
  }
}

TEST_F(SimulatorRun, EveryRunsEndWaitNeedsItsOwnKey) {
  const ScriptedRunResult twoRuns =
      runScripted({entries("2", "2.005", "50"), waitEndAction(), typeAction("x"), waitLineAction(),
                   entries("3", "3.015", "20"), waitEndAction()});
  EXPECT_EQ(twoRuns.stoppedIn, ScriptedRunResult::Wait::EndOfRun);
  EXPECT_EQ(twoRuns.rows, 1 + 2);
  const ScriptedRunResult ended =
      runScripted({entries("2", "2.005", "50"), waitEndAction(), keyAction(' ')});
  EXPECT_EQ(ended.outcome, ScriptedRunResult::Outcome::Ended);
  EXPECT_EQ(ended.exitStatus, 0);
}

TEST_F(SimulatorRun, CloseRequestDuringTheTableIsDiscarded) {
  const ScriptedRunResult result = runScripted(
      {entries("2", "2.095", "50"), untilAction([] { return tableRow == 8; }), keyAction(0x6BFF)});
  EXPECT_EQ(result.stoppedIn, ScriptedRunResult::Wait::EndOfRun);
  EXPECT_EQ(result.rows, 10);
}

}  // namespace
