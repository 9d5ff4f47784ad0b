#include "platform/web/web_platform.h"

#include <cstdint>

#include "platform/web/pause_schedule.h"
#include "platform/web/web_key_ring.h"
#include "platform/web/web_page_calls.h"
#include "platform/web/web_presenter.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/platform_seam.h"

namespace {
WebKeyRing keyRing;
PauseSchedule schedule;

// Milliseconds of pauses and tones the program asked for: the same count the headless
// snapshot runs keep, so a test can hold the program where a snapshot was taken.
long long virtualMs = 0;
int tones = 0;
// The count at the first pause after the latest key wait (negative until there is one).
long long anchorMs = -1;
bool anchorPending = true;

void takeKeys() {
  drainKeyRing(keyRing, [](int32_t code) { queueKey(code); });
}

void report(int state) { pageReport(state, static_cast<double>(virtualMs), tones); }

// The real page: its clock, its timers and the canvas.
class Page final : public PausePage {
 public:
  int64_t nowNs() override { return static_cast<int64_t>(pageNow() * 1e6); }
  void waitUntil(int64_t atNs) override {
    const int64_t now = nowNs();
    pageWait(atNs > now ? static_cast<double>(atNs - now) / 1e6 : 0.0);
    takeKeys();
  }
  void show() override { presentChangedRows(); }
};
Page page;

// Before a key wait, a tone or a test's hold: the pauses before it have passed in full.
void settle() { settleOn(page, schedule); }

// Counts a pause or tone, then holds the program if a test asked for this point.
void countVirtual(int ms) {
  virtualMs += ms;
  if (anchorPending) {
    anchorMs = virtualMs;
    anchorPending = false;
  }
  const double hold = pageHoldRequest();
  if (hold >= 0 && anchorMs >= 0 && static_cast<double>(virtualMs) >= anchorMs + hold) {
    settle();
    report(kPageRunning);
    pageHold(static_cast<double>(virtualMs));
    takeKeys();
    schedule.restart();
  }
}

void pause(int ms) { pauseOn(page, schedule, ms); }

void webSleep(int ms) {
  if (ms <= 0) return;
  countVirtual(ms);
  pause(ms);
}

// The program waits the tone's length whether or not the page may sound it.
void webTone(int hertz, int ms) {
  ++tones;
  countVirtual(ms);
  settle();
  pageTone(hertz, ms);
  report(kPageRunning);
  pause(ms);
}

void webAwaitKey(KeyWaitKind kind) {
  takeKeys();
  anchorPending = true;
  if (keyQueued()) return;
  settle();
  if (!keyQueued()) {
    report(kind == KeyWaitKind::Line ? kPageLineWait : kPageKeyWait);
    while (!keyQueued()) {
      pageAwaitKey();
      takeKeys();
    }
    report(kPageRunning);
  }
  schedule.restart();
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
