#include "platform/posix/wake_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

bool WakePipe::open() {
  if (ends_[0] >= 0) return true;
  if (pipe2(ends_, O_NONBLOCK | O_CLOEXEC) == 0) return true;
  ends_[0] = ends_[1] = -1;
  return false;
}

void WakePipe::close() {
  for (int& fd : ends_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void WakePipe::wake() const {
  if (ends_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(ends_[1], &byte, 1);
  }
}

void WakePipe::drain() const {
  char bytes[64];
  while (::read(ends_[0], bytes, sizeof bytes) > 0) {}
}

bool WakePipe::rest(int ms, int other) const {
  pollfd fds[2] = {{ends_[0], POLLIN, 0}, {other, POLLIN, 0}};
  if (poll(fds, other >= 0 ? 2 : 1, ms) <= 0) return false;
  if (fds[0].revents & POLLIN) drain();
  return other >= 0 && (fds[1].revents & POLLIN);
}
