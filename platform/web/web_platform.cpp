#include "platform/web/web_platform.h"

#include <cstdint>

#include "platform/common/sleep_pacer.h"
#include "platform/web/web_key_ring.h"
#include "platform/web/web_page_calls.h"
#include "platform/web/web_presenter.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/platform_seam.h"

namespace {
WebKeyRing keyRing;
// A browser's wake-ups can be late by several milliseconds when the machine is busy; up to
// 50 ms of lateness is repaid by the following pauses of the run, so table rows keep 217 ms.
SleepPacer pacer(50'000'000);

// Milliseconds of pauses and tones the program asked for: the same count the headless
// snapshot runs keep, so a test can hold the program where a snapshot was taken.
long long virtualMs = 0;
int tones = 0;
// The count at the first pause after the latest key wait (negative until there is one).
long long anchorMs = -1;
bool anchorPending = true;

int64_t nowNs() { return static_cast<int64_t>(pageNow() * 1e6); }

void takeKeys() {
  drainKeyRing(keyRing, [](int32_t code) { queueKey(code); });
}

void report(int state) { pageReport(state, static_cast<double>(virtualMs), tones); }

// Counts a pause or tone, then holds the program if a test asked for this point.
void countVirtual(int ms) {
  virtualMs += ms;
  if (anchorPending) {
    anchorMs = virtualMs;
    anchorPending = false;
  }
  const double hold = pageHoldRequest();
  if (hold >= 0 && anchorMs >= 0 && static_cast<double>(virtualMs) >= anchorMs + hold) {
    presentChangedRows();
    report(kPageRunning);
    pageHold(static_cast<double>(virtualMs));
    takeKeys();
  }
}

// A real pause; each wake-up's lateness is taken off the next pauses of a run. Within a run
// a pause is counted from the end of the one before, so the program's own work between
// pauses (a few milliseconds a table row in the browser, a tenth on the desktop) is repaid
// too, and a row lasts its 217 ms of pauses.
int64_t lastEndNs = -1;
void pacedWait(int ms) {
  const int64_t now = nowNs();
  const bool inRun = lastEndNs >= 0 && now - lastEndNs <= SleepPacer::kRunGapNs;
  const int64_t planNs = pacer.plan(int64_t{ms} * 1'000'000, inRun ? lastEndNs : now);
  // Even a pause that is repaid in full yields, so keys and the picture keep flowing.
  pageWait(static_cast<double>(planNs) / 1e6);
  lastEndNs = nowNs();
  pacer.finished(lastEndNs);
  takeKeys();
}

void webSleep(int ms) {
  if (ms <= 0) return;
  countVirtual(ms);
  presentWhenDue(ms);
  pacedWait(ms);
}

// The program waits the tone's length whether or not the page may sound it.
void webTone(int hertz, int ms) {
  ++tones;
  countVirtual(ms);
  presentChangedRows();
  pageTone(hertz, ms);
  report(kPageRunning);
  pacedWait(ms);
}

void webAwaitKey(KeyWaitKind kind) {
  takeKeys();
  anchorPending = true;
  if (keyQueued()) return;
  presentChangedRows();
  report(kind == KeyWaitKind::Line ? kPageLineWait : kPageKeyWait);
  while (!keyQueued()) {
    pageAwaitKey();
    takeKeys();
  }
  report(kPageRunning);
}

void webProgramEnding(int status) {
  presentChangedRows();
  report(kPageRunning);
  pageEnded(status);
}
}  // namespace

WebKeyRing* webKeyRing() { return &keyRing; }

void installWebPlatform() {
  PlatformSeam seam = defaultPlatformSeam();
  seam.sleep = webSleep;
  seam.tone = webTone;
  seam.awaitKey = webAwaitKey;
  seam.programEnding = webProgramEnding;
  installPlatformSeam(seam);
}
