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

#include "platform/common/presentation_thread.h"
#include "platform/posix/loss_seam.h"
#include "platform/posix/signal_guard.h"
#include "platform/posix/wake_pipe.h"
#include "platform/posix/posix_platform.h"
#include "platform/terminal/terminal_frame.h"
#include "platform/terminal/terminal_guard.h"
#include "platform/terminal/terminal_keys.h"
#include "platform/terminal/terminal_masks.h"
#include "platform/terminal/terminal_tty.h"
#include "screen/ascii_compare.h"
#include "screen/platform_seam.h"
#include "screen/backend_port.h"

namespace {
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr size_t kReadChunk = 4096;

std::recursive_mutex screenMutex;
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

PresentationThread& presentation();

void lockScreenMutex() { screenMutex.lock(); }
void unlockScreenMutex() {
  presentation().noteProgramUnlock();
  screenMutex.unlock();
}

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
  const bool fits = size.columns >= neededColumns && size.rows >= neededRows;
  if (!fits) {
    std::string notice = "Terminal demasiado pequena: " + sizeText(size.columns, size.rows) +
                         ", hacen falta " + sizeText(neededColumns, neededRows);
    if (notice.size() > static_cast<size_t>(size.columns))
      notice.resize(static_cast<size_t>(size.columns));
    frame += "\x1b[0m\x1b[2J\x1b[H";
    frame += notice;
    showingNotice = true;
    encoder->invalidate();
    return;
  }
  // Large enough (again, or resized while large): everything is drawn anew.
  frame += "\x1b[0m\x1b[2J";
  showingNotice = false;
  encoder->invalidate();
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
        keyParser.feed(std::string_view(buffer, static_cast<size_t>(n)), nowMs(), codes);
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        markOutputLost();
      }
    } else if (input.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      markOutputLost();
    }
  }
  keyParser.tick(nowMs(), codes);
}

void wakePresenter() { wakePipe.wake(); }

// The terminal has no events to block on: keys are read at each turn, so the rest is short.
void rest(int ms) {
  pollfd wake{wakePipe.readEnd(), POLLIN, 0};
  if (poll(&wake, 1, std::min(ms, 10)) > 0) wakePipe.drain();
}

void suspendAndResume() {
  restoreTerminal();
  stopUntilContinued();
  if (!enterTerminal()) {
    markOutputLost();
    return;
  }
  showingNotice = true;  // the size is read again below
}

bool beginTurn() {
  if (const int sig = pendingSignal()) {
    restoreTerminal();
    endTerminalWithSignal(sig);
  }
  if (takeSuspend()) {
    suspendAndResume();
    sizeUnknown = true;
  }
  if (outputLost()) return false;
  output.clear();
  if (takeResize() || sizeUnknown) {
    checkSize(output);
    sizeUnknown = false;
  }
  return true;
}

bool encodeFrame(const VisibleFrame& shown) {
  if (showingNotice) {
    takeDirtyRows(shown.dirtyRows);
    return false;
  }
  const size_t before = output.size();
  encoder->encodeDirtyRows(shown, output);
  return output.size() != before;
}

void readKeysIntoQueue() {
  codes.clear();
  readKeys(codes);
  for (const int32_t code : codes) {
    presentation().noteKeyQueued();
    queueKey(code);
  }
}

// One write per turn, outside the lock: a slow terminal never holds up the program.
void writeTurn() {
  if (outputLost()) return;
  if (bellPending.exchange(false)) output += '\a';
  if (!output.empty() && !writeToTerminal(output.data(), output.size())) markOutputLost();
  output.clear();
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
      .unlock = [] { screenMutex.unlock(); },
  });
  return *thread;
}

void terminalTone(int, int ms) {
  bellPending.store(true);
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
  neededColumns = width / kCellWidth;
  neededRows = height / kCellHeight;
  const char* notTerminal = nullptr;
  if (!bothAreTerminals(notTerminal)) return refuse(notTerminal);
  const char* term = std::getenv("TERM");
  if (!term || !*term || std::strcmp(term, "dumb") == 0)
    return refuse("TERM names no terminal that can show it");
  TerminalSize size;
  if (!readTerminalSize(size)) return refuse("the terminal's size cannot be read");
  if (size.columns < neededColumns || size.rows < neededRows)
    return refuse("the terminal has " + sizeText(size.columns, size.rows) + " cells, " +
                  sizeText(neededColumns, neededRows) + " are needed");
  if (!wakePipe.open()) return refuse("no pipe for the presentation");
  if (!enterTerminal()) {
    wakePipe.close();
    return refuse("the terminal's modes cannot be set");
  }
  static const bool exitHookRegistered = [] { return std::atexit(restoreAtExit) == 0; }();
  (void)exitHookRegistered;
  encoder = std::make_unique<FrameEncoder>(neededColumns, neededRows,
                                           colourDepthFor(term, std::getenv("COLORTERM")),
                                           cellCharactersFor(term));
  keyParser = TerminalKeyParser{};
  showingNotice = false;
  sizeUnknown = true;
  bellPending.store(false);
  installTerminalGuard(wakePipe.writeEnd());
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
    wakePipe.close();
    encoder.reset();
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
