#include "platform/posix/wake_pipe.h"

#include <fcntl.h>
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
