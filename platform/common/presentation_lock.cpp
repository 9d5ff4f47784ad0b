#include "platform/common/presentation_lock.h"

thread_local int PresentationLock::held_ = 0;

void PresentationLock::lock() {
  mutex_.lock();
  ++held_;
}

void PresentationLock::unlockByProgram() {
  if (programLeft_) programLeft_();
  unlock();
}

void PresentationLock::unlock() {
  --held_;
  mutex_.unlock();
}

void PresentationLock::releaseHeld() {
  while (held_ > 0) unlock();
}
