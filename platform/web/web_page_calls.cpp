#include "platform/web/web_page_calls.h"

#include <emscripten.h>

// The page's script (web_page.js) defines Module.co2simPage.
EM_JS(void, jsOpen, (int width, int height, int ring),
      { Module.co2simPage.open(width, height, ring); });
EM_JS(void, jsPutRows, (int rgba, int width, int height, int first, int last),
      { Module.co2simPage.putRows(rgba, width, height, first, last); });
EM_JS(double, jsNow, (), { return performance.now(); });
EM_ASYNC_JS(void, jsWait, (double ms), { await Module.co2simPage.wait(ms); });
EM_ASYNC_JS(void, jsAwaitKey, (), { await Module.co2simPage.awaitKey(); });
EM_JS(void, jsTone, (int hertz, int ms), { Module.co2simPage.tone(hertz, ms); });
EM_JS(void, jsReport, (int state, double virtualMs, int tones),
      { Module.co2simPage.report(state, virtualMs, tones); });
EM_JS(double, jsHoldRequest, (), { return Module.co2simPage.holdRequest(); });
EM_ASYNC_JS(void, jsHold, (double virtualMs), { await Module.co2simPage.hold(virtualMs); });
EM_JS(void, jsEnded, (int status), { Module.co2simPage.ended(status); });

namespace {
int address(const void* p) { return static_cast<int>(reinterpret_cast<uintptr_t>(p)); }
}  // namespace

void pageOpen(int width, int height, WebKeyRing* ring) { jsOpen(width, height, address(ring)); }
void pagePutRows(const uint32_t* rgba, int width, int height, int first, int last) {
  jsPutRows(address(rgba), width, height, first, last);
}
double pageNow() { return jsNow(); }
void pageWait(double ms) { jsWait(ms); }
void pageAwaitKey() { jsAwaitKey(); }
void pageTone(int hertz, int ms) { jsTone(hertz, ms); }
void pageReport(int state, double virtualMs, int tones) { jsReport(state, virtualMs, tones); }
double pageHoldRequest() { return jsHoldRequest(); }
void pageHold(double virtualMs) { jsHold(virtualMs); }
void pageEnded(int status) { jsEnded(status); }
