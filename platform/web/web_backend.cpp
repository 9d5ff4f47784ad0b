#include "platform/web/web_backend.h"

#include "platform/web/web_page_calls.h"
#include "platform/web/web_platform.h"
#include "platform/web/web_presenter.h"
#include "platform/web/web_text_share.h"

namespace {
bool started = false;

int webStart(const char*, int width, int height, int depth, int, int flags) {
  // The canvas shows 16- and 32-bit frames; it has no palette and no OpenGL.
  if (flags & kFlagOpenGL) return 1;
  if (depth != 16 && depth != 32) return 1;
  if (width <= 0 || height <= 0 || started) return 1;
  resetPresentation();
  pageOpen(width, height, webKeyRing());
  shareTextWithPage();
  started = true;
  return 0;
}

void webShutdown() {
  if (started) presentChangedRows();
  started = false;
}

// One thread: the program and the presentation never run at the same time. Unlocking
// marks the end of a piece of drawing, after which the page's text may have changed.
void noLock() {}
void textChanged() { publishText(); }

const Backend kWebBackend{.name = "Web",
                          .start = webStart,
                          .shutdown = webShutdown,
                          .lock = noLock,
                          .unlock = textChanged};
}  // namespace

const Backend& webBackend() { return kWebBackend; }
