#include "platform/terminal/terminal_backend.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/common/presentation_lock.h"
#include "platform/common/presentation_thread.h"
#include "platform/posix/loss_seam.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/signal_guard.h"
#include "platform/posix/wake_pipe.h"
#include "platform/terminal/terminal_frame.h"
#include "platform/terminal/terminal_guard.h"
#include "platform/terminal/terminal_keys.h"
#include "platform/terminal/terminal_masks.h"
#include "platform/terminal/terminal_tty.h"
#include "screen/backend/ascii_compare.h"
#include "screen/backend/backend_port.h"
#include "screen/backend/platform_seam.h"

namespace {
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr size_t kReadChunk = 4096;

// Everything the back end keeps, in one object that is never destroyed (a presentation
// thread let go of with a lost terminal may still use it).
struct TerminalState {
  std::atomic<bool> bellPending{false};
  WakePipe wakePipe;
  int neededColumns = 0, neededRows = 0;

  // Presentation thread only.
  std::unique_ptr<FrameEncoder> encoder;
  TerminalKeyParser keyParser;
  bool showingNotice = false;
  bool sizeUnknown = true;
  std::vector<int32_t> codes;
  std::string output;  // what one turn sends, written outside the lock
};

TerminalState& state() {
  static TerminalState* terminal = new TerminalState;
  return *terminal;
}

PresentationThread& presentation();

PresentationLock& screenLock() {
  static PresentationLock lock([] { presentation().noteProgramUnlock(); });
  return lock;
}
void lockScreenMutex() { screenLock().lock(); }
void unlockScreenMutex() { screenLock().unlockByProgram(); }

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string sizeText(int columns, int rows) {
  return std::to_string(columns) + " x " + std::to_string(rows);
}

// A terminal too small for the screen shows one line until it is large enough again; the
// simulation goes on meanwhile.
void checkSize(std::string& frame) {
  TerminalSize size;
  if (!readTerminalSize(size)) return;
  const bool fits = size.columns >= state().neededColumns && size.rows >= state().neededRows;
  if (!fits) {
    std::string notice = "Terminal demasiado pequena: " + sizeText(size.columns, size.rows) +
                         ", hacen falta " + sizeText(state().neededColumns, state().neededRows);
    if (notice.size() > static_cast<size_t>(size.columns))
      notice.resize(static_cast<size_t>(size.columns));
    frame += "\x1b[0m\x1b[2J\x1b[H";
    frame += notice;
    state().showingNotice = true;
    state().encoder->invalidate();
    return;
  }
  // Large enough (again, or resized while large): everything is drawn anew.
  frame += "\x1b[0m\x1b[2J";
  state().showingNotice = false;
  state().encoder->invalidate();
  markWholeFrame();
}

// Reads what is waiting on standard input, at most one chunk per frame so a flood cannot
// hold the screen lock; the end of input or an error means the terminal has gone.
void readKeys(std::vector<int32_t>& codes) {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  if (poll(&input, 1, 0) > 0) {
    if (input.revents & POLLIN) {
      char buffer[kReadChunk];
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n > 0) {
        state().keyParser.feed(std::string_view(buffer, static_cast<size_t>(n)), nowMs(), codes);
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        markOutputLost();
      }
    } else if (input.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      markOutputLost();
    }
  }
  state().keyParser.tick(nowMs(), codes);
}

void wakePresenter() { state().wakePipe.wake(); }

// The terminal has no events to block on: keys are read at each turn, so the rest is short.
void rest(int ms) { state().wakePipe.rest(std::min(ms, 10)); }

void suspendAndResume() {
  restoreTerminal();
  stopUntilContinued();
  if (!enterTerminal()) {
    markOutputLost();
    return;
  }
  state().showingNotice = true;  // the size is read again below
}

bool beginTurn() {
  if (const int sig = pendingSignal()) {
    restoreTerminal();
    endTerminalWithSignal(sig);
  }
  if (takeSuspend()) {
    suspendAndResume();
    state().sizeUnknown = true;
  }
  if (outputLost()) return false;
  state().output.clear();
  if (takeResize() || state().sizeUnknown) {
    checkSize(state().output);
    state().sizeUnknown = false;
  }
  return true;
}

bool encodeFrame(const VisibleFrame& shown) {
  if (state().showingNotice) {
    takeDirtyRows(shown.dirtyRows);
    return false;
  }
  const size_t before = state().output.size();
  state().encoder->encodeDirtyRows(shown, state().output);
  return state().output.size() != before;
}

void readKeysIntoQueue() {
  state().codes.clear();
  readKeys(state().codes);
  for (const int32_t code : state().codes) {
    presentation().noteKeyQueued();
    queueKey(code);
  }
}

