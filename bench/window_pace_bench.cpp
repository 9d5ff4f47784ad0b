// The table's pace in a real window against the Null back end, in one process: runs of the
// real scenario table alternate between the two, and each pause is accounted as owed and slept.
// Usage: window_pace_bench [pairs] (SDL needs a display: bench/window_pace_bench.sh makes one).
#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <fstream>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/linux_backends.h"
#include "platform/posix/posix_platform.h"
#include "screen/backend/backend.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/platform_seam.h"
#include "screen/screen.h"
#include "simulator/pages.h"
#include "simulator/variables.h"

namespace {
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Voluntary context switches of the program thread and of all the other threads (the
// presentation thread): a thread that blocks on the screen lock, sleeps or rests counts one.
struct Switches {
  long long program = 0, others = 0;
};

long long voluntarySwitches(const std::string& task) {
  std::ifstream status("/proc/self/task/" + task + "/status");
  const std::string key = "voluntary_ctxt_switches:";
  for (std::string line; std::getline(status, line);) {
    if (line.compare(0, key.size(), key) != 0) continue;
    size_t at = key.size();
    while (at < line.size() && line[at] == '\t') ++at;
    long long value = 0;
    std::from_chars(line.data() + at, line.data() + line.size(), value);
    return value;
  }
  return 0;
}

Switches switchesNow() {
  Switches s;
  const std::string self = std::to_string(syscall(SYS_gettid));
  if (DIR* dir = opendir("/proc/self/task")) {
    while (const dirent* entry = readdir(dir)) {
      const std::string task = entry->d_name;
      if (task == "." || task == "..") continue;
      (task == self ? s.program : s.others) += voluntarySwitches(task);
    }
    closedir(dir);
  }
  return s;
}

// What the pauses of one run owed and how long they slept; the end of the table is the
// moment its end-of-run wait begins.
struct Accounts {
  double owedMs = 0;
  double sleptMs = 0;
  Clock::time_point tableEnd;
  Switches atEnd;
  long long pauses = 0;
  // Each table row, from the end of one row's 9 ms pause to the end of the next one's
  // (rows with the band's tone between them left out).
  std::vector<double> rowMs;
  Clock::time_point lastRowEnd;
  bool toneSinceRow = false;
  // Per sweep pause of 2 ms: how much longer it slept, and the program's time since the
  // previous pause ended (drawing, and waiting for the screen lock).
  std::vector<double> overshootUs, workUs;
  Clock::time_point lastEnd;
};
Accounts accounts;
PlatformSeam inner;
// A tone without a sound card sleeps through the seam: those sleeps are the tone's own.
thread_local bool inTone = false;

void accountedSleep(int ms) {
  const auto start = Clock::now();
  inner.sleep(ms);
  if (inTone) return;
  const double slept = msSince(start);
  accounts.sleptMs += slept;
  accounts.owedMs += ms;
  // A pause the pacer planned as nothing (the run was behind) never reaches the OS sleep.
  if (slept >= 0.005) ++accounts.pauses;
  if (ms == 2 && accounts.lastEnd != Clock::time_point{}) {
    accounts.overshootUs.push_back(1000 * (slept - ms));
    accounts.workUs.push_back(
        std::chrono::duration<double, std::micro>(start - accounts.lastEnd).count());
  }
  accounts.lastEnd = Clock::now();
  if (ms == 9) {
    if (accounts.lastRowEnd != Clock::time_point{} && !accounts.toneSinceRow)
      accounts.rowMs.push_back(
          std::chrono::duration<double, std::milli>(accounts.lastEnd - accounts.lastRowEnd)
              .count());
    accounts.lastRowEnd = accounts.lastEnd;
    accounts.toneSinceRow = false;
  }
}

void accountedTone(int hertz, int ms) {
  const auto start = Clock::now();
  inTone = true;
  inner.tone(hertz, ms);
  inTone = false;
  accounts.toneSinceRow = true;
  accounts.lastEnd = Clock::now();  // the tone is no work between pauses
  accounts.sleptMs += msSince(start);
  accounts.owedMs += ms;
}

// The end-of-run wait: the table is over; a key other than the space bar ends the run.
void keyAtTheEnd(KeyWaitKind) {
  accounts.tableEnd = Clock::now();
  accounts.atEnd = switchesNow();
  lockScreen();
  queueKey('n');
  unlockScreen();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

constexpr double kRowPausesMs = 104 * 2 + 9;

double mean(const std::vector<double>& values) {
  double sum = 0;
  for (const double v : values) sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

struct Run {
  long long rows = 0;
  double wallMs = 0, owedMs = 0, sleptMs = 0;
  std::vector<double> overshootUs, workUs;
  long long pauses = 0;  // sleeps of the program thread
  Switches switches;     // during the table
  std::vector<double> rowMs;
};

bool openScreen(bool window) {
  if (window) {
    setenv("QXGFX", "sdl", 1);
    setScreenMode(20, 16, 8, 0, 0);
  } else {
    setScreenMode(20, 16, 8, kFlagNullBackend, 0);
  }
  return frameBuffer() != nullptr;
}

Run tableRun(bool window, float to) {
  if (!openScreen(window)) {
    std::fprintf(stderr, "no %s screen\n", window ? "SDL" : "null");
    std::exit(1);
  }
  shareWeak = 0.2f;
  shareMedium = 0.3f;
  shareStrong = 0.4f;
  emissionFrom = 2;
  emissionTo = to;
  fireCutPercent = 50;
  drawResultsPage();
  accounts = Accounts{};
  const long long rowsBefore = tableRowsPrinted;
  const Switches before = switchesNow();
  const auto start = Clock::now();
  runScenarioTable();
  Run run;
  run.rows = tableRowsPrinted - rowsBefore;
  run.wallMs = std::chrono::duration<double, std::milli>(accounts.tableEnd - start).count();
  run.owedMs = accounts.owedMs;
  run.sleptMs = accounts.sleptMs;
  run.overshootUs = accounts.overshootUs;
  run.workUs = accounts.workUs;
  run.switches = {accounts.atEnd.program - before.program, accounts.atEnd.others - before.others};
  run.pauses = accounts.pauses;
  run.rowMs = accounts.rowMs;
  setScreenMode(0, 0, 0, 0, 0);
  return run;
}

// The table's own pace: a long run less a short one, so the page and the prompt cancel.
struct Pace {
  double ratio = 0;       // wall time / pauses owed
  double sleptRatio = 0;  // time slept / pauses owed
  // Per table row: the program thread's blocks beyond its own pauses (waits for the screen
  // lock), and the other threads' wake-ups.
  double programBlocks = 0, otherWakeUps = 0;
  // The median row of the long run against its 217 ms of pauses: robust to the few rows a
  // busy machine stalls.
  double medianRow = 0;
};

Pace paceOf(bool window, std::vector<Run>& log) {
  const Run shortRun = tableRun(window, 2.05f);
  const Run longRun = tableRun(window, 2.5f);
  log.push_back(shortRun);
  log.push_back(longRun);
  const double owed = longRun.owedMs - shortRun.owedMs;
  const double rows = static_cast<double>(longRun.rows - shortRun.rows);
  const double blocks = static_cast<double>((longRun.switches.program - longRun.pauses) -
                                            (shortRun.switches.program - shortRun.pauses));
  const double others = static_cast<double>(longRun.switches.others - shortRun.switches.others);
  return {(longRun.wallMs - shortRun.wallMs) / owed, (longRun.sleptMs - shortRun.sleptMs) / owed,
          blocks / rows, others / rows, median(longRun.rowMs) / kRowPausesMs};
}

}  // namespace

int main(int argc, char** argv) {
  const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  installPosixPlatform();
  registerLinuxBackends();
  inner = platformSeam();
  PlatformSeam seam = inner;
  seam.sleep = accountedSleep;
  seam.tone = accountedTone;
  seam.awaitKey = keyAtTheEnd;
  installPlatformSeam(seam);
  startServices(0, nullptr);

  std::vector<double> window, null, windowSlept, nullSlept, difference, blocks[2], wakeUps[2],
      rows[2], rowDifference;
  std::vector<Run> log;
  std::printf("pair  window  null    window-null  (wall / pauses owed; slept / owed)\n");
  for (int pair = 0; pair < pairs; ++pair) {
    // Alternate which goes first, so a drift in the machine's load falls on both alike.
    Pace w, n;
    if (pair % 2 == 0) {
      w = paceOf(true, log);
      n = paceOf(false, log);
    } else {
      n = paceOf(false, log);
      w = paceOf(true, log);
    }
    window.push_back(w.ratio);
    null.push_back(n.ratio);
    windowSlept.push_back(w.sleptRatio);
    nullSlept.push_back(n.sleptRatio);
    difference.push_back(w.ratio - n.ratio);
    rows[1].push_back(w.medianRow);
    rows[0].push_back(n.medianRow);
    rowDifference.push_back(w.medianRow - n.medianRow);
    blocks[1].push_back(w.programBlocks);
    blocks[0].push_back(n.programBlocks);
    wakeUps[1].push_back(w.otherWakeUps);
    wakeUps[0].push_back(n.otherWakeUps);
    std::printf("%4d  %.4f  %.4f  %+.4f       slept %.4f / %.4f; median row %.4f / %.4f\n",
                pair + 1, w.ratio, n.ratio, w.ratio - n.ratio, w.sleptRatio, n.sleptRatio,
                w.medianRow, n.medianRow);
    std::fflush(stdout);
  }
  std::printf("median  window %.4f  null %.4f  window-null %+.4f  slept window %.4f null %.4f\n",
              median(window), median(null), median(difference), median(windowSlept),
              median(nullSlept));
  // The sweep's pauses of every long run, by back end (runs alternate: window first in odd pairs).
  std::vector<double> overshoot[2], work[2];
  for (size_t i = 0; i < log.size(); ++i) {
    const bool isWindow = ((i / 4) % 2 == 0) == (i % 4 < 2);
    overshoot[isWindow].insert(overshoot[isWindow].end(), log[i].overshootUs.begin(),
                               log[i].overshootUs.end());
    work[isWindow].insert(work[isWindow].end(), log[i].workUs.begin(), log[i].workUs.end());
  }
  for (const int w : {1, 0}) {
    double stalledMs = 0;
    int stalls = 0;
    for (const double us : work[w]) {
      if (us <= 20'000) continue;
      ++stalls;
      stalledMs += us / 1000;
    }
    std::printf(
        "%-6s sweep pauses: overshoot median %.0f us mean %.0f us; work between pauses "
        "median %.0f us mean %.0f us; %d stalls over 20 ms (%.0f ms)\n",
        w ? "window" : "null", median(overshoot[w]), mean(overshoot[w]), median(work[w]),
        mean(work[w]), stalls, stalledMs);
  }
  std::printf("median row / 217 ms: window %.4f  null %.4f  window-null %+.4f\n", median(rows[1]),
              median(rows[0]), median(rowDifference));
  for (const int w : {1, 0})
    std::printf(
        "%-6s per table row: program thread blocked beyond its pauses %.1f times "
        "(median), other threads woke %.1f times\n",
        w ? "window" : "null", median(blocks[w]), median(wakeUps[w]));
  const Run& sample = log.back();
  std::printf("(a long run: %lld rows, %.0f ms owed)\n", sample.rows, sample.owedMs);
  return 0;
}
