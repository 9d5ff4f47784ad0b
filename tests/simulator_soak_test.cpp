// Ten whole runs back to back in virtual time, with a key flood during every table: memory
// stays flat, every table has its rows, and every run starts from the same screen.
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/simulator_run.h"

#if defined(__SANITIZE_ADDRESS__)
// Freed memory held back for use-after-free checks would read as growth; this executable
// measures live memory, so it keeps none.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=0"; }
#endif

namespace {
constexpr int kRuns = 10;
// 2.00 to 2.49: 50 rows, so the band wraps once; the bound is far from any rounding edge.
constexpr long long kRowsPerRun = 50;
constexpr long long kFloodStopsBefore = 20;  // rows before the end: the queue drains by then

long residentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) {
      const size_t first = line.find_first_not_of(" \t", 6);
      long kib = 0;
      if (first != std::string::npos)
        std::from_chars(line.data() + first, line.data() + line.size(), kib);
      return kib;
    }
  return 0;
}

// What the program shows, and how, when it first asks for a line.
struct ScreenAtStart {
  std::string pixels;
  std::vector<CellRecord> cells;
  uint32_t foreground, background;
  int32_t cursorRow, cursorColumn, viewTop, viewBottom;
  int keysQueued;
};

ScreenAtStart captureScreen() {
  VisibleFrame frame;
  visibleFrame(frame);
  const ScreenProbe s = probeScreen();
  return {std::string(reinterpret_cast<const char*>(s.workPixels),
                      static_cast<size_t>(frame.pitch) * static_cast<size_t>(frame.height)),
          s.workCells,
          s.foregroundPixel,
          s.backgroundPixel,
          s.cursorRow,
          s.cursorColumn,
          s.textViewTop,
          s.textViewBottom,
          queuedKeyCount()};
}

bool sameScreen(const ScreenAtStart& a, const ScreenAtStart& b) {
  if (a.cells.size() != b.cells.size()) return false;
  for (size_t i = 0; i < a.cells.size(); ++i)
    if (a.cells[i].character != b.cells[i].character ||
        a.cells[i].foreground != b.cells[i].foreground ||
        a.cells[i].background != b.cells[i].background)
      return false;
  return a.pixels == b.pixels && a.foreground == b.foreground && a.background == b.background &&
         a.cursorRow == b.cursorRow && a.cursorColumn == b.cursorColumn && a.viewTop == b.viewTop &&
         a.viewBottom == b.viewBottom && a.keysQueued == b.keysQueued;
}

class Soak : public SimulatorRun {};

TEST_F(Soak, TenRunsWithAKeyFloodStayFlatAndAlike) {
  // The first run's screen is kept; later ones are compared on the spot, so that the test
  // itself holds no more memory as the runs go on.
  ScreenAtStart firstStart{};
  std::vector<bool> startsAlike;
  std::vector<long long> rowsAtStart, rowsAtEnd;
  std::vector<long> residentAtEnd;
  bool inTable = false;
  long long floodKeys = 0;

  std::vector<ScriptAction> actions;
  for (int run = 0; run < kRuns; ++run) {
    actions.push_back(waitLineAction());
    actions.push_back(callAction([&] {
      if (startsAlike.empty()) {
        firstStart = captureScreen();
        startsAlike.push_back(true);
      } else {
        startsAlike.push_back(sameScreen(captureScreen(), firstStart));
      }
      rowsAtStart.push_back(tableRowsPrinted);
    }));
    actions.push_back(entries("2", "2.495", "50"));
    actions.push_back(callAction([&] { inTable = true; }));
    actions.push_back(waitEndAction());
    actions.push_back(callAction([&] {
      inTable = false;
      rowsAtEnd.push_back(tableRowsPrinted);
      residentAtEnd.push_back(residentKiB());
    }));
    // Any key but the space bar starts the next run; the last run ends on the space bar.
    actions.push_back(run + 1 < kRuns ? typeAction("x") : typeAction(" "));
  }

  // The flood: letters and extended keys (never the space bar) whenever the queue has room,
  // from the first row on until the queue must drain before the end-of-run wait.
  const int32_t floodCodes[] = {'q', 0x48FF, '7', 0x6BFF, 13};
  const auto flood = [&] {
    if (!inTable) return;
    const long long done = tableRowsPrinted - rowsAtStart.back();
    if (done < 1 || done > kRowsPerRun - kFloodStopsBefore) return;
    while (queuedKeyCount() < 15) queueKey(floodCodes[floodKeys++ % 5]);
  };

  const ScriptedRunResult result = runScripted(std::move(actions), flood);
  ASSERT_EQ(result.outcome, ScriptedRunResult::Outcome::Ended) << result.message;
  EXPECT_EQ(result.exitStatus, 0);
  ASSERT_EQ(startsAlike.size(), static_cast<size_t>(kRuns));
  ASSERT_EQ(rowsAtEnd.size(), static_cast<size_t>(kRuns));
  EXPECT_GT(floodKeys, 10 * kRuns);
  EXPECT_EQ(result.rows, kRuns * kRowsPerRun);
  for (int run = 0; run < kRuns; ++run) {
    EXPECT_EQ(rowsAtEnd[static_cast<size_t>(run)] - rowsAtStart[static_cast<size_t>(run)],
              kRowsPerRun)
        << "run " << run + 1;
    EXPECT_TRUE(startsAlike[static_cast<size_t>(run)]) << "run " << run + 1;
  }
  // After the first run has set everything up, later runs may not keep adding memory.
  EXPECT_LE(residentAtEnd.back() - residentAtEnd[1], 1024) << "KiB of growth over eight runs";
}
}  // namespace
