#include "platform/terminal/terminal_tty.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {
constexpr char kEnter[] = "\x1b[?1049h\x1b[?7l\x1b[?25l\x1b[0m\x1b[2J\x1b[H";
// CAN first: it ends an escape sequence a frame may have been cut off in.
constexpr char kRestore[] = "\x18\x1b[0m\x1b[2J\x1b[?7h\x1b[?25h\x1b[?1049l";

termios savedModes{};
std::atomic<bool> entered{false};

// Only calls that are safe in a signal handler.
bool writeRaw(const char* bytes, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      usleep(1000);
      continue;
    }
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

bool bothAreTerminals(const char*& reason) {
  if (!isatty(STDIN_FILENO)) {
    reason = "standard input is not a terminal";
    return false;
  }
  if (!isatty(STDOUT_FILENO)) {
    reason = "standard output is not a terminal";
    return false;
  }
  return true;
}

bool readTerminalSize(TerminalSize& size) {
  winsize ws{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0) return false;
  size.columns = ws.ws_col;
  size.rows = ws.ws_row;
  return true;
}

bool enterTerminal() {
  if (entered.load()) return true;
  if (tcgetattr(STDIN_FILENO, &savedModes) != 0) return false;
  termios raw = savedModes;
  // Raw input, but ISIG stays: Ctrl+C and Ctrl+Z still send their signals.
  raw.c_iflag &=
      ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | IEXTEN);
  raw.c_cflag = (raw.c_cflag & ~static_cast<tcflag_t>(CSIZE | PARENB)) | CS8;
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return false;
  entered.store(true);
  if (!writeRaw(kEnter, sizeof kEnter - 1)) {
    restoreTerminal();
    return false;
  }
  return true;
}

void restoreTerminal() {
  if (!entered.exchange(false)) return;
  writeRaw(kRestore, sizeof kRestore - 1);
  tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
}

bool writeToTerminal(const char* bytes, size_t size) { return writeRaw(bytes, size); }
