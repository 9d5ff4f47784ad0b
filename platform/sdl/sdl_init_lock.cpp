#include "platform/sdl/sdl_init_lock.h"

std::mutex& sdlInitLock() {
  static std::mutex lock;
  return lock;
}