// One write per turn, outside the lock: a slow terminal never holds up the program.
void writeTurn() {
  if (outputLost()) return;
  if (state().bellPending.exchange(false)) state().output += '\a';
  if (!state().output.empty() && !writeToTerminal(state().output.data(), state().output.size()))
    markOutputLost();
  state().output.clear();
}

// The presentation cannot go on: give the terminal back and let the program end.
void presentationFault() {
  restoreTerminal();
  std::fputs("co2sim: the terminal presentation stopped\n", stderr);
  markOutputLost();
}

PresentationThread& presentation() {
  static PresentationThread* thread = new PresentationThread({
      .beginTurn = beginTurn,
      .present = encodeFrame,
      .dispatchEvents = readKeysIntoQueue,
      .endTurn = writeTurn,
      .rest = rest,
      .wake = wakePresenter,
      .fault = presentationFault,
      .lock = lockScreenMutex,
      .unlock = [] { screenLock().unlock(); },
  });
  return *thread;
}

void terminalTone(int, int ms) {
  state().bellPending.store(true);
  wakePresenter();
  platformSeam().sleep(ms);
}

// Whether QXGFX asks for this back end by name.
bool askedForByName() {
  const char* preference = std::getenv("QXGFX");
  return preference && sameNameIgnoringCase(preference, "terminal");
}

// The reason is told (at the end, on standard error) only to someone who asked for the
// terminal by name; otherwise the one line on standard output says all there is to say.
int refuse(const std::string& reason) {
  if (askedForByName()) noteTerminalRefusal(reason);
  return 1;
}

void restoreAtExit() { restoreTerminal(); }

int terminalStart(const char*, int width, int height, int depth, int, int flags) {
  if (presentation().started()) return 1;
  if (flags & kFlagOpenGL) return refuse("an OpenGL screen was asked for");
  // A full-screen request is a window's to serve: the terminal takes it only when asked for
  // by name, so a desktop whose display lacks the mode still gets a window on the next pass.
  if ((flags & kFlagFullScreen) && !askedForByName()) return 1;
  VisibleFrame shown;
  if (!visibleFrame(shown) || shown.cellHeight != kCellHeight ||
      (depth != 8 && depth != 16 && depth != 32))
    return refuse("the screen has no 8 x 16 text cells");
  state().neededColumns = width / kCellWidth;
  state().neededRows = height / kCellHeight;
  const char* notTerminal = nullptr;
  if (!bothAreTerminals(notTerminal)) return refuse(notTerminal);
  const char* term = std::getenv("TERM");
  if (!term || !*term || std::strcmp(term, "dumb") == 0)
    return refuse("TERM names no terminal that can show it");
  TerminalSize size;
  if (!readTerminalSize(size)) return refuse("the terminal's size cannot be read");
  if (size.columns < state().neededColumns || size.rows < state().neededRows)
    return refuse("the terminal has " + sizeText(size.columns, size.rows) + " cells, " +
                  sizeText(state().neededColumns, state().neededRows) + " are needed");
  if (!state().wakePipe.open()) return refuse("no pipe for the presentation");
  if (!enterTerminal()) {
    state().wakePipe.close();
    return refuse("the terminal's modes cannot be set");
  }
  static const bool exitHookRegistered = [] { return std::atexit(restoreAtExit) == 0; }();
  (void)exitHookRegistered;
  state().encoder = std::make_unique<FrameEncoder>(state().neededColumns, state().neededRows,
                                                   colourDepthFor(term, std::getenv("COLORTERM")),
                                                   cellCharactersFor(term));
  state().keyParser = TerminalKeyParser{};
  state().showingNotice = false;
  state().sizeUnknown = true;
  state().bellPending.store(false);
  installTerminalGuard(state().wakePipe.writeEnd());
  installLossSeam();
  presentation().start();
  setPlatformTone(terminalTone);
  return 0;
}

void terminalShutdown() {
  if (presentation().started()) {
    presentation().stop();
    setPlatformTone(nullptr);
    restoreTerminal();
    removeLossSeam();
    removeTerminalGuard();
    state().wakePipe.close();
    state().encoder.reset();
  }
}

void terminalSetPaletteEntry(int, int, int, int) {
  // Palette frames are read through the screen's shown palette; nothing to send.
}

void terminalWaitVerticalSync() { platformSeam().sleep(10); }

const Backend kTerminalBackend{.name = "Terminal",
                               .start = terminalStart,
                               .shutdown = terminalShutdown,
                               .lock = lockScreenMutex,
                               .unlock = unlockScreenMutex,
                               .setPaletteEntry = terminalSetPaletteEntry,
                               .waitVerticalSync = terminalWaitVerticalSync};
}  // namespace

const Backend& terminalBackend() { return kTerminalBackend; }
